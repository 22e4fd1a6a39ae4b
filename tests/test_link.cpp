// Frame reception and decoding, the live value window and the event dispatch.
#include "TestSupport.h"

#include "export/export.h"
#include "link/Formdatenformat.h"
#include "link/Formtext.h"
#include "link/Framer.h"
#include "process/Forms.h"
#include "shell/MDIForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QtTest>

// A script for the framer: characters read at a time in milliseconds, or a reset (reading away).
struct Chunk {
    int64_t ms;
    QByteArray chars;
    bool reset = false;
};
using Script = QList<Chunk>;
Q_DECLARE_METATYPE(Script)

namespace {

// Frames 1 to 5 as the charger sends them; frame 6 has noise inside (a blank and a "G").
QByteArray frame(int k)
{
    if (k == 6)
        return "\x02"
               "0100033 AC1c2fFFFFG4D20100ABCD\r";
    return QByteArray::fromStdString(ladomat::sim::frameLine({.outputMv = 7000 + k, .status = 2}));
}

// What the framer gave back: "F<k>" for frame k, "F?" for any other frame, "~<length>" for a piece.
QStringList run(const Script& script)
{
    Framer framer;
    QStringList out;
    for (const Chunk& chunk : script) {
        if (chunk.reset)
            framer.reset(chunk.ms);
        for (const LinePiece& piece : framer.feed(QString::fromLatin1(chunk.chars), chunk.ms)) {
            int k = 1;
            while (k <= 6 && piece.text != QString::fromLatin1(frame(k)))
                ++k;
            out << (!piece.complete ? QStringLiteral("~%1").arg(piece.text.size())
                        : k <= 6    ? QStringLiteral("F%1").arg(k)
                                    : QStringLiteral("F?"));
        }
    }
    return out;
}

}  // namespace

class TestLink : public QObject {
    Q_OBJECT

private slots:
    // Every field at its positions, hexadecimal in either case; characters that are no hexadecimal
    // digit, and missing ones, count as 0. The mode is decimal text.
    void decode()
    {
        QCOMPARE(decodeFrame(u"EE10a53 AC9c2fFFFFG4D201FFABCD"),
                 (Messwerte{"16", 165, 12460, 39983, 65535, 1234, 1}));
        QCOMPARE(decodeFrame(u"0000003"), (Messwerte{"0", 0, 12288, 0, 0, 0, 0}));
    }

