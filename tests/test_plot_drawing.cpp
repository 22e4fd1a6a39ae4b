// Drawing on the plot: curves in each view, the live page turn, the whole-record view against
// one line per sample, and the caption.
#include "TestSupport.h"

#include "export/Formakku.h"
#include "link/Formtext.h"
#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "plot/plot.h"
#include "process/Variabelen.h"
#include "shell/Forms.h"

#include <QCheckBox>
#include <QDate>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <algorithm>
#include <numeric>
#include <random>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kCaptionRed(191, 0, 0);

// The windows registered as the main window registers them, on fresh global state.
// 680 x 544 pixels give a plot of 600 x 525 pixels (9000 x 7875 twips).
struct PlotWindows {
    explicit PlotWindows(QSize inner = {680, 544})
    {
        V = &vars;
        forms.text = &text;
        forms.setgraf = &setgraf;
        forms.grafik = &grafik;
        forms.akku = &akku;
        grafik.resize(inner);
        grafik.Form_Resize();
    }
    ~PlotWindows()
    {
        forms = Forms{};
        V = nullptr;
    }
    PlotSurface* plot() const { return grafik.Picture1; }
    const QImage& image() const { return grafik.Picture1->image(); }
    QStringList timeTexts() const
    {
        QStringList texts;
        for (int field = 11; field <= 17; ++field)
            texts << grafik.Text[field]->text();
        return texts;
    }

    Variabelen vars;
    Formtext text;
    Formsetgraf setgraf;
    Formgrafik grafik;
    Formakku akku;
};

// The plain drawing: for i = 1..last and each ticked curve in order, one line from sample
// i - 1 (from the bottom left corner for i = 1) to sample i, sample n at x = xs * (n - P).
void drawPerSample(PlotSurface* plot, float xs, float P, int last)
{
    const float H = plot->ScaleHeight();
    const struct {
        float* samples;
        float scale;
        QColor color;
        QCheckBox* box;
    } curves[] = {{V->KurveU.get(), V->SkalaU, kGreen, forms.setgraf->Check1},
                  {V->KurveI.get(), V->SkalaI, kRed, forms.setgraf->Check2},
                  {V->KurveQ.get(), V->SkalaQ, kBlue, forms.setgraf->Check3}};
    for (int i = 1; i <= last; ++i) {
        for (const auto& curve : curves) {
            const auto y = [&](int n) { return H - H * (curve.samples[n] / curve.scale); };
            if (checkValue(curve.box) != 1)
                continue;
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

QList<int> columnsWithColor(const QImage& image, const QColor& color)
{
    QList<int> columns;
    for (int column = 0; column < image.width(); ++column) {
        if (countColorInColumn(image, column, color) > 0)
            columns << column;
    }
    return columns;
}

}  // namespace

class TestPlotDrawing : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void curvesInEachView_data();
    void curvesInEachView();
    void openRecordFromPageStartEqualsFromFirst_data();
    void openRecordFromPageStartEqualsFromFirst();
    void pageViewEndsWithRecordAndStore_data();
    void pageViewEndsWithRecordAndStore();
    void liveExtensionTurnsThePage_data();
    void liveExtensionTurnsThePage();
    void wholeRecordEqualsPerSampleDrawing_data();
    void wholeRecordEqualsPerSampleDrawing();
    void wholeRecordLabels_data();
    void wholeRecordLabels();
    void captionReplacesItsFirstLine();
    void chargingFramesGrowTheLiveCurve();
};

void TestPlotDrawing::curvesInEachView_data()
{
    // 720 samples of one value per curve: voltage 31500 of 63000 lies on row 262, current
    // 13125 of 52500 on row 393. The voltage box is set to the given state.
    QTest::addColumn<QString>("view");
    QTest::addColumn<int>("voltageBox");
    QTest::addColumn<float>("voltage");
    QTest::addColumn<int>("voltageRow");  // -1: not drawn
    for (const char* view : {"open record", "page", "whole record"}) {
        QTest::addRow("%s, half scale", view) << view << int(Qt::Checked) << 31500.0f << 262;
        QTest::addRow("%s, at its scale: top edge", view) << view << int(Qt::Checked) << 63000.0f << 0;
        QTest::addRow("%s, unchecked", view) << view << int(Qt::Unchecked) << 31500.0f << -1;
        QTest::addRow("%s, grey", view) << view << int(Qt::PartiallyChecked) << 31500.0f << -1;
    }
}

void TestPlotDrawing::curvesInEachView()
{
    QFETCH(QString, view);
    QFETCH(int, voltageBox);
    QFETCH(float, voltage);
    QFETCH(int, voltageRow);
    PlotWindows windows;
    std::fill_n(&windows.vars.KurveU[1], 720, voltage);
    std::fill_n(&windows.vars.KurveI[1], 720, 13125.0f);
    windows.vars.MessNr = 721;
    windows.vars.MessAnzahl = 720;
    windows.vars.MessungBeendet = view == QLatin1String("page");
    if (view == QLatin1String("whole record"))
        windows.setgraf.Command1->setText(QStringLiteral("Normalansicht"));
    windows.setgraf.Check1->setCheckState(static_cast<Qt::CheckState>(voltageBox));
    GrafikAufbauen();
    AnsichtZeichnen();

    // Each curve fills its row; in column 0 its first segment rises from the bottom left
    // corner, the voltage's only up to the current's row, as the current is drawn over it.
    QCOMPARE(countColorInRow(windows.image(), 393, kRed), 600);
    QCOMPARE(countColor(windows.image(), kRed), 600 + 524 - 393);
    if (voltageRow < 0) {
        QCOMPARE(countColor(windows.image(), kGreen), 0);
    } else {
        QCOMPARE(countColorInRow(windows.image(), voltageRow, kGreen), 600);
        QCOMPARE(countColor(windows.image(), kGreen), 600 + 392 - voltageRow);
    }
}

void TestPlotDrawing::openRecordFromPageStartEqualsFromFirst_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<float>("page");
    QTest::addColumn<int>("samples");
    QTest::newRow("page 1, short record") << "Option2" << 1.0f << 300;
    QTest::newRow("page 3 of 12 min") << "Option2" << 3.0f << 2000;
    QTest::newRow("page 3, its first sample") << "Option2" << 3.0f << 1441;
    QTest::newRow("page 5 of 6 min") << "Option1" << 5.0f << 1700;
    QTest::newRow("page 2 of 21 min") << "Option3" << 2.0f << 2400;
}

