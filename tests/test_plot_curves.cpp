// Curve drawing: the open record, pages of a finished record, the view rule, the live
// extension with its page turn, and the whole-record view against one line per sample.
#include "TestSupport.h"

#include "link/Formtext.h"
#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "plot/plot.h"
#include "process/Variabelen.h"
#include "shell/Forms.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <cmath>
#include <random>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

// The plot's windows registered as the main window registers them, on fresh global state.
// 680 x 544 pixels give a plot of 600 x 525 pixels (9000 x 7875 twips).
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
    const QImage& image() const { return grafik.Picture1->image(); }

    Variabelen vars;
    Formtext text;
    Formsetgraf setgraf;
    Formgrafik grafik;
};

struct TestCurve {
    float* samples;
    float scale;
    QColor color;
    const QCheckBox* box;
};

QList<TestCurve> testCurves()
{
    return {{V->KurveU.get(), V->SkalaU, kGreen, forms.setgraf->Check1},
            {V->KurveI.get(), V->SkalaI, kRed, forms.setgraf->Check2},
            {V->KurveQ.get(), V->SkalaQ, kBlue, forms.setgraf->Check3}};
}

// The whole record drawn the plain way: for i = 1..N and each ticked curve in order, one
// line from sample i - 1 (from the bottom left corner for i = 1) to sample i.
void drawRecordPerSample(PlotSurface* plot, int N)
{
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    const float xs = W / static_cast<float>(N);
    const QList<TestCurve> curves = testCurves();
    for (int i = 1; i <= N; ++i) {
        for (const TestCurve& curve : curves) {
            if (checkValue(curve.box) != 1)
                continue;
            const auto y = [&](int n) { return H - H * (curve.samples[n] / curve.scale); };
            if (i == 1)
                plot->Line(0, H, xs, y(1), curve.color);
            else
                plot->Line(xs * (i - 1), y(i - 1), xs * i, y(i), curve.color);
        }
    }
}

// The open record drawn from its first sample, as on a page whose earlier samples are clipped.
void drawOpenRecordFromFirst(PlotSurface* plot)
{
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    const float S = V->MinProSeite * 720 / 12;
    const float xs = W / S;
    const float P = S * (V->LetzteSeite - 1);
    const QList<TestCurve> curves = testCurves();
    for (int i = 1; i <= V->MessNr - 1; ++i) {
        for (const TestCurve& curve : curves) {
            if (checkValue(curve.box) != 1)
                continue;
            const auto y = [&](int n) { return H - H * (curve.samples[n] / curve.scale); };
            if (i == 1)
                plot->Line(0, H, xs * (1 - P), y(1), curve.color);
            else
                plot->Line(xs * (i - 1 - P), y(i - 1), xs * (i - P), y(i), curve.color);
        }
    }
}

// Curves that cross each other and leave the plot at both edges.
void fillNoisy(Variabelen& vars, int count)
{
    std::mt19937 random(20240521);
    std::uniform_real_distribution<float> noise(-0.35f, 0.35f);
    for (int n = 1; n <= count; ++n) {
        const float t = static_cast<float>(n) / count;
        vars.KurveU[n] = vars.SkalaU * (0.5f + noise(random));
        vars.KurveI[n] = vars.SkalaI * (t + noise(random));
        vars.KurveQ[n] = vars.SkalaQ * (1.1f - t + noise(random) / 2);
    }
}

void fillSmooth(Variabelen& vars, int count)
{
    for (int n = 1; n <= count; ++n) {
        const float t = static_cast<float>(n) / count;
        vars.KurveU[n] = vars.SkalaU * (0.5f + 0.4f * std::sin(6.0f * t));
        vars.KurveI[n] = vars.SkalaI * (0.5f + 0.4f * std::cos(5.0f * t));
        vars.KurveQ[n] = vars.SkalaQ * t;
    }
}

void fillConstant(float* samples, int first, int last, float value)
{
    for (int n = first; n <= last; ++n)
        samples[n] = value;
}

QList<int> columnsWithColor(const QImage& image, const QColor& color)
{
    QList<int> columns;
    for (int column = 0; column < image.width(); ++column) {
        if (countColorInColumn(image, column, color) > 0)
            columns << column;
    }
    return columns;
}

int differingPixels(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int row = 0; row < a.height(); ++row) {
        for (int column = 0; column < a.width(); ++column)
            count += a.pixel(column, row) != b.pixel(column, row);
    }
    return count;
}

QStringList timeTexts(const Formgrafik& grafik)
{
    QStringList texts;
    for (int field = 11; field <= 17; ++field)
        texts << grafik.Text[field]->text();
    return texts;
}

}  // namespace

