// The graph window and its plot: layout rule, grid on both screens, labels, caption, curve boxes,
// curves in each view against one line per sample and the live page turn.
#include "TestSupport.h"

#include "platform/PlotSurface.h"
#include "platform/Twips.h"
#include "plot/plot.h"
#include "testkit/PerSample.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include <random>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kGrey(150, 150, 150);

// Curves that cross each other and leave the plot at both edges; with a voltage given, flat
// voltage and current curves instead (current 13125 of 52500); with voltage -1, a clean charge:
// the simulator's voltage, the current on a row's edge (26300 of 52500 is 263 of 525 rows),
// the capacity rising in whole steps.
void fillCurves(Variabelen& vars, int count, float voltage = 0)
{
    std::mt19937 random(20240521);
    std::uniform_real_distribution<float> noise(-0.35f, 0.35f);
    for (int n = 1; n <= count; ++n) {
        const float t = static_cast<float>(n) / count;
        if (voltage < 0) {
            vars.KurveU[n] = static_cast<float>(ladomat::sim::chargeSecond(n - 1, count, 54).outputMv);
            vars.KurveI[n] = 26300;
            vars.KurveQ[n] = std::floor(vars.SkalaQ * t);
            continue;
        }
        vars.KurveU[n] = voltage > 0 ? voltage : vars.SkalaU * (0.5f + noise(random));
        vars.KurveI[n] = voltage > 0 ? 13125.0f : vars.SkalaI * (t + noise(random));
        vars.KurveQ[n] = vars.SkalaQ * (1.1f - t + noise(random) / 2);
    }
}

}  // namespace

