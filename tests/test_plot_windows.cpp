// The graph window and the graph settings window: controls, start states, the layout rule,
// the label places, the grid and the time axis labels.
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
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QtTest>

namespace {

const QColor kGrey(150, 150, 150);

// The plot's windows registered as the main window registers them, on fresh global state.
// 680 x 544 pixels give a plot of 600 x 525 pixels: a grid step of exactly one pixel.
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

QStringList timeTexts(const Formgrafik& grafik)
{
    QStringList texts;
    for (int field = 11; field <= 17; ++field)
        texts << grafik.Text[field]->text();
    return texts;
}

}  // namespace

class TestPlotWindows : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void labelFields_data();
    void labelFields();
    void labelTextsFitTheirFields();
    void labelPlaces_data();
    void labelPlaces();
    void layoutRule_data();
    void layoutRule();
    void layoutWithoutFrameSnapsTheWindowItself();
    void gridAndFrame_data();
    void gridAndFrame();
    void timeLabels_data();
    void timeLabels();
    void settingsControls_data();
    void settingsControls();
    void settingsCaptionsFit();
    void settingsStartStates();
    void greyCheckBoxReadsTwoAndClicksToggle();
    void startUpShowsTheEmptyPlot();
};

void TestPlotWindows::labelFields_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("Text1 voltage") << 1 << QColor(0, 128, 0) << QSize(33, 19) << "";
    QTest::newRow("Text5 voltage") << 5 << QColor(0, 128, 0) << QSize(33, 19) << "";
    QTest::newRow("Text6 current") << 6 << QColor(255, 0, 0) << QSize(47, 13) << "";
    QTest::newRow("Text10 current") << 10 << QColor(255, 0, 0) << QSize(47, 13) << "";
    QTest::newRow("Text11 time") << 11 << QColor() << QSize(33, 19) << "";
    QTest::newRow("Text16 time") << 16 << QColor() << QSize(33, 19) << "";
    QTest::newRow("Text17 time end") << 17 << QColor() << QSize(49, 19) << "";
    QTest::newRow("Text18 capacity") << 18 << QColor(0, 0, 255) << QSize(47, 13) << "3000mAh";
    QTest::newRow("Text20 capacity") << 20 << QColor(0, 0, 255) << QSize(47, 13) << "1800mAh";
    QTest::newRow("Text22 capacity") << 22 << QColor(0, 0, 255) << QSize(47, 13) << "600mAh";
}

void TestPlotWindows::labelFields()
{
    QFETCH(int, field);
    QFETCH(QColor, color);
    QFETCH(QSize, size);
    QFETCH(QString, text);
    Formgrafik grafik;
    auto* label = grafik.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(field));
    QVERIFY(label);
    QCOMPARE(label, grafik.Text[field]);
    QVERIFY(label->isReadOnly());
    QVERIFY(!label->hasFrame());
    QCOMPARE(label->size(), size);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->palette().color(QPalette::Base), grafik.Picture1->backColor());
    // Time labels are in the window text colour.
    QCOMPARE(label->palette().color(QPalette::Text),
             color.isValid() ? color : label->palette().color(QPalette::WindowText));
    QCOMPARE(grafik.findChild<PlotSurface*>(QStringLiteral("Picture1")), grafik.Picture1);
}

void TestPlotWindows::labelTextsFitTheirFields()
{
    Formgrafik grafik;
    const QList<QPair<int, QString>> widest = {
        {1, QStringLiteral("60,0V")},   {6, QStringLiteral("5,00A")},     {18, QStringLiteral("3000mAh")},
        {11, QStringLiteral("017,5")},  {17, QStringLiteral("015,0Min")}, {17, QStringLiteral("720 Min")},
    };
    for (const auto& [field, text] : widest) {
        const QLineEdit* label = grafik.Text[field];
        const QFontMetrics metrics(label->font());
        // The line edit keeps two pixels of margin on each side.
        QVERIFY2(metrics.horizontalAdvance(text) <= label->width() - 4, qPrintable(text));
        QVERIFY2(metrics.height() <= label->height(), qPrintable(text));
    }
}