class TestPlotCurves : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void curveAtItsHeight_data();
    void curveAtItsHeight();
    void uncheckedOrGreyBoxHidesItsCurve_data();
    void uncheckedOrGreyBoxHidesItsCurve();
    void openRecordFromPageStartEqualsFromFirst_data();
    void openRecordFromPageStartEqualsFromFirst();
    void pageViewPlacesItsFirstSample_data();
    void pageViewPlacesItsFirstSample();
    void pageViewEndsWithTheRecord_data();
    void pageViewEndsWithTheRecord();
    void viewFollowsCommandAndRunState_data();
    void viewFollowsCommandAndRunState();
    void liveExtensionTurnsThePage_data();
    void liveExtensionTurnsThePage();
    void wholeRecordEqualsPerSampleDrawing_data();
    void wholeRecordEqualsPerSampleDrawing();
    void wholeRecordLabels_data();
    void wholeRecordLabels();
    void emptyWholeRecordShowsGridOnly();
    void chargingFramesGrowTheLiveCurve();
};

void TestPlotCurves::curveAtItsHeight_data()
{
    QTest::addColumn<int>("curve");
    QTest::addColumn<float>("value");
    QTest::addColumn<int>("row");  // -1: off the plot but for the first segment's rise
    QTest::newRow("voltage half scale") << 0 << 31500.0f << 262;
    QTest::newRow("voltage at its scale is the top edge") << 0 << 63000.0f << 0;
    QTest::newRow("current quarter scale") << 1 << 13125.0f << 393;
    QTest::newRow("capacity three quarters") << 2 << 2362.5f << 131;
    QTest::newRow("voltage zero is the bottom edge, clipped") << 0 << 0.0f << -1;
    QTest::newRow("current above its scale") << 1 << 60000.0f << -1;
    QTest::newRow("capacity negative") << 2 << -5.0f << -1;
}

void TestPlotCurves::curveAtItsHeight()
{
    QFETCH(int, curve);
    QFETCH(float, value);
    QFETCH(int, row);
    PlotWindows windows;
    windows.setgraf.Check3->setChecked(true);
    const TestCurve chosen = testCurves()[curve];
    fillConstant(chosen.samples, 1, 720, value);
    windows.vars.MessNr = 721;
    GrafikAufbauen();
    AnsichtZeichnen();

    if (row < 0) {
        QCOMPARE(countColor(windows.image(), chosen.color), countColorInColumn(windows.image(), 0, chosen.color));
        return;
    }
    // The whole row, and in column 0 the first segment rising from the bottom left corner.
    QCOMPARE(countColorInRow(windows.image(), row, chosen.color), 600);
    QCOMPARE(countColorInColumn(windows.image(), 0, chosen.color), 525 - row);
    QCOMPARE(countColor(windows.image(), chosen.color), 600 + 524 - row);
}

void TestPlotCurves::uncheckedOrGreyBoxHidesItsCurve_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<int>("state");
    for (const char* view : {"open record", "page", "whole record"}) {
        QTest::addRow("%s, unchecked", view) << view << int(Qt::Unchecked);
        QTest::addRow("%s, grey", view) << view << int(Qt::PartiallyChecked);
    }
}

void TestPlotCurves::uncheckedOrGreyBoxHidesItsCurve()
{
    QFETCH(QString, view);
    QFETCH(int, state);
    PlotWindows windows;
    fillConstant(windows.vars.KurveU.get(), 1, 720, 31500);
    fillConstant(windows.vars.KurveI.get(), 1, 720, 13125);
    windows.vars.MessNr = 721;
    windows.vars.MessAnzahl = 720;
    windows.vars.MessungBeendet = view == QLatin1String("page");
    if (view == QLatin1String("whole record"))
        windows.setgraf.Command1->setText(QStringLiteral("Normalansicht"));
    windows.setgraf.Check1->setCheckState(static_cast<Qt::CheckState>(state));
    GrafikAufbauen();
    AnsichtZeichnen();
    QCOMPARE(countColor(windows.image(), kGreen), 0);
    QCOMPARE(countColorInRow(windows.image(), 393, kRed), 600);
}

void TestPlotCurves::openRecordFromPageStartEqualsFromFirst_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<float>("page");
    QTest::addColumn<int>("samples");
    QTest::newRow("page 1, short record") << "Option2" << 1.0f << 300;
    QTest::newRow("page 1, full page") << "Option2" << 1.0f << 720;
    QTest::newRow("page 3 of 12 min") << "Option2" << 3.0f << 2000;
    QTest::newRow("page 3, first sample of the page") << "Option2" << 3.0f << 1441;
    QTest::newRow("page 5 of 6 min") << "Option1" << 5.0f << 1700;
    QTest::newRow("page 2 of 21 min") << "Option3" << 2.0f << 2400;
    QTest::newRow("page 2 of 30 min") << "Option4" << 2.0f << 3500;
}

