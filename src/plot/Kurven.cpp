// Paged curve drawing: the open record on the live page, a page of a finished record and the
// live extension by one sample.
#include "plot/Kurven.h"

#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "process/Record.h"

#include <algorithm>
#include <cmath>

namespace {

// One line per curve from sample `from` at x0 to sample `to` at x1. Sample 0 stands for the
// bottom edge, where the first segment of a record or a page starts.
void drawSegment(PlotSurface* plot, const std::vector<Curve>& curves, float H, float x0, int from, float x1,
                 int to)
{
    for (const Curve& curve : curves) {
        const float y0 = from == 0 ? H : curveY(H, curve.samples[from], curve.scale);
        plot->Line(x0, y0, x1, curveY(H, curve.samples[to], curve.scale), curve.color);
    }
}

}  // namespace

std::vector<Curve> shownCurves(const Record& record, const GraphView& view)
{
    std::vector<Curve> curves;
    if (view.shown[0])
        curves.push_back({record.KurveU.get(), view.SkalaU, kVoltageColor});
    if (view.shown[1])
        curves.push_back({record.KurveI.get(), view.SkalaI, kCurrentColor});
    if (view.shown[2])
        curves.push_back({record.KurveQ.get(), view.SkalaQ, kCapacityColor});
    return curves;
}

void Formgrafik::LaufKurveZeichnen(const Record& record, float messNr)
{
    PlotSurface* plot = Picture1;
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    ZeitachseBeschriften();
    const float S = samplesPerPage(view);
    const float xs = W / S;
    const float P = S * (view.LetzteSeite - 1);

    const int last = static_cast<int>(std::min<float>(messNr - 1, kStoreSize));
    const std::vector<Curve> curves = shownCurves(record, view);
    const auto drawSample = [&](int i) {
        if (i == 1)
            drawSegment(plot, curves, H, 0, 0, xs * (1 - P), 1);
        else
            drawSegment(plot, curves, H, xs * (i - 1 - P), i - 1, xs * (i - P), i);
    };
    // Only segments that reach x >= 0 can leave a mark: the first one, which starts at the
    // bottom left corner, and those from sample P on (sample P's segment ends on x = 0).
    // The ones in between end at x <= -xs, so the picture is that of drawing them all.
    if (last >= 1)
        drawSample(1);
    for (int i = std::max(2, static_cast<int>(P)); i <= last; ++i)
        drawSample(i);
}

void Formgrafik::SeiteZeichnen(const Record& record, float ersteProbe)
{
    GrafikAufbauen();
    ZeitachseBeschriften();
    PlotSurface* plot = Picture1;
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    const float S = samplesPerPage(view);
    const float xs = W / S;

    // The page ends after S columns or with the record, and never reads beyond the store.
    const int last = record.count();
    int c = std::max(1, static_cast<int>(ersteProbe));
    const std::vector<Curve> curves = shownCurves(record, view);
    for (int j = 1; j <= S && c <= last; ++j, ++c) {
        if (j == 1)
            drawSegment(plot, curves, H, 0, 0, xs, c);
        else
            drawSegment(plot, curves, H, xs * (j - 1), c - 1, xs * j, c);
    }
    emit viewDrawn();
}

void Formgrafik::KurveFortsetzen(const Record& record, float messNr)
{
    PlotSurface* plot = Picture1;
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    const float S = samplesPerPage(view);
    const float xs = W / S;
    float P = S * (view.LetzteSeite - 1);
    emit livePageShown(P, view.LetzteSeite);

    // The page turns when the newest sample reaches or passes the right edge, straight to the
    // page that holds it, however long a pause lay before it. On the edge P stays that of the
    // old page for this call, so the old page's last segment lands at the new page's right edge;
    // a sample past the edge is drawn where it lies on the new page.
    if (messNr >= S * view.LetzteSeite) {
        const bool onEdge = messNr == S * view.LetzteSeite;
        GrafikAufbauen();
        view.LetzteSeite = livePage(view.LetzteSeite, messNr, S);
        view.Seite = view.LetzteSeite;
        ZeitachseBeschriften();
        if (!onEdge)
            P = S * (view.LetzteSeite - 1);
    }

    const int n = static_cast<int>(std::lround(messNr));
    if (n > kStoreSize)
        return;  // past the store's end there is no sample to draw
    if (n != 1)
        drawSegment(plot, shownCurves(record, view), H, xs * (n - 1 - P), n - 1, xs * (n - P), n);
    else
        drawSegment(plot, shownCurves(record, view), H, 0, 0, xs, 1);
}
