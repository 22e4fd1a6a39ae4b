// Frame reception and decoding, the live value window and the event dispatch.
#include "TestSupport.h"

#include "link/Formtext.h"
#include "process/Variabelen.h"
#include "shell/Formdatenformat.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QtTest>

using ladomat::sim::Reading;

namespace {

// A frame of 30 characters: serial, mode, cycle, input, output, current, capacity, status, flags, checksum.
QString digits(const QString& mode, const QString& input, const QString& status = QStringLiteral("00"))
{
    return QStringLiteral("01") + mode + QStringLiteral("03") + input + QStringLiteral("0000" "0000" "0000")
        + status + QStringLiteral("00" "ABCD");
}

QByteArray line(const QString& frame)
{
    return '\x02' + frame.toLatin1() + '\r';
}

}  // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    void decodesInputVoltage_data();
    void decodesInputVoltage();
    void decodesModeAsDecimalText_data();
    void decodesModeAsDecimalText();
    void decodesEveryFieldOfAReading();
    void readLengths_data();
    void readLengths();
    void framesOverwriteTheSameSlotUntilRecorded();
    void liveTexts_data();
    void liveTexts();
    void barRefusalEmptiesAllFourBars();
    void eventDispatch_data();
    void eventDispatch();
};

void TestLink::decodesInputVoltage_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("expected");
    QTest::newRow("worked example") << "30AC" << 12460;
    QTest::newRow("lower case") << "30ac" << 12460;
    QTest::newRow("blank counts as zero") << "3 AC" << 12460;
    QTest::newRow("letters beyond F") << "ZZZZ" << 0;
    QTest::newRow("largest") << "FFFF" << 65535;
    QTest::newRow("control character") << "3\x01" "AC" << 12460;
}

void TestLink::decodesInputVoltage()
{
    QFETCH(QString, input);
    QFETCH(int, expected);
    TestApp app;
    app.sendRaw(line(digits(QStringLiteral("00"), input)));
    QCOMPARE(V->UEin, expected);
}

void TestLink::decodesModeAsDecimalText_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("04") << "04" << "4";
    QTest::newRow("10") << "10" << "16";
    QTest::newRow("FF") << "FF" << "255";
    QTest::newRow("blanks") << "  " << "0";
}

void TestLink::decodesModeAsDecimalText()
{
    QFETCH(QString, mode);
    QFETCH(QString, expected);
    TestApp app;
    app.sendRaw(line(digits(mode, QStringLiteral("30AC"))));
    QCOMPARE(V->Modus, expected);
}

void TestLink::decodesEveryFieldOfAReading()
{
    TestApp app;
    Reading reading;
    reading.serial = 0xEE;  // serial, flags and checksum may hold anything
    reading.flags = 0xFF;
    reading.mode = 1;
    reading.cycle = 0xA5;
    reading.inputMv = 13800;
    reading.outputMv = 7215;
    reading.currentTenthMa = 10000;
    reading.capacityMah = 1234;
    reading.status = 1;
    app.send(reading);
    QCOMPARE(V->Modus, QStringLiteral("1"));
    QCOMPARE(V->Zyklus, 0xA5);
    QCOMPARE(V->UEin, 13800);
    QCOMPARE(V->UAus, 7215);
    QCOMPARE(V->IAus, 10000);
    QCOMPARE(V->Kapazitaet, 1234);
    QCOMPARE(V->StatusNr, 1);
    QCOMPARE(V->Datensatz, QString::fromStdString(ladomat::sim::frameDigits(reading)));
    // Every frame lands in slot MessNr, recorded or not.
    QCOMPARE(V->KurveU[1], 7215.0f);
    QCOMPARE(V->KurveI[1], 10000.0f);
    QCOMPARE(V->KurveQ[1], 1234.0f);
}

void TestLink::readLengths_data()
{
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("status");
    const QString frame = digits(QStringLiteral("00"), QStringLiteral("30AC"), QStringLiteral("01"));
    QTest::newRow("40 characters") << QByteArray('\x02' + frame.toLatin1() + "\r12345678") << frame << 12460 << 1;
    QTest::newRow("20 characters") << QByteArray('\x02' + frame.left(19).toLatin1()) << frame.left(19) << 12460 << 0;
    QTest::newRow("8 characters") << QByteArray('\x02' + frame.left(7).toLatin1()) << frame.left(7) << 3 * 4096 << 0;
    QTest::newRow("one character") << QByteArray("\x02") << QString() << 0 << 0;
    QTest::newRow("nothing") << QByteArray() << QString() << 0 << 0;
}

void TestLink::readLengths()
{
    QFETCH(QByteArray, read);
    QFETCH(QString, shown);
    QFETCH(int, input);
    QFETCH(int, status);
    TestApp app;
    app.sendRaw(read);
    if (read.size() < 32)
        app.port->raiseEvent(comEvReceive);  // a short read still runs the chain when the event comes
    QCOMPARE(forms.datenformat->Text1->text(), shown);
    QCOMPARE(V->Datensatz, shown);
    QCOMPARE(V->UEin, input);
    QCOMPARE(V->StatusNr, status);
    QVERIFY(app.port->waiting().isEmpty());
}

