// End to end: the simulator on a pseudo-terminal, the program on the real serial port.
#include "TestSupport.h"

#include "export/export.h"
#include "platform/CurveText.h"
#include "link/Formtext.h"
#include "process/Formprotokoll.h"
#include "process/Variabelen.h"
#include "process/process.h"
#include "link/Formdatenformat.h"
#include "process/Forms.h"
#include "shell/MDIForm1.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QScopeGuard>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>

namespace {

// Records dialogs and does something while a save dialog is open.
struct BusyDialogs : RecordingDialogs {
    QString saveFile(const SaveFileRequest& request) override
    {
        if (whileOpen)
            whileOpen();
        return RecordingDialogs::saveFile(request);
    }
    std::function<void()> whileOpen;
};

QByteArray frameLine(int status, int mv, int tenthMa = 10000, int mah = 0)
{
    return QByteArray::fromStdString(ladomat::sim::frameLine(
        {.outputMv = mv, .currentTenthMa = tenthMa, .capacityMah = mah, .status = status}));
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

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    // The program opens COM1 on the simulator's pseudo-terminal, shows the latest frame the simulator
    // sent and records its charging frames in the order sent.
    void simulatorChargeReachesTheProgram()
    {
        QProcess sim;
        sim.start(qEnvironmentVariable("LADOMAT_SIM"), {"--scenario", "nimh-charge", "--speed", "20"});
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 10000);
        const QString announced = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY2(announced.startsWith(QLatin1String("PTY ")), qPrintable(announced));
        qputenv("LADOMAT_COM1", announced.mid(4).toLocal8Bit());
        RecordingDialogs dialogs;
        MDIForm1 window;  // the hardware port, opened on COM1
        QVERIFY(!window.ended() && dialogs.messages.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(V->MessNr > 20, 60000);
        window.MSComm1->setPortOpen(false);
        sim.kill();
        sim.waitForFinished();
        qunsetenv("LADOMAT_COM1");

        std::vector<std::string> frames;  // the 30 digits of each frame sent
        for (const std::string& second : ladomat::sim::scenario("nimh-charge"))
            frames.push_back(second.substr(1, 30));
        QVERIFY(std::find(frames.begin(), frames.end(), V->Datensatz.toStdString()) != frames.end());
        QCOMPARE(forms.datenformat->Text1->text(), V->Datensatz);
        QCOMPARE(forms.text->Text6->text(), QStringLiteral("Charging"));
        // Each recorded sample (output, current, capacity at positions 11-22) is a later charging frame
        // (status 02 at 23-24) than the sample before.
        auto next = frames.begin();
        for (int n = 1; n < V->MessNr; ++n) {
            const std::string sample =
                QString::asprintf("%04X%04X%04X02", int(V->KurveU[n]), int(V->KurveI[n]), int(V->KurveQ[n]))
                    .toStdString();
            next = std::find_if(next, frames.end(),
                                [&](const std::string& f) { return f.substr(10, 14) == sample; });
            QVERIFY2(next != frames.end(), qPrintable(QStringLiteral("sample %1 was not sent").arg(n)));
            ++next;
        }
    }

    // A device the user may not read, and one that a lock file blocks, count as missing: the
    // program goes on to COM3 and says in one line on standard error each which device it may not
    // open and which group to join, or which lock file stands in the way. Root reads any device
    // and removes any lock, so as root the program runs as the user nobody, the denied device is a
    // pseudo-terminal with no permissions at all, and the lock is root's, left by a process that
    // has ended. Otherwise the lock is the test's own.
    void deniedDeviceIsNamedOnStandardError()
    {
        const auto openPty = [](int mode) {
            const int master = posix_openpt(O_RDWR | O_NOCTTY);
            const QString slave = master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0
                ? QString::fromLocal8Bit(ptsname(master))
                : QString();
            if (!slave.isEmpty())
                chmod(ptsname(master), mode);
            return std::pair(master, slave);
        };
        const auto [deniedMaster, denied] = openPty(0);
        const auto [lockedMaster, locked] = openPty(0666);
        const auto [allowedMaster, allowed] = openPty(0666);
        QVERIFY(!denied.isEmpty() && !locked.isEmpty() && !allowed.isEmpty());
        qint64 holder = QCoreApplication::applicationPid();
        if (geteuid() == 0) {
            QProcess ended;
            ended.start(QStringLiteral("true"));
            QVERIFY(ended.waitForStarted());
            holder = ended.processId();
            QVERIFY(ended.waitForFinished());
        }
        const auto lockOf = [](QString pty) { return "/var/lock/LCK.." + pty.mid(5).replace(u'/', u'_'); };
        // Lock files are the whole system's: one that a killed run left for the allowed device
        // would block it as well. The program killed below leaves one too.
        QFile::remove(lockOf(allowed));
        QFile lock(lockOf(locked));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(holder) + '\n' + QCoreApplication::applicationFilePath().toLocal8Bit() +
                   '\n' + QSysInfo::machineHostName().toLocal8Bit() + '\n');
        lock.close();
        QVERIFY(
            lock.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        const auto removeLocks = qScopeGuard([&] {
            lock.remove();
            QFile::remove(lockOf(allowed));
        });
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LADOMAT_COM1"), denied);
        environment.insert(QStringLiteral("LADOMAT_COM2"), locked);
        environment.insert(QStringLiteral("LADOMAT_COM3"), allowed);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(environment);
        QString link = qEnvironmentVariable("LADOMAT_LINK");
        // The build tree may lie in a folder only its owner can enter: nobody runs a copy, on the
        // plain offscreen platform.
        QTemporaryDir copyDir;
        if (geteuid() == 0) {
            const QString copy = copyDir.filePath(QStringLiteral("ladomat-link"));
            QVERIFY(QFile::copy(link, copy) && chmod(qPrintable(copyDir.path()), 0755) == 0 &&
                    chmod(qPrintable(copy), 0755) == 0);
            link = copy;
            program.start(QStringLiteral("setpriv"),
                          {"--reuid=65534", "--regid=65534", "--clear-groups", link});
        } else {
            program.start(link);
        }
        QVERIFY(program.waitForStarted());
        // The program holds COM2 open: one of its file descriptors is the allowed device.
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(program.processId()));
        const auto holdsAllowed = [&] {
            for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
                if (fd.symLinkTarget() == allowed)
                    return true;
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(holdsAllowed(), 20000);
        program.kill();
        program.waitForFinished();
        for (const int master : {deniedMaster, lockedMaster, allowedMaster})
            ::close(master);
        const QStringList lines = QString::fromUtf8(program.readAllStandardError()).split(u'\n');
        const QStringList hints = lines.filter(u"dialout"), lockHints = lines.filter(u"Sperrdatei");
        QCOMPARE(hints.size(), 1);
        QVERIFY2(hints[0].contains(denied) && !hints[0].contains(allowed), qPrintable(hints[0]));
        QCOMPARE(lockHints.size(), 1);
        QVERIFY2(lockHints[0].startsWith("Ladomat Link: " + locked + " ") &&
                     lockHints[0].contains(QFileInfo(lock).canonicalFilePath()) &&
                     lockHints[0].contains(QString::number(holder)),
                 qPrintable(lockHints[0]));
    }

    // The device behind COM1 disappears mid-run and comes back: a link named by a symlink, as
    // udev names an adapter, removed with its pseudo-terminal and pointed at a new one. A pseudo-
    // terminal's own name cannot serve: it lives exactly as long as its other end.
    void unpluggedDeviceComesBack()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("ttyUSB0");
        auto first = std::make_unique<PseudoTerminal>();
        QVERIFY(QFile::link(first->path, link));
        qputenv("LADOMAT_COM1", link.toLocal8Bit());
        BusyDialogs dialogs;
        MDIForm1 window;
        window.Timer1->stop();
        window.Timer2->stop();
        QVERIFY(window.MSComm1->portOpen());
        const auto sendAndWait = [&](PseudoTerminal& line, int status, int mv) {
            const float next = V->MessNr + (status == 2);
            QVERIFY(line.write(frameLine(status, mv)));
            QTRY_VERIFY(V->UAus == mv && V->MessNr == next);
        };
        sendAndWait(*first, 1, 7000);
        for (int k = 1; k <= 3; ++k)
            sendAndWait(*first, 2, 7000 + k);

        first.reset();
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

        // Back: half a frame left over on the line must not spoil the next one.
        PseudoTerminal second;
        QVERIFY(second.write(frameLine(2, 9999).left(20)));
        QVERIFY(QFile::link(second.path, link));
        QTRY_VERIFY_WITH_TIMEOUT(window.MSComm1->portOpen(), 5000);
        for (int k = 4; k <= 5; ++k)
            sendAndWait(second, 2, 7000 + k);
        QVERIFY(V->MessNr == 6 && forms.protokoll->model->rowCount() == 5 && V->KurveU[4] == 7004);
        QVERIFY(dialogs.messages.isEmpty());

        // Gone while a save dialog is open, back after Cancel: taken again without a word.
        dialogs.whileOpen = [&] {
            second.close();
            QFile::remove(link);
        };
        m_maketext_Click();
        QVERIFY(dialogs.messages.isEmpty() && !window.MSComm1->portOpen());
        PseudoTerminal third;
        QVERIFY(QFile::link(third.path, link));
        QTRY_VERIFY_WITH_TIMEOUT(window.MSComm1->portOpen(), 5000);
        sendAndWait(third, 2, 7006);
        QVERIFY(V->MessNr == 7 && dialogs.messages.isEmpty());
        window.MSComm1->setPortOpen(false);
        qunsetenv("LADOMAT_COM1");
    }

