// Records compared on one plot: one quantity of each record in a colour of its own, across time or
// charged capacity, on scales with round steps that fit them all. Pure drawing, no window.
#pragma once

#include "plot/Reduction.h"

#include <QColor>
#include <QString>

#include <array>
#include <vector>

class PlotSurface;
struct Record;

constexpr int kMostCompared = 6;

// One colour per record, in the order of the records.
inline const std::array<QColor, kMostCompared> kComparePalette{QColor(0, 114, 178), QColor(213, 94, 0),
                                                               QColor(0, 158, 115), QColor(204, 121, 167),
                                                               QColor(230, 159, 0), QColor(0, 0, 0)};

enum class Quantity { voltage, current, capacity };
enum class Across { time, capacity };

struct CompareView {
    Quantity quantity = Quantity::voltage;
    Across across = Across::time;
};

// An axis from 0 in `divisions` equal steps; step in the unit shown (V, A, mAh, seconds).
struct AxisScale {
    double step = 1;
    int divisions = 1;
    double end() const { return step * divisions; }
};

constexpr int kMostDivisions = 8;

// The smallest round step (1, 2, 5 times a power of ten) that covers `largest` in at most
// kMostDivisions steps; with nothing above 0 to cover, as if the largest were 1.
AxisScale roundScale(double largest);
// The same in seconds, with steps of whole minutes, hours and days.
AxisScale timeScale(double seconds);

struct CompareAxes {
    AxisScale value;  // up the plot, in V, A or mAh
    AxisScale across;  // seconds or mAh
    double valueFactor = 1;  // sample value per unit shown: mV per V, tenths of mA per A, 1
};

// Scales that fit every sample of every record.
CompareAxes compareAxes(const std::vector<const Record*>& records, CompareView view);

// Each record's curve, in the palette's colour, for a plot W twips wide: sample 1 at the left
// edge, each later one at its second (time) or charged capacity (mAh) across.
std::vector<CurveGroup> compareGroups(const std::vector<const Record*>& records, CompareView view,
                                      const CompareAxes& axes, float W);

// Clears the plot and draws the grid, a line at each step of both axes, and the frame.
void drawCompareGrid(PlotSurface* plot, const CompareAxes& axes);
// Grid and curves, the records drawn one after another; the axes it used.
CompareAxes drawComparison(PlotSurface* plot, const std::vector<const Record*>& records, CompareView view);

// The label of line k of the value axis ("1,5 V", "2,00 A", "1500 mAh") and of the axis across
// ("01:30" in hours and minutes, or "500 mAh").
QString valueLabel(const CompareAxes& axes, Quantity quantity, int k);
QString acrossLabel(const CompareAxes& axes, Across across, int k);
