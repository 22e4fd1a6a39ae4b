// The graph window and its plot: layout rule, grid on both screens, labels, caption, curve boxes,
// curves in each view against one line per sample and the live page turn.
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

class TestPlotDrawing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void layoutAndGridOnBothScreens()
    {
        // Outer sizes in pixels: at least 6150 x 3700 twips (410 x 247); below the minimum width the
        // plot keeps 4845 twips (323 pixels), else it is the inner width less 1200 twips (80); its
        // height is the inner height less 290 twips (19 pixels). On 600 x 525 pixels, grid lines 25, 75 ..
        // 475 (rows) and 100 .. 500 (columns) and the frame on the plot's edges, one device pixel wide on the
        // screens of ratio 1 and 2, seen in the pixel column and row 50. A column run beyond the image's
        // right edge is not painted.
        for (QScreen* screen : QGuiApplication::screens()) {
            QMdiArea area;  // outlives the window it frames
            area.setScreen(screen);
            PlotWindows windows;
            QMdiSubWindow* frame = area.addSubWindow(&windows.grafik);
            const QSize border = frame->size() - frame->contentsRect().size();
            for (auto [outer, expected, fixed] : {std::tuple(QSize(200, 100), QSize(410, 247), 323),
                                                  {QSize(410, 300), QSize(410, 300), 0},
                                                  {QSize(680, 544) + border, QSize(680, 544) + border, 0}}) {
                frame->resize(outer);
                windows.grafik.resize(outer - border);
                windows.grafik.Form_Resize();
                const QSize inner = expected - border;
                QCOMPARE(std::pair(frame->size(), windows.grafik.size()), std::pair(expected, inner));
                QCOMPARE(windows.plot()->geometry(),
                         QRect(33, 0, fixed ? fixed : inner.width() - 80, inner.height() - 19));
            }
            const QImage& image = windows.image();
            windows.plot()->paintColumnRun(image.width(), 0, image.height() - 2, Qt::red);
            const int ratio = static_cast<int>(screen->devicePixelRatio());
            const QColor grey(150, 150, 150);
            QString found;
            for (int y = 0; y < image.height(); ++y)
                found += image.pixelColor(50 * ratio, y) == grey ? QString::number(y / ratio) + ' ' : "";
            for (int x = 0; x < image.width(); ++x)
                found += image.pixelColor(x, 50 * ratio) == grey ? ' ' + QString::number(x / ratio) : "";
            QCOMPARE(found, "0 25 75 125 175 225 275 325 375 425 475 524  0 100 200 300 400 500 599");
        }
    }

    void eachViewEqualsPerSampleDrawing()
    {
        // The live page ('L'), drawn from its start only, the first page of a finished record ('P')
        // and the whole record ('W'), reduced column by column, give pixel for pixel the picture of
        // one line per sample from sample 1. Grey (1) and unticked (0) boxes hide their curves.
        // Flat curves (voltage > 0) fill one page of 12 minutes (720 samples) on 600 x 525 pixels:
        // voltage 31500 of 63000 lies on row 262, 63000 on row 0, current 13125 of 52500 on row 393.
        // Each fills its row; in column 0 its first segment rises from the bottom left corner, the
        // voltage's only up to the current's row, as the current is drawn over it. Noisy curves
        // (voltage 0) are drawn in the start size, 21 minutes (1260 samples) a page. The whole record's
        // time labels show a sixth of its minutes per grid line; an empty record leaves the bare grid.
        using Case = std::tuple<char, float, int, int, int, bool, QString>;
        // view, page, samples, U and Q box, clean, time labels
        for (auto [kind, page, samples, u, q, clean, labels] :
             {Case('L', 2, 1261, 1, 2, false, "21|24,5|28|31,5|35|38,5|42 Min"),  // page 2's first sample
              {'P', 1, 1000, 2, 0, false, {}},  // the record ends mid page
              {'L', 1, 1, 2, 2, false, {}},  // the live page's first sample alone
              {'P', 1, 1260, 2, 2, false, {}},  // a full page, up to its right edge
              {'W', 1, 0, 2, 2, false, "0||||||"},
              {'W', 1, 1, 2, 2, false, {}},
              {'W', 1, 601, 1, 0, false, {}},
              {'W', 1, 30000, 2, 2, true, {}},  // a clean charge curve
              {'W', 1, 5000, 2, 2, false, "0|013,9|027,8|041,7|055,6|069,4|083,3Min"}}) {
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
            QStringList times;  // the time axis labels
            for (int field = 11; field <= 17; ++field)
                times << windows.grafik.Text[field]->text();
            QVERIFY((labels.isEmpty() || times.join(u'|') == labels) &&
                    (countColor(drawn, Qt::red) > 0) == (samples > 0));
            windows.grafik.GrafikAufbauen();
            const float S = kind == 'W' ? samples : samplesPerPage(view);  // samples across the plot
            drawPerSample(windows.plot(), v, view, windows.plot()->ScaleWidth() / S, S * (page - 1),
                          std::min<float>(samples, S * page));
            QCOMPARE(drawn, windows.image());
        }
    }

    void labelsCaptionLivePageAndBoxes()
    {
        // The first and last label of each group: value labels beside and above / below grid lines 25
        // and 425, time labels under x = 0, the fifth grid line and the right end, each group in its
        // size and colour. Caption line 1 (the
        // battery notes) is erased by printing it again in the background colour: written with the
        // start notes and then with others it equals the second written once.
        PlotWindows windows;
        QStringList seen;
        for (int field : {1, 5, 6, 10, 11, 16, 17, 18, 22}) {
            const QRect r = windows.grafik.Text[field]->geometry();
            seen << QString::asprintf("%d,%d %dx%d ", r.x(), r.y(), r.width(), r.height()) +
                    windows.grafik.Text[field]->palette().color(QPalette::Text).name();
        }
        Formgrafik& grafik = windows.grafik;
        const BatteryNotes notes{"Akku 1", "1700", "6", "7,2"};
        grafik.KopfzeilenSchreiben({"?", "?", "", ""});
        grafik.KopfzeilenSchreiben(notes);
        const QImage twice = windows.image().copy();
        grafik.GrafikAufbauen();
        grafik.KopfzeilenSchreiben(notes);
        QVERIFY(countColor(twice, QColor(191, 0, 0)) > 200 && windows.image() == twice);
        seen << grafik.view.AlteKopfzeile;

        // Samples at half the voltage scale (row 262) recorded one by one, 720 (12 minutes) a page.
        // Sample 720 turns the page; the page field shows the old page until the next
        // sample. A pause across a page end, or over several pages, turns straight to the page of
        // the sample after it, which is drawn there; nothing is drawn from 722 to 1444, nor from
        // 1447 to 3699. After each step: page field, last time label, then the number of
        // green columns (all on row 262), the first and the last.
        const Record& record = windows.session.Messreihe;
        std::fill_n(&record.KurveU[1], 3800, 31500.0f);
        for (auto [first, last] : {std::pair(1, 719), {720, 720}, {721, 721}, {1445, 1446}, {3700, 3701}}) {
            for (int messNr = first; messNr <= last; ++messNr)
                grafik.KurveFortsetzen(record, messNr);
            const QList<int> green = columnsWithColor(windows.image(), Qt::darkGreen);
            seen << windows.setgraf.Text1->text() + ' ' + windows.grafik.Text[17]->text() +
                    QString::asprintf(" %d %d-%d", countColor(windows.image(), Qt::darkGreen, 262),
                                      green.first(), green.last());
        }

        // A grey curve box reads 2; the user's clicks only toggle between 1 and 0. Page 2 of 21
        // minutes: a time label every 3.5 minutes.
        windows.setgraf.Check1->setCheckState(Qt::PartiallyChecked);
        for (int click = 0; click < 4; ++click, windows.setgraf.Check1->click())
            seen << QString::number(checkValue(windows.setgraf.Check1));
        QCOMPARE(seen.join('|'),
                 "0,18 33x19 #008000|0,418 33x19 #008000|633,14 47x13 #ff0000|633,414 47x13 #ff0000|"
                 "17,525 33x19 #000000|517,525 33x19 #000000|623,525 49x19 #000000|633,26 47x13 #0000ff|"
                 "633,426 47x13 #0000ff|Akku 1 | Nennkap.: 1700 mAh | Zellenzahl : 6 (7,2V)|"
                 "1 12 Min 600 0-599|1 24 Min 1 599-599|2 24 Min 2 0-599|"
                 "3 36 Min 3 3-5|6 72 Min 3 82-84|2|1|0|1");
    }
};

QTEST_MAIN(TestPlotDrawing)
#include "test_plot_drawing.moc"