void TestPlotWindows::labelPlaces_data()
{
    // Pixel places in the 680 x 544 window (plot 600 x 525 pixels, a = b = 15 twips).
    QTest::addColumn<int>("field");
    QTest::addColumn<QPoint>("place");
    QTest::newRow("Text1 at k=25") << 1 << QPoint(0, 18);
    QTest::newRow("Text3 at k=225") << 3 << QPoint(0, 218);
    QTest::newRow("Text5 at k=425") << 5 << QPoint(0, 418);
    QTest::newRow("Text6 above k=25") << 6 << QPoint(633, 14);
    QTest::newRow("Text10 above k=425") << 10 << QPoint(633, 414);
    QTest::newRow("Text18 below k=25") << 18 << QPoint(633, 26);
    QTest::newRow("Text22 below k=425") << 22 << QPoint(633, 426);
    QTest::newRow("Text11 under x=0") << 11 << QPoint(17, 525);
    QTest::newRow("Text12 under first line") << 12 << QPoint(117, 525);
    QTest::newRow("Text16 under fifth line") << 16 << QPoint(517, 525);
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

void TestPlotWindows::layoutRule_data()
{
    // Outer sizes in pixels; 6150 x 3700 twips are 410 x 247 pixels.
    QTest::addColumn<QSize>("outer");
    QTest::addColumn<QSize>("expectedOuter");
    QTest::addColumn<bool>("fixedWidth");
    QTest::newRow("narrow") << QSize(300, 400) << QSize(410, 400) << true;
    QTest::newRow("low") << QSize(600, 150) << QSize(600, 247) << false;
    QTest::newRow("narrow and low") << QSize(200, 100) << QSize(410, 247) << true;
    QTest::newRow("exactly the minimum width") << QSize(410, 300) << QSize(410, 300) << false;
    QTest::newRow("one pixel below the minimum width") << QSize(409, 300) << QSize(410, 300) << true;
    QTest::newRow("large") << QSize(900, 600) << QSize(900, 600) << false;
}

void TestPlotWindows::layoutRule()
{
    QFETCH(QSize, outer);
    QFETCH(QSize, expectedOuter);
    QFETCH(bool, fixedWidth);
    PlotWindows windows;
    QMdiArea area;
    area.resize(1200, 900);
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
    // W is 4845 twips (323 pixels) below the minimum width, else the inner width less 1200;
    // H is the inner height less 290 twips.
    QCOMPARE(plot.width(), fixedWidth ? 323 : inner.width() - 80);
    QCOMPARE(plot.height(), twipsToPixels(pixelsToTwips(inner.height()) - 290));
    QCOMPARE(windows.grafik.Picture1->ScaleWidth(), pixelsToTwips(plot.width()));
    // The grid is drawn on the new size: the frame's right side is the last column.
    QCOMPARE(countColorInColumn(windows.grafik.Picture1->image(), plot.width() - 1, kGrey), plot.height());
    area.removeSubWindow(&windows.grafik);
    windows.grafik.setParent(nullptr);
}

void TestPlotWindows::layoutWithoutFrameSnapsTheWindowItself()
{
    PlotWindows windows(QSize(200, 100));
    QCOMPARE(windows.grafik.size(), QSize(410, 247));
    QCOMPARE(windows.grafik.Picture1->geometry(), QRect(33, 0, 323, 228));
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

    // The grid steps are a = H / 525 and b = W / 600; line k lies at k times the step.
    QSet<int> gridRows;
    for (int k = 25; k <= 475; k += 50)
        gridRows << static_cast<int>(k * (H / 525) / 15);
    QSet<int> columns{0, image.width() - 1};  // the frame's sides
    for (int k = 100; k <= 500; k += 100)
        columns << static_cast<int>(k * (W / 600) / 15);
    QCOMPARE(gridRows.size(), 10);
    QCOMPARE(columns.size(), 7);

    // Ten full grey rows, the frame's top and bottom, and seven grey columns in between.
    for (int row = 0; row < image.height(); ++row) {
        const bool full = gridRows.contains(row) || row == 0 || row == image.height() - 1;
        QCOMPARE(countColorInRow(image, row, kGrey), full ? image.width() : 7);
    }
    for (int column : columns)
        QCOMPARE(countColorInColumn(image, column, kGrey), image.height());
    // Nothing but background and grid.
    QCOMPARE(countColor(image, kGrey) + countColor(image, windows.grafik.Picture1->backColor()),
             image.width() * image.height());
}

void TestPlotWindows::timeLabels_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<float>("page");
    QTest::addColumn<float>("minutes");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("6 min page 1") << "Option1" << 1.0f << 6.0f
                                  << QStringList{"0", "1", "2", "3", "4", "5", "6 Min"};
    QTest::newRow("12 min page 1") << "Option2" << 1.0f << 12.0f
                                   << QStringList{"0", "2", "4", "6", "8", "10", "12 Min"};
    QTest::newRow("12 min page 3") << "Option2" << 3.0f << 12.0f
                                   << QStringList{"24", "26", "28", "30", "32", "34", "36 Min"};
    QTest::newRow("21 min page 1") << "Option3" << 1.0f << 21.0f
                                   << QStringList{"0", "3,5", "7", "10,5", "14", "17,5", "21 Min"};
    QTest::newRow("21 min page 2") << "Option3" << 2.0f << 21.0f
                                   << QStringList{"21", "24,5", "28", "31,5", "35", "38,5", "42 Min"};
    QTest::newRow("30 min page 1") << "Option4" << 1.0f << 30.0f
                                   << QStringList{"0", "5", "10", "15", "20", "25", "30 Min"};
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
    windows.vars.MinProSeite = 99;
    ZeitachseBeschriften();
    QCOMPARE(windows.vars.MinProSeite, minutes);
    QCOMPARE(timeTexts(windows.grafik), labels);
}

