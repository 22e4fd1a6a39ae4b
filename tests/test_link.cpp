// Frame reception and decoding, the live value window and the event dispatch.
#include "TestSupport.h"

#include "link/Formdatenformat.h"
#include "link/Formtext.h"
#include "link/Framer.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QtTest>

// Frames 1 to 5 as the charger sends them while charging; frame 6 has noise inside (a blank and a "G"),
// frame 7 as well, and a digit for its start character.
static const QList<QByteArray> kFrames = [] {
    QList<QByteArray> frames{{}};
    for (int k = 1; k <= 5; ++k)
        frames << QByteArray::fromStdString(ladomat::sim::frameLine({.outputMv = 7000 + k, .status = 2}));
    frames << "\0020100033 AC1c2fFFFFG4D20100ABCD\r";  // \002: the start character
    return frames << "5" + frames[6].mid(1);
}();

// Plays a script to the framer: reads "ms:parts", the parts joined by '+': frame k ("3"), its first
// characters or those from position c on ("3<16", "3>16"), or a reset (reading away, "R"). Gives back
// "F<k>" for frame k (F-1 for any other), "~<length>" for a piece.
static QString run(const QString& script)
{
    Framer framer;
    QStringList out;
    for (const QString& read : script.split(u' ')) {
        const int64_t ms = read.section(u':', 0, 0).toLongLong();
        QByteArray chars;
        for (const QString& part : read.section(u':', 1).split(u'+')) {
            if (part == u"R")
                framer.reset(ms);
            const QByteArray& whole = kFrames[part.left(1).toInt()];  // none for "R"
            chars += part.contains(u'<') ? whole.left(part.mid(2).toInt()) : whole.mid(part.mid(2).toInt());
        }
        for (const LinePiece& piece : framer.feed(QString::fromLatin1(chars), ms))
            out << (piece.complete ? "F" + QString::number(kFrames.indexOf(piece.text.toLatin1()))
                                   : "~" + QString::number(piece.text.size()));
    }
    return out.join(u' ');
}

class TestLink : public QObject {
    Q_OBJECT

private slots:
    // Every field at its positions, hexadecimal in either case; characters that are no hexadecimal
    // digit, and missing ones, count as 0. The mode is decimal text.
    void decode()
    {
        QCOMPARE(decodeFrame(frameDigits(u"EE10a53 AC9c2fFFFFG4D201FFABCD")),
                 (Messwerte{"16", 165, 12460, 39983, 65535, 1234, 1}));
        QCOMPARE(decodeFrame(frameDigits(u"0000003")), (Messwerte{"0", 0, 12288, 0, 0, 0, 0}));
    }

