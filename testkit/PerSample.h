// The plain drawing that the fast curve views must match, pixel for pixel: one line per sample.
#pragma once

#include "platform/PlotSurface.h"
#include "plot/Formsetgraf.h"
#include "process/Forms.h"
#include "process/Variabelen.h"

#include <QCheckBox>

#include <tuple>

// For i = 1..last and each ticked curve in order, one line from sample i - 1 (from the bottom
// left corner for i = 1) to sample i, sample n at x = xs * (n - P).
inline void drawPerSample(PlotSurface* plot, float xs, float P, int last)
{
    const float H = plot->ScaleHeight();
    const std::tuple<const float*, float, QColor, QCheckBox*> curves[] = {
        {V->KurveU.get(), V->SkalaU, QColor(0, 128, 0), forms.setgraf->Check1},
        {V->KurveI.get(), V->SkalaI, QColor(255, 0, 0), forms.setgraf->Check2},
        {V->KurveQ.get(), V->SkalaQ, QColor(0, 0, 255), forms.setgraf->Check3}};
    for (int i = 1; i <= last; ++i) {
        for (const auto& [v, scale, color, box] : curves) {
            if (checkValue(box) == 1)
                plot->Line(i == 1 ? 0 : xs * (i - 1 - P), i == 1 ? H : H - H * (v[i - 1] / scale),
                           xs * (i - P), H - H * (v[i] / scale), color);
        }
    }
}
