// The live page of an open record: redrawn from the page's first sample at 1,000 and at
// 2,000,000 samples, against drawing every sample from the first (all but the page is clipped).
#include "Bench.h"

#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "process/ChargeSession.h"
#include "testkit/PerSample.h"

#include <cmath>

namespace {

void openRecord(int messNr)
{
    loadRecord(noisyRecord(), messNr);
    ChargeSession& session = bench().session();
    GraphView& view = bench().grafik().view;
    session.MessNr = static_cast<float>(messNr);
    session.MessungBeendet = 0;
    view.LetzteSeite = std::ceil(session.MessNr / samplesPerPage(view));
    view.Seite = view.LetzteSeite;
}

void drawFromFirstSample()
{
    Formgrafik& grafik = bench().grafik();
    const ChargeSession& session = bench().session();
    grafik.ZeitachseBeschriften();
    const float S = samplesPerPage(grafik.view);
    drawPerSample(grafik.Picture1, session.Messreihe, grafik.view, grafik.Picture1->ScaleWidth() / S,
                  S * (grafik.view.LetzteSeite - 1), static_cast<int>(session.MessNr) - 1);
}

void BM_LaufKurve(benchmark::State& state)
{
    openRecord(static_cast<int>(state.range(0)));
    Formgrafik& grafik = bench().grafik();
    const ChargeSession& session = bench().session();
    for (auto _ : state) {
        grafik.GrafikAufbauen();
        grafik.LaufKurveZeichnen(session.Messreihe, session.MessNr);
    }
    pictures["live " + std::to_string(state.range(0))] = grafik.Picture1->image().copy();
}
BENCHMARK(BM_LaufKurve)->Arg(1000)->Arg(kStoreSize)->Unit(benchmark::kMillisecond);

void BM_LaufKurveNaive(benchmark::State& state)
{
    openRecord(kStoreSize);
    for (auto _ : state) {
        bench().grafik().GrafikAufbauen();
        drawFromFirstSample();
    }
    pictures["live naive"] = bench().grafik().Picture1->image().copy();
}
BENCHMARK(BM_LaufKurveNaive)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

void reportLaufKurve(const TimeReporter& times)
{
    const double small = times.ms("BM_LaufKurve/1000");
    const double full = times.ms("BM_LaufKurve/" + std::to_string(kStoreSize));
    const double naive = times.ms("BM_LaufKurveNaive/iterations:1");
    if (small == 0 || full == 0 || naive == 0)
        return;  // not run: left out by a filter
    const long differing =
        differingPixels(pictures["live " + std::to_string(kStoreSize)], pictures["live naive"]);
    table.push_back({"live page redraw at 2,000,000", format("%.2f ms", full), format("%.0f ms", naive),
                     format("%.0fx faster; %.0f pixels differ; %.2fx its time at 1,000 (%.2f ms, target 2x)",
                            naive / full, static_cast<double>(differing), full / small, small),
                     differing == 0 && full / small <= 2});
}
