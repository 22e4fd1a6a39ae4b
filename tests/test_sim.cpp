// The charger simulator: frame encoding, the scenarios, curve replay and the ladomat-sim program.
#include "sim/Frames.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

using ladomat::sim::Reading;

Q_DECLARE_METATYPE(Reading)

namespace {

constexpr int kRecordingStatuses[] = { 2, 3, 4, 5, 6, 7 };

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Frame positions first..first+width-1 (counted from 1), most significant digit first:
// 16·a + b for two digits, 4096·a + 256·b + 16·c + d for four.
int field(const std::string& digits, int first, int width)
{
    int value = 0;
    for (int i = first - 1; i < first - 1 + width; ++i)
        value = 16 * value + hexValue(digits[i]);
    return value;
}

Reading decode(const std::string& digits)
{
    Reading r;
    r.serial = field(digits, 1, 2);
    r.mode = field(digits, 3, 2);
    r.cycle = field(digits, 5, 2);
    r.inputMv = field(digits, 7, 4);
    r.outputMv = field(digits, 11, 4);
    r.currentTenthMa = field(digits, 15, 4);
    r.capacityMah = field(digits, 19, 4);
    r.status = field(digits, 23, 2);
    r.flags = field(digits, 25, 2);
    return r;
}

Reading decodeLine(const std::string& line) { return decode(line.substr(1, 30)); }

QList<int> fields(const Reading& r)
{
    return { r.serial, r.mode, r.cycle, r.inputMv, r.outputMv, r.currentTenthMa, r.capacityMah, r.status,
        r.flags };
}

bool allUpperHex(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return hexValue(c) >= 0; });
}

// Start character, 30 upper-case hexadecimal digits, end character.
bool isFrameLine(const std::string& line)
{
    return line.size() == 32 && line.front() == '\x02' && line.back() == '\r'
        && allUpperHex(line.substr(1, 30));
}

std::vector<Reading> readings(const std::vector<std::string>& seconds)
{
    std::vector<Reading> result;
    for (const std::string& line : seconds)
        result.push_back(decodeLine(line));
    return result;
}

// Consecutive readings of the same status.
struct Stretch {
    int status;
    std::vector<Reading> readings;
};

std::vector<Stretch> stretches(const std::vector<Reading>& all)
{
    std::vector<Stretch> result;
    for (const Reading& r : all) {
        if (result.empty() || result.back().status != r.status)
            result.push_back({ r.status, {} });
        result.back().readings.push_back(r);
    }
    return result;
}

QList<int> statusesInOrder(const std::vector<Reading>& all)
{
    QList<int> sequence;
    for (const Stretch& s : stretches(all))
        sequence.append(s.status);
    return sequence;
}

QByteArray joined(const std::vector<std::string>& seconds)
{
    QByteArray bytes;
    for (const std::string& second : seconds)
        bytes += QByteArray::fromStdString(second);
    return bytes;
}

