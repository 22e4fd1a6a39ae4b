// The line from the port in: the hardware port, frame reception and decoding, and the number forms
// of the live values.
#include "TestSupport.h"

#include "link/Formdatenformat.h"
#include "link/Formtext.h"
#include "link/Framer.h"
#include "platform/NumberText.h"
#include "shell/Formeinstell.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <memory>

using namespace Qt::StringLiterals;

// The characters of one read, its parts joined by '+': frame k (output voltage 7000 + k) in the
// envelope a letter names: s STX...CR, z 0...F, a A...0, t @...CR, e STX...ETX ("z3"); "z3!" with a
// blank and a "G" among its digits; its first characters or those from position c on ("z3<16",
// "z3>16"); n characters of noise that are no hexadecimal digits ("N32") or that are ("H64").
static QByteArray chars(const QString& read)
{
    static const QByteArray letters = "szate", starts = "\0020A@\002", ends = "\rF0\r\003";
    static const QRegularExpression form(QStringLiteral("^([szate])(\\d)(!?)(?:([<>])(\\d+))?$"));
    QByteArray chars;
    for (const QString& part : read.split(u'+')) {
        const QRegularExpressionMatch sent = form.match(part);
        const qsizetype e = letters.indexOf(part[0].toLatin1());
        const int n = part.mid(1).toInt();
        if (e < 0) {
            chars += part[0] == u'N' ? QByteArray("\0\0G \x7fz#\x80Q\xfe-x", 12).repeated(n).left(n)
                                     : QByteArray(n, 'A');
            continue;
        }
        QByteArray whole = QByteArray::fromStdString(ladomat::sim::frameLine(
            {.outputMv = 7000 + sent.captured(2).toInt(), .status = 2}, {starts[e], ends[e]}));
        if (!sent.captured(3).isEmpty())
            whole.replace(8, 1, " ").replace(20, 1, "G");
        const int c = sent.captured(5).toInt();
        chars += sent.captured(4) == u"<" ? whole.left(c) : whole.mid(c);
    }
    return chars;
}

// Plays a script to the framer: reads "ms:parts" ms after the one before (a second when "ms:" is
// left out), or a reset ("R"). Gives back the frames by the name the script sent them under ("?" for
// any other) and "~<length>" for the pieces between them.
static QString run(const QString& script)
{
    static const QRegularExpression sentFrame(QStringLiteral("[szate]\\d!?"));
    QHash<QByteArray, QString> names;
    for (const QRegularExpressionMatch& frame : sentFrame.globalMatch(script))
        names[chars(frame.captured())] = frame.captured();
    Framer framer;
    QStringList out;
    int pieces = 0;
    int64_t ms = 0;
    for (const QString& read : script.split(u' ')) {
        ms += read.contains(u':') ? read.section(u':', 0, 0).toLongLong() : 1000;
        if (read.section(u':', -1) == u"R")
            framer.reset(ms);
        for (const LinePiece& piece : framer.feed(QString::fromLatin1(chars(read.section(u':', -1))), ms)) {
            if (!piece.complete)
                pieces += int(piece.text.size());
            else
                out << (pieces > 0 ? "~" + QString::number(std::exchange(pieces, 0)) + ' ' : QString()) +
                        names.value(piece.text.toLatin1(), "?");
        }
    }
    if (pieces > 0)
        out << "~" + QString::number(pieces);
    return out.join(u' ');
}

class TestLink : public QObject {
    Q_OBJECT

private slots:
    // Every field at its positions, hexadecimal in either case; characters that are no hexadecimal
    // digit count as 0. The mode is decimal text.
    void decode()
    {
        QCOMPARE(decodeFrame(frameDigits(u"EE10a53 AC9c2fFFFFG4D201FFABCD")),
                 (Messwerte{"16", 165, 12460, 39983, 65535, 1234, 1}));
    }