void TestPlotWindows::settingsControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("color");
    const QColor none;
    QTest::newRow("Command1") << "Command1" << "Formsetgraf" << QRect(120, 120, 1575, 375) << "Gesamtkurve" << none;
    QTest::newRow("Frame1") << "Frame1" << "Formsetgraf" << QRect(120, 600, 1575, 1095) << "Graphen" << none;
    QTest::newRow("Check1") << "Check1" << "Frame1" << QRect(120, 280, 1095, 195) << "Spannung"
                            << QColor(0, 128, 0);
    QTest::newRow("Check2") << "Check2" << "Frame1" << QRect(120, 520, 975, 195) << "Strom" << QColor(255, 0, 0);
    QTest::newRow("Check3") << "Check3" << "Frame1" << QRect(120, 760, 975, 195) << "Ladung" << QColor(0, 0, 255);
    QTest::newRow("Label3") << "Label3" << "Formsetgraf" << QRect(1920, 0, 855, 255) << "U - Achse"
                            << QColor(0, 128, 0);
    QTest::newRow("HScroll1") << "HScroll1" << "Formsetgraf" << QRect(1920, 240, 855, 255) << "" << none;
    QTest::newRow("Label4") << "Label4" << "Formsetgraf" << QRect(1920, 600, 855, 255) << "I - Achse"
                            << QColor(255, 0, 0);
    QTest::newRow("HScroll2") << "HScroll2" << "Formsetgraf" << QRect(1920, 840, 855, 255) << "" << none;
    QTest::newRow("Label2") << "Label2" << "Formsetgraf" << QRect(1920, 1200, 735, 225) << "Q - Achse"
                            << QColor(0, 0, 255);
    QTest::newRow("HScroll3") << "HScroll3" << "Formsetgraf" << QRect(1920, 1440, 855, 255) << "" << none;
    QTest::newRow("Frame2") << "Frame2" << "Formsetgraf" << QRect(120, 1800, 2655, 855) << "Zeiteinstelllung"
                            << none;
    QTest::newRow("Option1") << "Option1" << "Frame2" << QRect(120, 300, 1215, 195) << "6 Min." << none;
    QTest::newRow("Option2") << "Option2" << "Frame2" << QRect(120, 600, 1335, 195) << "12 Min." << none;
    QTest::newRow("Option3") << "Option3" << "Frame2" << QRect(1440, 300, 1095, 195) << "21 Min." << none;
    QTest::newRow("Option4") << "Option4" << "Frame2" << QRect(1440, 600, 1095, 195) << "30 Min." << none;
    QTest::newRow("Label1") << "Label1" << "Formsetgraf" << QRect(120, 2880, 1335, 255) << "Seiten scrollen"
                            << none;
    QTest::newRow("Command2") << "Command2" << "Formsetgraf" << QRect(120, 3120, 735, 255) << "<" << none;
    QTest::newRow("Command3") << "Command3" << "Formsetgraf" << QRect(960, 3120, 735, 255) << ">" << none;
    QTest::newRow("Label5") << "Label5" << "Formsetgraf" << QRect(1920, 2880, 855, 255) << "akt. Seite" << none;
    QTest::newRow("Text1") << "Text1" << "Formsetgraf" << QRect(1920, 3120, 855, 285) << "" << none;
}