void TestLink::framesOverwriteTheSameSlotUntilRecorded()
{
    TestApp app;
    Reading reading;
    reading.status = 1;  // ready: nothing is recorded
    reading.outputMv = 7000;
    app.send(reading);
    reading.outputMv = 7100;
    app.send(reading);
    QCOMPARE(V->MessNr, 1.0f);
    QCOMPARE(V->KurveU[1], 7100.0f);
    QCOMPARE(V->KurveU[2], 0.0f);
}

void TestLink::liveTexts_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("output");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("capacity");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("bars");
    QTest::newRow("example") << 12460 << 1200 << 12345 << 0
                             << QStringList{" 12.46 V", " 1.2 V", " 1234.5 mA", " 0 mAh"}
                             << QList<int>{12460, 1200, 12345, 0};
    QTest::newRow("full current bar") << 12000 << 0 << 50000 << 3000
                                      << QStringList{" 12 V", " 0 V", " 5000 mA", " 3000 mAh"}
                                      << QList<int>{12000, 0, 50000, 3000};
    QTest::newRow("bar limits") << 17000 << 60000 << 1 << 2999
                                << QStringList{" 17 V", " 60 V", " 0.1 mA", " 2999 mAh"}
                                << QList<int>{17000, 60000, 1, 2999};
}

void TestLink::liveTexts()
{
    QFETCH(int, input);
    QFETCH(int, output);
    QFETCH(int, current);
    QFETCH(int, capacity);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, bars);
    TestApp app;
    Reading reading;
    reading.mode = 7;  // unknown mode: the state machine leaves the window alone
    reading.cycle = 3;
    reading.inputMv = input;
    reading.outputMv = output;
    reading.currentTenthMa = current;
    reading.capacityMah = capacity;
    app.send(reading);
    Formtext* f = forms.text;
    QCOMPARE(QStringList({f->Text2->text(), f->Text3->text(), f->Text4->text(), f->Text5->text()}), texts);
    QCOMPARE(QList<int>({f->ProgressBar1->value(), f->ProgressBar2->value(), f->ProgressBar3->value(),
                         f->ProgressBar4->value()}),
             bars);
    QCOMPARE(f->Text7->text(), QStringLiteral(" 7"));
    QCOMPARE(f->Text8->text(), QStringLiteral(" 3"));
    QCOMPARE(f->Text9->text(), QStringLiteral(" 1"));
}

void TestLink::barRefusalEmptiesAllFourBars()
{
    TestApp app;
    Reading reading;
    reading.mode = 7;
    reading.inputMv = 12000;
    reading.outputMv = 8000;
    reading.currentTenthMa = 10000;
    reading.capacityMah = 500;
    app.send(reading);
    QCOMPARE(forms.text->ProgressBar2->value(), 8000);

    reading.inputMv = 17001;  // above 17 V: the first bar refuses, all four go to 0
    app.send(reading);
    QCOMPARE(forms.text->Text2->text(), QStringLiteral(" 17.001 V"));
    QCOMPARE(forms.text->Text3->text(), QStringLiteral(" 8 V"));
    for (QProgressBar* bar : {forms.text->ProgressBar1, forms.text->ProgressBar2, forms.text->ProgressBar3,
                              forms.text->ProgressBar4})
        QCOMPARE(bar->value(), 0);

    reading.inputMv = 12500;  // all fit again
    app.send(reading);
    QCOMPARE(forms.text->ProgressBar1->value(), 12500);
    QCOMPARE(forms.text->ProgressBar4->value(), 500);
}

void TestLink::eventDispatch_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("statusBar");
    QTest::newRow("break") << 1001 << QStringLiteral("Scheiße !!");
    for (int code : {1004, 1006, 1008, 1010, 1011, 0, 1, 3, 1002, -1})
        QTest::addRow("code %d", code) << code << QString();
}

void TestLink::eventDispatch()
{
    QFETCH(int, code);
    QFETCH(QString, statusBar);
    TestApp app;
    const QByteArray waiting = line(digits(QStringLiteral("00"), QStringLiteral("30AC")));
    app.port->setRThreshold(1000);  // keep the characters waiting
    app.sendRaw(waiting);
    app.port->raiseEvent(code);
    QCOMPARE(forms.mdi->StatusBar1->text(), statusBar);
    QCOMPARE(app.port->waiting(), waiting);  // nothing read, nothing decoded
    QCOMPARE(V->Datensatz, QString());
    QCOMPARE(V->UEin, 0);
    QCOMPARE(forms.text->Text2->text(), QString());
}

QTEST_MAIN(TestLink)
#include "test_link.moc"
