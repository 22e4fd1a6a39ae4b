// Paged curve drawing: the open record on the live page, a page of a finished record,
// the redraw of the current view and the live extension by one sample.
#include "plot/plot.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "plot/Kurven.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "process/Variabelen.h"
#include "process/Forms.h"

#include <QCheckBox>
#include <QLineEdit>

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

std::vector<Curve> shownCurves()
{
    const Formsetgraf* setgraf = forms.setgraf;
    std::vector<Curve> curves;
    if (checkValue(setgraf->Check1) == 1)
        curves.push_back({V->KurveU.get(), V->SkalaU, kVoltageColor});
    if (checkValue(setgraf->Check2) == 1)
        curves.push_back({V->KurveI.get(), V->SkalaI, kCurrentColor});
    if (checkValue(setgraf->Check3) == 1)
        curves.push_back({V->KurveQ.get(), V->SkalaQ, kCapacityColor});
    return curves;
}

void LaufKurveZeichnen()
{
    PlotSurface* plot = forms.grafik->Picture1;
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    ZeitachseBeschriften();
    const float S = samplesPerPage();
    const float xs = W / S;
    const float P = S * (V->LetzteSeite - 1);

    const int last = static_cast<int>(std::min<float>(V->MessNr - 1, kStoreSize));
    const std::vector<Curve> curves = shownCurves();
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

void SeiteZeichnen(float ersteProbe)
{
    GrafikAufbauen();
    ZeitachseBeschriften();
    PlotSurface* plot = forms.grafik->Picture1;
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    const float S = samplesPerPage();
    const float xs = W / S;

    // The page ends after S columns or with the record, and never reads beyond the store.
    const int last = recordEnd();
    int c = std::max(1, static_cast<int>(ersteProbe));
    const std::vector<Curve> curves = shownCurves();
    for (int j = 1; j <= S && c <= last; ++j, ++c) {
        if (j == 1)
            drawSegment(plot, curves, H, 0, 0, xs, c);
        else
            drawSegment(plot, curves, H, xs * (j - 1), c - 1, xs * j, c);
    }
}

void AnsichtZeichnen()
{
    if (gesamtansicht())
        GesamtkurveZeichnen();
    else if (V->MessungBeendet != 0)
        SeiteZeichnen(pageStart(V->Seite));
    else
        LaufKurveZeichnen();
}

void KurveFortsetzen()
{
    PlotSurface* plot = forms.grafik->Picture1;
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    const float S = samplesPerPage();
    const float xs = W / S;
    float P = S * (V->LetzteSeite - 1);
    forms.pageStart->setText(plainText(P));
    forms.setgraf->Text1->setText(plainText(V->LetzteSeite));

    // The page turns when the newest sample reaches or passes the right edge, straight to the
    // page that holds it, however long a pause lay before it. On the edge P stays that of the
    // old page for this call, so the old page's last segment lands at the new page's right edge;
    // a sample past the edge is drawn where it lies on the new page.
    if (V->MessNr >= S * V->LetzteSeite) {
        const bool onEdge = V->MessNr == S * V->LetzteSeite;
        GrafikAufbauen();
        V->LetzteSeite = std::floor(V->MessNr / S) + 1;
        V->Seite = V->LetzteSeite;
        ZeitachseBeschriften();
        if (!onEdge)
            P = S * (V->LetzteSeite - 1);
    }

    const int n = static_cast<int>(messNrSlot());
    if (n > kStoreSize)
        return;  // past the store's end there is no sample to draw
    if (n != 1)
        drawSegment(plot, shownCurves(), H, xs * (n - 1 - P), n - 1, xs * (n - P), n);
    else
        drawSegment(plot, shownCurves(), H, 0, 0, xs, 1);
}
