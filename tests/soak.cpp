// Soak run: more than 2,000,000 seconds of charger traffic through the whole program in-process,
// as fast as it goes. Runs of every mode and status with pauses, ends, stops at the charger,
// restarts, no battery, silent and frozen stretches and garbage; one record fills the store.
// The invariants hold after every second, each finished run's curve file equals the samples the
// driver sent since the record last started, and resident memory stays flat once store and log
// are full. Prints the frames, the time and VmRSS at start, middle and end.
#include "TestSupport.h"

#include "export/export.h"
#include "process/process.h"
#include "shell/MDIForm1.h"
#include "testkit/Invariants.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using ladomat::sim::Reading;

long residentKb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

class Soak {
public:
    // Sends one second: the bytes (none when silent), then one tick of each timer.
    void second(const QByteArray& bytes)
    {
        const invariants::Before was = invariants::before();
        if (!bytes.isEmpty())
            app.sendRaw(bytes);
        Timer1_Timer();
        Timer2_Timer();
        invariants::checkInvariants(was, false);
        ++seconds;
    }

    // A frame whose values change every second, as a running charge's do.
    void frame(int mode, int status)
    {
        reading.mode = mode;
        reading.status = status;
        reading.cycle = mode >= 2;
        reading.inputMv = 12000 + seconds % 997;
        reading.outputMv = 4000 + seconds * 7 % 9000;
        reading.currentTenthMa = status == 9 ? 0 : 100 + seconds * 13 % 50000;
        reading.capacityMah = seconds / 3600 % 5000;
        second(QByteArray::fromStdString(ladomat::sim::frameLine(reading)));
        last = {reading.outputMv, reading.currentTenthMa, reading.capacityMah};
    }

    // A sample the record keeps: recording and pause statuses.
    void sample(int mode, int status)
    {
        frame(mode, status);
        if (expected.size() < kStoreSize)
            expected.push_back(last);
    }

    // No battery: the record starts again at slot 1.
    void reset(int mode)
    {
        for (int k = 0; k < 3; ++k)
            frame(mode, 0);
        expected.clear();
        for (int k = 0; k < 3; ++k)
            frame(mode, 1);
    }

    // One run of the mode, `length` samples; the two-phase modes pause half-way.
    void run(int mode, int length)
    {
        static constexpr int kFirst[] = {2, 3, 6, 4, 2};
        static constexpr int kSecond[] = {2, 3, 7, 5, 2};
        for (int k = 0; k < length / 2; ++k)
            sample(mode, kFirst[mode]);
        if (mode == 2 || mode == 3)
            for (int k = 0; k < 45; ++k)
                sample(mode, 9);
        for (int k = length / 2; k < length; ++k)
            sample(mode, kSecond[mode]);
    }

    // The curve file as exported now; it must hold the samples and the slot after them.
    void checkCurveFile(const char* when)
    {
        app.dialogs.answers = {dir.filePath("Kurve01.TXT")};
        app.mdi->m_maketext->trigger();
        QFile file(dir.filePath("Kurve01.TXT"));
        invariants::require(file.open(QIODevice::ReadOnly), "the curve file was written");
        QByteArray want;
        want.reserve(static_cast<qsizetype>(expected.size() + 1) * 24);
        int n = 0;
        for (const Values& values : expected)
            want += curveLine(++n, values);
        if (expected.size() < kStoreSize)
            want += curveLine(n + 1, last);
        if (file.readAll() != want) {
            std::fprintf(stderr, "curve file differs %s\n", when);
            std::abort();
        }
        file.remove();
    }

    // Runs of every mode with their ways to end, and the traffic between runs.
    void variety(int rounds)
    {
        for (int k = 0; k < rounds; ++k) {
            const int mode = k % 5;
            const int length = 300 + k * 397 % 2500;
            reset(mode);
            if (k % 4 == 1) {
                // A run after an ended one: its first frame still ends the old record, and the stop
                // below is seen, as it is only in a record not yet ended.
                frame(mode, 8);
                run(mode, length);
                expected.erase(expected.begin());
            } else {
                run(mode, length);
            }
            switch (k % 4) {
            case 0:  // ends normally
                for (int s = 0; s < 20; ++s)
                    frame(mode, 8);
                checkCurveFile("after a run's end");
                break;
            case 1:  // stopped at the charger
                for (int s = 0; s < 5; ++s)
                    frame(mode, 1);
                checkCurveFile("after a stop");
                invariants::require(V->MessungGestoppt == 1, "the stop was seen");
                run(mode, 1);  // and the next run starts a new record
                invariants::require(V->MessungGestoppt == 0 && V->MessNr == 1,
                                    "a run after a stop starts anew");
                break;
            case 2:  // battery taken off mid-run
                frame(mode, 0);
                invariants::require(V->MessNr == 1, "no battery restarts the record");
                break;
            case 3: {  // ends, and the next run starts at once: its first frame still ends the old record
                for (int s = 0; s < 20; ++s)
                    frame(mode, 8);
                const int next = (mode + 2) % 5;
                expected.clear();
                run(next, 1 + length / 3);
                expected.erase(expected.begin());
                for (int s = 0; s < 20; ++s)
                    frame(next, 8);
                checkCurveFile("after a run that followed an ended one");
                break;
            }
            }
            between(k);
        }
    }

    // Silence, a frozen frame, garbage and short reads, unknown modes and statuses, line events.
    void between(int k)
    {
        for (int s = 0; s < 8; ++s)
            second({});
        const QByteArray frozen = QByteArray::fromStdString(ladomat::sim::frameLine(reading));
        for (int s = 0; s < 8; ++s)
            second(frozen);
        for (const std::string& bytes : ladomat::sim::scenario(k % 2 ? "garbage" : "short-reads"))
            second(QByteArray::fromStdString(bytes));
        frame(7, 2);
        frame(0, 10 + k % 6);
        app.port->raiseEvent(comEventBreak);
        app.port->raiseEvent(comEventOverrun);
    }

    // One record that fills the store, all modes' recording and pause statuses mixed, with silent
    // and frozen seconds in between; it goes on past the store's end.
    void fill()
    {
        reset(2);
        for (int block = 0; expected.size() < kStoreSize; ++block) {
            run(block % 5, 1000 + block % 7 * 100);
            if (block % 50 == 0)
                for (int s = 0; s < 8; ++s)
                    second({});
        }
        invariants::require(V->MessNr == kStoreSize + 1 && V->MessungBeendet == 1,
                            "a full store ends the record");
        run(0, 1000);
        checkCurveFile("after the store filled");
    }

    TestApp app;
    QTemporaryDir dir;
    Reading reading;
    using Values = std::array<int, 3>;  // output voltage, current, capacity
    Values last{};  // of the latest frame
    std::vector<Values> expected;
    long seconds = 0;

private:
    static QByteArray curveLine(int n, const Values& v)
    {
        return QByteArray::number(n) + ',' + QByteArray::number(v[0]) + ',' + QByteArray::number(v[1]) + ',' +
            QByteArray::number(v[2]) + "\r\n";
    }
};

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto report = [&](const char* when, long seconds) {
        std::printf("%-8s %9ld frames %7.1f s  VmRSS %ld kB\n", when, seconds,
                    std::chrono::duration<double>(Clock::now() - start).count(), residentKb());
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
    if (quick)
        return 0;
    // Store and log are full-size from the middle on: nothing may grow after that.
    const long growth = residentKb() - middle;
    if (growth > 8 * 1024) {
        std::fprintf(stderr, "resident memory grew by %ld kB after the store filled\n", growth);
        return 1;
    }
    return 0;
}