class TestPlotDrawing : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void layoutRuleAndGridOnBothScreens()
    {
        // Outer sizes in pixels: at least 6150 x 3700 twips (410 x 247); below the minimum width
        // the plot keeps 4845 twips (323 pixels), else it is the inner width less 1200 twips (80).
        // Grid line k lies at k times H / 525 (rows) or W / 600 (columns), the frame on the plot's
        // edges, one device pixel wide on the screens of ratio 1 and 2; nothing else is drawn.
        const struct {
            QSize outer, expected;
            bool fixedWidth;
        } cases[] = {
            {{200, 100}, {410, 247}, true}, {{409, 300}, {410, 300}, true}, {{410, 300}, {410, 300}, false}};
        for (QScreen* screen : QGuiApplication::screens()) {
            for (const auto& c : cases) {
                QMdiArea area;  // outlives the window it frames
                area.setScreen(screen);
                PlotWindows windows;
                QMdiSubWindow* frame = area.addSubWindow(&windows.grafik);
                const QSize border = frame->size() - frame->contentsRect().size();
                frame->resize(c.outer);
                windows.grafik.resize(c.outer - border);
                windows.grafik.Form_Resize();
                const QSize inner = windows.grafik.size();
                const QRect plot = windows.plot()->geometry();
                QCOMPARE(QPair(frame->size(), inner), QPair(c.expected, c.expected - border));
                QCOMPARE(plot,
                         QRect(33, 0, c.fixedWidth ? 323 : inner.width() - 80,
                               twipsToPixels(pixelsToTwips(inner.height()) - 290)));
                QList<int> rows{0}, columns{0}, foundRows, foundColumns;
                for (int k = 25; k <= 475; k += 50)
                    rows << static_cast<int>(k * (windows.plot()->ScaleHeight() / 525) / 15);
                for (int k = 100; k <= 500; k += 100)
                    columns << static_cast<int>(k * (windows.plot()->ScaleWidth() / 600) / 15);
                rows << plot.height() - 1, columns << plot.width() - 1;
                const QImage& image = windows.image();
                const int ratio = static_cast<int>(screen->devicePixelRatio());
                for (int y = 0; y < image.height(); ++y) {
                    if (countColorInRow(image, y, kGrey) > image.width() / 2)
                        foundRows << y / ratio;
                }
                for (int x = 0; x < image.width(); ++x) {
                    if (countColorInColumn(image, x, kGrey) > image.height() / 2)
                        foundColumns << x / ratio;
                }
                QCOMPARE(QPair(foundRows, foundColumns), QPair(rows, columns));
                QCOMPARE(image.size(), plot.size() * ratio);
                const int grey = rows.size() * plot.width() + columns.size() * plot.height() -
                    rows.size() * columns.size();
                if (ratio == 1)  // the frame's right and bottom edge end a device pixel short at ratio 2
                    QCOMPARE(QPair(countColor(image, kGrey), countColor(image, windows.plot()->backColor())),
                             QPair(grey, image.width() * image.height() - grey));
            }
        }
    }

    void labelsCaptionAndCurveBoxes()
    {
        // Value labels beside and above / below grid lines 25 and 425, time labels under x = 0, the
        // first grid line and the right end, each group in its size and colour. Caption line 1 (the
        // battery notes) is erased by printing it again in the background colour: written with the
        // start notes and then with others it equals the second written once. A grey curve box
        // reads 2; the user's clicks only toggle between 1 and 0. Page 2 of 21 minutes: a time
        // label every 3.5 minutes.
        PlotWindows windows;
        QStringList labels;
        for (int field : {1, 5, 6, 10, 11, 12, 16, 17, 18}) {
            const QRect r = windows.grafik.Text[field]->geometry();
            labels << QString::asprintf("%d,%d %dx%d ", r.x(), r.y(), r.width(), r.height()) +
                    windows.grafik.Text[field]->palette().color(QPalette::Text).name();
        }
        QCOMPARE(
            labels.join(u'|'),
            "0,18 33x19 #008000|0,418 33x19 #008000|633,14 47x13 #ff0000|633,414 47x13 #ff0000|17,525 33x19 "
            "#000000|117,525 33x19 #000000|517,525 33x19 #000000|623,525 49x19 #000000|633,26 47x13 #0000ff");
        KopfzeilenSchreiben();
        for (auto [field, text] : {std::pair(windows.akku.Text1, "Akku 1"),
                                   {windows.akku.Text2, "1700"},
                                   {windows.akku.Text3, "6"},
                                   {windows.akku.Text4, "7,2"}})
            field->setText(QString::fromLatin1(text));
        KopfzeilenSchreiben();
        QCOMPARE(windows.vars.AlteKopfzeile, "Akku 1 | Nennkap.: 1700 mAh | Zellenzahl : 6 (7,2V)");
        const QImage twice = windows.image().copy();
        QVERIFY(countColor(twice, QColor(191, 0, 0)) > 200);
        GrafikAufbauen();
        KopfzeilenSchreiben();
        QCOMPARE(windows.image(), twice);

        Formsetgraf& setgraf = windows.setgraf;
        QList<int> values{checkValue(setgraf.Check1), checkValue(setgraf.Check2), checkValue(setgraf.Check3)};
        setgraf.Check1->setCheckState(Qt::PartiallyChecked);
        for (int click = 0; click < 4; ++click, setgraf.Check1->click())
            values << checkValue(setgraf.Check1);
        QCOMPARE(values, (QList<int>{1, 1, 0, 2, 1, 0, 1}));
        setgraf.Option3->setChecked(true);
        windows.vars.Seite = 2;
        ZeitachseBeschriften();
        QCOMPARE(windows.timeTexts().join(u'|'), "21|24,5|28|31,5|35|38,5|42 Min");
    }

    void eachViewEqualsPerSampleDrawing()
    {
        // The live page ('L'), drawn from its start only, the first page of a finished record ('P')
        // and the whole record ('W'), reduced column by column, give pixel for pixel the picture of
        // one line per sample from sample 1. Grey and unticked boxes hide their curves.
        // Flat curves (voltage > 0) fill one page of 12 minutes (720 samples) on 600 x 525 pixels:
        // voltage 31500 of 63000 lies on row 262, 63000 on row 0, current 13125 of 52500 on row 393.
        // Each fills its row; in column 0 its first segment rises from the bottom left corner, the
        // voltage's only up to the current's row, as the current is drawn over it. Noisy curves
        // (voltage 0) are drawn in the start size, 21 minutes (1260 samples) a page. The whole record's
        // time labels show a sixth of its minutes per grid line; an empty record leaves the bare grid.
        const struct {
            char view;
            float page;
            int samples;
            Qt::CheckState u, q;
            float voltage;
            int row;
            QString labels;  // the time labels joined by '|', when given
        } cases[] = {
            {'L', 1, 720, Qt::Checked, Qt::Unchecked, 31500, 262, {}},
            {'P', 1, 720, Qt::Checked, Qt::Unchecked, 31500, 262, {}},
            {'W', 1, 720, Qt::Checked, Qt::Unchecked, 63000, 0, "0|002,0|004,0|006,0|008,0|010,0|012,0Min"},
            {'W', 1, 20000, Qt::Checked, Qt::Unchecked, 31500, 262, {}},  // many samples a column
            {'L', 2, 1261, Qt::PartiallyChecked, Qt::Checked, 0, 0, {}},  // page 2's first sample
            {'P', 1, 1000, Qt::Checked, Qt::Unchecked, 0, 0, {}},  // the record ends mid page
            {'L', 1, 1, Qt::Checked, Qt::Checked, 0, 0, {}},  // the live page's first sample alone
            {'P', 1, 1260, Qt::Checked, Qt::Checked, 0, 0, {}},  // a full page, up to its right edge
            {'W', 1, 0, Qt::Checked, Qt::Checked, 0, 0, "0||||||"},
            {'W', 1, 1, Qt::Checked, Qt::Checked, 0, 0, {}},
            {'W', 1, 601, Qt::PartiallyChecked, Qt::Unchecked, 0, 0, {}},
            {'W', 1, 30000, Qt::Checked, Qt::Checked, -1, 0, {}},  // a clean charge curve
            {'W', 1, 5000, Qt::Checked, Qt::Checked, 0, 0, "0|013,9|027,8|041,7|055,6|069,4|083,3Min"}};
        for (const auto& c : cases) {
            PlotWindows windows(c.voltage != 0 ? QSize(680, 544) : QSize(455, 211));
            (c.voltage > 0 ? windows.setgraf.Option2 : windows.setgraf.Option3)->setChecked(true);
            windows.setgraf.Check1->setCheckState(c.u);
            windows.setgraf.Check3->setCheckState(c.q);
            fillCurves(windows.vars, c.samples, c.voltage);
            windows.vars.MessNr = c.samples + 1;
            windows.vars.MessAnzahl = c.samples;
            windows.vars.LetzteSeite = c.page;
            windows.vars.MessungBeendet = c.view == 'P';
            windows.vars.Gesamtansicht = c.view == 'W';
            GrafikAufbauen();
            AnsichtZeichnen();
            const QImage drawn = windows.image().copy();
            QCOMPARE(countColor(drawn, kRed) > 0, c.samples > 0);
            if (c.voltage > 0) {
                QCOMPARE((QList<int>{countColorInRow(drawn, 393, kRed), countColor(drawn, kRed),
                                     countColorInRow(drawn, c.row, kGreen), countColor(drawn, kGreen)}),
                         (QList<int>{600, 600 + 524 - 393, 600, 600 + 392 - c.row}));
            }
            if (!c.labels.isEmpty())
                QCOMPARE(windows.timeTexts().join(u'|'), c.labels);
            GrafikAufbauen();
            const float S = c.view == 'W' ? c.samples : samplesPerPage();  // samples across the plot
            drawPerSample(windows.plot(), windows.plot()->ScaleWidth() / S, S * (c.page - 1),
                          std::min<float>(c.samples, S * c.page));
            QCOMPARE(drawn, windows.image());
        }
    }

    void liveExtensionTurnsThePage()
    {
        // Samples at half the voltage scale (row 262) recorded one by one, 720 (12 minutes) a page.
        // Sample 720 turns the page; the offset and page fields show the old page until the next
        // sample. A pause across a page end, or over several pages, turns straight to the page of
        // the sample after it, which is drawn there. After each step: offset, page field, last time
        // label, then the number of green columns (all on row 262), the first and the last.
        const struct {
            int first, last;
            float page;
            QString shown;
        } steps[] = {{1, 719, 1, "0 1 12 Min 600 0-599"},
                     {720, 720, 2, "0 1 24 Min 1 599-599"},
                     {721, 721, 2, "720 2 24 Min 2 0-599"},
                     {1445, 1446, 3, "1440 3 36 Min 3 3-5"},  // nothing from 722 to 1444
                     {3700, 3701, 6, "3600 6 72 Min 3 82-84"}};  // 1447 to 3699 not drawn
        PlotWindows windows;
        std::fill_n(&windows.vars.KurveU[1], 3800, 31500.0f);
        for (const auto& s : steps) {
            for (windows.vars.MessNr = s.first; windows.vars.MessNr <= s.last; ++windows.vars.MessNr)
                KurveFortsetzen();
            QCOMPARE(QPair(windows.vars.LetzteSeite, windows.vars.Seite), QPair(s.page, s.page));
            const QList<int> green = columnsWithColor(windows.image(), kGreen);
            QCOMPARE(QStringList({windows.text.Text10->text(), windows.setgraf.Text1->text(),
                                  windows.grafik.Text[17]->text(),
                                  QString::asprintf("%d %d-%d", countColorInRow(windows.image(), 262, kGreen),
                                                    green.first(), green.last())})
                         .join(' '),
                     s.shown);
        }
    }
};

QTEST_MAIN(TestPlotDrawing)
#include "test_plot_drawing.moc"
