// Frame reception and decoding, the live value window and the event dispatch.
#include "TestSupport.h"

#include "link/Formdatenformat.h"
#include "link/Formtext.h"
#include "link/Framer.h"
#include "shell/Formeinstell.h"
#include "shell/MDIForm1.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <algorithm>
#include <utility>

// Frame k as the charger sends it while charging (output voltage 7000 + k), in the envelope a
// letter names: s STX...CR (the simulator's), z 0...F, a A...0, t @...CR, e STX...ETX.
static QByteArray frame(char envelope, int k)
{
    static const QByteArray letters = "szate", starts = "\0020A@\002", ends = "\rF0\r\003";
    const qsizetype e = letters.indexOf(envelope);
    return QByteArray::fromStdString(
        ladomat::sim::frameLine({.outputMv = 7000 + k, .status = 2}, {starts[e], ends[e]}));
}

// Plays a script to the framer: reads "ms:parts", the parts joined by '+': frame k in an envelope
// ("z3"), with a blank and a "G" among its digits ("z3!"), its first characters or those from
// position c on ("z3<16", "z3>16"), n characters of noise that are no hexadecimal digits ("N32") or
// that are ("H64"), or a reset (reading away, "R"). Gives back the frames by name ("z3!" for the one with
// a blank and a "G", "?" for any other) and
// "~<length>" for the pieces between them.
static QString run(const QString& script)
{
    static const QByteArray noise = "G \x7fz#\x80Q\xfe-x";
    static const QRegularExpression form(QStringLiteral("^([szate])(\\d)(!?)(?:([<>])(\\d+))?$"));
    Framer framer;
    QStringList out;
    int pieces = 0;
    const auto endPieces = [&] {
        if (pieces > 0)
            out << "~" + QString::number(std::exchange(pieces, 0));
    };
    for (const QString& read : script.split(u' ')) {
        const int64_t ms = read.section(u':', 0, 0).toLongLong();
        QByteArray chars;
        for (const QString& part : read.section(u':', 1).split(u'+')) {
            const QRegularExpressionMatch sent = form.match(part);
            if (part == u"R") {
                framer.reset(ms);
            } else if (part.startsWith(u'N')) {
                for (int n = 0; n < part.mid(1).toInt(); ++n)
                    chars += noise[n % noise.size()];
            } else if (part.startsWith(u'H')) {
                chars += QByteArray(part.mid(1).toInt(), 'A');
            } else {
                QByteArray whole = frame(sent.captured(1)[0].toLatin1(), sent.captured(2).toInt());
                if (!sent.captured(3).isEmpty())
                    whole[8] = ' ', whole[20] = 'G';
                const int c = sent.captured(5).toInt();
                chars += sent.captured(4) == u"<" ? whole.left(c) : whole.mid(c);
            }
        }
        for (const LinePiece& piece : framer.feed(QString::fromLatin1(chars), ms)) {
            if (!piece.complete) {
                pieces += piece.text.size();
                continue;
            }
            endPieces();
            QString name = "?";
            for (const char envelope : {'s', 'z', 'a', 't', 'e'})
                for (int k = 1; k <= 9; ++k) {
                    QByteArray noisy = frame(envelope, k);
                    noisy[8] = ' ', noisy[20] = 'G';
                    if (piece.text.toLatin1() == frame(envelope, k) || piece.text.toLatin1() == noisy)
                        name = QChar(envelope) + QString::number(k) + (piece.text.contains(u'G') ? "!" : "");
                }
            out << name;
        }
    }
    endPieces();
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
        // Each cut, the parts 5 ms apart: the third frame comes once the envelope is known.
        for (const char envelope : {'s', 'z'})
            for (int c = 1; c < kFrameLength; ++c)
                QTest::addRow("%c: cut at %d", envelope, c)
                    << QStringLiteral("1000:@1<%1 1005:@1>%1+@2<%1 1010:@2>%1+@3<%1 1015:@3>%1")
                           .arg(c)
                           .replace(u'@', QChar(envelope))
                    << QStringLiteral("@1 @2 @3").replace(u'@', QChar(envelope));
        // Each envelope at the charger's pace, at line speed, merged and cut, with noise bursts between
        // pauses before and after it is known, with noise inside a burst, and a half frame at replug.
        for (const char envelope : {'z', 'a', 't', 'e'}) {
            const auto rows = {
                std::pair("a second apart", "1000:@1 2000:@2 3000:@3 4000:@4 | @1 @2 @3 @4"),
                std::pair("line speed", "1000:@1+@2+@3+@4+@5 | @1 @2 @3 @4 @5"),
                std::pair("merged and cut",
                          "1000:@1 2000:@2 3000:@3<10 3003:@3>10+@4+@5<25 3006:@5>25+@6 | @1 @2 @3 @4 @5 @6"),
                std::pair("noise bursts before the envelope is known: read as frames",
                          "1000:N32 2000:@1 3000:N40 4000:@2 5000:N36 6000:@3 | ? @1 ? ~8 @2 ? ~4 @3"),
                std::pair("noise bursts after the envelope is known",
                          "1000:@1 2000:@2 3000:N32 4000:@3 5000:N40 6000:N33 7000:@4 | @1 @2 ~32 @3 ~73 @4"),
                std::pair("noise in a burst",
                          "1000:@1 2000:@2 3000:N7+@3+N33+@4+N1 4000:@5 | @1 @2 ~7 @3 ~33 @4 ~1 @5"),
                std::pair("half frame at replug",
                          "1000:@1 2000:@2 3000:@3<16 4500:@4>16 5000:@5 | @1 @2 ~32 @5"),
            };
            for (const auto& [name, play] : rows) {
                const QString both = QString::fromLatin1(play).replace(u'@', QChar(envelope));
                QTest::addRow("%c: %s", envelope, name)
                    << both.section(" | ", 0, 0) << both.section(" | ", 1);
            }
        }
        row("noisy frame after a pause, envelope unknown: read", "1000:s1! 2000:s2", "s1! s2");
        row("noisy frame in the learned envelope: read", "1000:s1 2000:s2 3000:s3! 4000:s4", "s1 s2 s3! s4");
        row("noisy frame in step in the learned envelope: read", "1000:z1 2000:z2 3000:z3+z4!+z5",
            "z1 z2 z3 z4! z5");
        row("noisy frame found elsewhere: dropped", "1000:s1 2000:s2 3000:N5+s3!+s4", "s1 s2 ~37 s4");
        row("garbage between", "1000:s1+s2<3+s2+s4>29+s3", "s1 ~3 s2 ~3 s3");
        row("noise glued to a frame after a pause: read as one", "1000:N10+s1 2000:s2", "? ~10 s2");
        row("cut by a pause", "1000:s1<20 2000:s2", "~20 s2");
        row("taken up mid-frame", "0:R 100:s1>10+s2", "~22 s2");
        row("stall: frames pile up", "1000:s1 4000:s2+s3+s4", "s1 s2 s3 s4");
        row("half frame at reopening", "1000:s1<16 1100:R 1150:s2>16 1200:s3", "~16 s3");
        row("reopening keeps the envelope", "1000:z1 2000:z2 3000:R 3100:z3>5+z4", "z1 z2 ~27 z4");
        row("another charger: 0...F after STX...CR", "1000:s1 2000:s2 3000:z3 4000:z4 5000:z5 6000:z6+z7",
            "s1 s2 ~32 z4 z5 z6 z7");
        row("a stray frame in another envelope", "1000:s1 2000:s2 3000:t3 4000:s4 5000:t5 6000:s6",
            "s1 s2 ~32 s4 ~32 s6");
        row("an envelope that varies", "1000:s1 2000:t2 3000:e3 4000:z4 5000:a5 6000:s6",
            "s1 t2 e3 z4 a5 s6");
        row("an envelope that varies after two alike", "1000:s1 2000:s2 3000:t3 4000:e4 5000:z5 6000:a6",
            "s1 s2 ~32 e4 z5 a6");
        row("hex noise teaches A...A, frames in the evident shape unteach it", "1000:H64+N3+s1+s2+s3",
            "? ? ~35 s2 s3");
        row("noise bursts leave the envelope", "1000:z1 2000:z2 3000:N32 4000:N40 5000:N33 6000:z3",
            "z1 z2 ~105 z3");
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
            frame('s', 1) + frame('s', 2) + "\0\0" + frame('s', 3) + frame('s', 4) + frame('s', 5).left(20);
        for (int at = 0; at < line.size(); at += 23)
            app.sendRaw(line.mid(at, 23));
        QCOMPARE(app.mdi->datenformat->Text1->text(), QString::fromLatin1(frame('s', 4).mid(1, 30)));
        app.dialogs.answers = {};  // the export is cancelled: the port closes and reopens
        app.mdi->m_maketext_Click();
        app.sendRaw(frame('s', 3).mid(20) + frame('s', 5));  // spliced to the half frame, a charging one
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

    // Half a frame, then the adapter is pulled and put back: what the charger sends then joins nothing
    // held before, even when no pause shows.
    void replugMidFrame()
    {
        TestApp app;
        app.sendRaw(frame('s', 1) + frame('s', 2) + frame('s', 3).left(16));
        app.port->unplug();
        app.port->replug();
        app.port->retryLostDevice();
        app.sendRaw(frame('s', 4).mid(16) + frame('s', 5));
        const ChargeSession& session = app.session();
        QCOMPARE(QList<float>(&session.Messreihe.KurveU[1], &session.Messreihe.KurveU[4]) << session.MessNr,
                 (QList<float>{7001, 7002, 7005, 4}));
    }

    // The envelope a charger taught stays when its port is taken again (a frame found in a cut read
    // without a pause) and is forgotten on another port (a frame in another envelope taken at once).
    void anotherPortForgetsTheEnvelope()
    {
        TestApp app;
        const auto choose = [&](int number) {
            app.mdi->m_port->trigger();
            auto* window = app.mdi->findChild<Formeinstell*>();
            window->findChild<QRadioButton*>(QStringLiteral("Option%1").arg(number))->setChecked(true);
            window->Command1->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        for (const int k : {1, 2}) {
            app.port->letTimePass(1000);
            app.sendRaw(frame('z', k));
        }
        choose(1);
        app.sendRaw(frame('z', 3).mid(5) + frame('z', 4));
        choose(2);
        app.port->letTimePass(1000);
        app.sendRaw(frame('s', 5));
        const Record& record = app.session().Messreihe;
        QCOMPARE(QList<float>(&record.KurveU[1], &record.KurveU[5]), (QList<float>{7001, 7002, 7004, 7005}));
    }
};

QTEST_MAIN(TestLink)
#include "test_link.moc"
