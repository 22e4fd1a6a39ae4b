// The whole-record view at the store's full size against one line call per sample and curve.
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

#include <cstdio>
#include <memory>
#include <random>

namespace {

// Noisy curves that cross each other: the hardest case for the column reduction.
void fillNoisy(Variabelen& vars, int count)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> noise(-0.35f, 0.35f);
    for (int n = 1; n <= count; ++n) {
        const float t = static_cast<float>(n) / count;
        vars.KurveU[n] = vars.SkalaU * (0.5f + noise(random));
        vars.KurveI[n] = vars.SkalaI * (t + noise(random));
        vars.KurveQ[n] = vars.SkalaQ * (1.1f - t + noise(random) / 2);
    }
}

void drawPerSample()
{
    PlotSurface* plot = forms.grafik->Picture1;
    GrafikAufbauen();
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    const int N = static_cast<int>(V->MessAnzahl);
    const float xs = W / static_cast<float>(N);
    struct {
        const float* samples;
        float scale;
        QColor color;
    } curves[] = {{V->KurveU.get(), V->SkalaU, QColor(0, 128, 0)},
                  {V->KurveI.get(), V->SkalaI, QColor(255, 0, 0)},
                  {V->KurveQ.get(), V->SkalaQ, QColor(0, 0, 255)}};
    for (int i = 1; i <= N; ++i) {
        for (const auto& curve : curves) {
            const auto y = [&](int n) { return H - H * (curve.samples[n] / curve.scale); };
            if (i == 1)
                plot->Line(0, H, xs, y(1), curve.color);
            else
                plot->Line(xs * (i - 1), y(i - 1), xs * i, y(i), curve.color);
        }
    }
}

void BM_GesamtkurveZeichnen(benchmark::State& state)
{
    for (auto _ : state)
        GesamtkurveZeichnen();
}
BENCHMARK(BM_GesamtkurveZeichnen)->Unit(benchmark::kMillisecond);

void BM_PerSampleLines(benchmark::State& state)
{
    for (auto _ : state)
        drawPerSample();
}
BENCHMARK(BM_PerSampleLines)->Unit(benchmark::kMillisecond);

// The floor: one pass that only reads the three curves of the full store.
void BM_PlainPass(benchmark::State& state)
{
    for (auto _ : state) {
        float sum = 0;
        for (int n = static_cast<int>(V->MessAnzahl); n >= 1; --n)
            sum += V->KurveU[n] + V->KurveI[n] + V->KurveQ[n];
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PlainPass)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    // The graph window at a usual size (plot 600 x 525 pixels) with a full store.
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
    fillNoisy(*vars, kStoreSize);
    vars->MessAnzahl = kStoreSize;

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fast = reporter.times["BM_GesamtkurveZeichnen"];
    const double naive = reporter.times["BM_PerSampleLines"];
    const double floor = reporter.times["BM_PlainPass"];
    if (fast > 0 && floor > 0)
        std::printf("plain pass over the three curves %.1f ms: the view takes %.1fx that\n", floor, fast / floor);
    if (fast > 0 && naive > 0)
        std::printf("2,000,000 samples, 3 curves: column reduction %.1f ms, per-sample lines %.1f ms, "
                    "%.1fx faster\n",
                    fast, naive, naive / fast);
    // The same picture, pixel for pixel, on the full noisy store.
    GesamtkurveZeichnen();
    const QImage reduced = grafik.Picture1->image().copy();
    drawPerSample();
    const QImage& perSample = grafik.Picture1->image();
    long differing = 0;
    for (int y = 0; y < reduced.height(); ++y)
        for (int x = 0; x < reduced.width(); ++x)
            differing += reduced.pixel(x, y) != perSample.pixel(x, y);
    std::printf("pixels that differ from the per-sample drawing: %ld of %d\n", differing,
                reduced.width() * reduced.height());
    forms = Forms{};
    V = nullptr;
    benchmark::Shutdown();
    return 0;
}
