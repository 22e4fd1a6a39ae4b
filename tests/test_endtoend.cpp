// End to end: the simulator on a pseudo-terminal, the program on the real serial port.
#include "TestSupport.h"

#include "link/Formtext.h"
#include "platform/NumberText.h"
#include "process/Variabelen.h"
#include "shell/Formdatenformat.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"

#include <QLineEdit>
#include <QProcess>
#include <QTimer>
#include <QtTest>

namespace {

// Value of frame positions first..first+width-1 (1-based) read as one hexadecimal number.
int field(const std::string& digits, int first, int width)
{
    return std::stoi(digits.substr(first - 1, width), nullptr, 16);
}

}  // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void simulatorChargeReachesTheProgram();
};

void TestEndToEnd::simulatorChargeReachesTheProgram()
{
    const QString simulator = qEnvironmentVariable("LADOMAT_SIM");
    if (simulator.isEmpty())
        QSKIP("LADOMAT_SIM is not set");
    QProcess sim;
    sim.start(simulator, {QStringLiteral("--scenario"), QStringLiteral("nimh-charge"), QStringLiteral("--speed"),
                          QStringLiteral("20")});
    QVERIFY2(sim.waitForStarted(10000), qPrintable(sim.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 10000);
    const QString announced = QString::fromLocal8Bit(sim.readLine()).trimmed();
    QVERIFY2(announced.startsWith(QLatin1String("PTY ")), qPrintable(announced));
    qputenv("LADOMAT_COM1", announced.mid(4).toLocal8Bit());

    RecordingDialogs dialogs;
    MDIForm1 window;  // the hardware port, opened on COM1
    QVERIFY(!window.ended());
    QVERIFY(dialogs.messages.isEmpty());

    QTRY_VERIFY_WITH_TIMEOUT(V->MessNr > 20, 60000);
    window.MSComm1->setPortOpen(false);
    sim.kill();
    sim.waitForFinished();
    qunsetenv("LADOMAT_COM1");

    // The latest frame is one the simulator sent, and the live window shows its values.
    std::vector<std::string> frames;
    for (const std::string& second : ladomat::sim::scenario("nimh-charge"))
        if (second.size() == 32)
            frames.push_back(second.substr(1, 30));
    const std::string latest = V->Datensatz.toStdString();
    QVERIFY(std::find(frames.begin(), frames.end(), latest) != frames.end());
    QCOMPARE(forms.datenformat->Text1->text(), V->Datensatz);
    QCOMPARE(forms.text->Text2->text(), blankText(field(latest, 7, 4) / 1000.0) + QStringLiteral(" V"));
    QCOMPARE(forms.text->Text3->text(), blankText(field(latest, 11, 4) / 1000.0) + QStringLiteral(" V"));

    // Every recorded sample is a charging frame of the scenario, in the order sent.
    auto next = frames.begin();
    const int recorded = static_cast<int>(V->MessNr) - 1;
    for (int n = 1; n <= recorded; ++n) {
        next = std::find_if(next, frames.end(), [&](const std::string& f) {
            return field(f, 23, 2) == 2 && field(f, 11, 4) == V->KurveU[n] && field(f, 15, 4) == V->KurveI[n]
                && field(f, 19, 4) == V->KurveQ[n];
        });
        QVERIFY2(next != frames.end(), qPrintable(QStringLiteral("sample %1 was not sent").arg(n)));
        ++next;
    }
    QCOMPARE(forms.text->Text6->text(), QStringLiteral("Charging"));
}

QTEST_MAIN(TestEndToEnd)
#include "test_endtoend.moc"