    void framing_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("pieces");
        const auto row = [](const QString& name, QString play, QChar envelope = u'@') {
            play.replace(u'@', envelope);
            QTest::newRow(qPrintable(name)) << play.section(" | ", 0, 0) << play.section(" | ", 1);
        };
        // Each cut, the pieces 5 ms apart: the third frame comes once the envelope is known.
        for (const char e : {'s', 'z'})
            for (int c = 1; c < kFrameLength; ++c)
                row(QStringLiteral("%1: cut at %2").arg(e).arg(c),
                    QStringLiteral("@1<%1 5:@1>%1+@2<%1 5:@2>%1+@3<%1 5:@3>%1 | @1 @2 @3").arg(c), e);
        // Each envelope before and after it is known.
        const std::pair<const char*, const char*> eachEnvelope[] = {
            {"line speed, merged and cut", "@1+@2 @3<10 3:@3>10+@4+@5<25 3:@5>25+@6 | @1 @2 @3 @4 @5 @6"},
            {"noise bursts before it is known: read as frames",
             "N32 @1 N40 @2 N36 @3 | ? @1 ? ~8 @2 ? ~4 @3"},
            {"noise bursts after the envelope is known", "@1 @2 N32 @3 N40 N33 @4 | @1 @2 ~32 @3 ~73 @4"},
            {"noise in a burst", "@1 @2 N7+@3+N33+@4+N1 @5 | @1 @2 ~7 @3 ~33 @4 ~1 @5"},
            {"half frame at replug", "@1 @2 @3<16 1500:@4>16 500:@5 | @1 @2 ~32 @5"},
        };
        for (const char e : {'z', 'a', 't', 'e'})
            for (const auto& [name, play] : eachEnvelope)
                row(QStringLiteral("%1: %2").arg(e).arg(name), play, e);
        row("noisy frames in the learned envelope, after a pause and in step: read",
            "z1 z2 z3! z4+z5!+z6 | z1 z2 z3! z4 z5! z6");
        row("noisy frame found elsewhere: dropped", "s1 s2 N5+s3!+s4 | s1 s2 ~37 s4");
        row("taken up mid-frame, what was held dropped", "s1<16 100:R 50:s2>10+s3 | ~22 s3");
        row("reopening keeps the envelope", "z1 z2 R 100:z3>5+z4 | z1 z2 ~27 z4");
        row("another charger: 0...F after STX...CR", "s1 s2 z3 z4 z5 z6+z7 | s1 s2 ~32 z4 z5 z6 z7");
        row("a stray frame in another envelope", "s1 s2 t3 s4 t5 s6 | s1 s2 ~32 s4 ~32 s6");
        row("hex noise teaches A...A, frames in the evident shape unteach",
            "H64+N3+s1+s2+s3 | ? ? ~35 s2 s3");
    }

    // Frames come out whole, in order, as soon as complete, whatever the cuts, bursts and noise;
    // what does not fit comes out as pieces.
    void framing()
    {
        QFETCH(QString, script);
        QTEST(run(script), "pieces");
    }

    // Through the program, each read in pieces of the given size; "." a second passes, "X" an export
    // cancelled (the port closes and reopens), "U" the adapter pulled and put back, "P1" a port chosen.
    void throughTheProgram_data()
    {
        QTest::addColumn<int>("piece");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("recorded");  // output voltages less 7000
        const auto row = [](const char* name, int piece, const char* script, const char* recorded) {
            QTest::newRow(name) << piece << QString(script) << QString(recorded);
        };
        row("bunched, cut, noise, export mid-frame", 23, "s1+s2+N2+s3+s4+s5<20 X s3>20+s5+s6<9", "1 2 3 4 5");
        row("replug mid-frame joins nothing held", 99, "s1+s2+s3<16 U s4>16+s5", "1 2 5");
        // The envelope stays when the port is taken again, another port forgets it.
        row("another port", 99, ". z1 . z2 P1 z3>5+z4 P2 . s5", "1 2 4 5");
    }
    void throughTheProgram()
    {
        QFETCH(int, piece);
        QFETCH(QString, script);
        TestApp app;
        for (const QString& step : script.split(u' ')) {
            if (step == u".") {
                app.port->letTimePass(1000);
            } else if (step == u"X") {
                app.mdi->m_maketext_Click();
            } else if (step == u"U") {
                app.port->unplug();
                app.port->replug();
                app.port->retryLostDevice();
            } else if (step.startsWith(u'P')) {
                app.mdi->m_port->trigger();
                auto* window = app.mdi->findChild<Formeinstell*>();
                window->findChild<QRadioButton*>("Option" + step.mid(1))->setChecked(true);
                window->Command1->click();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            } else {
                const QByteArray line = chars(step);
                for (int at = 0; at < line.size(); at += piece)
                    app.sendRaw(line.mid(at, piece));
            }
        }
        QStringList recorded;
        for (int n = 1; n < app.session().MessNr; ++n)
            recorded << QString::number(app.session().Messreihe.KurveU[n] - 7000);
        QTEST(recorded.join(u' '), "recorded");
        QCOMPARE(app.mdi->datenformat->Text1->text(), QString::fromLatin1(chars("s5").mid(1, 30)));
    }

    // Number forms (C locale): shortest, with a blank before non-negatives, and fixed patterns with
    // their zeros filled, rounded, a pattern ending in its point, and no minus for a value rounded to 0.
    void numberTexts()
    {
        QLocale::setDefault(QLocale::c());
        QCOMPARE(QStringList({plainText(12.46), blankText(0), blankText(-3), localeText(7.2f, 7),
                              patternText(5, u"00."_s), patternText(3.14159, u"0.00"_s),
                              patternText(12.345, u"000.0"_s), patternText(-0.04, u"0.0"_s),
                              patternText(-2.5, u"0"_s)})
                     .join(u'|'),
                 u"12.46| 0|-3|7.2|05|3.14|012.3|0.0|-3"_s);
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

    // The hardware port on a pseudo-terminal named by LADOMAT_COM1: all 8 bits and breaks marked (a
    // 0xFF comes out once, even before a 0); a device that goes away is waited for and taken again
    // when back, told by the change in its device folder.
    void hardwarePort()
    {
        auto line = std::make_unique<PseudoTerminal>();
        HardwareSerialPort port;
        qputenv("LADOMAT_COM1", line->path.toLocal8Bit());
        QVERIFY(port.setPortOpen(true));
        QVERIFY(line->write("A\377\0B"_ba));
        QByteArray read;
        QTRY_VERIFY((read += port.input().toLatin1()).size() >= 4);
        QCOMPARE(read, "A\377\0B"_ba);
        line.reset();
        QTRY_VERIFY(port.awaitingDevice() && !port.portOpen());
        PseudoTerminal back;
        qputenv("LADOMAT_COM1", back.path.toLocal8Bit());
        QTRY_VERIFY(port.portOpen());
        qunsetenv("LADOMAT_COM1");
        QVERIFY(back.write("0123"_ba));
        read.clear();
        QTRY_VERIFY((read += port.input().toLatin1()).size() >= 4);
        QCOMPARE(read, "0123"_ba);
    }
};

QTEST_MAIN(TestLink)
#include "test_link.moc"
