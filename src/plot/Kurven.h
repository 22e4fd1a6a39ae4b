// The three curves shared by all drawers: colours, sample arrays, scales and visibility.
#pragma once

#include <QColor>

#include <vector>

struct GraphView;
struct Record;

inline const QColor kVoltageColor{0, 128, 0};
inline const QColor kCurrentColor{255, 0, 0};
inline const QColor kCapacityColor{0, 0, 255};

struct Curve {
    const float* samples;  // 1-based
    float scale;  // value at the top edge
    QColor color;
};

// The record's curves that the view shows, in drawing order: voltage, current, capacity.
std::vector<Curve> shownCurves(const Record& record, const GraphView& view);

// Height of a value on a plot H twips high: the scale at the top edge, 0 at the bottom.
inline float curveY(float H, float value, float scale) { return H - H * (value / scale); }
