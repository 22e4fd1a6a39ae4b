// The graph settings handlers in the running program: scales and their labels, the curves shown,
// page length, paging through a finished record and the whole-record view.
#include "ProcessScript.h"

#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

const QImage& plotImage() { return forms.grafik->Picture1->image(); }

QStringList fieldTexts(QList<int> fields)
{
    QStringList texts;
    for (int field : fields)
        texts << forms.grafik->Text[field]->text();
    return texts;
}
QStringList timeTexts() { return fieldTexts({11, 12, 13, 14, 15, 16, 17}); }

// The pixel row of a value lying k/21 of the plot height below the top edge.
int rowAt(int k)
{
    const PlotSurface* plot = forms.grafik->Picture1;
    return static_cast<int>(plot->ScaleHeight() * k / 21 / plot->twipsPerPixel());
}

// The row holding most pixels of the colour.
int mainRow(const QColor& color)
{
    int best = 0;
    for (int row = 1; row < plotImage().height(); ++row) {
        if (countColorInRow(plotImage(), row, color) > countColorInRow(plotImage(), best, color))
            best = row;
    }
    return best;
}

// A run of `samples` charging frames at 12.0 V and 2 A, ended by the charger.
void finishedRecord(TestApp& app, int samples)
{
    for (int k = 0; k < samples; ++k)
        app.send({.outputMv = 12000, .currentTenthMa = 20000, .status = 2});
    app.send({.status = 8});
}

}  // namespace

class TestSetgraf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void scaleBars_data();
    void scaleBars();
    void scaleChangeDuringRun();
    void curveBoxes();
    void pageLength_data();
    void pageLength();
    void pageButtons();
    void viewSwitch();
};

void TestSetgraf::scaleBars_data()
{
    QTest::addColumn<int>("axis");  // 0 voltage, 1 current, 2 capacity
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("labels");  // top to bottom
    QTest::addColumn<float>("scale");
    const auto row = [](const char* name, int axis, int value, const QStringList& labels, float scale) {
        QTest::newRow(name) << axis << value << labels << scale;
    };
    row("U 2", 0, 2, {"2,0V", "1,6V", "1,2V", "0,8V", "0,4V"}, 2100);
    row("U 33", 0, 33, {"33,0V", "26,4V", "19,8V", "13,2V", "6,6V"}, 34650);
    row("U 60", 0, 60, {"60,0V", "48,0V", "36,0V", "24,0V", "12,0V"}, 63000);
    row("I 2", 1, 2, {"0,10A", "0,08A", "0,06A", "0,04A", "0,02A"}, 1050);
    row("I 33", 1, 33, {"1,65A", "1,32A", "0,99A", "0,66A", "0,33A"}, 17325);
    row("I 100", 1, 100, {"5,00A", "4,00A", "3,00A", "2,00A", "1,00A"}, 52500);
    row("Q 2", 2, 2, {"60mAh", "48mAh", "36mAh", "24mAh", "12mAh"}, 63);
    row("Q 33", 2, 33, {"990mAh", "792mAh", "594mAh", "396mAh", "198mAh"}, 1039.5f);
    row("Q 100", 2, 100, {"3000mAh", "2400mAh", "1800mAh", "1200mAh", "600mAh"}, 3150);
}

void TestSetgraf::scaleBars()
{
    // The bar's own five labels and scale change; the other axes keep their start values.
    QFETCH(int, axis);
    QFETCH(int, value);
    QFETCH(QStringList, labels);
    QFETCH(float, scale);
    TestApp app;
    QStringList expected = fieldTexts({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 19, 20, 21, 22});
    QList<float> scales{V->SkalaU, V->SkalaI, V->SkalaQ};
    QScrollBar* bars[] = {forms.setgraf->HScroll1, forms.setgraf->HScroll2, forms.setgraf->HScroll3};
    bars[axis]->setValue(10);  // from another value, so that each row's value is a change
    bars[axis]->setValue(value);
    for (int k = 0; k < 5; ++k)
        expected[axis * 5 + k] = labels[k];
    scales[axis] = scale;
    QCOMPARE(fieldTexts({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 19, 20, 21, 22}), expected);
    QCOMPARE((QList<float>{V->SkalaU, V->SkalaI, V->SkalaQ}), scales);
}

