// Drawing on the plot: curves in each view, the live page redraw and page turn, the whole-record
// view against one line per sample, and the caption.
#include "TestSupport.h"

#include "platform/PlotSurface.h"
#include "plot/plot.h"
#include "process/Forms.h"
#include "testkit/PerSample.h"

#include <QDate>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

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
    void eachViewEqualsPerSampleDrawing();
    void liveExtensionTurnsThePage();
    void captionReplacesItsFirstLine();
    void plotFollowsTheDevicePixelRatio();
};

void TestPlotDrawing::eachViewEqualsPerSampleDrawing()
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
        if (c.view == 'W')
            windows.vars.Gesamtansicht = true;
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

void TestPlotDrawing::liveExtensionTurnsThePage()
{
    // Samples at half the voltage scale (row 262) recorded one by one, 720 (12 minutes) a page.
    // Sample 720 turns the page; the offset and page fields show the old page until the next
    // sample. A pause across a page end, or over several pages, turns straight to the page of
    // the sample after it, which is drawn there.
    QList<int> allColumns(600);
    std::iota(allColumns.begin(), allColumns.end(), 0);
    const struct {
        int first, last;
        float page;
        QStringList texts;
        QList<int> green;
    } steps[] = {{1, 719, 1, {"0", "1", "12 Min"}, allColumns},
                 {720, 720, 2, {"0", "1", "24 Min"}, {599}},
                 {721, 721, 2, {"720", "2", "24 Min"}, {0, 599}},
                 {1445, 1446, 3, {"1440", "3", "36 Min"}, {3, 4, 5}},  // nothing from 722 to 1444
                 {3700, 3701, 6, {"3600", "6", "72 Min"}, {82, 83, 84}}};  // 1447 to 3699 not drawn
    PlotWindows windows;
    std::fill_n(&windows.vars.KurveU[1], 3800, 31500.0f);
    for (const auto& s : steps) {
        for (windows.vars.MessNr = s.first; windows.vars.MessNr <= s.last; ++windows.vars.MessNr)
            KurveFortsetzen();
        QCOMPARE(QPair(windows.vars.LetzteSeite, windows.vars.Seite), QPair(s.page, s.page));
        const QStringList texts{windows.text.Text10->text(), windows.setgraf.Text1->text(),
                                windows.grafik.Text[17]->text()};
        QCOMPARE(texts, s.texts);
        QCOMPARE(columnsWithColor(windows.image(), kGreen), s.green);
        QCOMPARE(countColorInRow(windows.image(), 262, kGreen), static_cast<int>(s.green.size()));
    }
}

void TestPlotDrawing::captionReplacesItsFirstLine()
{
    // Line 1 (the battery notes) is erased by printing it again in the plot's background colour:
    // after two captions the plot shows just the second, as printed once in dark red.
    PlotWindows windows;
    PlotSurface* plot = windows.plot();
    windows.grafik.Text[5]->setText(QStringLiteral("12,0V"));
    windows.grafik.Text[10]->setText(QStringLiteral("1,00A"));
    plot->Cls();
    KopfzeilenSchreiben();  // with the notes the window starts with
    Formakku& akku = windows.akku;
    akku.Text1->setText(QStringLiteral("Akku 1"));
    akku.Text2->setText(QStringLiteral("1700"));
    akku.Text3->setText(QStringLiteral("6"));
    akku.Text4->setText(QStringLiteral("7,2"));
    KopfzeilenSchreiben();
    const QString line1 = QStringLiteral("Akku 1 | Nennkap.: 1700 mAh | Zellenzahl : 6 (7,2V)");
    QCOMPARE(windows.vars.AlteKopfzeile, line1);
    const QImage drawn = windows.image().copy();

    plot->Cls();
    plot->setForeColor(QColor(191, 0, 0));
    plot->PSet(50, 170, plot->backColor());  // moves the text position
    plot->Print(line1);
    plot->PSet(plot->ScaleWidth() - 700, 0, plot->backColor());
    plot->Print(QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
    plot->PSet(50, 0, plot->backColor());
    plot->Print(QStringLiteral("Hor.: 12,0V | 1,00A | 600mAh je pro 2 Striche || Zeit: von 0 bis 12 Min"));
    QCOMPARE(drawn, windows.image());
}

void TestPlotDrawing::plotFollowsTheDevicePixelRatio()
{
    // The same plot on the screen of ratio 1 and on the one of ratio 2: twice the pixels, grid and
    // frame lines at twice the rows and columns and still one pixel wide, the caption twice as large.
    QList<QScreen*> screens = QGuiApplication::screens();
    QVERIFY2(screens.size() == 2, "the tests run with the two screens of tests/screens.json");
    std::sort(screens.begin(), screens.end(),
              [](QScreen* a, QScreen* b) { return a->devicePixelRatio() < b->devicePixelRatio(); });
    const QColor grey(150, 150, 150);
    QList<QSize> sizes;
    QList<QList<int>> lines;  // per ratio: the grid and frame rows, then -1 and their columns, halved
    QList<QRect> captions;
    for (QScreen* screen : screens) {
        PlotWindows windows;
        windows.grafik.setScreen(screen);
        windows.grafik.Form_Resize();
        KopfzeilenSchreiben();
        const QImage& image = windows.image();
        const int ratio = static_cast<int>(screen->devicePixelRatio());
        QList<int> found;
        QRect caption;
        for (int row = 0; row < image.height(); ++row) {
            if (countColorInRow(image, row, grey) > image.width() / 2)
                found << row / ratio;
            for (int column = 0; column < image.width(); ++column) {
                const QColor c = image.pixelColor(column, row);
                if (c.red() - c.green() > 60)  // the dark red caption, edges smoothed
                    caption |= QRect(column, row, 1, 1);
            }
        }
        found << -1;
        for (int column = 0; column < image.width(); ++column) {
            if (countColorInColumn(image, column, grey) > image.height() / 2)
                found << column / ratio;
        }
        sizes << image.size(), lines << found, captions << caption;
    }
    QCOMPARE(sizes, (QList<QSize>{{600, 525}, {1200, 1050}}));
    QCOMPARE(lines[0].size(), 12 + 1 + 7);
    QCOMPARE(lines[1], lines[0]);
    const QRect &one = captions[0], &two = captions[1];
    QVERIFY2(qAbs(two.top() - 2 * one.top()) <= 2 && qAbs(two.left() - 2 * one.left()) <= 2 &&
                 qAbs(two.height() - 2 * one.height()) <= 2 &&
                 qAbs(two.width() - 2 * one.width()) <= one.width() / 20,
             qPrintable(QStringLiteral("%1,%2 %3x%4 at ratio 2, %5,%6 %7x%8 at 1")
                            .arg(two.left())
                            .arg(two.top())
                            .arg(two.width())
                            .arg(two.height())
                            .arg(one.left())
                            .arg(one.top())
                            .arg(one.width())
                            .arg(one.height())));
}

QTEST_MAIN(TestPlotDrawing)
#include "test_plot_drawing.moc"
