// The plain drawing that the fast curve views must match, pixel for pixel: one line per sample.
#pragma once

#include "platform/PlotSurface.h"
#include "plot/GraphView.h"
#include "plot/Reduction.h"
#include "process/Record.h"

#include <QColor>

#include <tuple>

// For i = 1..last and each curve the view shows, in order, one line from sample i - 1 (from the
// bottom left corner for i = 1) to sample i, sample n at x = xs * (n - P).
inline void drawPerSample(PlotSurface* plot, const Record& record, const GraphView& view, float xs, float P,
                          int last)
{
    const float H = plot->ScaleHeight();
    const std::tuple<const float*, float, QColor, bool> curves[] = {
        {record.KurveU.get(), view.SkalaU, QColor(0, 128, 0), view.shown[0]},
        {record.KurveI.get(), view.SkalaI, QColor(255, 0, 0), view.shown[1]},
        {record.KurveQ.get(), view.SkalaQ, QColor(0, 0, 255), view.shown[2]}};
    for (int i = 1; i <= last; ++i) {
        for (const auto& [v, scale, color, shown] : curves) {
            if (shown)
                plot->Line(i == 1 ? 0 : xs * (i - 1 - P), i == 1 ? H : H - H * (v[i - 1] / scale),
                           xs * (i - P), H - H * (v[i] / scale), color);
        }
    }
}

// The groups one after another, each as CurveGroup says: for i = 1..count and each curve, one line
// from point i - 1 (the bottom left corner, or point 1 itself) to point i.
inline void drawGroupsPerSample(PlotSurface* plot, const std::vector<CurveGroup>& groups)
{
    const float H = plot->ScaleHeight();
    for (const CurveGroup& g : groups) {
        const auto x = [&g](int t) { return g.perUnit * (g.across ? g.across[t] : t - g.shift); };
        for (int i = 1; i <= g.count; ++i) {
            const bool corner = i == 1 && g.fromCorner;
            const int from = i == 1 ? 1 : i - 1;
            for (const Curve& c : g.curves)
                plot->Line(corner ? 0 : x(from), corner ? H : H - H * (c.samples[from] / c.scale), x(i),
                           H - H * (c.samples[i] / c.scale), c.color);
        }
    }
}
