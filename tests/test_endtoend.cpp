// End to end: the simulator on a pseudo-terminal, the program on the real serial port.
#include "TestSupport.h"

#include "link/Formtext.h"
#include "process/Variabelen.h"
#include "shell/Formdatenformat.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"

#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    // The program opens COM1 on the simulator's pseudo-terminal, shows the latest frame the simulator
    // sent and records its charging frames in the order sent.
    void simulatorChargeReachesTheProgram()
    {
        QProcess sim;
        sim.start(qEnvironmentVariable("LADOMAT_SIM"), { "--scenario", "nimh-charge", "--speed", "20" });
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 10000);
        const QString announced = QString::fromLocal8Bit(sim.readLine()).trimmed();
        QVERIFY2(announced.startsWith(QLatin1String("PTY ")), qPrintable(announced));
        qputenv("LADOMAT_COM1", announced.mid(4).toLocal8Bit());
        RecordingDialogs dialogs;
        MDIForm1 window; // the hardware port, opened on COM1
        QVERIFY(!window.ended() && dialogs.messages.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(V->MessNr > 20, 60000);
        window.MSComm1->setPortOpen(false);
        sim.kill();
        sim.waitForFinished();
        qunsetenv("LADOMAT_COM1");

        std::vector<std::string> frames; // the 30 digits of each frame sent
        for (const std::string& second : ladomat::sim::scenario("nimh-charge"))
            frames.push_back(second.substr(1, 30));
        QVERIFY(std::find(frames.begin(), frames.end(), V->Datensatz.toStdString()) != frames.end());
        QCOMPARE(forms.datenformat->Text1->text(), V->Datensatz);
        QCOMPARE(forms.text->Text6->text(), QStringLiteral("Charging"));
        // Each recorded sample (output, current, capacity at positions 11-22) is a later charging frame
        // (status 02 at 23-24) than the sample before.
        auto next = frames.begin();
        for (int n = 1; n < V->MessNr; ++n) {
            const std::string sample = QString::asprintf("%04X%04X%04X02", int(V->KurveU[n]), int(V->KurveI[n]),
                int(V->KurveQ[n])).toStdString();
            next = std::find_if(
                next, frames.end(), [&](const std::string& f) { return f.substr(10, 14) == sample; });
            QVERIFY2(next != frames.end(), qPrintable(QStringLiteral("sample %1 was not sent").arg(n)));
            ++next;
        }
    }

    // A device the user may not read counts as missing: the program goes on to COM2 and says in one
    // line on standard error which device it may not open and which group to join. Root reads any
    // device, so as root the program runs as the user nobody; the denied device is a pseudo-terminal
    // with no permissions at all.
    void deniedDeviceIsNamedOnStandardError()
    {
        const auto openPty = [](int mode) {
            const int master = posix_openpt(O_RDWR | O_NOCTTY);
            const QString slave = master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0
                ? QString::fromLocal8Bit(ptsname(master)) : QString();
            if (!slave.isEmpty())
                chmod(ptsname(master), mode);
            return std::pair(master, slave);
        };
        const auto [deniedMaster, denied] = openPty(0);
        const auto [allowedMaster, allowed] = openPty(0666);
        QVERIFY(!denied.isEmpty() && !allowed.isEmpty());
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LADOMAT_COM1"), denied);
        environment.insert(QStringLiteral("LADOMAT_COM2"), allowed);
        program.setProcessEnvironment(environment);
        const QString link = qEnvironmentVariable("LADOMAT_LINK");
        if (geteuid() == 0)
            program.start(QStringLiteral("setpriv"), { "--reuid=65534", "--regid=65534", "--clear-groups", link });
        else
            program.start(link);
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
        ::close(deniedMaster);
        ::close(allowedMaster);
        const QStringList hints = QString::fromUtf8(program.readAllStandardError()).split(u'\n').filter(u"dialout");
        QCOMPARE(hints.size(), 1);
        QVERIFY2(hints[0].contains(denied) && !hints[0].contains(allowed), qPrintable(hints[0]));
    }
};

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
