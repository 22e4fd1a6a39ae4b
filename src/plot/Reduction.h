// Long curves drawn reduced per pixel column: the picture of one line per sample, without the
// line calls. The whole-record view and the comparison of records draw through it.
#pragma once

#include "plot/Kurven.h"

#include <vector>

class PlotSurface;

// Curves drawn sample by sample together: for i = 1..count and each curve in order, one line from
// point i - 1 to point i. Point t lies perUnit * (across[t], or t - shift when there is no across
// curve) twips from the left edge, at the curve's height; point 0 is the bottom left corner, or
// point 1 itself when the curves do not rise from the corner.
struct CurveGroup {
    std::vector<Curve> curves;
    int count = 0;
    float perUnit = 0;
    const float* across = nullptr;  // 1-based
    float shift = 0;
    bool fromCorner = true;
};

// Draws the groups one after another, each as its lines would, pixel for pixel.
void drawReduced(PlotSurface* plot, const std::vector<CurveGroup>& groups);
