// Soak run: more than 2,000,000 seconds of charger traffic through the whole program in-process,
// as fast as it goes. Runs of every mode and status with pauses, ends, stops at the charger,
// restarts, no battery, silent and frozen stretches and garbage; one record fills the store.
// The invariants hold after every second, each finished run's curve file equals the samples the
// driver sent since the record last started, and resident memory stays flat once store and log
// are full. Prints the frames, the time and VmRSS at start, middle and end.
#include "TestSupport.h"

#include "process/process.h"
#include "testkit/Invariants.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

namespace {

long residentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

struct Soak {
    // Sends one second: the bytes (none when silent), then one tick of each timer.
    void second(const QByteArray& bytes)
    {
        const invariants::Before was;
        if (!bytes.isEmpty())
            app.sendRaw(bytes);
        app.tick();
        invariants::checkInvariants(was, false);
        ++seconds;
    }

    // `count` frames whose values change every second, as a running charge's do; `kept`: the record
    // keeps them (recording and pause statuses).
    void frames(int count, int mode, int status, bool kept = false)
    {
        for (int k = 0; k < count; ++k) {
            reading = {.mode = mode,
                       .cycle = mode >= 2,
                       .inputMv = int(12000 + seconds % 997),
                       .outputMv = int(4000 + seconds * 7 % 9000),
                       .currentTenthMa = status == 9 ? 0 : int(100 + seconds * 13 % 50000),
                       .capacityMah = int(seconds / 3600 % 5000),
                       .status = status};
            second(QByteArray::fromStdString(ladomat::sim::frameLine(reading)));
            last = {reading.outputMv, reading.currentTenthMa, reading.capacityMah};
            if (kept && expected.size() < kStoreSize)
                expected.push_back(last);
        }
    }

    // No battery: the record starts again at slot 1.
    void reset(int mode)
    {
        frames(3, mode, 0);
        expected.clear();
        frames(3, mode, 1);
    }

    // One run of the mode, `length` samples; the two-phase modes pause half-way.
    void run(int mode, int length)
    {
        static constexpr int kFirst[] = {2, 3, 6, 4, 2}, kSecond[] = {2, 3, 7, 5, 2};
        frames(length / 2, mode, kFirst[mode], true);
        frames(mode == 2 || mode == 3 ? 45 : 0, mode, 9, true);
        frames(length - length / 2, mode, kSecond[mode], true);
    }

    // The curve file as exported now holds the samples and the slot after them.
    void checkCurveFile(const char* when)
    {
        app.dialogs.answers = {dir.filePath("Kurve01.TXT")};
        app.mdi->m_maketext->trigger();
        QFile file(dir.filePath("Kurve01.TXT"));
        QByteArray want;
        int n = 0;
        for (const Values& v : expected)
            want += QStringLiteral("%1,%2,%3,%4\r\n").arg(++n).arg(v[0]).arg(v[1]).arg(v[2]).toLatin1();
        if (expected.size() < kStoreSize)
            want += QStringLiteral("%1,%2,%3,%4\r\n")
                        .arg(n + 1)
                        .arg(last[0])
                        .arg(last[1])
                        .arg(last[2])
                        .toLatin1();
        invariants::require(file.open(QIODevice::ReadOnly) && file.readAll() == want, when);
        file.remove();
    }

    // Runs of every mode with their four ways to end, and the traffic between runs.
    void variety(int rounds)
    {
        for (int k = 0; k < rounds; ++k) {
            const int mode = k % 5, length = 300 + k * 397 % 2500;
            reset(mode);
            if (k % 4 == 1)  // a run after an ended one: its first frame still ends the old record
                frames(1, mode, 8);
            run(mode, length);
            if (k % 4 == 1)
                expected.erase(expected.begin());
            if (k % 4 == 0) {
                frames(20, mode, 8);
                checkCurveFile("curve file after a run's end");
            } else if (k % 4 == 1) {
                frames(5, mode, 1);
                checkCurveFile("curve file after a stop at the charger");
                invariants::require(V->MessungGestoppt == 1, "the stop was seen");
                run(mode, 1);
                invariants::require(V->MessungGestoppt == 0 && V->MessNr == 1,
                                    "a run after a stop starts anew");
            } else if (k % 4 == 2) {
                frames(1, mode, 0);
                invariants::require(V->MessNr == 1, "no battery mid-run restarts the record");
            } else {
                // Ends, and the next run starts at once: its first frame still ends the old record.
                frames(20, mode, 8);
                const int next = (mode + 2) % 5;
                expected.clear();
                run(next, 1 + length / 3);
                expected.erase(expected.begin());
                frames(20, next, 8);
                checkCurveFile("curve file after a run that followed an ended one");
            }
            // Silence, a frozen frame, garbage or short reads, unknown modes and statuses, line events.
            for (int s = 0; s < 8; ++s)
                second({});
            for (int s = 0; s < 8; ++s)
                second(QByteArray::fromStdString(ladomat::sim::frameLine(reading)));
            for (const std::string& bytes : ladomat::sim::scenario(k % 2 ? "garbage" : "short-reads"))
                second(QByteArray::fromStdString(bytes));
            frames(1, 7, 2);
            frames(1, 0, 10 + k % 6);
            app.port->raiseEvent(comEventBreak);
            app.port->raiseEvent(comEventOverrun);
        }
    }

    // One record that fills the store, all modes' recording and pause statuses mixed, with silent
    // seconds in between; it goes on past the store's end.
    void fill()
    {
        reset(2);
        for (int block = 0; expected.size() < kStoreSize; ++block) {
            run(block % 5, 1000 + block % 7 * 100);
            for (int s = 0; block % 50 == 0 && s < 8; ++s)
                second({});
        }
        invariants::require(V->MessNr == kStoreSize + 1 && V->MessungBeendet == 1,
                            "a full store ends the record");
        run(0, 1000);
        checkCurveFile("curve file after the store filled");
    }

    using Values = std::array<int, 3>;  // output voltage, current, capacity
    TestApp app;
    QTemporaryDir dir;
    ladomat::sim::Reading reading;
    Values last{};  // of the latest frame
    std::vector<Values> expected;
    long seconds = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const auto start = std::chrono::steady_clock::now();
    const auto report = [&](const char* when, long seconds) {
        std::printf("%-8s %9ld frames %7.1f s  VmRSS %ld kB\n", when, seconds,
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
                    residentKb());
        std::fflush(stdout);
    };
    // "--quick" leaves out the record that fills the store: the runs around it take seconds, the
    // whole soak minutes.
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    Soak soak;
    report("start", 0);
    soak.variety(40);
    if (!quick)
        soak.fill();
    const long middle = residentKb();
    report("middle", soak.seconds);
    soak.variety(40);
    report("end", soak.seconds);
    // Store and log are full-size from the middle on: nothing may grow after that.
    const long growth = residentKb() - middle;
    if (!quick && growth > 8 * 1024) {
        std::fprintf(stderr, "resident memory grew by %ld kB after the store filled\n", growth);
        return 1;
    }
    return 0;
}