void TestPlotCurves::openRecordFromPageStartEqualsFromFirst()
{
    QFETCH(QString, option);
    QFETCH(float, page);
    QFETCH(int, samples);
    PlotWindows windows;
    windows.setgraf.findChild<QRadioButton*>(option)->setChecked(true);
    windows.setgraf.Check3->setChecked(true);
    fillNoisy(windows.vars, samples);
    windows.vars.MessNr = samples + 1;
    windows.vars.LetzteSeite = page;
    windows.vars.Seite = page;

    GrafikAufbauen();
    LaufKurveZeichnen();
    const QImage drawn = windows.image().copy();
    GrafikAufbauen();
    ZeitachseBeschriften();
    drawOpenRecordFromFirst(windows.grafik.Picture1);
    QCOMPARE(differingPixels(drawn, windows.image()), 0);
    QVERIFY(countColor(drawn, kGreen) > 0);
    QVERIFY(countColor(drawn, kBlue) > 0);
}

void TestPlotCurves::pageViewPlacesItsFirstSample_data()
{
    // Sample 720 alone at the voltage scale: it reaches the top row where it is drawn.
    QTest::addColumn<float>("page");
    QTest::addColumn<QList<int>>("topColumns");
    QTest::newRow("page 1: sample 720 at the right edge") << 1.0f << QList<int>{599};
    QTest::newRow("page 2: sample 720 in the first column") << 2.0f << QList<int>{0};
}

void TestPlotCurves::pageViewPlacesItsFirstSample()
{
    QFETCH(float, page);
    QFETCH(QList<int>, topColumns);
    PlotWindows windows;
    windows.vars.KurveU[720] = 63000;
    windows.vars.MessAnzahl = 1500;
    windows.vars.MessungBeendet = 1;
    windows.vars.Seite = page;
    windows.vars.MessNr = 7;
    GrafikAufbauen();
    AnsichtZeichnen();
    const QImage top = windows.image().copy(0, 0, 600, 1);
    QCOMPARE(columnsWithColor(top, kGreen), topColumns);
    QCOMPARE(windows.vars.MessNr, 7.0f);
}

void TestPlotCurves::pageViewEndsWithTheRecord_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<float>("first");
    QTest::addColumn<float>("count");
    QTest::addColumn<int>("lastColumn");  // -1: nothing drawn
    QTest::newRow("record ends mid page") << "Option2" << 1.0f << 360.0f << 300;
    QTest::newRow("record longer than the page") << "Option2" << 1.0f << 5000.0f << 599;
    QTest::newRow("page ends at the store's end") << "Option1" << 1999800.0f << float(kStoreSize + 1) << 335;
    QTest::newRow("page beyond the store") << "Option1" << 2000160.0f << float(kStoreSize + 1) << -1;
    QTest::newRow("empty record") << "Option2" << 1.0f << 0.0f << -1;
    QTest::newRow("first sample below 1 counts as 1") << "Option2" << 0.0f << 360.0f << 300;
}

void TestPlotCurves::pageViewEndsWithTheRecord()
{
    QFETCH(QString, option);
    QFETCH(float, first);
    QFETCH(float, count);
    QFETCH(int, lastColumn);
    PlotWindows windows;
    windows.setgraf.findChild<QRadioButton*>(option)->setChecked(true);
    fillConstant(windows.vars.KurveU.get(), 1, 5000, 31500);
    fillConstant(windows.vars.KurveU.get(), kStoreSize - 1000, kStoreSize, 31500);
    windows.vars.MessAnzahl = count;
    SeiteZeichnen(first);
    const QList<int> columns = columnsWithColor(windows.image(), kGreen);
    QCOMPARE(columns.isEmpty() ? -1 : columns.last(), lastColumn);
}

void TestPlotCurves::viewFollowsCommandAndRunState_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("ended");
    QTest::addColumn<QString>("expectedView");
    QTest::addColumn<QStringList>("labels");
    const QStringList whole{"0", "002,5", "005,0", "007,5", "010,0", "012,5", "015,0Min"};
    QTest::newRow("whole record during a run") << "Normalansicht" << 0 << "whole" << whole;
    QTest::newRow("whole record after a run") << "Normalansicht" << 1 << "whole" << whole;
    QTest::newRow("page of a finished record")
        << "Gesamtkurve" << 1 << "page" << QStringList{"12", "14", "16", "18", "20", "22", "24 Min"};
    QTest::newRow("open record") << "Gesamtkurve" << 0 << "open"
                                 << QStringList{"12", "14", "16", "18", "20", "22", "24 Min"};
}

