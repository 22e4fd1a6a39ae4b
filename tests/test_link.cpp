// Frame reception and decoding, the live value window and the event dispatch.
#include "TestSupport.h"

#include "link/Formtext.h"
#include "process/Variabelen.h"
#include "link/Formdatenformat.h"
#include "process/Forms.h"
#include "shell/MDIForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QtTest>

// Input 30AC (12460 mV) at positions 7-10, status 01 at 23-24.
static const QByteArray kFrame = "010003"
                                 "30AC"
                                 "000000000000"
                                 "01"
                                 "00"
                                 "ABCD";

class TestLink : public QObject {
    Q_OBJECT

private slots:
    // Every field at its positions, hexadecimal in either case; characters that are no hexadecimal digit
    // (blank, "G") count as 0. The mode is kept as decimal text. The frame lands in slot MessNr.
    void decodesEveryFieldOfAReading()
    {
        TestApp app;
        const QByteArray frame = "EE"
                                 "10"
                                 "a5"
                                 "3 AC"
                                 "1c2f"
                                 "FFFF"
                                 "G4D2"
                                 "01"
                                 "FF"
                                 "ABCD";
        app.sendRaw('\x02' + frame + '\r');
        QCOMPARE((QStringList{V->Datensatz, V->Modus}), (QStringList{QString::fromLatin1(frame), "16"}));
        QCOMPARE((QList<int>{V->Zyklus, V->UEin, V->UAus, V->IAus, V->Kapazitaet, V->StatusNr}),
                 (QList<int>{0xA5, 12460, 7215, 65535, 1234, 1}));
        QCOMPARE((QList<float>{V->MessNr, V->KurveU[1], V->KurveI[1], V->KurveQ[1]}),
                 (QList<float>{1, 7215, 65535, 1234}));
        app.sendRaw('\x02' + QByteArray(frame).replace(10, 4, "1D00") +
                    '\r');  // status ready: nothing recorded
        QCOMPARE((QList<float>{V->MessNr, V->KurveU[1], V->KurveU[2]}), (QList<float>{1, 7424, 0}));
    }

    // A long read keeps the 30 characters after the start character and drops the rest; in a short read
    // the missing digits count as 0, also where the frame before had others. Every read empties the buffer.
    void readLengths()
    {
        TestApp app;
        app.port->setRThreshold(1000);  // the test raises the receive event itself
        const auto read = [&](const QByteArray& bytes) {
            app.sendRaw(bytes);
            app.port->raiseEvent(comEvReceive);
            const QString shown = forms.datenformat->Text1->text();
            return std::tuple(shown, int(V->UEin), int(V->StatusNr), app.port->waiting().size());
        };
        QCOMPARE(read('\x02' + kFrame + "\r12345678"), std::tuple(QString(kFrame), 12460, 1, qsizetype(0)));
        QCOMPARE(read('\x02' + kFrame.left(19)),
                 std::tuple(QString(kFrame.left(19)), 12460, 0, qsizetype(0)));
        QCOMPARE(read('\x02' + kFrame.left(7)),
                 std::tuple(QString(kFrame.left(7)), 3 * 4096, 0, qsizetype(0)));
        QCOMPARE(read("\x02"), std::tuple(QString(), 0, 0, qsizetype(0)));
    }

    // Values with their units and a leading blank. A bar takes values up to its maximum; when any bar
    // refuses its value, all four are emptied.
    void liveValuesAndBars()
    {
        TestApp app;
        Formtext* f = forms.text;
        const auto show = [&](int input, int output, int current, int capacity) {
            app.send({1, 7, 3, input, output, current, capacity, 0, 0});  // mode 7: no process runs
            return QStringList{f->Text2->text(), f->Text3->text(), f->Text4->text(), f->Text5->text()};
        };
        const auto bars = [f] {
            return QList<int>{f->ProgressBar1->value(), f->ProgressBar2->value(), f->ProgressBar3->value(),
                              f->ProgressBar4->value()};
        };
        QCOMPARE(show(12460, 1200, 12345, 0), (QStringList{" 12.46 V", " 1.2 V", " 1234.5 mA", " 0 mAh"}));
        QCOMPARE(bars(), (QList<int>{12460, 1200, 12345, 0}));
        QCOMPARE((QStringList{f->Text7->text(), f->Text8->text(), f->Text9->text()}),
                 (QStringList{" 7", " 3", " 1"}));
        QCOMPARE(show(17000, 60000, 50000, 3000), (QStringList{" 17 V", " 60 V", " 5000 mA", " 3000 mAh"}));
        QCOMPARE(bars(), (QList<int>{17000, 60000, 50000, 3000}));
        QCOMPARE(show(17001, 8000, 10000, 500)[0], QStringLiteral(" 17.001 V"));  // the first bar refuses
        QCOMPARE(bars(), (QList<int>{0, 0, 0, 0}));
        show(12000, 8000, 10000, 3001);  // the last bar refuses
        QCOMPARE(bars(), (QList<int>{0, 0, 0, 0}));
    }

    void eventDispatch_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("statusBar");
        QTest::newRow("receive") << int(comEvReceive) << QString();
        QTest::newRow("break") << int(comEventBreak) << QStringLiteral("Scheiße !!");
        for (int code : {1004, 1011, 0, -1})
            QTest::addRow("code %d", code) << code << QString();
    }

    // Only the receive event reads and decodes the waiting characters; a break shows in the status bar.
    void eventDispatch()
    {
        QFETCH(int, code);
        QFETCH(QString, statusBar);
        TestApp app;
        app.port->setRThreshold(1000);  // the characters wait for the event
        app.sendRaw('\x02' + QByteArray(kFrame).replace(2, 2, "07") + '\r');  // mode 7: no process runs
        app.port->raiseEvent(code);
        const bool decoded = code == comEvReceive;
        QCOMPARE(forms.mdi->StatusBar1->text(), statusBar);
        QCOMPARE(app.port->waiting().isEmpty(), decoded);
        QCOMPARE(forms.text->Text2->text(), decoded ? QStringLiteral(" 12.46 V") : QString());
    }
};

QTEST_MAIN(TestLink)
#include "test_link.moc"
