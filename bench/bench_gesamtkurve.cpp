// The whole-record view of 2,000,000 samples against one line call per sample and curve, and
// against the floor: one plain pass that only reads the three curves.
#include "Bench.h"

#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "process/ChargeSession.h"
#include "testkit/PerSample.h"

namespace {

const Samples& recordOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? cleanRecord() : noisyRecord();
}

void drawWholeRecordPerSample()
{
    Formgrafik& grafik = bench().grafik();
    const Record& record = bench().session().Messreihe;
    PlotSurface* plot = grafik.Picture1;
    plot->Cls();
    grafik.GrafikAufbauen();
    const int N = static_cast<int>(record.MessAnzahl);
    drawPerSample(plot, record, grafik.view, plot->ScaleWidth() / static_cast<float>(N), 0, N);
}

void BM_Gesamtkurve(benchmark::State& state)
{
    loadRecord(recordOf(state), kStoreSize);
    for (auto _ : state)
        bench().grafik().GesamtkurveZeichnen(bench().session().Messreihe);
    pictures["ours " + recordOf(state).name] = bench().grafik().Picture1->image().copy();
}
BENCHMARK(BM_Gesamtkurve)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GesamtkurveNaive(benchmark::State& state)
{
    loadRecord(recordOf(state), kStoreSize);
    for (auto _ : state)
        drawWholeRecordPerSample();
    pictures["naive " + recordOf(state).name] = bench().grafik().Picture1->image().copy();
}
BENCHMARK(BM_GesamtkurveNaive)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_PlainPass(benchmark::State& state)
{
    loadRecord(cleanRecord(), kStoreSize);
    const Record& record = bench().session().Messreihe;
    // Eight independent sums, so that the pass runs at the speed of memory, not of one chain of adds.
    for (auto _ : state) {
        float sums[8] = {};
        for (int n = 0; n < kStoreSize; n += 8)
            for (int lane = 0; lane < 8; ++lane)
                sums[lane] +=
                    record.KurveU[n + 1 + lane] + record.KurveI[n + 1 + lane] + record.KurveQ[n + 1 + lane];
        benchmark::DoNotOptimize(sums);
    }
}
BENCHMARK(BM_PlainPass)->Unit(benchmark::kMillisecond);

}  // namespace

void reportGesamtkurve(const TimeReporter& times)
{
    const double floor = times.ms("BM_PlainPass");
    for (const auto& [arg, name] : {std::pair{"0", "clean"}, std::pair{"1", "noisy"}}) {
        const double ours = times.ms(std::string("BM_Gesamtkurve/") + arg);
        const double naive = times.ms(std::string("BM_GesamtkurveNaive/") + arg + "/iterations:1");
        if (ours == 0 || naive == 0)
            continue;  // not run: left out by a filter
        const long differing =
            differingPixels(pictures[std::string("ours ") + name], pictures[std::string("naive ") + name]);
        table.push_back(
            {std::string("whole-record view, ") + name + ", 2,000,000", format("%.1f ms", ours),
             format("%.0f ms", naive),
             format("%.0fx faster (target 20x); %.0f pixels differ; %.1fx the plain pass (target 15x)",
                    naive / ours, static_cast<double>(differing), ours / floor),
             naive / ours >= 20 && differing == 0 && ours / floor <= 15});
    }
    if (floor > 0)
        table.push_back(
            {"plain pass over the three curves (floor)", format("%.2f ms", floor), "-", "", true});
}