// Closes a file descriptor when the test leaves, also on a failed check.
struct FileDescriptor {
    int fd;
    ~FileDescriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

class TestSim : public QObject {
    Q_OBJECT

private slots:
    void frameLayout_data();
    void frameLayout();
    void scenarioCatalogue();
    void scenariosSendWellFormedFrames_data();
    void scenariosSendWellFormedFrames();
    void statusSequence_data();
    void statusSequence();
    void currentAndCapacityFollowTheStatus_data();
    void currentAndCapacityFollowTheStatus();
    void nimhChargeEndsOnMinusDeltaV();
    void silentSendsNothing();
    void frozenRepeatsOneFrame();
    void shortReadsAreCutFrames();
    void garbageMixesNoiseWithFrames();
    void replayCurveFile_data();
    void replayCurveFile();
    void programCommandLine_data();
    void programCommandLine();
    void programWritesEverySecondToADevice_data();
    void programWritesEverySecondToADevice();
    void programSendsFramesOnAPseudoTerminal();
};

void TestSim::frameLayout_data()
{
    QTest::addColumn<Reading>("reading");
    QTest::addColumn<QList<int>>("decoded");

    QTest::newRow("defaults") << Reading {} << QList<int> { 1, 0, 0, 12460, 0, 0, 0, 0, 0 };
    QTest::newRow("all zero") << Reading { 0, 0, 0, 0, 0, 0, 0, 0, 0 }
                              << QList<int> { 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    QTest::newRow("charging") << Reading { 1, 0, 0, 12460, 8350, 10000, 212, 2, 0 }
                              << QList<int> { 1, 0, 0, 12460, 8350, 10000, 212, 2, 0 };
    QTest::newRow("every field different") << Reading { 0x12, 3, 7, 13800, 6001, 50000, 1234, 9, 0xA5 }
                                           << QList<int> { 0x12, 3, 7, 13800, 6001, 50000, 1234, 9, 0xA5 };
    QTest::newRow("largest") << Reading { 255, 255, 255, 65535, 65535, 65535, 65535, 255, 255 }
                             << QList<int> { 255, 255, 255, 65535, 65535, 65535, 65535, 255, 255 };
    QTest::newRow("too wide for the field") << Reading { 0x1FF, 260, 256, 70000, 65536, 65537, -1, 0x109, -2 }
                                            << QList<int> { 255, 4, 0, 4464, 0, 1, 65535, 9, 254 };
}

void TestSim::frameLayout()
{
    QFETCH(Reading, reading);
    QFETCH(QList<int>, decoded);

    const std::string digits = ladomat::sim::frameDigits(reading);
    QCOMPARE(digits.size(), std::size_t(30));
    QVERIFY2(allUpperHex(digits), digits.c_str());
    QCOMPARE(fields(decode(digits)), decoded);

    int sum = 0;
    for (int i = 0; i < 26; ++i)
        sum += static_cast<unsigned char>(digits[i]);
    QCOMPARE(field(digits, 27, 4), sum % 65536);

    const std::string line = ladomat::sim::frameLine(reading);
    QCOMPARE(line.size(), std::size_t(32));
    QCOMPARE(line.front(), '\x02');
    QCOMPARE(line.back(), '\r');
    QCOMPARE(line.substr(1, 30), digits);
}

void TestSim::scenarioCatalogue()
{
    const std::vector<std::string> expected { "nimh-charge", "discharge", "charge-discharge",
        "discharge-charge", "lead-charge", "stop", "no-battery", "silent", "frozen", "garbage",
        "short-reads" };
    QCOMPARE(ladomat::sim::scenarioNames(), expected);
    for (const std::string& name : expected) {
        const std::vector<std::string> seconds = ladomat::sim::scenario(name);
        QVERIFY2(!seconds.empty(), name.c_str());
        QVERIFY2(seconds == ladomat::sim::scenario(name), name.c_str());
    }
    QVERIFY(ladomat::sim::scenario("no-such-scenario").empty());
}

void TestSim::scenariosSendWellFormedFrames_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : { "nimh-charge", "discharge", "charge-discharge", "discharge-charge",
             "lead-charge", "stop", "no-battery", "frozen" })
        QTest::newRow(name) << name;
}

void TestSim::scenariosSendWellFormedFrames()
{
    QFETCH(QString, name);
    const std::vector<std::string> seconds = ladomat::sim::scenario(name.toStdString());
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        QVERIFY2(isFrameLine(seconds[i]), qPrintable(QStringLiteral("second %1").arg(i)));
        const Reading r = decodeLine(seconds[i]);
        QVERIFY2(r.inputMv >= 12000 && r.inputMv <= 13800, qPrintable(QString::number(r.inputMv)));
        QVERIFY(r.mode <= 4);
        QVERIFY(r.status <= 9);
    }
}

void TestSim::statusSequence_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("statuses");

    QTest::newRow("nimh-charge") << "nimh-charge" << 0 << QList<int> { 0, 1, 2, 8 };
    QTest::newRow("discharge") << "discharge" << 1 << QList<int> { 1, 3, 8 };
    QTest::newRow("charge-discharge") << "charge-discharge" << 2 << QList<int> { 1, 6, 9, 7, 8 };
    QTest::newRow("discharge-charge") << "discharge-charge" << 3 << QList<int> { 1, 4, 9, 5, 8 };
    QTest::newRow("lead-charge") << "lead-charge" << 4 << QList<int> { 1, 2, 8 };
    QTest::newRow("stop") << "stop" << 0 << QList<int> { 1, 2, 1, 2 };
    QTest::newRow("no-battery") << "no-battery" << 0 << QList<int> { 0 };
}

void TestSim::statusSequence()
{
    QFETCH(QString, name);
    QFETCH(int, mode);
    QFETCH(QList<int>, statuses);

    const std::vector<Reading> all = readings(ladomat::sim::scenario(name.toStdString()));
    QVERIFY(std::all_of(all.begin(), all.end(), [mode](const Reading& r) { return r.mode == mode; }));
    QCOMPARE(statusesInOrder(all), statuses);
}

void TestSim::currentAndCapacityFollowTheStatus_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : { "nimh-charge", "discharge", "charge-discharge", "discharge-charge",
             "lead-charge", "stop", "no-battery" })
        QTest::newRow(name) << name;
}

