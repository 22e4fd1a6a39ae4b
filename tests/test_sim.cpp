// The charger simulator: frame encoding, the scenarios, curve replay and the ladomat-sim program.
#include "sim/Frames.h"

#include <QProcess>
#include <QSerialPort>
#include <QTemporaryFile>
#include <QtTest>

#include <algorithm>
#include <numeric>
#include <regex>

namespace sim = ladomat::sim;
using Seconds = std::vector<std::string>;

// Start character, 30 upper-case hexadecimal digits, end character.
static bool isFrameLine(const std::string& s)
{
    return std::regex_match(s, std::regex("\x02[0-9A-F]{30}\r"));
}

// A frame line read back; line index p holds frame position p (the start character is index 0).
static sim::Reading decode(const std::string& line)
{
    const auto at = [&](int first, int width) { return std::stoi(line.substr(first, width), nullptr, 16); };
    return {at(1, 2), at(3, 2), at(5, 2), at(7, 4), at(11, 4), at(15, 4), at(19, 4), at(23, 2), at(25, 2)};
}

static QByteArray joined(const Seconds& seconds)
{
    return QByteArray::fromStdString(std::accumulate(seconds.begin(), seconds.end(), std::string()));
}

// Runs the simulator to its end: its exit code, or -1 when it did not end normally.
static int runSimulator(const QStringList& arguments)
{
    QProcess child;
    child.start(qEnvironmentVariable("LADOMAT_SIM"), arguments);
    return child.waitForFinished(120000) && child.exitStatus() == QProcess::NormalExit ? child.exitCode()
                                                                                       : -1;
}

// Runs the simulator fast onto an empty file as its device: the exit code and the bytes that arrived.
static std::pair<int, QByteArray> runOnDevice(const QStringList& arguments)
{
    QTemporaryFile device;
    if (!device.open())
        return {-1, {}};
    const int code = runSimulator(QStringList{"--device", device.fileName(), "--speed", "500"} + arguments);
    return {code, device.readAll()};
}

class TestSim : public QObject {
    Q_OBJECT

private slots:
    // Each field in its place, most significant digit first, then the checksum 0x0576: the sum of the
    // byte values of digits 1-26.
    void frameLayout()
    {
        QCOMPARE(QByteArray::fromStdString(sim::frameLine({0x12, 3, 7, 13800, 6001, 50000, 1234, 9, 0xA5})),
                 QByteArray("\x02"
                            "12"
                            "03"
                            "07"
                            "35E8"
                            "1771"
                            "C350"
                            "04D2"
                            "09"
                            "A5"
                            "0576"
                            "\r"));
    }