    void nothingLost_data()
    {
        QTest::addColumn<int>("every");  // every how many seconds of a full charge is sent
        QTest::addColumn<QStringList>("options");  // the simulator's pace
        QTest::addColumn<int>("stallAtMs");  // when the program stops taking events for 3 s (0: never)
        QTest::newRow("line speed") << 3 << QStringList{"--speed", "30"} << 0;
        QTest::newRow("bunched and cut") << 40 << QStringList{"--speed", "6", "--bunch", "4"} << 0;
        QTest::newRow("stall at 1 frame a second") << 400 << QStringList{"--speed", "1"} << 5500;
    }

    // A charge run from the simulator: at the most a 9600-baud line carries (30 frames a second),
    // several seconds to a write cut at random points, or with the program held up for 3 s in the
    // middle. The curve file holds exactly the charging frames sent and the frame after them.
    void nothingLost()
    {
        QFETCH(int, every);
        QFETCH(QStringList, options);
        QFETCH(int, stallAtMs);
        QTemporaryDir dir;
        QByteArray curve;
        const std::vector<std::string> charge = ladomat::sim::scenario("nimh-charge");
        for (std::size_t k = 0; k < charge.size(); k += every)
            if (charge[k].substr(23, 2) == "02")
                curve += curveLine(int(k), charge[k]);
        QFile file(dir.filePath("charge.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(curve) == curve.size());
        file.close();

        QByteArray expected;
        int n = 0;
        std::string last;
        for (const std::string& line : ladomat::sim::replayCurveFile(curve.toStdString())) {
            if (line.substr(23, 2) == "02")
                expected += curveLine(++n, line);
            last = line;
        }
        expected += curveLine(n + 1, last);

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
        QCOMPARE(V->MessAnzahl, float(n + 1));
        QCOMPARE(contents(dir.filePath("Kurve01.TXT")), expected);
    }

    // The real program killed with SIGKILL mid-run: its journal is a curve file of consecutive
    // samples that holds every frame sent more than a second before the kill.
    void killedProgramKeepsItsJournal()
    {
        PseudoTerminal line;
        QTemporaryDir data;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LADOMAT_COM1", line.path);
        env.insert("XDG_DATA_HOME", data.path());
        program.setProcessEnvironment(env);
        program.start(qEnvironmentVariable("LADOMAT_LINK"));
        QVERIFY(program.waitForStarted());
        QTest::qWait(1500);  // start-up empties the port
        QElapsedTimer clock;
        clock.start();
        std::vector<qint64> sentAt{0};  // frame k carries capacity k
        for (int k = 1; k <= 80; ++k) {
            QVERIFY(line.write(frameLine(2, 12000 + k, 10000, k)));
            sentAt.push_back(clock.elapsed());
            QTest::qWait(50);
        }
        ::kill(static_cast<pid_t>(program.processId()), SIGKILL);
        const qint64 killedAt = clock.elapsed();
        program.waitForFinished();

        const QDir folder(data.filePath(QStringLiteral("Ladomat Link/Aufzeichnungen")));
        const QStringList files = folder.entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        const QByteArray text = contents(folder.filePath(files.first()));
        const CurveFile journal = parseCurveFile(text.toStdString(), kStoreSize);
        QCOMPARE(journal.badLine, 0);
        // The last line is the slot the next frame would fill; the ones before are samples.
        const int samples = journal.count - 1;
        QVERIFY(samples > 0);
        for (int n = 1; n <= samples; ++n) {
            const int k = static_cast<int>(journal.q[n]);
            QCOMPARE(journal.u[n], float(12000 + k));
            QVERIFY2(n == 1 || k == journal.q[n - 1] + 1, qPrintable(QStringLiteral("gap at %1").arg(n)));
        }
        int lastDue = 0;
        while (lastDue + 1 < int(sentAt.size()) && sentAt[lastDue + 1] <= killedAt - 1000)
            ++lastDue;
        QVERIFY2(journal.q[samples] >= lastDue,
                 qPrintable(QStringLiteral("last sample %1, sent a second before the kill %2")
                                .arg(journal.q[samples])
                                .arg(lastDue)));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