// While current flows the capacity counts up from zero as current times time and the voltage moves
// the right way; without current the capacity stands still; without a battery there is no voltage.
void TestSim::currentAndCapacityFollowTheStatus()
{
    QFETCH(QString, name);
    for (const Stretch& s : stretches(readings(ladomat::sim::scenario(name.toStdString())))) {
        const QByteArray where = QByteArray("status ") + QByteArray::number(s.status);
        const Reading& first = s.readings.front();
        const Reading& last = s.readings.back();
        if (std::find(std::begin(kRecordingStatuses), std::end(kRecordingStatuses), s.status)
            == std::end(kRecordingStatuses)) {
            for (const Reading& r : s.readings) {
                QVERIFY2(r.currentTenthMa == 0, where.constData());
                QVERIFY2(r.capacityMah == first.capacityMah, where.constData());
                QVERIFY2(s.status != 0 || r.outputMv == 0, where.constData());
            }
            continue;
        }
        long long tenthMaSeconds = 0;
        int capacity = 0;
        for (const Reading& r : s.readings) {
            QVERIFY2(r.currentTenthMa > 0, where.constData());
            QVERIFY2(r.capacityMah >= capacity, where.constData());
            capacity = r.capacityMah;
            tenthMaSeconds += r.currentTenthMa;
        }
        QVERIFY2(first.capacityMah <= 1, where.constData());
        QVERIFY2(std::abs(last.capacityMah - tenthMaSeconds / 36000.0) <= 1.0, where.constData());
        const bool charging = s.status == 2 || s.status == 5 || s.status == 6;
        QVERIFY2(charging ? last.outputMv > first.outputMv : last.outputMv < first.outputMv - 1000,
            where.constData());
    }
}

void TestSim::nimhChargeEndsOnMinusDeltaV()
{
    const std::vector<Stretch> all = stretches(readings(ladomat::sim::scenario("nimh-charge")));
    QCOMPARE(all.size(), std::size_t(4));
    const std::vector<Reading>& charge = all[2].readings;

    // More than three graph pages of 720 samples each.
    QVERIFY(charge.size() > 3 * 720);
    QVERIFY2(charge.front().outputMv >= 7600 && charge.front().outputMv <= 8000,
        qPrintable(QString::number(charge.front().outputMv)));
    for (const Reading& r : charge)
        QVERIFY(r.currentTenthMa >= 9000 && r.currentTenthMa <= 11000);

    const auto peak = std::max_element(charge.begin(), charge.end(),
        [](const Reading& a, const Reading& b) { return a.outputMv < b.outputMv; });
    QVERIFY2(peak->outputMv >= 9200 && peak->outputMv <= 9600, qPrintable(QString::number(peak->outputMv)));
    QVERIFY(peak < charge.end() - 1);
    const int drop = peak->outputMv - charge.back().outputMv;
    QVERIFY2(drop > 0 && drop < 200, qPrintable(QString::number(drop)));

    QVERIFY(all[3].readings.size() >= 30);
    QCOMPARE(all[3].readings.front().capacityMah, charge.back().capacityMah);
}

void TestSim::silentSendsNothing()
{
    const std::vector<std::string> seconds = ladomat::sim::scenario("silent");
    QVERIFY(seconds.size() >= 30);
    QVERIFY(std::all_of(seconds.begin(), seconds.end(), [](const std::string& s) { return s.empty(); }));
}

void TestSim::frozenRepeatsOneFrame()
{
    const std::vector<std::string> seconds = ladomat::sim::scenario("frozen");
    QVERIFY(seconds.size() >= 30);
    QVERIFY(isFrameLine(seconds.front()));
    QVERIFY(std::all_of(
        seconds.begin(), seconds.end(), [&](const std::string& s) { return s == seconds.front(); }));
}

void TestSim::shortReadsAreCutFrames()
{
    const std::vector<std::string> seconds = ladomat::sim::scenario("short-reads");
    QVERIFY(seconds.size() >= 30);
    for (const std::string& s : seconds) {
        QVERIFY2(!s.empty() && s.size() < 32, qPrintable(QString::number(s.size())));
        QCOMPARE(s.front(), '\x02');
        QVERIFY(allUpperHex(s.substr(1)));
    }
}

