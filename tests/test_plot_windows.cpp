// The graph window and the graph settings window: layout rule, grid and frame, label places,
// the settings' start state and the time labels.
#include "TestSupport.h"

#include "platform/PlotSurface.h"
#include "platform/Twips.h"
#include "plot/plot.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QtTest>

class TestPlotWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void layoutRuleGridAndFrame();
    void labelsAndSettings();
};

void TestPlotWindows::layoutRuleGridAndFrame()
{
    // Outer sizes in pixels: at least 6150 x 3700 twips (410 x 247); below the minimum width the
    // plot keeps 4845 twips (323 pixels), else it is the inner width less 1200 twips (80).
    const struct {
        QSize outer, expected;
        bool fixedWidth;
    } cases[] = {
        {{200, 100}, {410, 247}, true}, {{409, 300}, {410, 300}, true}, {{410, 300}, {410, 300}, false}};
    for (const auto& c : cases) {
        QMdiArea area;  // outlives the window it frames
        PlotWindows windows;
        QMdiSubWindow* frame = area.addSubWindow(&windows.grafik);
        const QSize border = frame->size() - frame->contentsRect().size();
        frame->resize(c.outer);
        windows.grafik.resize(c.outer - border);
        windows.grafik.Form_Resize();
        QCOMPARE(frame->size(), c.expected);
        const QSize inner = windows.grafik.size();
        QCOMPARE(inner, c.expected - border);
        const QRect plot = windows.plot()->geometry();
        QCOMPARE(plot,
                 QRect(33, 0, c.fixedWidth ? 323 : inner.width() - 80,
                       twipsToPixels(pixelsToTwips(inner.height()) - 290)));

        // Grid line k lies at k times H / 525 (rows) or W / 600 (columns), the frame on the
        // plot's edges; nothing else is drawn.
        QSet<int> rows{0, plot.height() - 1}, columns{0, plot.width() - 1};
        for (int k = 25; k <= 475; k += 50)
            rows << static_cast<int>(k * (windows.plot()->ScaleHeight() / 525) / 15);
        for (int k = 100; k <= 500; k += 100)
            columns << static_cast<int>(k * (windows.plot()->ScaleWidth() / 600) / 15);
        const QRgb grey = qRgb(150, 150, 150), back = windows.plot()->backColor().rgb();
        for (int y = 0; y < plot.height(); ++y)
            for (int x = 0; x < plot.width(); ++x)
                QCOMPARE(windows.image().pixel(x, y), rows.contains(y) || columns.contains(x) ? grey : back);
    }
}

void TestPlotWindows::labelsAndSettings()
{
    // In the 680 x 544 window: value labels beside and above / below grid lines 25 and 425, time
    // labels under x = 0, the first grid line and the right end; each group in its size and colour.
    PlotWindows windows;
    QStringList labels;
    for (int field : {1, 5, 6, 10, 11, 12, 16, 17, 18}) {
        const QRect r = windows.grafik.Text[field]->geometry();
        labels << QString::asprintf("%d,%d %dx%d ", r.x(), r.y(), r.width(), r.height()) +
                windows.grafik.Text[field]->palette().color(QPalette::Text).name();
    }
    QCOMPARE(labels,
             (QStringList{"0,18 33x19 #008000", "0,418 33x19 #008000", "633,14 47x13 #ff0000",
                          "633,414 47x13 #ff0000", "17,525 33x19 #000000", "117,525 33x19 #000000",
                          "517,525 33x19 #000000", "623,525 49x19 #000000", "633,26 47x13 #0000ff"}));

    // The settings' start state: voltage and current ticked, 12 minutes a page. A grey box
    // reads 2; the user's clicks only toggle between 1 and 0.
    Formsetgraf& setgraf = windows.setgraf;
    QVERIFY(setgraf.Option2->isChecked());
    QList<int> values{checkValue(setgraf.Check1), checkValue(setgraf.Check2), checkValue(setgraf.Check3)};
    setgraf.Check1->setCheckState(Qt::PartiallyChecked);
    for (int click = 0; click < 4; ++click) {  // the box's value before each click
        values << checkValue(setgraf.Check1);
        setgraf.Check1->click();
    }
    QCOMPARE(values, (QList<int>{1, 1, 0, 2, 1, 0, 1}));

    // Page 2 of 21 minutes: a label every 3.5 minutes from minute 21.
    setgraf.Option3->setChecked(true);
    windows.vars.Seite = 2;
    ZeitachseBeschriften();
    QCOMPARE(windows.timeTexts(), (QStringList{"21", "24,5", "28", "31,5", "35", "38,5", "42 Min"}));
}

QTEST_MAIN(TestPlotWindows)
#include "test_plot_windows.moc"
