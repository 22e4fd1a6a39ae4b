// End to end: the program on the real serial port, fed by the simulator or the test on a
// pseudo-terminal, and the real program as a child process.
#include "TestSupport.h"

#include <QAction>
#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

// The curve file line of a frame line: "n,U,I,Q" from the frame's fields at 11-14, 15-18, 19-22.
static QByteArray curveLine(int n, const std::string& line)
{
    const auto field = [&](int at) { return QByteArray::number(std::stoi(line.substr(at, 4), nullptr, 16)); };
    return QByteArray::number(n) + ',' + field(11) + ',' + field(15) + ',' + field(19) + "\r\n";
}

static bool charging(const std::string& line) { return line.substr(23, 2) == "02"; }

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void nothingLost_data()
    {
        QTest::addColumn<int>("every");  // every how many seconds of the simulator's charge is sent
        QTest::addColumn<QStringList>("options");  // the simulator's pace
        QTest::addColumn<int>("stallAtMs");  // when the program stops taking events for 3 s (0: never)
        QTest::newRow("line speed") << 3 << QStringList{"--speed", "30"} << 0;
        QTest::newRow("bunched and cut") << 40 << QStringList{"--speed", "6", "--bunch", "4"} << 0;
        QTest::newRow("stall at 1 frame a second") << 400 << QStringList{"--speed", "1"} << 5500;
        // Chargers whose start or end character is a hexadecimal digit.
        QTest::newRow("envelope 0-F at 1 frame a second") << 400 << QStringList{"--envelope", "0F"} << 0;
        QTest::newRow("envelope A-0 bunched and cut")
            << 40 << QStringList{"--speed", "6", "--bunch", "4", "--envelope", "A0"} << 0;
        QTest::newRow("envelope 0-CR at line speed")
            << 3 << QStringList{"--speed", "30", "--envelope", "0\\r"} << 0;
    }

    // The simulator's charge replayed by the simulator program on a pseudo-terminal that the
    // program opens as COM1 without a word: at the most a 9600-baud line carries (30 frames a
    // second), several seconds to a write cut at random points, or with the program held up for
    // 3 s in the middle; also in envelopes of hexadecimal digits. The curve file holds exactly the
    // charging frames sent and the frame after.
    void nothingLost()
    {
        QFETCH(int, every);
        QFETCH(QStringList, options);
        QFETCH(int, stallAtMs);
        QTemporaryDir dir;
        QByteArray curve, expected;
        const std::vector<std::string> charge = ladomat::sim::scenario("nimh-charge");
        for (std::size_t k = 0; k < charge.size(); k += every)
            curve += charging(charge[k]) ? curveLine(int(k), charge[k]) : QByteArray();
        QVERIFY(write(dir.filePath("charge.txt"), curve));
        const std::vector<std::string> sent = ladomat::sim::replayCurveFile(curve.toStdString());
        int n = 0;
        for (const std::string& line : sent)
            expected += charging(line) ? curveLine(++n, line) : QByteArray();
        expected += curveLine(n + 1, sent.back());

        QProcess sim;
        sim.start(qEnvironmentVariable("LADOMAT_SIM"),
                  QStringList{"--replay", dir.filePath("charge.txt"), "--delay", "2"} + options);
        QVERIFY(sim.waitForReadyRead(10000));
        const QString announced = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY2(announced.startsWith(QLatin1String("PTY ")), qPrintable(announced));
        qputenv("LADOMAT_COM1", announced.mid(4).toLocal8Bit());
        RecordingDialogs dialogs;
        MDIForm1 window;
        qunsetenv("LADOMAT_COM1");
        QTimer::singleShot(stallAtMs, [&] { QThread::sleep(stallAtMs > 0 ? 3 : 0); });
        QTRY_VERIFY_WITH_TIMEOUT(sim.state() == QProcess::NotRunning, 60000);
        QTRY_VERIFY(window.session->MessungBeendet == 1);
        dialogs.answers = {dir.filePath("Kurve01.TXT")};
        window.m_maketext->trigger();
        QVERIFY(dialogs.messages.isEmpty() && window.session->Messreihe.MessAnzahl == n + 1);
        QCOMPARE(contents(dir.filePath("Kurve01.TXT")), expected);
    }

    // The real program, COM1 a device the user may not read and COM2 one a lock file blocks: both
    // count as missing, one line on standard error each names the device and the group to join or
    // the lock file and its holder, and the program takes COM3. Killed with SIGKILL mid-run, its
    // journal is a curve file of consecutive samples that holds every frame sent more than a
    // second before the kill. Root reads any device and removes any lock, so as root the program
    // runs as the user nobody.
    void realProgram()
    {
        // The test's own hold on each device stays out of the program: it must open them itself.
        PseudoTerminal denied, locked, allowed;
        for (const auto& [pty, mode] :
             {std::pair(&denied, 0), std::pair(&locked, 0666), std::pair(&allowed, 0666)})
            QVERIFY(chmod(qPrintable(pty->path), mode) == 0 && fcntl(pty->slave, F_SETFD, FD_CLOEXEC) == 0);
        const auto lockOf = [](QString pty) { return "/var/lock/LCK.." + pty.mid(5).replace(u'/', u'_'); };
        // Lock files are the whole system's: one that a killed run left for the allowed device
        // would block it as well.
        QFile::remove(lockOf(allowed.path));
        QFile lock(lockOf(locked.path));
        QVERIFY(write(lock.fileName(),
                      QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                          QCoreApplication::applicationFilePath().toLocal8Bit() + '\n' +
                          QSysInfo::machineHostName().toLocal8Bit() + '\n'));
        QVERIFY(
            lock.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        const auto removeLocks = qScopeGuard([&] {
            lock.remove();
            QFile::remove(lockOf(allowed.path));
        });
        // The build tree may lie in a folder only its owner can enter: nobody runs a copy.
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("ladomat-link"));
        QVERIFY(QFile::copy(qEnvironmentVariable("LADOMAT_LINK"), copy) &&
                chmod(qPrintable(dir.path()), 0777) == 0 && chmod(qPrintable(copy), 0755) == 0);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] :
             {std::pair("LADOMAT_COM1", denied.path), std::pair("LADOMAT_COM2", locked.path),
              std::pair("LADOMAT_COM3", allowed.path), std::pair("XDG_DATA_HOME", dir.path()),
              std::pair("QT_QPA_PLATFORM", QStringLiteral("offscreen"))})
            environment.insert(name, value);
        program.setProcessEnvironment(environment);
        const bool root = geteuid() == 0;
        program.start(root ? QStringLiteral("setpriv") : copy,
                      root ? QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", copy}
                           : QStringList());
        QVERIFY(program.waitForStarted());
        // The program holds COM3 open: its lock file is there.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lockOf(allowed.path)), 20000);
        QTest::qWait(1500);  // start-up empties the port
        for (int k = 1; k <= 80; ++k) {  // frame k carries capacity k
            QVERIFY(allowed.write(QByteArray::fromStdString(
                ladomat::sim::frameLine({.outputMv = 12000 + k, .capacityMah = k, .status = 2}))));
            QTest::qWait(50);
        }
        QTest::qWait(1000);
        ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
        program.waitForFinished();
        const QStringList lines = QString::fromUtf8(program.readAllStandardError()).split(u'\n');
        const QStringList hints = lines.filter(u"dialout"), lockHints = lines.filter(u"Sperrdatei");
        QVERIFY2(hints.size() == 1 && hints[0].contains(denied.path) && !hints[0].contains(allowed.path) &&
                     lockHints.size() == 1 && lockHints[0].startsWith("Ladomat Link: " + locked.path + " ") &&
                     lockHints[0].contains(QFileInfo(lock).canonicalFilePath()) &&
                     lockHints[0].contains(QString::number(QCoreApplication::applicationPid())),
                 qPrintable(lines.join(u'\n')));
        const QFileInfoList files =
            QDir(dir.filePath("Ladomat Link/Aufzeichnungen")).entryInfoList({"*.TXT"}, QDir::Files);
        QCOMPARE(files.size(), 1);
        // Consecutive samples up to the last frame, then the slot the next frame would fill.
        const QByteArray journal = contents(files[0].filePath());
        const int samples = int(journal.count('\n')) - 1;
        QByteArray expected;
        for (int n = 1, k = 81 - samples; n <= samples; ++n, ++k)
            expected += QString::asprintf("%d,%d,0,%d\r\n", n, 12000 + k, k).toLatin1();
        QVERIFY2(samples > 0 && journal.startsWith(expected), journal.constData());
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