void TestSim::garbageMixesNoiseWithFrames()
{
    const std::vector<std::string> seconds = ladomat::sim::scenario("garbage");
    const auto count
        = [&](auto predicate) { return std::count_if(seconds.begin(), seconds.end(), predicate); };
    const auto hasNonHex = [](const std::string& s) {
        return std::any_of(
            s.begin(), s.end(), [](char c) { return hexValue(c) < 0 && c != '\x02' && c != '\r'; });
    };
    QVERIFY(count(isFrameLine) >= 10);
    QVERIFY(count(hasNonHex) >= 10);
    QVERIFY(count([](const std::string& s) { return s.size() < 32; }) >= 5);
    QVERIFY(count([](const std::string& s) { return s.size() > 32; }) >= 5);
    QVERIFY(count([&](const std::string& s) { return s.size() == 32 && !isFrameLine(s); }) >= 5);
}

void TestSim::replayCurveFile_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<int>>("samples"); // mV, tenths of mA, mAh per charging frame

    QTest::newRow("CR LF") << "1,7800,10000,0\r\n2,7812,10000,3\r\n3,7825,9990,6\r\n"
                           << QList<int> { 7800, 10000, 0, 7812, 10000, 3, 7825, 9990, 6 };
    QTest::newRow("LF, no newline at the end")
        << "1,12000,50000,100\n2,12010,49000,114" << QList<int> { 12000, 50000, 100, 12010, 49000, 114 };
    QTest::newRow("blank and broken lines skipped") << "\r\nSek,mV,mA,mAh\r\n1,7800,10000,0\r\n2,7810\r\n"
                                                       "3,7820,10000,6,9\r\n4,7830,10000,8\r\n"
                                                    << QList<int> { 7800, 10000, 0, 7830, 10000, 8 };
    QTest::newRow("decimals rounded") << "1,7800.4,9999.6,0.5\n" << QList<int> { 7800, 10000, 1 };
    QTest::newRow("empty file") << "" << QList<int> {};
}

void TestSim::replayCurveFile()
{
    QFETCH(QString, text);
    QFETCH(QList<int>, samples);

    const std::vector<std::string> seconds = ladomat::sim::replayCurveFile(text.toStdString());
    QVERIFY(std::all_of(seconds.begin(), seconds.end(), isFrameLine));
    const std::vector<Reading> all = readings(seconds);
    QVERIFY(std::all_of(all.begin(), all.end(), [](const Reading& r) { return r.mode == 0; }));
    const QList<int> statuses = samples.isEmpty() ? QList<int> { 1, 8 } : QList<int> { 1, 2, 8 };
    QCOMPARE(statusesInOrder(all), statuses);

    QList<int> sent;
    for (const Reading& r : all)
        if (r.status == 2)
            sent << r.outputMv << r.currentTenthMa << r.capacityMah;
    QCOMPARE(sent, samples);

    for (const Reading& r : all) {
        if (r.status == 2)
            continue;
        QCOMPARE(r.currentTenthMa, 0);
        if (r.status == 1)
            QCOMPARE(r.capacityMah, 0);
        if (r.status == 8 && !samples.isEmpty()) {
            QCOMPARE(r.outputMv, samples[samples.size() - 3]);
            QCOMPARE(r.capacityMah, samples.back());
        }
    }
}

void TestSim::programCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("output");

    QByteArray names;
    for (const std::string& name : ladomat::sim::scenarioNames())
        names += QByteArray::fromStdString(name) + '\n';
    QTest::newRow("list") << QStringList { "--list" } << 0 << names;
    QTest::newRow("unknown scenario") << QStringList { "--scenario", "nimh" } << 2 << QByteArray();
    QTest::newRow("speed zero") << QStringList { "--speed", "0" } << 2 << QByteArray();
    QTest::newRow("speed not a number") << QStringList { "--speed", "fast" } << 2 << QByteArray();
    QTest::newRow("missing value") << QStringList { "--device" } << 2 << QByteArray();
    QTest::newRow("unknown option") << QStringList { "--verbose" } << 2 << QByteArray();
    QTest::newRow("unreadable curve file")
        << QStringList { "--replay", "/nonexistent/Kurve01.TXT" } << 1 << QByteArray();
}

void TestSim::programCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, output);
    const QString simulator = qEnvironmentVariable("LADOMAT_SIM");
    if (simulator.isEmpty())
        QSKIP("LADOMAT_SIM is not set");

    QProcess sim;
    sim.start(simulator, arguments);
    QVERIFY2(sim.waitForFinished(60000), qPrintable(sim.errorString()));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), exitCode);
    QCOMPARE(sim.readAllStandardOutput(), output);
}

