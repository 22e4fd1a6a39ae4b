// Redrawing the live page of a 2,000,000-sample open record against drawing from sample 1.
#include "RatioReporter.h"
#include "link/Formtext.h"
#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "plot/plot.h"
#include "process/Variabelen.h"
#include "shell/Forms.h"

#include <QApplication>
#include <QCheckBox>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

// The open record drawn the plain way, from its first sample; all but the live page is clipped.
void drawFromFirstSample()
{
    PlotSurface* plot = forms.grafik->Picture1;
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    ZeitachseBeschriften();
    const float S = samplesPerPage();
    const float xs = W / S;
    const float P = S * (V->LetzteSeite - 1);
    struct {
        const float* samples;
        float scale;
        QColor color;
    } curves[] = {{V->KurveU.get(), V->SkalaU, QColor(0, 128, 0)},
                  {V->KurveI.get(), V->SkalaI, QColor(255, 0, 0)},
                  {V->KurveQ.get(), V->SkalaQ, QColor(0, 0, 255)}};
    for (int i = 1; i <= V->MessNr - 1; ++i) {
        for (const auto& curve : curves) {
            const auto y = [&](int n) { return H - H * (curve.samples[n] / curve.scale); };
            if (i == 1)
                plot->Line(0, H, xs * (1 - P), y(1), curve.color);
            else
                plot->Line(xs * (i - 1 - P), y(i - 1), xs * (i - P), y(i), curve.color);
        }
    }
}

void BM_LaufKurveZeichnen(benchmark::State& state)
{
    for (auto _ : state) {
        GrafikAufbauen();
        LaufKurveZeichnen();
    }
}
BENCHMARK(BM_LaufKurveZeichnen)->Unit(benchmark::kMillisecond);

void BM_FromFirstSample(benchmark::State& state)
{
    for (auto _ : state) {
        GrafikAufbauen();
        drawFromFirstSample();
    }
}
BENCHMARK(BM_FromFirstSample)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    // An open record of 1,999,999 samples on its last page, 12 minutes a page, all curves shown.
    auto vars = std::make_unique<Variabelen>();
    V = vars.get();
    Formtext text;
    Formsetgraf setgraf;
    Formgrafik grafik;
    forms.text = &text;
    forms.setgraf = &setgraf;
    forms.grafik = &grafik;
    setgraf.Check3->setChecked(true);
    grafik.resize(680, 544);
    grafik.Form_Resize();
    for (int n = 1; n < kStoreSize; ++n) {
        const float t = static_cast<float>(n) / kStoreSize;
        vars->KurveU[n] = vars->SkalaU * (0.5f + 0.3f * std::sin(n / 50.0f));
        vars->KurveI[n] = vars->SkalaI * (0.5f + 0.3f * std::cos(n / 70.0f));
        vars->KurveQ[n] = vars->SkalaQ * t;
    }
    vars->MessNr = kStoreSize;
    vars->LetzteSeite = std::ceil(vars->MessNr / samplesPerPage());
    vars->Seite = vars->LetzteSeite;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fast = reporter.times["BM_LaufKurveZeichnen"];
    const double naive = reporter.times["BM_FromFirstSample"];
    if (fast > 0 && naive > 0)
        std::printf("last page of 1,999,999 samples: from the page start %.3f ms, from sample 1 %.1f ms, "
                    "%.0fx faster\n",
                    fast, naive, naive / fast);
    forms = Forms{};
    V = nullptr;
    benchmark::Shutdown();
    return 0;
}
