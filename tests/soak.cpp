// Soak run: more than 2,000,000 seconds of charger traffic through the whole program in-process, as
// fast as it goes: runs of every mode with pauses, ends and stops at the charger, restarts, no battery,
// silence, frozen frames and garbage; one record fills the store. The invariants hold after every
// second, each finished run's curve file equals the samples sent since the record started, and
// resident memory stays flat once store and log are full. Prints the frames and VmRSS.
#include "TestSupport.h"

#include "testkit/Invariants.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

static long residentKb()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);  // unreadable: 0
    return QRegularExpression("VmRSS:\\s*(\\d+)").match(status.readAll()).captured(1).toLong();
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TestApp app;
    const ChargeSession& session = app.session();
    const invariants::Checker invariants(*app.mdi);
    QTemporaryDir dir;
    QByteArray expected, last;  // the curve file's lines of the record, and the slot after them
    long seconds = 0, kept = 0;
    const auto second = [&](const QByteArray& bytes) {  // the bytes, one tick of each timer
        const invariants::Checker::Before was = invariants.before();
        app.sendRaw(bytes), app.tick();
        invariants.check(was, false), ++seconds;
    };
    // Frames of status `st` whose values change every second; `keep`: the record keeps them.
    const auto frames = [&](int count, int mode, int st, bool keep = false) {
        for (int k = 0; k < count; ++k) {
            const int u = 4000 + seconds * 7 % 9000, i = 100 + seconds * 13 % 50000, q = seconds % 5000;
            second(
                QByteArray::fromStdString(ladomat::sim::frameLine({1, mode, mode > 1, 12000, u, i, q, st})));
            last = QStringLiteral(",%1,%2,%3\r\n").arg(u).arg(i).arg(q).toLatin1();
            if (keep && kept < kStoreSize)
                expected += QByteArray::number(++kept) + last;
        }
    };
    // No battery, then ready: the record starts again at slot 1. A run of `length` samples; the two-phase
    // modes pause half-way.
    const auto reset = [&](int mode) { frames(1, mode, 0), frames(3, mode, 1), expected.clear(), kept = 0; };
    const auto run = [&](int mode, int length) {
        static constexpr int kFirst[] = {2, 3, 6, 4, 2}, kSecond[] = {2, 3, 7, 5, 2};
        frames(length / 2, mode, kFirst[mode], true);
        frames(mode == 2 || mode == 3 ? 45 : 0, mode, 9, true);
        frames(length - length / 2, mode, kSecond[mode], true);
    };
    const auto checkCurveFile = [&] {
        app.dialogs.answers = {dir.filePath("Kurve01.TXT")};
        app.mdi->m_maketext->trigger();
        const QByteArray after = kept < kStoreSize ? QByteArray::number(kept + 1) + last : QByteArray();
        invariants.require(contents(dir.filePath("Kurve01.TXT")) == expected + after, "curve file");
    };
    // Runs of every mode ended by the charger or by a stop at the charger, then a new run, and
    // silence, a frozen frame, garbage or short reads.
    const auto variety = [&](int rounds) {
        for (int k = 0; k < rounds; ++k) {
            reset(k % 5);
            run(k % 5, 300 + k * 397 % 2500);
            frames(10, k % 5, k % 2 ? 8 : 1);
            checkCurveFile();
            run(k % 5, 2);
            invariants.require(session.MessungBeendet == 0 && session.MessungGestoppt == 0, "new record");
            for (const std::string& bytes :
                 ladomat::sim::scenario(std::array{"silent", "frozen", "garbage", "short-reads"}[k % 4]))
                second(QByteArray::fromStdString(bytes));
        }
    };
    // "--quick" (the suite's form) leaves out the record that fills the store: seconds, not minutes.
    const bool quick = QCoreApplication::arguments().contains(QStringLiteral("--quick"));
    variety(40);
    for (int block = 0; !quick && kept < kStoreSize; ++block)  // all modes, the store full and beyond
        block == 0 ? reset(0) : run(block % 5, 1000 + block % 7 * 100);
    invariants.require(quick || (session.MessNr == kStoreSize + 1 && session.MessungBeendet == 1),
                       "a full store ends the record");
    if (!quick)  // then the charger's end and a new run: a new record, as after any run
        checkCurveFile(), frames(10, 0, 8), run(0, 2);
    const long middle = residentKb();  // store and log are full-size from here on: nothing may grow
    variety(40);
    std::printf("%ld frames, VmRSS %ld kB in the middle, %ld kB at the end\n", seconds, middle, residentKb());
    return !quick && residentKb() - middle > 8 * 1024;  // resident memory grew after the store filled
}
