// End to end: the simulator on a pseudo-terminal, the program on the real serial port.
#include "TestSupport.h"

#include "link/Formtext.h"
#include "process/Variabelen.h"
#include "shell/Formdatenformat.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"

#include <QLineEdit>
#include <QProcess>
#include <QtTest>

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
};

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