void TestSetgraf::scaleChangeDuringRun()
{
    // 12.0 V lies on the bottom voltage label's line at 60 V, on the top label's line at 12 V
    // (1/21 of the height below the top edge). The live page is redrawn at once and recording
    // goes on at the new scale.
    TestApp app;
    for (int k = 0; k < 20; ++k)
        app.send({.outputMv = 12000, .currentTenthMa = 20000, .status = 2});
    QCOMPARE(mainRow(kGreen), rowAt(17));
    const int length = countColorInRow(plotImage(), rowAt(17), kGreen);

    forms.setgraf->HScroll1->setValue(12);
    QCOMPARE(forms.grafik->Text[1]->text(), QStringLiteral("12,0V"));
    QCOMPARE(countColorInRow(plotImage(), rowAt(17), kGreen), 0);
    QCOMPARE(countColorInRow(plotImage(), rowAt(1), kGreen), length);

    for (int k = 0; k < 10; ++k)
        app.send({.outputMv = 12000, .currentTenthMa = 20000, .status = 2});
    QCOMPARE(V->MessNr, 31.0f);
    QCOMPARE(mainRow(kGreen), rowAt(1));
    QVERIFY(countColorInRow(plotImage(), rowAt(1), kGreen) > length);
}

void TestSetgraf::curveBoxes()
{
    // Each click redraws with or without the box's curve; the value labels stay.
    TestApp app;
    finishedRecord(app, 30);
    const QStringList labels = fieldTexts({1, 5, 6, 10, 18, 22});
    const struct { QCheckBox* box; bool green, red; } clicks[] = {
        {forms.setgraf->Check1, false, true}, {forms.setgraf->Check2, false, false},
        {forms.setgraf->Check1, true, false}, {forms.setgraf->Check2, true, true}};
    for (const auto& c : clicks) {
        c.box->click();
        QCOMPARE(countColor(plotImage(), kGreen) > 0, c.green);
        QCOMPARE(countColor(plotImage(), kRed) > 0, c.red);
        QCOMPARE(fieldTexts({1, 5, 6, 10, 18, 22}), labels);
    }
    QCOMPARE(QPair(mainRow(kGreen), mainRow(kRed)), QPair(rowAt(17), rowAt(13)));
}

void TestSetgraf::pageLength_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<float>("messAnzahl");  // the end of the record
    QTest::addColumn<float>("lastPage");
    QTest::addColumn<QString>("span");  // the last time label
    QTest::newRow("12 min, 720") << "Option2" << 720.0f << 1.0f << "12 Min";
    QTest::newRow("12 min, 721") << "Option2" << 721.0f << 2.0f << "12 Min";
    QTest::newRow("21 min, 2520") << "Option3" << 2520.0f << 2.0f << "21 Min";
    QTest::newRow("21 min, 2521") << "Option3" << 2521.0f << 3.0f << "21 Min";
    QTest::newRow("6 min, 720") << "Option1" << 720.0f << 2.0f << "6 Min";
    QTest::newRow("6 min, 721") << "Option1" << 721.0f << 3.0f << "6 Min";
    QTest::newRow("30 min, 1800") << "Option4" << 1800.0f << 1.0f << "30 Min";
    QTest::newRow("30 min, 1801") << "Option4" << 1801.0f << 2.0f << "30 Min";
    QTest::newRow("empty record") << "Option2" << 0.0f << 1.0f << "12 Min";
}