    void framing_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QString>("pieces");
        QByteArray burst;
        QString all;
        for (int k = 1; k <= 5; ++k) {
            burst += frame(k), all += QStringLiteral(" F%1").arg(k);
            QTest::addRow("burst of %d", k) << Script{{1000, burst}} << all.mid(1);
        }
        // Each cut once in time and once across a late read (495 ms later, after the line's pause).
        for (int c = 1; c < kFrameLength; ++c)
            QTest::addRow("cut at %d", c) << Script{{1000, frame(1).left(c)},
                                                    {1005, frame(1).mid(c) + frame(2).left(c)},
                                                    {1500, frame(2).mid(c)}}
                                          << "F1 F2";
        QTest::newRow("half frame at reopening")
            << Script{{1000, frame(1).left(16)}, {1100, {}, true}, {1150, frame(2).mid(16)}, {1200, frame(3)}}
            << "~16 F3";
        QTest::newRow("garbage between")
            << Script{{1000, frame(1) + "xyz" + frame(2) + "12" + frame(3)}} << "F1 ~3 F2 ~2 F3";
        QTest::newRow("NULs between")
            << Script{{1000, frame(1) + QByteArray(5, '\0')}, {1010, frame(2)}} << "F1 ~5 F2";
        QTest::newRow("noise after a pause: kept") << Script{{1000, frame(1)}, {2000, frame(6)}} << "F1 F6";
        QTest::newRow("noise in a burst: dropped")
            << Script{{1000, frame(1) + frame(6) + frame(2)}} << "F1 ~32 F2";
        QTest::newRow("frame inside noise") << Script{{1000, frame(6).left(10) + frame(1)}} << "~10 F1";
        QTest::newRow("cut by a pause") << Script{{1000, frame(1).left(20)}, {2000, frame(2)}} << "~20 F2";
        QTest::newRow("taken up mid-frame")
            << Script{{0, {}, true}, {100, frame(1).mid(10) + frame(2)}} << "~22 F2";
        QTest::newRow("stall: frames pile up")
            << Script{{1000, frame(1) + frame(2).left(16)}, {4000, frame(2).mid(16) + frame(3) + frame(4)}}
            << "F1 F2 F3 F4";
    }

    // Frames come out whole, in order, as soon as complete, whatever the cuts, bursts and noise;
    // what does not fit comes out as pieces.
    void framing()
    {
        QFETCH(Script, script);
        QTEST(run(script).join(u' '), "pieces");
    }

    // Through the program: frames cut and bunched run the chain once each, noise between them is
    // shown but never recorded, and half a frame left at reopening spoils nothing.
    void lineToRecord()
    {
        TestApp app;
        const QByteArray line = frame(1) + frame(2) + "\0\0" + frame(3);
        for (int at = 0; at < line.size(); at += 23)
            app.sendRaw(line.mid(at, 23));
        QCOMPARE((QList<float>{V->MessNr, V->KurveU[1], V->KurveU[2], V->KurveU[3]}),
                 (QList<float>{4, 7001, 7002, 7003}));
        app.sendRaw(frame(4) + frame(5).left(20));
        QCOMPARE(forms.datenformat->Text1->text(), QString::fromLatin1(frame(4).mid(1, 30)));
        app.dialogs.answers = {};  // the export is cancelled: the port closes and reopens
        m_maketext_Click();
        app.sendRaw(frame(3).mid(20) + frame(5));  // spliced to the half frame, a charging one
        QCOMPARE((QList<float>{V->MessNr, V->KurveU[4], V->KurveU[5]}), (QList<float>{6, 7004, 7005}));
    }

    // The live texts with their units and a leading blank, then the four bars: a bar takes values up
    // to its maximum; when any bar refuses its value, all four are emptied.
    void liveValuesAndBars()
    {
        TestApp app;
        const Formtext* f = forms.text;
        const auto show = [&](int input, int output, int current, int capacity) {
            app.send({1, 7, 3, input, output, current, capacity, 0, 0});  // mode 7: no process runs
            QStringList shown;
            for (const QLineEdit* text :
                 {f->Text2, f->Text3, f->Text4, f->Text5, f->Text7, f->Text8, f->Text9})
                shown << text->text();
            for (const QProgressBar* bar :
                 {f->ProgressBar1, f->ProgressBar2, f->ProgressBar3, f->ProgressBar4})
                shown << QString::number(bar->value());
            return shown.join(u'|');
        };
        QCOMPARE(show(12460, 1200, 12345, 0),
                 " 12.46 V| 1.2 V| 1234.5 mA| 0 mAh| 7| 3| 1|12460|1200|12345|0");
        QCOMPARE(show(17000, 60000, 50000, 3000),
                 " 17 V| 60 V| 5000 mA| 3000 mAh| 7| 3| 1|17000|60000|50000|3000");
        QCOMPARE(show(17001, 8000, 10000, 500), " 17.001 V| 8 V| 1000 mA| 500 mAh| 7| 3| 1|0|0|0|0");
        QCOMPARE(show(12000, 8000, 10000, 3001), " 12 V| 8 V| 1000 mA| 3001 mAh| 7| 3| 1|0|0|0|0");
    }

    void eventDispatch_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("statusBar");
        QTest::newRow("receive") << int(comEvReceive) << QString();
        QTest::newRow("break") << int(comEventBreak) << QStringLiteral("Scheiße !!");
        QTest::newRow("line error") << int(comEventFrame) << QString();
    }

    // Only the receive event reads and decodes the waiting characters; a break shows in the status bar.
    void eventDispatch()
    {
        QFETCH(int, code);
        TestApp app;
        app.port->setRThreshold(1000);  // the characters wait for the event
        app.send({.mode = 7});  // no process runs
        app.port->raiseEvent(code);
        QTEST(forms.mdi->StatusBar1->text(), "statusBar");
        QCOMPARE(app.port->waiting().isEmpty(), code == comEvReceive);
        QCOMPARE(forms.text->Text2->text(), code == comEvReceive ? QStringLiteral(" 12.46 V") : QString());
    }
};

QTEST_MAIN(TestLink)
#include "test_link.moc"
