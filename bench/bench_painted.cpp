// The frame chain as the user's program runs it: the main window shown with the charge log open,
// and after each frame the event loop run until it is idle, so that every window lays itself
// out and paints. Its processor time per frame with 1,000 samples recorded and with 2,000,000.
#include "Bench.h"

#include "sim/Frames.h"
#include "platform/SerialPort.h"
#include "process/ChargeSession.h"
#include "shell/MDIForm1.h"

#include <QAbstractEventDispatcher>
#include <QTimer>

namespace {

constexpr int kFrames = 3000;

// Runs the event loop until it finds nothing more to do: layout, painting, timers due now.
void runUntilIdle()
{
    QAbstractEventDispatcher* loop = QAbstractEventDispatcher::instance();
    int turns = 0;
    while (turns++ < 100 && loop->processEvents(QEventLoop::AllEvents))
        continue;
}

void BM_PaintedFrame(benchmark::State& state)
{
    // A program of its own, so that its charge log holds only this run's lines.
    Bench& b = bench();
    b.window.reset();
    b.port = new MemorySerialPort;
    b.window = std::make_unique<MDIForm1>(b.port);
    b.window->Timer1->stop();
    b.window->Timer2->stop();
    b.window->show();
    b.window->m_protokoll_Click();
    runUntilIdle();

    const int recorded = static_cast<int>(state.range(0)) - kFrames;
    recordingRun(recorded);
    runUntilIdle();
    int second = recorded;
    for (auto _ : state) {
        send(ladomat::sim::chargeSecond(++second, kStoreSize, 54));
        runUntilIdle();
    }
    if (bench().session().MessNr != static_cast<float>(recorded + 1 + state.iterations()))
        state.SkipWithError("a frame was not recorded");
    b.window->hide();
}
BENCHMARK(BM_PaintedFrame)
    ->Arg(1000 + kFrames)
    ->Arg(kStoreSize - 1)
    ->Unit(benchmark::kMicrosecond)
    ->MeasureProcessCPUTime()
    ->Iterations(kFrames);

}  // namespace

void reportPaintedFrames(const TimeReporter& times)
{
    const std::string iterations = "/iterations:" + std::to_string(kFrames) + "/process_time";
    const double small = times.cpuMs("BM_PaintedFrame/" + std::to_string(1000 + kFrames) + iterations);
    const double full = times.cpuMs("BM_PaintedFrame/" + std::to_string(kStoreSize - 1) + iterations);
    if (small == 0 || full == 0)
        return;  // not run: left out by a filter
    table.push_back({"painted frame at 1,000 recorded, log shown", format("%.0f us CPU", small * 1000), "-",
                     "window shown, event loop run until idle", true});
    table.push_back({"painted frame at 2,000,000 recorded, log shown", format("%.0f us CPU", full * 1000),
                     "-", format("%.2fx the cost at 1,000 (target 1.2x)", full / small),
                     full / small <= 1.2});
}