void TestPlotDrawing::openRecordFromPageStartEqualsFromFirst()
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
    GrafikAufbauen();
    LaufKurveZeichnen();
    const QImage drawn = windows.image().copy();
    QVERIFY(countColor(drawn, kBlue) > 0);

    GrafikAufbauen();
    const float S = samplesPerPage();
    drawPerSample(windows.plot(), windows.plot()->ScaleWidth() / S, S * (page - 1), samples);
    QCOMPARE(drawn, windows.image());
}

void TestPlotDrawing::pageViewEndsWithRecordAndStore_data()
{
    // Voltage at half scale; the page's last drawn sample shows in the rightmost green column.
    QTest::addColumn<QString>("option");
    QTest::addColumn<float>("first");
    QTest::addColumn<float>("count");
    QTest::addColumn<int>("lastColumn");  // -1: nothing drawn
    QTest::newRow("record ends mid page") << "Option2" << 1.0f << 360.0f << 300;
    QTest::newRow("record longer than the page") << "Option2" << 720.0f << 5000.0f << 599;
    QTest::newRow("page ends at the store's end") << "Option1" << 1999800.0f << float(kStoreSize + 1) << 335;
    QTest::newRow("page beyond the store") << "Option1" << 2000160.0f << float(kStoreSize + 1) << -1;
    QTest::newRow("empty record") << "Option2" << 1.0f << 0.0f << -1;
}

void TestPlotDrawing::pageViewEndsWithRecordAndStore()
{
    QFETCH(QString, option);
    QFETCH(float, first);
    QFETCH(float, count);
    QFETCH(int, lastColumn);
    PlotWindows windows;
    windows.setgraf.findChild<QRadioButton*>(option)->setChecked(true);
    std::fill_n(&windows.vars.KurveU[1], 5000, 31500.0f);
    std::fill_n(&windows.vars.KurveU[kStoreSize - 1000], 1001, 31500.0f);
    windows.vars.MessAnzahl = count;
    SeiteZeichnen(first);
    const QList<int> columns = columnsWithColor(windows.image(), kGreen);
    QCOMPARE(columns.isEmpty() ? -1 : columns.last(), lastColumn);
}

