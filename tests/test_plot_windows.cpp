// The graph window and the graph settings window: layout rule, label places, grid and frame,
// time labels, and the settings' start states.
#include "TestSupport.h"

#include "link/Formtext.h"
#include "platform/PlotSurface.h"
#include "platform/Twips.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "plot/plot.h"
#include "process/Variabelen.h"
#include "shell/Forms.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

namespace {

const QColor kGrey(150, 150, 150);

// The plot's windows registered as the main window registers them, on fresh global state.
// 680 x 544 pixels give a plot of 600 x 525 pixels: grid steps of exactly one pixel.
struct PlotWindows {
    explicit PlotWindows(QSize inner = {680, 544})
    {
        V = &vars;
        forms.text = &text;
        forms.setgraf = &setgraf;
        forms.grafik = &grafik;
        grafik.resize(inner);
        grafik.Form_Resize();
    }
    ~PlotWindows()
    {
        forms = Forms{};
        V = nullptr;
    }
    Variabelen vars;
    Formtext text;
    Formsetgraf setgraf;
    Formgrafik grafik;
};

}  // namespace

class TestPlotWindows : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void layoutRule_data();
    void layoutRule();
    void labelPlaces_data();
    void labelPlaces();
    void gridAndFrame_data();
    void gridAndFrame();
    void timeLabels_data();
    void timeLabels();
    void settingsStartStates();
};

void TestPlotWindows::layoutRule_data()
{
    // Outer sizes in pixels; 6150 x 3700 twips are 410 x 247 pixels, 4845 twips 323 pixels.
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QSize>("expectedOuter");
    QTest::addColumn<bool>("fixedWidth");
    QTest::newRow("narrow") << QSize(300, 400) << QSize(410, 400) << true;
    QTest::newRow("low") << QSize(600, 150) << QSize(600, 247) << false;
    QTest::newRow("narrow and low") << QSize(200, 100) << QSize(410, 247) << true;
    QTest::newRow("exactly the minimum width") << QSize(410, 300) << QSize(410, 300) << false;
    QTest::newRow("a pixel below the minimum width") << QSize(409, 300) << QSize(410, 300) << true;
    QTest::newRow("large") << QSize(900, 600) << QSize(900, 600) << false;
}

void TestPlotWindows::layoutRule()
{
    QFETCH(QSize, outer);
    QFETCH(QSize, expectedOuter);
    QFETCH(bool, fixedWidth);
    QMdiArea area;  // outlives the window it frames
    PlotWindows windows;
    QMdiSubWindow* frame = area.addSubWindow(&windows.grafik);
    const QMargins margins = frame->contentsMargins();
    const QSize border(margins.left() + margins.right(), margins.top() + margins.bottom());
    frame->resize(outer);
    windows.grafik.resize(outer - border);
    windows.grafik.Form_Resize();

    QCOMPARE(frame->size(), expectedOuter);
    const QSize inner = windows.grafik.size();
    QCOMPARE(inner, expectedOuter - border);
    const QRect plot = windows.grafik.Picture1->geometry();
    QCOMPARE(plot.topLeft(), QPoint(33, 0));
    QCOMPARE(plot.width(), fixedWidth ? 323 : inner.width() - 80);
    QCOMPARE(plot.height(), twipsToPixels(pixelsToTwips(inner.height()) - 290));
    // The grid is drawn at the new size: the frame's right side is its last column.
    QCOMPARE(countColorInColumn(windows.grafik.Picture1->image(), plot.width() - 1, kGrey), plot.height());
}

void TestPlotWindows::labelPlaces_data()
{
    // In the 680 x 544 window: a = b = 15 twips, Wc = 10200, Hc = 8160.
    QTest::addColumn<int>("field");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("Text1 beside k=25") << 1 << QPoint(0, 18);
    QTest::newRow("Text5 beside k=425") << 5 << QPoint(0, 418);
    QTest::newRow("Text6 above k=25") << 6 << QPoint(633, 14);
    QTest::newRow("Text10 above k=425") << 10 << QPoint(633, 414);
    QTest::newRow("Text18 below k=25") << 18 << QPoint(633, 26);
    QTest::newRow("Text22 below k=425") << 22 << QPoint(633, 426);
    QTest::newRow("Text11 under x=0") << 11 << QPoint(17, 525);
    QTest::newRow("Text12 under the first line") << 12 << QPoint(117, 525);
    QTest::newRow("Text16 under the fifth line") << 16 << QPoint(517, 525);
    QTest::newRow("Text17 at the right end") << 17 << QPoint(623, 525);
}

void TestPlotWindows::labelPlaces()
{
    QFETCH(int, field);
    QFETCH(QPoint, place);
    PlotWindows windows;
    QCOMPARE(windows.grafik.Picture1->geometry(), QRect(33, 0, 600, 525));
    QCOMPARE(windows.grafik.Text[field]->pos(), place);
}