    void scenarioStatuses_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QList<int>>("statuses");
        QTest::newRow("nimh-charge") << 0 << QList<int>{0, 1, 2, 8};
        QTest::newRow("discharge") << 1 << QList<int>{1, 3, 8};
        QTest::newRow("charge-discharge") << 2 << QList<int>{1, 6, 9, 7, 8};
        QTest::newRow("discharge-charge") << 3 << QList<int>{1, 4, 9, 5, 8};
        QTest::newRow("lead-charge") << 4 << QList<int>{1, 2, 8};
        QTest::newRow("stop") << 0 << QList<int>{1, 2, 1, 2};
        QTest::newRow("no-battery") << 0 << QList<int>{0};
    }

    // The scenario named by the row sends one frame a second in its mode, with its statuses in this order;
    // current flows exactly while a charge or discharge is recorded (statuses 2 to 7).
    void scenarioStatuses()
    {
        QFETCH(int, mode);
        QFETCH(QList<int>, statuses);
        QList<int> seen;
        for (const std::string& second : sim::scenario(QTest::currentDataTag())) {
            QVERIFY2(isFrameLine(second), second.c_str());
            const sim::Reading r = decode(second);
            QCOMPARE(r.mode, mode);
            QCOMPARE(r.currentTenthMa > 0, r.status >= 2 && r.status <= 7);
            if (seen.isEmpty() || seen.back() != r.status)
                seen << r.status;
        }
        QCOMPARE(seen, statuses);
    }

    // Past three graph pages of 720 samples the voltage peaks and falls a little before the charge ends
    // (minus delta V); the capacity is current times time and stands still once ended.
    void nimhChargeEndsOnMinusDeltaV()
    {
        const Seconds seconds = sim::scenario("nimh-charge");
        std::vector<sim::Reading> charge;
        for (const std::string& second : seconds)
            if (decode(second).status == 2)
                charge.push_back(decode(second));
        const sim::Reading end = decode(seconds.back());
        QVERIFY(charge.size() > 3 * 720 && end.status == 8);
        const auto peak =
            std::max_element(charge.begin(), charge.end(), [](const sim::Reading& a, const sim::Reading& b) {
                return a.outputMv < b.outputMv;
            });
        const int drop = peak->outputMv - charge.back().outputMv;
        QVERIFY2(drop > 0 && drop < 200, qPrintable(QString::number(drop)));
        const double tenthMaSeconds =
            std::accumulate(charge.begin(), charge.end(), 0.0,
                            [](double sum, const sim::Reading& r) { return sum + r.currentTenthMa; });
        QVERIFY(std::abs(charge.back().capacityMah - tenthMaSeconds / 36000) <= 1);
        QCOMPARE(end.capacityMah, charge.back().capacityMah);
    }

    // A faulty line: nothing at all, one frame over and over, frames cut short, or noise among frames.
    void faultyLineScenarios()
    {
        const Seconds silent = sim::scenario("silent");
        QVERIFY(silent.size() >= 30 && silent == Seconds(silent.size()));  // every second empty
        const Seconds frozen = sim::scenario("frozen");
        QVERIFY(frozen.size() >= 30 && isFrameLine(frozen[0]) && frozen == Seconds(frozen.size(), frozen[0]));
        const Seconds cut = sim::scenario("short-reads");
        QVERIFY(cut.size() >= 30);
        for (const std::string& s : cut)
            QVERIFY2(std::regex_match(s, std::regex("\x02[0-9A-F]{1,29}")), s.c_str());
        const Seconds garbage = sim::scenario("garbage");
        const auto count = [&](auto fits) { return std::count_if(garbage.begin(), garbage.end(), fits); };
        QVERIFY(count(isFrameLine) >= 10);
        QVERIFY(count([](const std::string& s) { return s.size() != 32; }) >= 10);
        QVERIFY(count([](const std::string& s) { return s.size() == 32 && !isFrameLine(s); }) >= 5);
    }

    // Lines "n,mV,tenthmA,mAh" (CR LF or LF, rounded) become charging frames in mode 0; other lines are
    // skipped. A few ready frames come first, a few ended frames last.
    void replayCurveFile()
    {
        QList<int> statuses, charging;
        for (const std::string& second :
             sim::replayCurveFile("Sek,mV,mA,mAh\r\n1,7800,10000,0\r\n\r\n"
                                  "2,7810\r\n3,7820,10000,6,9\r\n4,7830.4,9999.6,5.5\n5,7841,9990,8")) {
            QVERIFY2(isFrameLine(second), second.c_str());
            const sim::Reading r = decode(second);
            QVERIFY(r.mode == 0 && (r.status == 2 || r.currentTenthMa == 0));
            if (statuses.isEmpty() || statuses.back() != r.status)
                statuses << r.status;
            if (r.status == 2)
                charging << r.outputMv << r.currentTenthMa << r.capacityMah;
        }
        QCOMPARE(statuses, (QList<int>{1, 2, 8}));
        QCOMPARE(charging, (QList<int>{7800, 10000, 0, 7830, 10000, 6, 7841, 9990, 8}));
    }

    // An unknown scenario is refused (exit code 2). A scenario or a curve file arrives on a device byte for
    // byte, and the program ends by itself.
    void programWritesEverySecondToADevice()
    {
        QCOMPARE(runSimulator({"--scenario", "nimh"}), 2);
        QCOMPARE(runOnDevice({"--scenario", "garbage"}), std::pair(0, joined(sim::scenario("garbage"))));
        const std::string curveText = "1,7800,10000,0\r\n2,7812,10000,3\r\n";
        QTemporaryFile curve;
        QVERIFY(curve.open() && curve.write(curveText.c_str()) > 0 && curve.flush());
        QCOMPARE(runOnDevice({"--replay", curve.fileName()}),
                 std::pair(0, joined(sim::replayCurveFile(curveText))));
    }

    // Whole frames in the scenario's order on the announced pseudo-terminal, opened as the program opens
    // a port; the simulator ends cleanly on SIGTERM.
    void programSendsFramesOnAPseudoTerminal()
    {
        QProcess child;
        child.start(qEnvironmentVariable("LADOMAT_SIM"), {"--scenario", "nimh-charge", "--speed", "20"});
        QTRY_VERIFY_WITH_TIMEOUT(child.canReadLine(), 30000);
        QSerialPort port(QString::fromLocal8Bit(child.readLine().trimmed().mid(4)));  // "PTY <path>"
        QVERIFY2(port.open(QIODevice::ReadOnly), qPrintable(port.errorString()));
        constexpr int frames = 12;
        while (port.bytesAvailable() < frames * 32 && port.waitForReadyRead(30000)) { }
        const QByteArray received = port.read(frames * 32);
        // Whichever second came first, the following ones are the scenario's next seconds.
        const Seconds seconds = sim::scenario("nimh-charge");
        const auto start = std::find(seconds.begin(), seconds.end(), received.left(32).toStdString());
        QVERIFY(seconds.end() - start >= frames);
        QCOMPARE(received, joined(Seconds(start, start + frames)));
        child.terminate();
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(std::pair(child.exitStatus(), child.exitCode()), std::pair(QProcess::NormalExit, 0));
    }
};

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