void TestSim::programWritesEverySecondToADevice_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QByteArray>("curveFile");

    QTest::newRow("frozen") << "frozen" << QByteArray();
    QTest::newRow("garbage") << "garbage" << QByteArray();
    QTest::newRow("silent") << "silent" << QByteArray();
    QTest::newRow("replay") << QString()
                            << QByteArray("1,7800,10000,0\r\n2,7812,10000,3\r\n3,7825,9990,6\r\n");
}

// The whole scenario arrives byte for byte, and the program ends by itself at its end.
void TestSim::programWritesEverySecondToADevice()
{
    QFETCH(QString, scenario);
    QFETCH(QByteArray, curveFile);
    const QString simulator = qEnvironmentVariable("LADOMAT_SIM");
    if (simulator.isEmpty())
        QSKIP("LADOMAT_SIM is not set");

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile device(dir.filePath(QStringLiteral("device")));
    QVERIFY(device.open(QIODevice::WriteOnly));
    device.close();
    QStringList arguments { "--device", device.fileName(), "--speed", "500" };
    QByteArray expected;
    if (curveFile.isEmpty()) {
        arguments << "--scenario" << scenario;
        expected = joined(ladomat::sim::scenario(scenario.toStdString()));
    } else {
        QFile curve(dir.filePath(QStringLiteral("Kurve01.TXT")));
        QVERIFY(curve.open(QIODevice::WriteOnly));
        curve.write(curveFile);
        curve.close();
        arguments << "--replay" << curve.fileName();
        expected = joined(ladomat::sim::replayCurveFile(curveFile.toStdString()));
    }

    QProcess sim;
    sim.start(simulator, arguments);
    QVERIFY2(sim.waitForFinished(120000), qPrintable(sim.errorString()));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(sim.readAllStandardOutput().isEmpty());
    QVERIFY(device.open(QIODevice::ReadOnly));
    QCOMPARE(device.readAll(), expected);
}

// Frames arrive whole and in the scenario's order on the announced pseudo-terminal, opened as a
// client would open it; the program ends cleanly on SIGTERM.
void TestSim::programSendsFramesOnAPseudoTerminal()
{
    const QString simulator = qEnvironmentVariable("LADOMAT_SIM");
    if (simulator.isEmpty())
        QSKIP("LADOMAT_SIM is not set");

    QProcess sim;
    sim.start(simulator, { "--scenario", "nimh-charge", "--speed", "20" });
    QVERIFY2(sim.waitForStarted(30000), qPrintable(sim.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 30000);
    const QByteArray announced = sim.readLine().trimmed();
    QVERIFY2(announced.startsWith("PTY /"), announced.constData());

    const FileDescriptor port { ::open(announced.mid(4).constData(), O_RDWR | O_NOCTTY) };
    QVERIFY(port.fd >= 0);
    termios settings;
    QCOMPARE(tcgetattr(port.fd, &settings), 0);
    cfmakeraw(&settings);
    QCOMPARE(tcsetattr(port.fd, TCSANOW, &settings), 0);

    constexpr std::size_t frames = 12;
    std::string received;
    const QDeadlineTimer deadline(60000);
    while (received.size() < frames * 32 && !deadline.hasExpired()) {
        pollfd readable { port.fd, POLLIN, 0 };
        if (poll(&readable, 1, 500) <= 0)
            continue;
        char buffer[512];
        const ssize_t n = ::read(port.fd, buffer, sizeof buffer);
        QVERIFY(n > 0);
        received.append(buffer, static_cast<std::size_t>(n));
    }
    QVERIFY2(received.size() >= frames * 32, qPrintable(QString::number(received.size())));

    // Whichever second came first, the following ones are the scenario's next seconds.
    const std::vector<std::string> seconds = ladomat::sim::scenario("nimh-charge");
    const auto start = std::find(seconds.begin(), seconds.end(), received.substr(0, 32));
    QVERIFY(start != seconds.end());
    QVERIFY(seconds.end() - start >= std::ptrdiff_t(frames));
    for (std::size_t i = 0; i < frames; ++i) {
        const std::string line = received.substr(32 * i, 32);
        QVERIFY2(isFrameLine(line), qPrintable(QStringLiteral("frame %1").arg(i)));
        QCOMPARE(QByteArray::fromStdString(line), QByteArray::fromStdString(start[i]));
    }
    // The first frames of the scenario: no battery or ready, mode charge.
    const Reading firstReceived = decodeLine(received.substr(0, 32));
    QCOMPARE(firstReceived.mode, 0);
    QVERIFY(firstReceived.status <= 2);

    sim.terminate();
    QVERIFY(sim.waitForFinished(30000));
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestSim)
#include "test_sim.moc"