void TestPlotWindows::gridAndFrame_data()
{
    QTest::addColumn<QSize>("inner");
    QTest::newRow("one pixel grid step") << QSize(680, 544);
    QTest::newRow("start size") << QSize(455, 211);
    QTest::newRow("large") << QSize(1000, 700);
}

void TestPlotWindows::gridAndFrame()
{
    QFETCH(QSize, inner);
    PlotWindows windows(inner);
    PlotSurface* plot = windows.grafik.Picture1;
    const double H = plot->ScaleHeight();
    const double W = plot->ScaleWidth();
    plot->Line(0, 0, W, H, QColor(255, 0, 0));  // whatever was drawn before goes
    GrafikAufbauen();
    const QImage& image = plot->image();

    // Grid line k lies at k times the step H / 525 (rows) or W / 600 (columns).
    QSet<int> fullRows{0, image.height() - 1};  // the frame's top and bottom
    for (int k = 25; k <= 475; k += 50)
        fullRows << static_cast<int>(k * (H / 525) / 15);
    QSet<int> columns{0, image.width() - 1};  // the frame's sides
    for (int k = 100; k <= 500; k += 100)
        columns << static_cast<int>(k * (W / 600) / 15);
    QCOMPARE(fullRows.size(), 12);
    QCOMPARE(columns.size(), 7);
    for (int row = 0; row < image.height(); ++row)
        QCOMPARE(countColorInRow(image, row, kGrey), fullRows.contains(row) ? image.width() : 7);
    for (int column : columns)
        QCOMPARE(countColorInColumn(image, column, kGrey), image.height());
    QCOMPARE(countColor(image, kGrey) + countColor(image, plot->backColor()), image.width() * image.height());
}

void TestPlotWindows::timeLabels_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<float>("page");
    QTest::addColumn<float>("minutes");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("6 min page 1") << "Option1" << 1.0f << 6.0f << QStringList{"0", "1", "2", "3", "4", "5", "6 Min"};
    QTest::newRow("12 min page 3") << "Option2" << 3.0f << 12.0f
                                   << QStringList{"24", "26", "28", "30", "32", "34", "36 Min"};
    QTest::newRow("21 min page 1") << "Option3" << 1.0f << 21.0f
                                   << QStringList{"0", "3,5", "7", "10,5", "14", "17,5", "21 Min"};
    QTest::newRow("21 min page 2") << "Option3" << 2.0f << 21.0f
                                   << QStringList{"21", "24,5", "28", "31,5", "35", "38,5", "42 Min"};
    QTest::newRow("30 min page 4") << "Option4" << 4.0f << 30.0f
                                   << QStringList{"90", "95", "100", "105", "110", "115", "120 Min"};
    QTest::newRow("6 min page 1000") << "Option1" << 1000.0f << 6.0f
                                     << QStringList{"5994", "5995", "5996", "5997", "5998", "5999", "6000 Min"};
}

void TestPlotWindows::timeLabels()
{
    QFETCH(QString, option);
    QFETCH(float, page);
    QFETCH(float, minutes);
    QFETCH(QStringList, labels);
    PlotWindows windows;
    windows.setgraf.findChild<QRadioButton*>(option)->setChecked(true);
    windows.vars.Seite = page;
    ZeitachseBeschriften();
    QCOMPARE(windows.vars.MinProSeite, minutes);
    QStringList texts;
    for (int field = 11; field <= 17; ++field)
        texts << windows.grafik.Text[field]->text();
    QCOMPARE(texts, labels);
}

void TestPlotWindows::settingsStartStates()
{
    Formsetgraf setgraf;
    QCOMPARE(checkValue(setgraf.Check1), 1);
    QCOMPARE(checkValue(setgraf.Check2), 1);
    QCOMPARE(checkValue(setgraf.Check3), 0);
    QVERIFY(setgraf.Option2->isChecked());
    QCOMPARE(setgraf.HScroll1->maximum(), 60);
    QCOMPARE(setgraf.HScroll3->value(), 100);
    QCOMPARE(setgraf.HScroll2->pageStep(), 10);
    // A grey box reads 2; the user's clicks only toggle between 1 and 0.
    setgraf.Check1->setCheckState(Qt::PartiallyChecked);
    QCOMPARE(checkValue(setgraf.Check1), 2);
    QList<int> values;
    for (int click = 0; click < 3; ++click) {
        setgraf.Check1->click();
        values << checkValue(setgraf.Check1);
    }
    QCOMPARE(values, (QList<int>{1, 0, 1}));
}

QTEST_MAIN(TestPlotWindows)
#include "test_plot_windows.moc"