    void framing_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("pieces");
        const auto row = [](const char* n, QString s, QString p) { QTest::newRow(n) << s << p; };
        // Each cut once in time and once across a late read (495 ms later, after the line's pause).
        for (int c = 1; c < kFrameLength; ++c)
            QTest::addRow("cut at %d", c)
                << QStringLiteral("1000:1<%1 1005:1>%1+2<%1 1500:2>%1").arg(c) << "F1 F2";
        row("half frame at reopening", "1000:1<16 1100:R 1150:2>16 1200:3", "~16 F3");
        row("garbage between", "1000:1+2<3+2+4>29+3", "F1 ~3 F2 ~3 F3");
        row("noise after a pause (300 ms): kept", "1000:1 1300:6", "F1 F6");
        row("noise after a pause, a digit for start: dropped", "1000:1 1300:7", "F1 ~1");
        row("noise in a burst: dropped", "1000:1+6+2", "F1 ~32 F2");
        row("frame inside noise", "1000:6<10+1", "~10 F1");
        row("cut by a pause", "1000:1<20 2000:2", "~20 F2");
        row("taken up mid-frame", "0:R 100:1>10+2", "~22 F2");
        row("stall: frames pile up", "1000:1+2<16 4000:2>16+3+4", "F1 F2 F3 F4");
    }

    // Frames come out whole, in order, as soon as complete, whatever the cuts, bursts and noise;
    // what does not fit comes out as pieces.
    void framing()
    {
        QFETCH(QString, script);
        QTEST(run(script), "pieces");
    }

    // Through the program: frames cut and bunched run the chain once each, noise between them is
    // shown but never recorded, and half a frame left when an export reopens the port spoils nothing.
    void framesThroughTheProgram()
    {
        TestApp app;
        const QByteArray line =
            kFrames[1] + kFrames[2] + "\0\0" + kFrames[3] + kFrames[4] + kFrames[5].left(20);
        for (int at = 0; at < line.size(); at += 23)
            app.sendRaw(line.mid(at, 23));
        QCOMPARE(app.mdi->datenformat->Text1->text(), QString::fromLatin1(kFrames[4].mid(1, 30)));
        app.dialogs.answers = {};  // the export is cancelled: the port closes and reopens
        app.mdi->m_maketext_Click();
        app.sendRaw(kFrames[3].mid(20) + kFrames[5]);  // spliced to the half frame, a charging one
        const ChargeSession& session = app.session();
        QCOMPARE(QList<float>(&session.Messreihe.KurveU[1], &session.Messreihe.KurveU[6]) << session.MessNr,
                 (QList<float>{7001, 7002, 7003, 7004, 7005, 6}));
    }

    // A frame waits for the receive event: a line error or a break leaves it waiting, and a break
    // shows in the status bar.
    void eventCodes()
    {
        TestApp app;
        app.port->setRThreshold(1000);
        app.send({.outputMv = 8000});
        app.port->raiseEvent(comEventFrame), app.port->raiseEvent(comEventBreak);
        QCOMPARE(app.port->waiting().size(), 32);
        QCOMPARE(app.mdi->StatusBar1->text(), "Scheiße !!");
        app.port->raiseEvent(comEvReceive);
        QCOMPARE(app.mdi->text->Text3->text(), " 8 V");
    }

    // The live texts with their units and a leading blank, and the four bars: a bar takes values up to
    // its maximum; when any bar refuses its value, all four are emptied.
    void liveValues_data()
    {
        QTest::addColumn<Messwerte>("werte");
        QTest::addColumn<QString>("shown");
        QTest::newRow("each bar at its maximum")
            << Messwerte{"7", 3, 17000, 60000, 50000, 3000, 0}
            << " 17 V| 60 V| 5000 mA| 3000 mAh| 7| 3| 6|17000|60000|50000|3000";
        QTest::newRow("input above its bar") << Messwerte{"7", 3, 17001, 8000, 10000, 500, 0}
                                             << " 17.001 V| 8 V| 1000 mA| 500 mAh| 7| 3| 6|0|0|0|0";
        QTest::newRow("capacity above its bar") << Messwerte{"7", 3, 12460, 1200, 12345, 3001, 0}
                                                << " 12.46 V| 1.2 V| 1234.5 mA| 3001 mAh| 7| 3| 6|0|0|0|0";
    }
    void liveValues()
    {
        QFETCH(Messwerte, werte);
        Formtext f;
        f.WerteAnzeigen(werte, 6);
        QStringList shown;
        for (const QObject* w : QObjectList{f.Text2, f.Text3, f.Text4, f.Text5, f.Text7, f.Text8, f.Text9,
                                            f.ProgressBar1, f.ProgressBar2, f.ProgressBar3, f.ProgressBar4})
            shown << w->property(w->inherits("QProgressBar") ? "value" : "text").toString();
        QTEST(shown.join(u'|'), "shown");
    }

    void rulerInTheFramesFont()
    {
        // The position rulers under the frame, in its font: a digit under each character.
        const Formdatenformat window;
        QStringList rulerFonts;
        for (const QLabel* label : window.findChildren<QLabel*>())
            if (label->text().endsWith(u"890") || label->text().endsWith(u"223"))
                rulerFonts << label->font().toString();
        QCOMPARE(rulerFonts, QStringList(2, window.Text1->font().toString()));
    }
};

QTEST_MAIN(TestLink)
#include "test_link.moc"
