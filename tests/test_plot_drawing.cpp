// The graph window and its settings: layout rule, grid on both screens, labels, caption, curves in
// each view against one line per sample, the live page, scales, curve boxes and paging.
#include "TestSupport.h"

#include "platform/PlotSurface.h"
#include "testkit/PerSample.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include <cmath>

using namespace Qt::StringLiterals;

class TestPlotDrawing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // On both screens (device pixel ratio 1 and 2), the empty plot of 600 x 525 pixels: grid lines
    // 25, 75 .. 475 (rows) and 100 .. 500 (columns) and the frame on its edges, one device pixel wide,
    // seen in pixel column and row 50 (a column run beyond the right edge is not painted); the last
    // label of each group in its place, size and colour; the caption's line 1 (the battery notes)
    // erased by printing it again in the background colour. Then in a frame, below the minimum outer
    // size of 6150 x 3700 twips (410 x 247) and at it: the plot keeps 4845 twips (323 pixels) below
    // the minimum width, else it is the inner width less 1200 twips (80), the inner height less 290
    // twips (19).
    void emptyPlotOnBothScreens()
    {
        QStringList seen;
        QSize border;  // of the frame
        for (QScreen* screen : QGuiApplication::screens()) {
            QMdiArea area;  // outlives the window it frames
            PlotWindows windows;
            windows.grafik.setScreen(screen);
            windows.grafik.Form_Resize();
            const QImage& image = windows.image();
            windows.plot()->paintColumnRun(image.width(), 0, image.height() - 2, Qt::red);
            const int ratio = static_cast<int>(windows.plot()->devicePixelRatioF());
            // The grey lines crossed by pixel column 50, then those crossed by pixel row 50.
            QString found = QString::number(ratio) + ':';
            const auto crossed = [&found, ratio](const QImage& strip) {
                for (const int k : columnsWithColor(strip, QColor(150, 150, 150)))
                    found += ' ' + QString::number(k / ratio);
            };
            crossed(image.copy(50 * ratio, 0, 1, image.height()).transformed(QTransform(0, 1, 1, 0, 0, 0)));
            found += " |";
            crossed(image.copy(0, 50 * ratio, image.width(), 1));
            for (const int field : {5, 10, 16, 17, 22}) {
                const QLineEdit* label = windows.grafik.Text[field];
                const QRect r = label->geometry();
                found += QString::asprintf(" | %d,%d %dx%d ", r.x(), r.y(), r.width(), r.height()) +
                    label->palette().color(QPalette::Text).name();
            }
            const BatteryNotes notes{"Akku 1", "1700", "6", "7,2"};
            windows.grafik.KopfzeilenSchreiben({"?", "?", "", ""});
            windows.grafik.KopfzeilenSchreiben(notes);
            const QImage twice = image.copy();
            windows.grafik.GrafikAufbauen();
            windows.grafik.KopfzeilenSchreiben(notes);
            QVERIFY(countColor(twice, QColor(191, 0, 0)) > 200);
            QCOMPARE(image, twice);
            QCOMPARE(windows.grafik.view.AlteKopfzeile,
                     "Akku 1 | Nennkap.: 1700 mAh | Zellenzahl : 6 (7,2V)");
            QMdiSubWindow* frame = area.addSubWindow(&windows.grafik);
            border = frame->size() - frame->contentsRect().size();
            for (const QSize outer : {QSize(200, 100), QSize(410, 300)}) {
                frame->resize(outer);
                windows.grafik.resize(outer - border);
                windows.grafik.Form_Resize();
                const QSize inner = windows.grafik.size();
                const QRect plot = windows.plot()->geometry();
                found += QString::asprintf(" | %dx%d %dx%d %d,%d %dx%d", frame->width(), frame->height(),
                                           inner.width(), inner.height(), plot.x(), plot.y(), plot.width(),
                                           plot.height());
            }
            seen << found;
        }
        const QSize small = QSize(410, 247) - border, wide = QSize(410, 300) - border;
        const QString plot =
            "0 25 75 125 175 225 275 325 375 425 475 524 | 0 100 200 300 400 500 599 | 0,418 "
            "33x19 #008000 | 633,414 47x13 #ff0000 | 517,525 33x19 #000000 | 623,525 49x19 "
            "#000000 | 633,426 47x13 #0000ff" +
            QString::asprintf(" | 410x247 %dx%d 33,0 323x%d | 410x300 %dx%d 33,0 %dx%d", small.width(),
                              small.height(), small.height() - 19, wide.width(), wide.height(),
                              wide.width() - 80, wide.height() - 19);
        seen.sort();
        QCOMPARE(seen, QStringList({"1: " + plot, "2: " + plot}));
    }

    // The live page ('L'), drawn from its start only, the first page of a finished record ('P') and
    // the whole record ('W'), reduced column by column, give pixel for pixel the picture of one line
    // per sample from sample 1. Grey and unticked boxes hide their curves. Noisy curves in the start
    // size, 21 minutes (1260 samples) a page.
    void eachViewEqualsPerSampleDrawing_data()
    {
        QTest::addColumn<char>("kind");
        QTest::addColumn<float>("page");
        QTest::addColumn<int>("samples");
        QTest::addColumn<QString>("boxes");  // the curve boxes' states: 0 unticked, 1 grey, 2 ticked
        const auto row = [](const char* name, char kind, float page, int samples, const char* boxes) {
            QTest::newRow(name) << kind << page << samples << QString(boxes);
        };
        row("live page 2, its first sample", 'L', 2, 1261, "122");
        row("live page, the first sample alone", 'L', 1, 1, "222");
        row("page, the record ends mid page", 'P', 1, 1000, "220");
        row("page, full up to its right edge", 'P', 1, 1260, "222");
        row("whole, one sample, no current", 'W', 1, 1, "202");
        row("whole, 5000 noisy samples, one curve", 'W', 1, 5000, "120");
    }
    void eachViewEqualsPerSampleDrawing()
    {
        QFETCH(char, kind);
        QFETCH(float, page);
        QFETCH(int, samples);
        QFETCH(QString, boxes);
        PlotWindows windows(QSize(455, 211));
        Record& v = windows.session.Messreihe;
        GraphView& view = windows.grafik.view;
        windows.setgraf.Option3->setChecked(true);
        for (int k = 0; k < 3; ++k)
            QList{windows.setgraf.Check1, windows.setgraf.Check2, windows.setgraf.Check3}[k]->setCheckState(
                Qt::CheckState(boxes[k].digitValue()));
        for (int n = 1; n <= samples; ++n) {
            const float t = static_cast<float>(n) / samples, r = 0.35f * std::sin(n * 12.9898f);
            v.KurveU[n] = view.SkalaU * (0.5f + std::cos(n * 78.233f) * 0.35f);
            v.KurveI[n] = view.SkalaI * (t + r);
            v.KurveQ[n] = view.SkalaQ * (1.1f - t + r / 2);
        }
        v.MessAnzahl = samples;
        view.LetzteSeite = view.Seite = page;
        view.Gesamtansicht = kind == 'W';
        windows.grafik.GrafikAufbauen();
        windows.grafik.AnsichtZeichnen(v, samples + 1, kind == 'P');
        const QImage drawn = windows.image().copy();
        QVERIFY(countColor(drawn, Qt::blue) + countColor(drawn, Qt::red) > 0);
        windows.grafik.GrafikAufbauen();
        const float S = view.Gesamtansicht ? samples : samplesPerPage(view);  // samples across the plot
        drawPerSample(windows.plot(), v, view, windows.plot()->ScaleWidth() / S, S * (page - 1),
                      std::min<float>(samples, S * page));
        QCOMPARE(drawn, windows.image());
    }

    // Samples at half the voltage scale (row 262) recorded one by one from sample 1, 720 (12 minutes)
    // a page; "a-b" samples a to b, and the record cleared ("c"). Sample 720 turns the page; the page
    // field shows the old page until the next sample. A pause across a page end, or over several
    // pages, turns straight to the page of the sample after it, which is drawn there. Cleared, the
    // record is on page 1 again, its plot empty; its first sample rises from the bottom left corner.
    // Then: page field, last time label, the green pixels, those on row 262, the first and the last
    // green column.
    void livePage_data()
    {
        QTest::addColumn<QString>("samples");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the first page") << "1-719" << u"1 12 Min 862 600 0-599"_s;
        QTest::newRow("sample 720 on the edge") << "1-720" << u"1 24 Min 1 1 599-599"_s;
        QTest::newRow("sample 721") << "1-721" << u"2 24 Min 2 2 0-599"_s;
        QTest::newRow("a pause across the page end") << "1-721 1445-1446" << u"3 36 Min 3 3 3-5"_s;
        QTest::newRow("a pause over pages") << "1-721 1445-1446 3700-3701" << u"6 72 Min 3 3 82-84"_s;
        QTest::newRow("cleared") << "1-1000 c" << u"2 12 Min 0 0 -"_s;
        QTest::newRow("cleared, the first sample") << "1-1000 c 1-1" << u"1 12 Min 263 1 0-0"_s;
    }
    void livePage()
    {
        QFETCH(QString, samples);
        PlotWindows windows;
        Formgrafik& grafik = windows.grafik;
        const Record& record = windows.session.Messreihe;
        std::fill_n(&record.KurveU[1], 3800, 31500.0f);
        for (const QString& range : samples.split(u' ')) {
            if (range == u"c") {
                grafik.recordCleared();
                continue;
            }
            for (int messNr = range.section(u'-', 0, 0).toInt(); messNr <= range.section(u'-', 1).toInt();
                 ++messNr)
                grafik.KurveFortsetzen(record, messNr);
        }
        const QList<int> green = columnsWithColor(windows.image(), Qt::darkGreen);
        QTEST(windows.setgraf.Text1->text() + ' ' + grafik.Text[17]->text() +
                  QString::asprintf(" %d %d ", countColor(windows.image(), Qt::darkGreen),
                                    countColor(windows.image(), Qt::darkGreen, 262)) +
                  (green.isEmpty() ? "-" : QString::asprintf("%d-%d", green.first(), green.last())),
              "shown");
    }

    // During a run, curve boxes and scales redraw the live page at once and recording goes on: a grey
    // box hides its curve, a click shows it (never grey again), the next hides it; 12.0 V lies on
    // line 17 at 60 V full scale and on the top label's line at 12 V. A scale writes its five labels,
    // top to bottom, and is 21/20 of the top label.
    void liveRedraw()
    {
        TestApp app;
        Formsetgraf* s = app.mdi->setgraf;
        const Formgrafik* g = app.mdi->grafik;
        const PlotSurface* plot = g->Picture1;
        // Pixels of the colour on the line of a value label, k/21 of the plot height below the top edge.
        const auto onLine = [plot](int k, const QColor& color) {
            return countColor(plot->image(), color,
                              int(plot->ScaleHeight() * k / 21 / plot->twipsPerPixel()));
        };
        // Charging frames at 12.0 V and 2 A (on line 5 at 2.5 A full scale).
        const ladomat::sim::Reading frame{.outputMv = 12000, .currentTenthMa = 20000, .status = 2};
        for (int k = 0; k < 740; ++k)
            app.send(frame);
        s->Check1->setCheckState(Qt::PartiallyChecked);
        s->HScroll2->setValue(50);
        const int grey = countColor(plot->image(), kVoltageColor), current = onLine(5, kCurrentColor);
        s->Check1->click();
        const int length = onLine(17, kVoltageColor);
        s->HScroll1->setValue(12);
        s->HScroll3->setValue(6);
        const int top = onLine(1, kVoltageColor), old = onLine(17, kVoltageColor);
        for (int k = 0; k < 10; ++k)
            app.send(frame);
        QVERIFY(length > 0 && current > 0 && onLine(1, kVoltageColor) > length);
        s->Check1->click();
        QCOMPARE(QList<int>({grey, top, old, countColor(plot->image(), kVoltageColor)}),
                 QList<int>({0, length, 0, 0}));
        QString labels = QString::asprintf("%g %g %g", g->view.SkalaU, g->view.SkalaI, g->view.SkalaQ);
        for (const int field : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 19, 20, 21, 22})
            labels += ' ' + g->Text[field]->text();
        QCOMPARE(labels,
                 "12600 26250 189 12,0V 9,6V 7,2V 4,8V 2,4V 2,50A 2,00A 1,50A 1,00A 0,50A 180mAh 144mAh "
                 "108mAh 72mAh 36mAh");
    }

    // After a run of 750 samples (two pages of 12 minutes on 375 columns), the record ending at
    // `messAnzahl`, clicks on 1 to 4 (the time options), < and > (the page buttons), W (the view
    // switch). A time option counts the pages of its length and shows the first. Page 2 of the run
    // starts at sample 720 and ends in column 16 (32 of 720), where the current, drawn last, ends.
    // The whole record (12.5 minutes) spans the width, only its button usable; back from it, page 2
    // shows as it was left. Shown: page field, last page, view button, the time labels, the nine
    // controls, the current's last column.
    void paging_data()
    {
        QTest::addColumn<float>("messAnzahl");
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, float messAnzahl, const char* clicks, const QString& shown) {
            QTest::newRow(name) << messAnzahl << QString(clicks) << shown;
        };
        const QString first = "2 Gesamtkurve 0 2 4 6 8 10 12 Min 111111111 374";
        const QString second = "2 2 Gesamtkurve 12 14 16 18 20 22 24 Min 111111111 16";
        row("12 min, one page", 720, "2", " 1 1 Gesamtkurve 0 2 4 6 8 10 12 Min 111111111 374");
        row("12 min, a sample more", 721, "2", " 1 " + first);
        row("21 min, partly filled", 2521, "3", " 1 3 Gesamtkurve 0 3,5 7 10,5 14 17,5 21 Min 111111111 223");
        row("30 min", 2521, "4", " 1 2 Gesamtkurve 0 5 10 15 20 25 30 Min 111111111 156");
        row("empty record", 0, "2", " 1 1 Gesamtkurve 0 2 4 6 8 10 12 Min 111111111 -1");
        row("6 min, a full store", 2000000, "1", " 1 5556 Gesamtkurve 0 1 2 3 4 5 6 Min 111111111 374");
        row("next", 750, "2>", second);
        row("next at the last", 750, "2>>", second);
        row("previous", 750, "2><", "1 " + first);
        row("previous at the first", 750, "2<", "1 " + first);
        row("whole record", 750, "2>W",
            "2 2 Normalansicht 0 002,1 004,2 006,3 008,3 010,4 012,5Min 100000011 374");
        row("back to the page", 750, "2>WW", second);
    }
    void paging()
    {
        QFETCH(float, messAnzahl);
        QFETCH(QString, clicks);
        TestApp app;
        const ladomat::sim::Reading frame{.outputMv = 12000, .currentTenthMa = 20000, .status = 2};
        for (int k = 0; k < 750; ++k)
            app.send(frame);
        app.send({.status = 8});
        app.session().Messreihe.MessAnzahl = messAnzahl;
        Formsetgraf* s = app.mdi->setgraf;
        const QList<QAbstractButton*> buttons{s->Option1,  s->Option2,  s->Option3, s->Option4,
                                              s->Command2, s->Command3, s->Command1};
        for (const QChar click : clicks)
            buttons[QString("1234<>W").indexOf(click)]->click();
        const Formgrafik* g = app.mdi->grafik;
        QStringList shown{s->Text1->text(), QString::number(g->view.LetzteSeite), s->Command1->text()};
        for (int field = 11; field <= 17; ++field)
            shown << g->Text[field]->text();
        const QList<int> red = columnsWithColor(g->Picture1->image(), kCurrentColor);
        shown << controlStates(*app.mdi) << QString::number(red.isEmpty() ? -1 : red.last());
        QTEST(shown.join(' '), "shown");
    }
};

QTEST_MAIN(TestPlotDrawing)
#include "test_plot_drawing.moc"
