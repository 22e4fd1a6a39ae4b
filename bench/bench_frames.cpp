// The frame chain during a recording: one charging frame arriving at the port, decoded, shown,
// recorded, drawn and logged. Its cost with 1,000 samples recorded and with 2,000,000.
#include "Bench.h"

#include "sim/Frames.h"
#include "process/ChargeSession.h"

namespace {

constexpr int kFrames = 3000;

void BM_Frame(benchmark::State& state)
{
    const int recorded = static_cast<int>(state.range(0)) - kFrames;
    recordingRun(recorded);
    int second = recorded;
    for (auto _ : state)
        send(ladomat::sim::chargeSecond(++second, kStoreSize, 54));
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    if (bench().session().MessNr != static_cast<float>(recorded + 1 + state.iterations()))
        state.SkipWithError("a frame was not recorded");
}
BENCHMARK(BM_Frame)
    ->Arg(1000 + kFrames)
    ->Arg(kStoreSize - 1)
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kFrames);

}  // namespace

void reportFrames(const TimeReporter& times)
{
    const double small =
        times.ms("BM_Frame/" + std::to_string(1000 + kFrames) + "/iterations:" + std::to_string(kFrames));
    const double full =
        times.ms("BM_Frame/" + std::to_string(kStoreSize - 1) + "/iterations:" + std::to_string(kFrames));
    if (small == 0 || full == 0)
        return;  // not run: left out by a filter
    table.push_back({"frame chain at 1,000 recorded", format("%.1f us", small * 1000), "-",
                     format("%.0f frames/s", 1000 / small), true});
    table.push_back(
        {"frame chain at 2,000,000 recorded", format("%.1f us", full * 1000), "-",
         format("%.0f frames/s; %.2fx the cost at 1,000 (target 1.5x)", 1000 / full, full / small),
         full / small <= 1.5});
}