void TestPlotDrawing::liveExtensionTurnsThePage_data()
{
    // Samples recorded one by one at half the voltage scale, 12 minutes (720 samples) a page.
    QTest::addColumn<QList<int>>("samples");
    QTest::addColumn<float>("page");
    QTest::addColumn<QString>("offsetText");
    QTest::addColumn<QString>("pageText");
    QTest::addColumn<QString>("lastLabel");
    QTest::addColumn<QList<int>>("greenColumns");
    QList<int> upTo719(719);
    std::iota(upTo719.begin(), upTo719.end(), 1);
    QList<int> allColumns(600);
    std::iota(allColumns.begin(), allColumns.end(), 0);
    QTest::newRow("sample 719") << upTo719 << 1.0f << "0" << "1" << "12 Min" << allColumns;
    QTest::newRow("sample 720 turns, texts lag")
        << upTo719 + QList<int>{720} << 2.0f << "0" << "1" << "24 Min" << QList<int>{599};
    QTest::newRow("sample 721 starts at the left edge")
        << upTo719 + QList<int>{720, 721} << 2.0f << "720" << "2" << "24 Min" << QList<int>{0, 599};
    QTest::newRow("pause across the page end turns")
        << upTo719.mid(0, 715) + QList<int>{725} << 2.0f << "0" << "1" << "24 Min" << QList<int>{};
    QTest::newRow("after the pause")
        << upTo719.mid(0, 715) + QList<int>{725, 726} << 2.0f << "720" << "2" << "24 Min" << QList<int>{4, 5};
}

void TestPlotDrawing::liveExtensionTurnsThePage()
{
    QFETCH(QList<int>, samples);
    QFETCH(float, page);
    QFETCH(QString, offsetText);
    QFETCH(QString, pageText);
    QFETCH(QString, lastLabel);
    QFETCH(QList<int>, greenColumns);
    PlotWindows windows;
    std::fill_n(&windows.vars.KurveU[1], 800, 31500.0f);
    for (int sample : samples) {
        windows.vars.MessNr = static_cast<float>(sample);
        KurveFortsetzen();
    }
    QCOMPARE(windows.vars.LetzteSeite, page);
    QCOMPARE(windows.vars.Seite, page);
    QCOMPARE(windows.text.Text10->text(), offsetText);
    QCOMPARE(windows.setgraf.Text1->text(), pageText);
    QCOMPARE(windows.grafik.Text[17]->text(), lastLabel);
    QCOMPARE(columnsWithColor(windows.image(), kGreen), greenColumns);
    QCOMPARE(countColorInRow(windows.image(), 262, kGreen), static_cast<int>(greenColumns.size()));
}

void TestPlotDrawing::wholeRecordEqualsPerSampleDrawing_data()
{
    QTest::addColumn<int>("samples");
    QTest::addColumn<QSize>("window");
    QTest::addColumn<int>("voltageBox");
    QTest::addColumn<int>("capacityBox");
    const QSize usual(680, 544);
    QTest::newRow("one sample") << 1 << usual << int(Qt::Checked) << int(Qt::Checked);
    QTest::newRow("50 samples") << 50 << usual << int(Qt::Checked) << int(Qt::Checked);
    QTest::newRow("601 samples, about one a column") << 601 << usual << int(Qt::Checked) << int(Qt::Checked);
    QTest::newRow("5000 samples in the start size") << 5000 << QSize(455, 211) << int(Qt::Checked)
                                                     << int(Qt::Checked);
    QTest::newRow("5000 samples, voltage grey, capacity unticked")
        << 5000 << usual << int(Qt::PartiallyChecked) << int(Qt::Unchecked);
    QTest::newRow("200,000 samples") << 200000 << QSize(1000, 700) << int(Qt::Checked) << int(Qt::Checked);
    QTest::newRow("2,000,000 samples") << kStoreSize << usual << int(Qt::Checked) << int(Qt::Checked);
}

void TestPlotDrawing::wholeRecordEqualsPerSampleDrawing()
{
    QFETCH(int, samples);
    QFETCH(QSize, window);
    QFETCH(int, voltageBox);
    QFETCH(int, capacityBox);
    PlotWindows windows(window);
    windows.setgraf.Check1->setCheckState(static_cast<Qt::CheckState>(voltageBox));
    windows.setgraf.Check3->setCheckState(static_cast<Qt::CheckState>(capacityBox));
    fillNoisy(windows.vars, samples);
    windows.vars.MessAnzahl = samples;
    GesamtkurveZeichnen();
    const QImage drawn = windows.image().copy();
    QCOMPARE(countColor(drawn, kGreen) > 0, voltageBox == Qt::Checked);
    QCOMPARE(countColor(drawn, kBlue) > 0, capacityBox == Qt::Checked);

    GrafikAufbauen();
    drawPerSample(windows.plot(), windows.plot()->ScaleWidth() / static_cast<float>(samples), 0, samples);
    QCOMPARE(drawn, windows.image());
}