void TestPlotCurves::viewFollowsCommandAndRunState()
{
    QFETCH(QString, caption);
    QFETCH(int, ended);
    QFETCH(QString, expectedView);
    QFETCH(QStringList, labels);
    PlotWindows windows;
    fillNoisy(windows.vars, 1000);
    windows.vars.MessAnzahl = 900;
    windows.vars.MessNr = 1000;
    windows.vars.MessungBeendet = static_cast<int16_t>(ended);
    windows.vars.Seite = 2;
    windows.vars.LetzteSeite = 2;
    windows.setgraf.Command1->setText(caption);

    GrafikAufbauen();
    AnsichtZeichnen();
    const QImage drawn = windows.image().copy();
    QCOMPARE(timeTexts(windows.grafik), labels);

    GrafikAufbauen();
    if (expectedView == QLatin1String("whole"))
        drawRecordPerSample(windows.grafik.Picture1, 900);
    else if (expectedView == QLatin1String("page"))
        SeiteZeichnen(720);
    else
        drawOpenRecordFromFirst(windows.grafik.Picture1);
    QCOMPARE(differingPixels(drawn, windows.image()), 0);
}

void TestPlotCurves::liveExtensionTurnsThePage_data()
{
    // Samples recorded one by one at half the voltage scale (row 262), 12 minutes a page.
    QTest::addColumn<QList<int>>("samples");
    QTest::addColumn<float>("page");
    QTest::addColumn<QString>("offsetText");
    QTest::addColumn<QString>("pageText");
    QTest::addColumn<QStringList>("labels");
    QTest::addColumn<QList<int>>("greenColumns");
    QList<int> upTo719;
    for (int n = 1; n <= 719; ++n)
        upTo719 << n;
    QList<int> allColumns;
    for (int column = 0; column < 600; ++column)
        allColumns << column;
    const QStringList page1{"0", "2", "4", "6", "8", "10", "12 Min"};
    const QStringList page2{"12", "14", "16", "18", "20", "22", "24 Min"};
    QTest::newRow("sample 719") << upTo719 << 1.0f << "0" << "1" << page1 << allColumns;
    QTest::newRow("sample 720 turns, texts lag")
        << upTo719 + QList<int>{720} << 2.0f << "0" << "1" << page2 << QList<int>{599};
    QTest::newRow("sample 721 starts at the left edge")
        << upTo719 + QList<int>{720, 721} << 2.0f << "720" << "2" << page2 << QList<int>{0, 599};
    QList<int> pause = upTo719.mid(0, 715);
    QTest::newRow("pause across the page end turns")
        << pause + QList<int>{725} << 2.0f << "0" << "1" << page2 << QList<int>{};
    QTest::newRow("after the pause") << pause + QList<int>{725, 726} << 2.0f << "720" << "2" << page2
                                     << QList<int>{4, 5};
}

void TestPlotCurves::liveExtensionTurnsThePage()
{
    QFETCH(QList<int>, samples);
    QFETCH(float, page);
    QFETCH(QString, offsetText);
    QFETCH(QString, pageText);
    QFETCH(QStringList, labels);
    QFETCH(QList<int>, greenColumns);
    PlotWindows windows;
    fillConstant(windows.vars.KurveU.get(), 1, 800, 31500);
    for (int sample : samples) {
        windows.vars.MessNr = static_cast<float>(sample);
        KurveFortsetzen();
    }
    QCOMPARE(windows.vars.LetzteSeite, page);
    QCOMPARE(windows.vars.Seite, page);
    QCOMPARE(windows.text.Text10->text(), offsetText);
    QCOMPARE(windows.setgraf.Text1->text(), pageText);
    QCOMPARE(timeTexts(windows.grafik), labels);
    QCOMPARE(columnsWithColor(windows.image(), kGreen), greenColumns);
    if (!greenColumns.isEmpty())
        QCOMPARE(countColorInRow(windows.image(), 262, kGreen), greenColumns.size());
}

