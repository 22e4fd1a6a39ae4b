// The graph window and its plot: the time axis, layout rule, grid on both screens,
// labels, caption, curve boxes, curves in each view against one line per sample and the live page.
#include "TestSupport.h"

#include "platform/PlotSurface.h"
#include "testkit/PerSample.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include <cmath>

using namespace Qt::StringLiterals;

class TestPlotDrawing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // The time axis: minutes of a page at the left edge, each grid line and the right end; the
    // whole record of N samples in sixths of its minutes.
    void timeAxis_data()
    {
        QTest::addColumn<float>("minutes");
        QTest::addColumn<float>("seite");
        QTest::addColumn<int>("N");  // 0: the paged view
        QTest::addColumn<QString>("labels");
        QTest::newRow("page 2 of 21 minutes") << 21.0f << 2.0f << 0 << "21 24.5 28 31.5 35 38.5 42";
        QTest::newRow("whole, empty") << 12.0f << 1.0f << -1 << "0 000,0 000,0 000,0 000,0 000,0 000,0Min";
        QTest::newRow("whole, 750 samples")
            << 12.0f << 1.0f << 750 << "0 002,1 004,2 006,3 008,3 010,4 012,5Min";
        QTest::newRow("whole, full store")
            << 12.0f << 1.0f << 2000000 << "0 5555,6 11111,1 16666,7 22222,2 27777,8 33333,3Min";
    }
    void timeAxis()
    {
        QFETCH(float, minutes);
        QFETCH(float, seite);
        QFETCH(int, N);
        GraphView view;
        view.MinProSeite = minutes, view.Seite = seite;
        QStringList labels;
        if (N == 0) {
            for (float m : pageMinutes(view))
                labels << QString::number(m);
        } else {
            for (const QString& label : wholeRecordLabels(std::max(N, 0)))
                labels << label;
        }
        QTEST(labels.join(u' '), "labels");
    }

    // Outer sizes in pixels: at least 6150 x 3700 twips (410 x 247); below the minimum width the
    // plot keeps 4845 twips (323 pixels), else it is the inner width less 1200 twips (80); its
    // height is the inner height less 290 twips (19 pixels).
    void layoutRule_data()
    {
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QSize>("expected");
        QTest::addColumn<int>("fixedWidth");  // 0: inner width less 80
        QTest::newRow("below the minimum") << QSize(200, 100) << QSize(410, 247) << 323;
        QTest::newRow("the minimum width") << QSize(410, 300) << QSize(410, 300) << 0;
        QTest::newRow("wide") << QSize(700, 560) << QSize(700, 560) << 0;
    }
    void layoutRule()
    {
        QFETCH(QSize, outer);
        QFETCH(QSize, expected);
        QFETCH(int, fixedWidth);
        QMdiArea area;  // outlives the window it frames
        PlotWindows windows;
        QMdiSubWindow* frame = area.addSubWindow(&windows.grafik);
        const QSize border = frame->size() - frame->contentsRect().size();
        frame->resize(outer);
        windows.grafik.resize(outer - border);
        windows.grafik.Form_Resize();
        const QSize inner = expected - border;
        QCOMPARE(std::pair(frame->size(), windows.grafik.size()), std::pair(expected, inner));
        QCOMPARE(windows.plot()->geometry(),
                 QRect(33, 0, fixedWidth ? fixedWidth : inner.width() - 80, inner.height() - 19));
    }

    // On 600 x 525 pixels, grid lines 25, 75 .. 475 (rows) and 100 .. 500 (columns) and the frame on
    // the plot's edges, one device pixel wide on the screens of ratio 1 and 2, seen in the pixel
    // column and row 50. A column run beyond the image's right edge is not painted.
    void gridOnBothScreens_data()
    {
        QTest::addColumn<int>("screen");
        QTest::newRow("ratio 1") << 0;
        QTest::newRow("ratio 2") << 1;
    }
    void gridOnBothScreens()
    {
        QFETCH(int, screen);
        QMdiArea area;
        area.setScreen(QGuiApplication::screens().at(screen));
        PlotWindows windows;
        QMdiSubWindow* frame = area.addSubWindow(&windows.grafik);
        frame->resize(QSize(680, 544) + frame->size() - frame->contentsRect().size());
        windows.grafik.resize(680, 544);
        windows.grafik.Form_Resize();
        const QImage& image = windows.image();
        windows.plot()->paintColumnRun(image.width(), 0, image.height() - 2, Qt::red);
        const int ratio = static_cast<int>(QGuiApplication::screens().at(screen)->devicePixelRatio());
        const QColor grey(150, 150, 150);
        QString found;
        for (int y = 0; y < image.height(); ++y)
            found += image.pixelColor(50 * ratio, y) == grey ? QString::number(y / ratio) + ' ' : "";
        for (int x = 0; x < image.width(); ++x)
            found += image.pixelColor(x, 50 * ratio) == grey ? ' ' + QString::number(x / ratio) : "";
        QCOMPARE(found, "0 25 75 125 175 225 275 325 375 425 475 524  0 100 200 300 400 500 599");
    }

    // The live page ('L'), drawn from its start only, the first page of a finished record ('P') and
    // the whole record ('W'), reduced column by column, give pixel for pixel the picture of one line
    // per sample from sample 1. Grey (1) and unticked (0) boxes hide their curves. Noisy curves are
    // drawn in the start size, 21 minutes (1260 samples) a page; a clean charge on 600 x 525 pixels.
    void eachViewEqualsPerSampleDrawing_data()
    {
        QTest::addColumn<char>("kind");
        QTest::addColumn<float>("page");
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("u");  // the voltage's box
        QTest::addColumn<int>("q");  // the capacity's box
        QTest::addColumn<bool>("clean");
        const auto row = [](const char* name, char kind, float page, int samples, int u, int q,
                            bool clean = false) {
            QTest::newRow(name) << kind << page << samples << u << q << clean;
        };
        row("live page 2, its first sample", 'L', 2, 1261, 1, 2);
        row("live page, the first sample alone", 'L', 1, 1, 2, 2);
        row("page, the record ends mid page", 'P', 1, 1000, 2, 0);
        row("page, full up to its right edge", 'P', 1, 1260, 2, 2);
        row("whole, empty", 'W', 1, 0, 2, 2);
        row("whole, one sample", 'W', 1, 1, 2, 2);
        row("whole, 601 samples", 'W', 1, 601, 1, 0);
        row("whole, 5000 noisy samples", 'W', 1, 5000, 2, 2);
        row("whole, a clean charge", 'W', 1, 30000, 2, 2, true);
    }
    void eachViewEqualsPerSampleDrawing()
    {
        QFETCH(char, kind);
        QFETCH(float, page);
        QFETCH(int, samples);
        QFETCH(int, u);
        QFETCH(int, q);
        QFETCH(bool, clean);
        PlotWindows windows(clean ? QSize(680, 544) : QSize(455, 211));
        Record& v = windows.session.Messreihe;
        GraphView& view = windows.grafik.view;
        windows.setgraf.Option3->setChecked(true);
        windows.setgraf.Check1->setCheckState(Qt::CheckState(u));
        windows.setgraf.Check3->setCheckState(Qt::CheckState(q));
        for (int n = 1; n <= samples; ++n) {
            const float t = static_cast<float>(n) / samples, r = 0.35f * std::sin(n * 12.9898f);
            v.KurveU[n] = clean ? ladomat::sim::chargeSecond(n - 1, samples, 54).outputMv
                                : view.SkalaU * (0.5f + std::cos(n * 78.233f) * 0.35f);
            v.KurveI[n] = clean ? 26300.0f : view.SkalaI * (t + r);
            v.KurveQ[n] = clean ? std::floor(view.SkalaQ * t) : view.SkalaQ * (1.1f - t + r / 2);
        }
        v.MessAnzahl = samples, view.LetzteSeite = view.Seite = page;
        view.Gesamtansicht = kind == 'W';
        windows.grafik.GrafikAufbauen();
        windows.grafik.AnsichtZeichnen(v, samples + 1, kind == 'P');
        const QImage drawn = windows.image().copy();
        QCOMPARE(countColor(drawn, Qt::red) > 0, samples > 0);
        windows.grafik.GrafikAufbauen();
        const float S = kind == 'W' ? samples : samplesPerPage(view);  // samples across the plot
        drawPerSample(windows.plot(), v, view, windows.plot()->ScaleWidth() / S, S * (page - 1),
                      std::min<float>(samples, S * page));
        QCOMPARE(drawn, windows.image());
    }

    // The first and last label of each group: value labels beside and above / below grid lines 25
    // and 425, time labels under x = 0, the fifth grid line and the right end, each group in its
    // size and colour.
    void labelPlaces_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("place");
        const auto row = [](int field, QString place) { QTest::addRow("Text%d", field) << field << place; };
        row(1, "0,18 33x19 #008000");
        row(5, "0,418 33x19 #008000");
        row(6, "633,14 47x13 #ff0000");
        row(10, "633,414 47x13 #ff0000");
        row(11, "17,525 33x19 #000000");
        row(16, "517,525 33x19 #000000");
        row(17, "623,525 49x19 #000000");
        row(18, "633,26 47x13 #0000ff");
        row(22, "633,426 47x13 #0000ff");
    }
    void labelPlaces()
    {
        QFETCH(int, field);
        PlotWindows windows;
        const QLineEdit* label = windows.grafik.Text[field];
        const QRect r = label->geometry();
        QTEST(QString::asprintf("%d,%d %dx%d ", r.x(), r.y(), r.width(), r.height()) +
                  label->palette().color(QPalette::Text).name(),
              "place");
    }

    void captionErasesItsFirstLine()
    {
        // Caption line 1 (the battery notes) is erased by printing it again in the background colour:
        // written with the start notes and then with others it equals the second written once.
        PlotWindows windows;
        Formgrafik& grafik = windows.grafik;
        const BatteryNotes notes{"Akku 1", "1700", "6", "7,2"};
        grafik.KopfzeilenSchreiben({"?", "?", "", ""});
        grafik.KopfzeilenSchreiben(notes);
        const QImage twice = windows.image().copy();
        grafik.GrafikAufbauen();
        grafik.KopfzeilenSchreiben(notes);
        QVERIFY(countColor(twice, QColor(191, 0, 0)) > 200);
        QCOMPARE(windows.image(), twice);
        QCOMPARE(grafik.view.AlteKopfzeile, "Akku 1 | Nennkap.: 1700 mAh | Zellenzahl : 6 (7,2V)");
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

    void curveBoxes()
    {
        // A grey curve box reads 2; the user's clicks only toggle between 1 and 0.
        PlotWindows windows;
        QCheckBox* box = windows.setgraf.Check1;
        box->setCheckState(Qt::PartiallyChecked);
        QList<int> seen;
        for (int click = 0; click < 4; ++click, box->click())
            seen << checkValue(box);
        QCOMPARE(seen, (QList<int>{2, 1, 0, 1}));
    }
};

QTEST_MAIN(TestPlotDrawing)
#include "test_plot_drawing.moc"
