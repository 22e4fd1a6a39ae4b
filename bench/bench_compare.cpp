// Six records of 2,000,000 samples compared on one plot, across time and across capacity, against
// one line call per sample and record.
#include "Bench.h"

#include "platform/PlotSurface.h"
#include "process/Record.h"
#include "records/Comparison.h"
#include "testkit/PerSample.h"

namespace {

// The clean and the noisy charge in turn, each a little lower and stronger than the one before,
// so that the six curves lie apart. The capacity is the charger's counter, which only rises: a
// capacity jittering back and forth by hundreds of mAh is no record a charger writes.
const std::vector<const Record*>& sixRecords()
{
    static const std::vector<Record> records = [] {
        std::vector<Record> all(kMostCompared);
        for (int k = 0; k < kMostCompared; ++k) {
            const Samples& samples = k % 2 == 0 ? cleanRecord() : noisyRecord();
            const float lower = 1.0f - 0.08f * static_cast<float>(k);
            for (int n = 1; n <= kStoreSize; ++n) {
                all[k].KurveU[n] = samples.u[n] * lower;
                all[k].KurveI[n] = samples.i[n] * (2.0f - lower);
                all[k].KurveQ[n] = cleanRecord().q[n] * lower;
            }
            all[k].MessAnzahl = kStoreSize;
        }
        return all;
    }();
    static const std::vector<const Record*> pointers = [] {
        std::vector<const Record*> all;
        for (const Record& record : records)
            all.push_back(&record);
        return all;
    }();
    return pointers;
}

CompareView viewOf(const benchmark::State& state)
{
    return {Quantity::voltage, state.range(0) == 0 ? Across::time : Across::capacity};
}

const char* acrossName(const benchmark::State& state) { return state.range(0) == 0 ? "time" : "capacity"; }

void BM_Compare(benchmark::State& state)
{
    const std::vector<const Record*>& records = sixRecords();
    PlotSurface plot;
    plot.resize(1000, 400);
    for (auto _ : state)
        drawComparison(&plot, records, viewOf(state));
    pictures[std::string("compare ours ") + acrossName(state)] = plot.image().copy();
}
BENCHMARK(BM_Compare)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CompareNaive(benchmark::State& state)
{
    const std::vector<const Record*>& records = sixRecords();
    PlotSurface plot;
    plot.resize(1000, 400);
    for (auto _ : state) {
        const CompareAxes axes = compareAxes(records, viewOf(state));
        drawCompareGrid(&plot, axes);
        drawGroupsPerSample(&plot, compareGroups(records, viewOf(state), axes, plot.ScaleWidth()));
    }
    pictures[std::string("compare naive ") + acrossName(state)] = plot.image().copy();
}
BENCHMARK(BM_CompareNaive)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

void reportCompare(const TimeReporter& times)
{
    for (const auto& [arg, name] : {std::pair{"0", "time"}, std::pair{"1", "capacity"}}) {
        const double ours = times.ms(std::string("BM_Compare/") + arg);
        const double naive = times.ms(std::string("BM_CompareNaive/") + arg + "/iterations:1");
        if (ours == 0 || naive == 0)
            continue;  // not run: left out by a filter
        const long differing = differingPixels(pictures[std::string("compare ours ") + name],
                                               pictures[std::string("compare naive ") + name]);
        table.push_back({std::string("compare six records across ") + name + ", 6 x 2,000,000",
                         format("%.1f ms", ours), format("%.0f ms", naive),
                         format("%.0fx faster; target < 150 ms; %.0f pixels differ", naive / ours,
                                static_cast<double>(differing)),
                         ours < 150 && differing == 0});
    }
}
