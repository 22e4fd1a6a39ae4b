// The whole-record view: every sample across the plot width, reduced pixel column by pixel
// column to the picture that one line per sample and curve would give.
#include "plot/Formgrafik.h"

#include "platform/PlotSurface.h"
#include "plot/Reduction.h"
#include "process/Record.h"

#include <QLineEdit>

void Formgrafik::GesamtkurveZeichnen(const Record& record)
{
    PlotSurface* plot = Picture1;
    plot->Cls();
    GrafikAufbauen();
    const float W = plot->ScaleWidth();
    const int N = record.count();

    const std::array<QString, 7> labels = wholeRecordLabels(N);
    Text[11]->setText(labels[0]);
    if (N < 1) {
        // An empty record has no sample width: frame, grid and the label "0" alone.
        for (int field = 12; field <= 17; ++field)
            Text[field]->clear();
    } else {
        drawReduced(
            plot, {{.curves = shownCurves(record, view), .count = N, .perUnit = W / static_cast<float>(N)}});
        plot->update();
        for (int k = 1; k <= 6; ++k)
            Text[11 + k]->setText(labels[k]);
    }
    emit viewDrawn();
}