void TestPlotWindows::settingsControls()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(QColor, color);
    Formsetgraf setgraf;
    QCOMPARE(setgraf.size(), QSize(193, 229));
    auto* control = setgraf.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), parent);
    QCOMPARE(control->geometry(), twipsRect(twips.left(), twips.top(), twips.width(), twips.height()));
    QString caption;
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        caption = button->text();
    else if (auto* label = qobject_cast<QLabel*>(control))
        caption = label->text();
    else if (auto* box = qobject_cast<QGroupBox*>(control))
        caption = box->title();
    QCOMPARE(caption, text);
    if (color.isValid())
        QCOMPARE(control->palette().color(QPalette::WindowText), color);
}

void TestPlotWindows::settingsCaptionsFit()
{
    Formsetgraf setgraf;
    const QStyle* style = setgraf.style();
    const auto check = [](QWidget* control, const QString& text, int room) {
        const int needed = control->fontMetrics().horizontalAdvance(text);
        QVERIFY2(needed <= room, qPrintable(QStringLiteral("%1: %2 > %3").arg(text).arg(needed).arg(room)));
    };
    for (QCheckBox* box : setgraf.findChildren<QCheckBox*>())
        check(box, box->text(), box->width() - style->pixelMetric(QStyle::PM_IndicatorWidth)
                                    - style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
    for (QRadioButton* option : setgraf.findChildren<QRadioButton*>())
        check(option, option->text(), option->width() - style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth)
                                          - style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing));
    for (QPushButton* button : setgraf.findChildren<QPushButton*>())
        check(button, button->text(), button->width() - 2 * style->pixelMetric(QStyle::PM_ButtonMargin));
    for (QLabel* label : setgraf.findChildren<QLabel*>())
        check(label, label->text(), label->width());
}

void TestPlotWindows::settingsStartStates()
{
    Formsetgraf setgraf;
    QCOMPARE(checkValue(setgraf.Check1), 1);
    QCOMPARE(checkValue(setgraf.Check2), 1);
    QCOMPARE(checkValue(setgraf.Check3), 0);
    QVERIFY(!setgraf.Option1->isChecked());
    QVERIFY(setgraf.Option2->isChecked());
    QVERIFY(!setgraf.Option3->isChecked());
    QVERIFY(!setgraf.Option4->isChecked());
    const QList<QPair<QScrollBar*, int>> bars = {{setgraf.HScroll1, 60}, {setgraf.HScroll2, 100},
                                                 {setgraf.HScroll3, 100}};
    for (const auto& [bar, maximum] : bars) {
        QCOMPARE(bar->orientation(), Qt::Horizontal);
        QCOMPARE(bar->minimum(), 2);
        QCOMPARE(bar->maximum(), maximum);
        QCOMPARE(bar->value(), maximum);
        QCOMPARE(bar->singleStep(), 2);
        QCOMPARE(bar->pageStep(), 10);
    }
    QVERIFY(setgraf.Text1->isReadOnly());
    QCOMPARE(setgraf.Text1->palette().color(QPalette::Base), QColor(224, 224, 224));
    QCOMPARE(setgraf.Line1->frameShape(), QFrame::HLine);
}

void TestPlotWindows::greyCheckBoxReadsTwoAndClicksToggle()
{
    Formsetgraf setgraf;
    setgraf.Check1->setCheckState(Qt::PartiallyChecked);
    QCOMPARE(checkValue(setgraf.Check1), 2);
    QList<int> values;
    for (int click = 0; click < 4; ++click) {
        setgraf.Check1->click();
        values << checkValue(setgraf.Check1);
    }
    QCOMPARE(values, (QList<int>{1, 0, 1, 0}));
    setgraf.Check3->click();
    QCOMPARE(checkValue(setgraf.Check3), 1);
}

void TestPlotWindows::startUpShowsTheEmptyPlot()
{
    TestApp app;
    const Formgrafik* grafik = forms.grafik;
    QVERIFY(grafik);
    const QImage& image = grafik->Picture1->image();
    int fullRows = 0;
    for (int row = 0; row < image.height(); ++row)
        fullRows += countColorInRow(image, row, kGrey) == image.width();
    QCOMPARE(fullRows, 12);  // ten grid lines, the frame's top and bottom
    QCOMPARE(countColor(image, kGrey) + countColor(image, grafik->Picture1->backColor()),
             image.width() * image.height());
    QCOMPARE(timeTexts(*grafik), (QStringList{"0", "2", "4", "6", "8", "10", "12 Min"}));
    QCOMPARE(forms.setgraf->Text1->text(), QStringLiteral(" 1"));
}

QTEST_MAIN(TestPlotWindows)
#include "test_plot_windows.moc"
