// The graph settings handlers in the running program: scales and their labels, the curves shown,
// page length, paging through a finished record and the whole-record view.
#include "ProcessScript.h"

#include "platform/PlotSurface.h"

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
const QList<int> kValueFields{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 19, 20, 21, 22};

// The pixel row k/21 of the plot height below the top edge: the line of a value label.
int rowAt(int k)
{
    const PlotSurface* plot = forms.grafik->Picture1;
    return static_cast<int>(plot->ScaleHeight() * k / 21 / plot->twipsPerPixel());
}

// Charging frames at 12.0 V (on line 17 at 60 V full scale) and 2 A (on line 13 at 5 A).
void charge(TestApp& app, int samples)
{
    for (int k = 0; k < samples; ++k)
        app.send({.outputMv = 12000, .currentTenthMa = 20000, .status = 2});
}

}  // namespace

class TestSetgraf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void scaleBars_data()
    {
        QTest::addColumn<int>("axis");  // 0 voltage, 1 current, 2 capacity
        QTest::addColumn<int>("value");
        QTest::addColumn<QStringList>("labels");  // top to bottom
        QTest::addColumn<float>("scale");
        const auto row = [](const char* name, int axis, int value, const QStringList& labels, float scale) {
            QTest::newRow(name) << axis << value << labels << scale;
        };
        row("U 2", 0, 2, {"2,0V", "1,6V", "1,2V", "0,8V", "0,4V"}, 2100);
        row("I 2", 1, 2, {"0,10A", "0,08A", "0,06A", "0,04A", "0,02A"}, 1050);
        row("Q 2", 2, 2, {"60mAh", "48mAh", "36mAh", "24mAh", "12mAh"}, 63);
    }

    void scaleBars()
    {
        // The bar's own five labels and scale change; the other axes keep their start values.
        QFETCH(int, axis);
        QFETCH(int, value);
        QFETCH(QStringList, labels);
        QFETCH(float, scale);
        TestApp app;
        QStringList texts = fieldTexts(kValueFields);
        QList<float> scales{V->SkalaU, V->SkalaI, V->SkalaQ};
        QScrollBar* bars[] = {forms.setgraf->HScroll1, forms.setgraf->HScroll2, forms.setgraf->HScroll3};
        bars[axis]->setValue(10);  // from another value, so that each row's value is a change
        bars[axis]->setValue(value);
        for (int k = 0; k < 5; ++k)
            texts[axis * 5 + k] = labels[k];
        scales[axis] = scale;
        QCOMPARE(fieldTexts(kValueFields), texts);
        QCOMPARE((QList<float>{V->SkalaU, V->SkalaI, V->SkalaQ}), scales);
    }

    void valueBarsByMouse_data()
    {
        // Clicks, each followed by what the bar drives then shows: "<" and ">" the arrows, "[" and "]"
        // the track left and right of the thumb. A scale bar's top label; the cells and volts.
        QTest::addColumn<QString>("bar");
        QTest::addColumn<int>("field");  // the graph's top label field; 0: the battery window's fields
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("U") << "Formsetgraf/HScroll1" << 1 << "<[[]>"
                           << QStringList{"58,0V", "48,0V", "38,0V", "48,0V", "50,0V"};
        QTest::newRow("cells") << "Formakku/HScroll1" << 0 << ">]][<"
                               << QStringList{"7 8,4", "12 14,4", "17 20,4", "12 14,4", "11 13,2"};
    }

    void valueBarsByMouse()
    {
        // The thumb is small, so there is track to click on either side of it.
        QFETCH(QString, bar);
        QFETCH(int, field);
        QFETCH(QString, clicks);
        QFETCH(QStringList, shown);
        TestApp app;
        app.mdi->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.mdi.get()));
        auto* scrollBar =
            app.mdi->findChild<QWidget*>(bar.section('/', 0, 0))->findChild<QScrollBar*>(bar.section('/', 1));
        const auto now = [&] {
            return field ? forms.grafik->Text[field]->text()
                         : forms.akku->Text3->text() + ' ' + forms.akku->Text4->text();
        };
        const QString keys = "<>[]";
        const QStyle::SubControl parts[] = {QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine,
                                            QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarAddPage};
        QStringList seen;
        for (const QChar click : clicks) {
            const QRect thumb = scrollBarPart(scrollBar, QStyle::SC_ScrollBarSlider);
            QVERIFY(thumb.width() * 2 <= scrollBarPart(scrollBar, QStyle::SC_ScrollBarGroove).width());
            const QRect part = scrollBarPart(scrollBar, parts[keys.indexOf(click)]);
            QVERIFY2(!part.isEmpty(), qPrintable(QStringLiteral("no room for ") + click));
            QTest::mouseClick(scrollBar, Qt::LeftButton, {}, part.center());
            seen << now();
        }
        QCOMPARE(seen, shown);
    }

    void redrawsDuringRun()
    {
        // Curve boxes and scales redraw the live page at once, and recording goes on. At 12 V full
        // scale 12.0 V lies on the top label's line.
        TestApp app;
        charge(app, 20);
        Formsetgraf* s = forms.setgraf;
        const QStringList labels = fieldTexts(kValueFields);
        s->Check1->click();
        QCOMPARE(countColor(plotImage(), kGreen), 0);
        QVERIFY(countColorInRow(plotImage(), rowAt(13), kRed) > 0);
        QCOMPARE(fieldTexts(kValueFields), labels);
        s->Check1->click();
        const int length = countColorInRow(plotImage(), rowAt(17), kGreen);
        QVERIFY(length > 0);

        s->HScroll1->setValue(12);
        QCOMPARE(countColorInRow(plotImage(), rowAt(17), kGreen), 0);
        QCOMPARE(countColorInRow(plotImage(), rowAt(1), kGreen), length);
        charge(app, 10);
        QCOMPARE(V->MessNr, 31.0f);
        QVERIFY(countColorInRow(plotImage(), rowAt(1), kGreen) > length);
    }

    void pageLength_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<float>("messAnzahl");  // the end of the record
        QTest::addColumn<float>("lastPage");
        QTest::addColumn<QString>("span");  // the last time label
        QTest::newRow("12 min, 720") << "Option2" << 720.0f << 1.0f << "12 Min";
        QTest::newRow("12 min, 721") << "Option2" << 721.0f << 2.0f << "12 Min";
        QTest::newRow("21 min, 2521") << "Option3" << 2521.0f << 3.0f << "21 Min";
        QTest::newRow("6 min, 721") << "Option1" << 721.0f << 3.0f << "6 Min";
        QTest::newRow("30 min, 1801") << "Option4" << 1801.0f << 2.0f << "30 Min";
        QTest::newRow("empty record") << "Option2" << 0.0f << 1.0f << "12 Min";
    }

    void pageLength()
    {
        // After a run that ended before its first sample, given the record's end: the option counts
        // the pages of its length.
        QFETCH(QString, option);
        QFETCH(float, messAnzahl);
        QFETCH(float, lastPage);
        TestApp app;
        app.send({.status = 8});
        V->MessAnzahl = messAnzahl;
        forms.setgraf->findChild<QRadioButton*>(option)->click();
        QCOMPARE(QPair(V->Seite, V->LetzteSeite), QPair(1.0f, lastPage));
        QTEST(forms.grafik->Text[17]->text(), "span");
    }

    void pagesAndViews()
    {
        // 750 samples, their end 751: two pages of 12 minutes. Page 1 fills the width; page 2 starts
        // at sample 720 and ends in column 32 of 720, where the current, drawn last, ends. The whole
        // record (12.5 minutes) spans the width; only its button is usable there. Back from it,
        // page 2 shows as it was left.
        TestApp app;
        charge(app, 750);
        app.send({.status = 8});
        Formsetgraf* s = forms.setgraf;
        const int full = plotImage().width() - 1, page2 = 32 * plotImage().width() / 720;
        // After each click: Text1, the view button's caption, first and last time label, the locks.
        const QStringList first{"1", "Gesamtkurve", "0", "12 Min", kUnlocked};
        const QStringList second{"2", "Gesamtkurve", "12", "24 Min", kUnlocked};
        const struct {
            QAbstractButton* button;
            QStringList state;
            int lastColumn;
        } clicks[] = {{s->Option2, {" 1", "Gesamtkurve", "0", "12 Min", kUnlocked}, full},
                      {s->Command3, second, page2},
                      {s->Command3, second, page2},
                      {s->Command3, second, page2},
                      {s->Command2, first, full},
                      {s->Command2, first, full},
                      {s->Command3, second, page2},
                      {s->Command1, {"2", "Normalansicht", "0", "012,5Min", "100000011"}, full},
                      {s->Command1, second, page2}};
        for (const auto& c : clicks) {
            c.button->click();
            const QString start = forms.grafik->Text[11]->text(), span = forms.grafik->Text[17]->text();
            QCOMPARE((QStringList{s->Text1->text(), s->Command1->text(), start, span, locks()}), c.state);
            QCOMPARE(columnsWithColor(plotImage(), kRed).last(), c.lastColumn);
        }
        QCOMPARE(V->MessNr, 751.0f);

        // A page number typed into the field changes nothing else.
        const QImage page = plotImage();
        s->Text1->selectAll();
        QTest::keyClicks(s->Text1, "1");
        QCOMPARE(QPair(s->Text1->text(), V->Seite), QPair(QStringLiteral("1"), 2.0f));
        QCOMPARE(forms.grafik->Text[11]->text(), QStringLiteral("12"));
        QCOMPARE(plotImage(), page);
    }
};

QTEST_MAIN(TestSetgraf)
#include "test_setgraf.moc"