void TestSetgraf::pageLength()
{
    // After a run that ended before its first sample, given the record's end: the option shows
    // page 1 (" 1", with its blank) and counts the pages; ">" then stops on the last one.
    QFETCH(QString, option);
    QFETCH(float, messAnzahl);
    QFETCH(float, lastPage);
    QFETCH(QString, span);
    TestApp app;
    finishedRecord(app, 0);
    V->MessAnzahl = messAnzahl;
    forms.setgraf->Command3->click();
    QCOMPARE(forms.setgraf->Text1->text(), QStringLiteral("1"));

    forms.setgraf->findChild<QRadioButton*>(option)->click();
    QCOMPARE(V->LetzteSeite, lastPage);
    QCOMPARE(V->Seite, 1.0f);
    QCOMPARE(forms.setgraf->Text1->text(), QStringLiteral(" 1"));
    QCOMPARE(timeTexts().first() + " - " + timeTexts().last(), "0 - " + span);
    for (int k = 0; k < 3; ++k)
        forms.setgraf->Command3->click();
    QCOMPARE(forms.setgraf->Text1->text(), QString::number(lastPage));
    QCOMPARE(V->Seite, lastPage);
}

void TestSetgraf::pageButtons()
{
    // A record of 750 samples (its end 751): 12 minutes give two pages. Page 1 fills the plot's
    // width; page 2 starts at sample 720 and holds 32 columns of the page's 720. The current,
    // drawn last, marks where each page's curves end.
    TestApp app;
    finishedRecord(app, 750);
    forms.setgraf->Option2->click();
    const int width = plotImage().width();
    const struct { QPushButton* button; QString page; QStringList labels; int lastColumn; } clicks[] = {
        {forms.setgraf->Command3, "2", {"12", "14", "16", "18", "20", "22", "24 Min"}, 32 * width / 720},
        {forms.setgraf->Command3, "2", {"12", "14", "16", "18", "20", "22", "24 Min"}, 32 * width / 720},
        {forms.setgraf->Command3, "2", {"12", "14", "16", "18", "20", "22", "24 Min"}, 32 * width / 720},
        {forms.setgraf->Command2, "1", {"0", "2", "4", "6", "8", "10", "12 Min"}, width - 1},
        {forms.setgraf->Command2, "1", {"0", "2", "4", "6", "8", "10", "12 Min"}, width - 1}};
    for (const auto& c : clicks) {
        c.button->click();
        QCOMPARE(forms.setgraf->Text1->text(), c.page);
        QCOMPARE(timeTexts(), c.labels);
        QCOMPARE(columnsWithColor(plotImage(), kRed).last(), c.lastColumn);
    }
    QCOMPARE(V->MessNr, 751.0f);
}

void TestSetgraf::viewSwitch()
{
    // The run leaves the live page 2 on show. The whole record (750 samples, 12.5 minutes) spans
    // the width; only its button stays usable. Back again, page 2 is drawn as it was left.
    TestApp app;
    finishedRecord(app, 750);
    QCOMPARE(locks(), kUnlocked);
    const int width = plotImage().width();
    const struct { QString caption, locks; QStringList labels; int lastColumn; } clicks[] = {
        {"Normalansicht", "100000011", {"0", "002,1", "004,2", "006,3", "008,3", "010,4", "012,5Min"},
         width - 1},
        {"Gesamtkurve", kUnlocked, {"12", "14", "16", "18", "20", "22", "24 Min"}, 32 * width / 720}};
    for (const auto& c : clicks) {
        forms.setgraf->Command1->click();
        QCOMPARE(forms.setgraf->Command1->text(), c.caption);
        QCOMPARE(locks(), c.locks);
        QCOMPARE(timeTexts(), c.labels);
        QCOMPARE(columnsWithColor(plotImage(), kRed).last(), c.lastColumn);
        QCOMPARE(forms.setgraf->Text1->text(), QStringLiteral("2"));
        QCOMPARE(V->Seite, 2.0f);
    }
}

QTEST_MAIN(TestSetgraf)
#include "test_setgraf.moc"