void TestPlotCurves::wholeRecordEqualsPerSampleDrawing_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<bool>("noisy");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<QList<int>>("checks");
    const QSize large(680, 544);
    const QList<int> all{Qt::Checked, Qt::Checked, Qt::Checked};
    QTest::newRow("one sample") << 1 << false << large << all;
    QTest::newRow("50 samples") << 50 << false << large << all;
    QTest::newRow("50 noisy samples") << 50 << true << large << all;
    QTest::newRow("601 samples, about one a column") << 601 << true << large << all;
    QTest::newRow("5000 samples in the start size") << 5000 << true << QSize(455, 211) << all;
    QTest::newRow("5000 samples, voltage grey, capacity unticked")
        << 5000 << true << large << QList<int>{Qt::PartiallyChecked, Qt::Checked, Qt::Unchecked};
    QTest::newRow("200,000 smooth samples") << 200000 << false << large << all;
    QTest::newRow("200,000 noisy samples") << 200000 << true << QSize(1000, 700) << all;
    QTest::newRow("2,000,000 noisy samples") << kStoreSize << true << large << all;
}

void TestPlotCurves::wholeRecordEqualsPerSampleDrawing()
{
    QFETCH(int, samples);
    QFETCH(bool, noisy);
    QFETCH(QSize, window);
    QFETCH(QList<int>, checks);
    PlotWindows windows(window);
    windows.setgraf.Check1->setCheckState(static_cast<Qt::CheckState>(checks[0]));
    windows.setgraf.Check2->setCheckState(static_cast<Qt::CheckState>(checks[1]));
    windows.setgraf.Check3->setCheckState(static_cast<Qt::CheckState>(checks[2]));
    if (noisy)
        fillNoisy(windows.vars, samples);
    else
        fillSmooth(windows.vars, samples);
    windows.vars.MessAnzahl = samples;

    GesamtkurveZeichnen();
    const QImage drawn = windows.image().copy();
    GrafikAufbauen();
    drawRecordPerSample(windows.grafik.Picture1, samples);
    QCOMPARE(differingPixels(drawn, windows.image()), 0);
    QCOMPARE(countColor(drawn, kGreen) > 0, checks[0] == Qt::Checked);
    QVERIFY(countColor(drawn, kRed) > 0);
    QCOMPARE(countColor(drawn, kBlue) > 0, checks[2] == Qt::Checked);
}

void TestPlotCurves::wholeRecordLabels_data()
{
    QTest::addColumn<float>("count");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("900 samples")
        << 900.0f << QStringList{"0", "002,5", "005,0", "007,5", "010,0", "012,5", "015,0Min"};
    QTest::newRow("one sample")
        << 1.0f << QStringList{"0", "000,0", "000,0", "000,0", "000,0", "000,0", "000,0Min"};
    QTest::newRow("full store")
        << float(kStoreSize) << QStringList{"0", "5555,6", "11111,1", "16666,7", "22222,2", "27777,8", "33333,3Min"};
    QTest::newRow("empty record") << 0.0f << QStringList{"0", "", "", "", "", "", ""};
}

void TestPlotCurves::wholeRecordLabels()
{
    QFETCH(float, count);
    QFETCH(QStringList, labels);
    PlotWindows windows;
    ZeitachseBeschriften();
    windows.vars.MessAnzahl = count;
    const float minutes = windows.vars.MinProSeite;
    GesamtkurveZeichnen();
    QCOMPARE(timeTexts(windows.grafik), labels);
    QCOMPARE(windows.vars.MinProSeite, minutes);
}

void TestPlotCurves::emptyWholeRecordShowsGridOnly()
{
    PlotWindows windows;
    fillNoisy(windows.vars, 100);
    GrafikAufbauen();
    const QImage grid = windows.image().copy();
    windows.vars.MessAnzahl = 0;
    GesamtkurveZeichnen();
    QCOMPARE(differingPixels(grid, windows.image()), 0);
}

void TestPlotCurves::chargingFramesGrowTheLiveCurve()
{
    TestApp app;
    ladomat::sim::Reading reading;
    reading.mode = 0;
    reading.status = 2;  // charging
    reading.outputMv = 31500;
    for (int second = 0; second < 100; ++second)
        app.send(reading);

    const PlotSurface* plot = forms.grafik->Picture1;
    const QImage& image = plot->image();
    // 100 samples of 720 on the page, at half the voltage scale.
    const int row = static_cast<int>(plot->ScaleHeight() / 2 / 15);
    const int lastColumn = static_cast<int>(plot->ScaleWidth() / 720 * 100 / 15);
    const QList<int> columns = columnsWithColor(image, kGreen);
    QCOMPARE(columns.first(), 0);
    QCOMPARE(columns.last(), lastColumn);
    QCOMPARE(countColorInRow(image, row, kGreen), lastColumn + 1);
    QCOMPARE(forms.text->Text10->text(), QStringLiteral("0"));
    QVERIFY(countColor(image, QColor(191, 0, 0)) > 0);  // the caption
}

QTEST_MAIN(TestPlotCurves)
#include "test_plot_curves.moc"
