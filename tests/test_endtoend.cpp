// End to end: the program on the real serial port, fed by the simulator or the test on a
// pseudo-terminal, and the real program as a child process.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/CurveText.h"
#include "process/Formprotokoll.h"
#include "process/Forms.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSysInfo>
#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray frameLine(int status, int mv, int mah = 0)
{
    return QByteArray::fromStdString(ladomat::sim::frameLine(
        {.outputMv = mv, .currentTenthMa = 10000, .capacityMah = mah, .status = status}));
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

// The curve file line of a frame line: "n,U,I,Q" from the frame's fields at 11-14, 15-18, 19-22.
QByteArray curveLine(int n, const std::string& line)
{
    const auto field = [&](int at) { return QByteArray::number(std::stoi(line.substr(at, 4), nullptr, 16)); };
    return QByteArray::number(n) + ',' + field(11) + ',' + field(15) + ',' + field(19) + "\r\n";
}

bool charging(const std::string& line) { return line.substr(23, 2) == "02"; }

}  // namespace

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
    }

    // The simulator's charge replayed by the simulator program on a pseudo-terminal that the
    // program opens as COM1 without a word: at the most a 9600-baud line carries (30 frames a
    // second), several seconds to a write cut at random points, or with the program held up for
    // 3 s in the middle. The curve file holds exactly the charging frames sent and the frame after.
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
        QFile file(dir.filePath("charge.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(curve) == curve.size() && file.flush());
        const std::vector<std::string> sent = ladomat::sim::replayCurveFile(curve.toStdString());
        int n = 0;
        for (const std::string& line : sent)
            expected += charging(line) ? curveLine(++n, line) : QByteArray();
        expected += curveLine(n + 1, sent.back());

        QProcess sim;
        sim.start(qEnvironmentVariable("LADOMAT_SIM"),
                  QStringList{"--replay", file.fileName(), "--delay", "2"} + options);
        QVERIFY(sim.waitForReadyRead(10000));
        const QString announced = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY2(announced.startsWith(QLatin1String("PTY ")), qPrintable(announced));
        qputenv("LADOMAT_COM1", announced.mid(4).toLocal8Bit());
        RecordingDialogs dialogs;
        MDIForm1 window;
        qunsetenv("LADOMAT_COM1");
        QVERIFY(window.MSComm1->portOpen());
        if (stallAtMs > 0)
            QTimer::singleShot(stallAtMs, [] { QThread::sleep(3); });
        QTRY_VERIFY_WITH_TIMEOUT(sim.state() == QProcess::NotRunning, 60000);
        QTRY_VERIFY(V->MessungBeendet == 1);
        dialogs.answers = {dir.filePath("Kurve01.TXT")};
        window.m_maketext->trigger();
        QVERIFY(dialogs.messages.isEmpty() && V->MessAnzahl == n + 1);
        QCOMPARE(contents(dir.filePath("Kurve01.TXT")), expected);
    }

    // The real program, COM1 a device the user may not read and COM2 one a lock file blocks: both
    // count as missing, one line on standard error each names the device and the group to join or
    // the lock file and its holder, and the program takes COM3. Killed with SIGKILL mid-run, its
    // journal is a curve file of consecutive samples that holds every frame sent more than a
    // second before the kill. Root reads any device and removes any lock, so as root the program
    // runs as the user nobody and the lock is root's, left by a process that has ended.
    void realProgram()
    {
        // The test's own hold on each device stays out of the program: it must open them itself.
        PseudoTerminal denied, locked, allowed;
        for (const auto& [pty, mode] :
             {std::pair(&denied, 0), std::pair(&locked, 0666), std::pair(&allowed, 0666)})
            QVERIFY(chmod(qPrintable(pty->path), mode) == 0 && fcntl(pty->slave, F_SETFD, FD_CLOEXEC) == 0);
        const bool root = geteuid() == 0;
        qint64 holder = QCoreApplication::applicationPid();
        if (root) {
            QProcess ended;
            ended.start(QStringLiteral("true"));
            QVERIFY(ended.waitForStarted());
            holder = ended.processId();
            QVERIFY(ended.waitForFinished());
        }
        const auto lockOf = [](QString pty) { return "/var/lock/LCK.." + pty.mid(5).replace(u'/', u'_'); };
        // Lock files are the whole system's: one that a killed run left for the allowed device
        // would block it as well.
        QFile::remove(lockOf(allowed.path));
        QFile lock(lockOf(locked.path));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(holder) + '\n' + QCoreApplication::applicationFilePath().toLocal8Bit() +
                   '\n' + QSysInfo::machineHostName().toLocal8Bit() + '\n');
        lock.close();
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
        if (root)
            program.start(QStringLiteral("setpriv"),
                          {"--reuid=65534", "--regid=65534", "--clear-groups", copy});
        else
            program.start(copy);
        QVERIFY(program.waitForStarted());
        // The program holds COM3 open: one of its file descriptors is the allowed device.
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(program.processId()));
        const auto holdsAllowed = [&] {
            const QFileInfoList open = fds.entryInfoList(QDir::Files | QDir::System);
            return std::any_of(open.begin(), open.end(),
                               [&](const QFileInfo& fd) { return fd.symLinkTarget() == allowed.path; });
        };
        QTRY_VERIFY_WITH_TIMEOUT(holdsAllowed(), 20000);
        QTest::qWait(1500);  // start-up empties the port
        QElapsedTimer clock;
        clock.start();
        std::vector<qint64> sentAt{0};  // frame k carries capacity k
        for (int k = 1; k <= 80; ++k) {
            QVERIFY(allowed.write(frameLine(2, 12000 + k, k)));
            sentAt.push_back(clock.elapsed());
            QTest::qWait(50);
        }
        ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
        const qint64 killedAt = clock.elapsed();
        program.waitForFinished();

        const QStringList lines = QString::fromUtf8(program.readAllStandardError()).split(u'\n');
        const QStringList hints = lines.filter(u"dialout"), lockHints = lines.filter(u"Sperrdatei");
        QVERIFY2(hints.size() == 1 && hints[0].contains(denied.path) && !hints[0].contains(allowed.path),
                 qPrintable(lines.join(u'\n')));
        QVERIFY2(lockHints.size() == 1 && lockHints[0].startsWith("Ladomat Link: " + locked.path + " ") &&
                     lockHints[0].contains(QFileInfo(lock).canonicalFilePath()) &&
                     lockHints[0].contains(QString::number(holder)),
                 qPrintable(lines.join(u'\n')));

        const QDir folder(dir.filePath(QStringLiteral("Ladomat Link/Aufzeichnungen")));
        const QStringList files = folder.entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const CurveFile journal =
            parseCurveFile(contents(folder.filePath(files.first())).toStdString(), kStoreSize);
        // The last line is the slot the next frame would fill; the ones before are samples.
        const int samples = journal.count - 1;
        QVERIFY(journal.badLine == 0 && samples > 0);
        for (int n = 1; n <= samples; ++n) {
            const int k = static_cast<int>(journal.q[n]);
            QVERIFY2(journal.u[n] == 12000 + k && (n == 1 || k == journal.q[n - 1] + 1),
                     qPrintable(QStringLiteral("gap at %1").arg(n)));
        }
        int lastDue = 0;
        while (lastDue + 1 < int(sentAt.size()) && sentAt[lastDue + 1] <= killedAt - 1000)
            ++lastDue;
        QVERIFY2(journal.q[samples] >= lastDue,
                 qPrintable(QStringLiteral("last sample %1, sent a second before "
                                           "the kill %2")
                                .arg(journal.q[samples])
                                .arg(lastDue)));
    }

    // The device behind COM1 disappears mid-run and comes back: a link named by a symlink, as
    // udev names an adapter, removed with its pseudo-terminal and pointed at a new one (a pseudo-
    // terminal's own name lives exactly as long as its other end). What was recorded exports
    // meanwhile, and the record goes on; half a frame left over on the new line spoils nothing.
    void unpluggedDeviceComesBack()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("ttyUSB0");
        auto line = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(line->path, link));
        qputenv("LADOMAT_COM1", link.toLocal8Bit());
        const auto unsetCom1 = qScopeGuard([] { qunsetenv("LADOMAT_COM1"); });
        RecordingDialogs dialogs;
        MDIForm1 window;
        window.Timer1->stop();
        window.Timer2->stop();
        QVERIFY(window.MSComm1->portOpen());
        const auto sendAndWait = [&](int status, int mv) {
            const float next = V->MessNr + (status == 2);
            QVERIFY(line->write(frameLine(status, mv)));
            QTRY_VERIFY(V->UAus == mv && V->MessNr == next);
        };
        for (int k = 0; k <= 3; ++k)
            sendAndWait(k ? 2 : 1, 7000 + k);
        line.reset();
        QVERIFY(QFile::remove(link));
        QTRY_VERIFY(!window.MSComm1->portOpen());
        for (int tick = 0; tick < 6; ++tick)
            Timer1_Timer();
        QVERIFY(forms.akku->Text7->text().startsWith("Ein Fehler ist aufgetreten ... "));
        QVERIFY(V->MessNr == 4 && V->MessAnzahl == 4 && forms.protokoll->model->rowCount() == 3);
        dialogs.answers = {dir.filePath("Kurve01.TXT")};
        m_maketext_Click();  // enabled or not, an export of what is recorded must work now
        QCOMPARE(contents(dir.filePath("Kurve01.TXT")),
                 "1,7001,10000,0\r\n2,7002,10000,0\r\n3,7003,10000,0\r\n4,0,0,0\r\n");
        QVERIFY(dialogs.messages.isEmpty() && !window.MSComm1->portOpen());

        line = std::make_unique<PseudoTerminal>();
        QVERIFY(line->write(frameLine(2, 9999).left(20)) && QFile::link(line->path, link));
        QTRY_VERIFY_WITH_TIMEOUT(window.MSComm1->portOpen(), 5000);
        for (int k = 4; k <= 5; ++k)
            sendAndWait(2, 7000 + k);
        QVERIFY(V->MessNr == 6 && forms.protokoll->model->rowCount() == 5 && V->KurveU[4] == 7004);
        window.MSComm1->setPortOpen(false);
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