void TestPlotDrawing::wholeRecordLabels_data()
{
    QTest::addColumn<float>("count");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("900 samples") << 900.0f
                                 << QStringList{"0", "002,5", "005,0", "007,5", "010,0", "012,5", "015,0Min"};
    QTest::newRow("one sample") << 1.0f
                                << QStringList{"0", "000,0", "000,0", "000,0", "000,0", "000,0", "000,0Min"};
    QTest::newRow("full store") << float(kStoreSize)
                                << QStringList{"0", "5555,6", "11111,1", "16666,7", "22222,2", "27777,8", "33333,3Min"};
    QTest::newRow("empty record: grid and 0 only") << 0.0f << QStringList{"0", "", "", "", "", "", ""};
}

void TestPlotDrawing::wholeRecordLabels()
{
    QFETCH(float, count);
    QFETCH(QStringList, labels);
    PlotWindows windows;
    fillNoisy(windows.vars, 1000);
    GrafikAufbauen();
    const QImage grid = windows.image().copy();
    windows.vars.MessAnzahl = count;
    GesamtkurveZeichnen();
    QCOMPARE(windows.timeTexts(), labels);
    QCOMPARE(windows.vars.MinProSeite, 12.0f);
    if (count == 0)
        QCOMPARE(windows.image(), grid);
}

void TestPlotDrawing::captionReplacesItsFirstLine()
{
    PlotWindows windows;
    windows.grafik.Text[5]->setText(QStringLiteral("12,0V"));
    windows.grafik.Text[10]->setText(QStringLiteral("1,00A"));
    const auto notes = [&](const QString& name, const QString& capacity, const QString& cells,
                           const QString& volts) {
        windows.akku.Text1->setText(name);
        windows.akku.Text2->setText(capacity);
        windows.akku.Text3->setText(cells);
        windows.akku.Text4->setText(volts);
    };
    windows.plot()->Cls();
    notes({}, {}, {}, {});
    KopfzeilenSchreiben();
    QCOMPARE(windows.vars.AlteKopfzeile, QStringLiteral(" | Nennkap.:  mAh | Zellenzahl :  (V)"));
    notes(QStringLiteral("Akku 1"), QStringLiteral("1700"), QStringLiteral("6"), QStringLiteral("7,2"));
    KopfzeilenSchreiben();
    const QString line1 = QStringLiteral("Akku 1 | Nennkap.: 1700 mAh | Zellenzahl : 6 (7,2V)");
    QCOMPARE(windows.vars.AlteKopfzeile, line1);
    const QImage drawn = windows.image().copy();

    // The same texts printed once in dark red on a clean plot: the first line 1 left no pixel,
    // and the plot's actual background (not the old erase grey) fills its place.
    QVERIFY(windows.plot()->backColor() != QColor(191, 191, 191));
    PlotSurface* plot = windows.plot();
    plot->Cls();
    plot->setForeColor(kCaptionRed);
    const auto print = [plot](double x, double y, const QString& text) {
        plot->CurrentX = x;
        plot->CurrentY = y;
        plot->Print(text);
    };
    print(50, 170, line1);
    print(plot->ScaleWidth() - 700, 0, QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
    print(50, 0, QStringLiteral("Hor.: 12,0V | 1,00A | 600mAh je pro 2 Striche || Zeit: von 0 bis 12 Min"));
    QCOMPARE(drawn, windows.image());
}

void TestPlotDrawing::chargingFramesGrowTheLiveCurve()
{
    TestApp app;
    ladomat::sim::Reading reading;
    reading.status = 2;  // charging
    reading.outputMv = 31500;
    for (int second = 0; second < 100; ++second)
        app.send(reading);

    const PlotSurface* plot = forms.grafik->Picture1;
    // 100 samples of the page's 720, at half the voltage scale, and the caption above.
    const int row = static_cast<int>(plot->ScaleHeight() / 2 / 15);
    const int lastColumn = static_cast<int>(plot->ScaleWidth() / 720 * 100 / 15);
    QCOMPARE(columnsWithColor(plot->image(), kGreen).last(), lastColumn);
    QCOMPARE(countColorInRow(plot->image(), row, kGreen), lastColumn + 1);
    QVERIFY(countColor(plot->image(), kCaptionRed) > 0);
}

QTEST_MAIN(TestPlotDrawing)
#include "test_plot_drawing.moc"
