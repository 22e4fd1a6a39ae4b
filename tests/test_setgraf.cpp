// The graph settings handlers in the running program: scales and their labels, the value bars by
// mouse, the curves shown, page length, paging through a finished record and the whole-record view.
#include "TestSupport.h"

#include "platform/PlotSurface.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QtTest>

namespace {

const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);

// Pixels of the colour on the line of a value label, k/21 of the plot height below the top edge.
int onLine(const PlotSurface* plot, int k, const QColor& color)
{
    return countColor(plot->image(), color,
                      static_cast<int>(plot->ScaleHeight() * k / 21 / plot->twipsPerPixel()));
}

// The rectangle of an arrow, the thumb or the track beside it.
QRect scrollBarPart(const QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

}  // namespace

class TestSetgraf : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    // A click on an arrow or on the track beside the small thumb of the voltage scale's bar (from
    // 40 V) and of the battery window's cells bar (from 6): the top label's volts, the battery's volts.
    void valueBars_data()
    {
        QTest::addColumn<bool>("cells");
        QTest::addColumn<int>("part");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* name, bool cells, QStyle::SubControl part, QString shown) {
            QTest::newRow(name) << cells << int(part) << shown;
        };
        row("scale, left arrow", false, QStyle::SC_ScrollBarSubLine, "38,0V");
        row("scale, track right", false, QStyle::SC_ScrollBarAddPage, "50,0V");
        row("cells, right arrow", true, QStyle::SC_ScrollBarAddLine, "8,4");
        row("cells, track left", true, QStyle::SC_ScrollBarSubPage, "1,2");
    }
    void valueBars()
    {
        QFETCH(bool, cells);
        QFETCH(int, part);
        TestApp app;
        QScrollBar* bar = cells ? app.mdi->akku->HScroll1 : app.mdi->setgraf->HScroll1;
        bar->setValue(cells ? 6 : 40);
        QTest::mouseClick(bar, Qt::LeftButton, {}, scrollBarPart(bar, QStyle::SubControl(part)).center());
        QTEST(cells ? app.mdi->akku->Text4->text() : app.mdi->grafik->Text[1]->text(), "shown");
    }

    // Each scale bar writes its five labels, top to bottom, and its scale, 21/20 of the top label.
    void scales_data()
    {
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("labels");
        QTest::addColumn<float>("scale");
        QTest::newRow("U 2") << 1 << 2 << "2,0V 1,6V 1,2V 0,8V 0,4V" << 2100.0f;
        QTest::newRow("I 4") << 2 << 4 << "0,20A 0,16A 0,12A 0,08A 0,04A" << 2100.0f;
        QTest::newRow("I 98") << 2 << 98 << "4,90A 3,92A 2,94A 1,96A 0,98A" << 51450.0f;
        QTest::newRow("Q 6") << 3 << 6 << "180mAh 144mAh 108mAh 72mAh 36mAh" << 189.0f;
        QTest::newRow("Q 98") << 3 << 98 << "2940mAh 2352mAh 1764mAh 1176mAh 588mAh" << 3087.0f;
    }
    void scales()
    {
        QFETCH(int, bar);
        QFETCH(int, value);
        TestApp app;
        const Formsetgraf* s = app.mdi->setgraf;
        const Formgrafik* g = app.mdi->grafik;
        (bar == 1 ? s->HScroll1 : bar == 2 ? s->HScroll2 : s->HScroll3)->setValue(value);
        const int top = bar == 1 ? 1 : bar == 2 ? 6 : 18;
        QStringList labels;
        for (int field = top; field < top + 5; ++field)
            labels << g->Text[field]->text();
        QTEST(labels.join(u' '), "labels");
        QTEST((bar == 1 ? g->view.SkalaU : bar == 2 ? g->view.SkalaI : g->view.SkalaQ), "scale");
    }

    // After a run that ended before its first sample, given the record's end and page 2 shown: each
    // time option counts the pages of its length and shows the first (page, last page, last label).
    void pageLength_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<float>("messAnzahl");
        QTest::addColumn<QString>("shown");
        QTest::newRow("12 min, one page") << 2 << 720.0f << "1 1 12 Min";
        QTest::newRow("12 min, a sample more") << 2 << 721.0f << "1 2 12 Min";
        QTest::newRow("21 min") << 3 << 2521.0f << "1 3 21 Min";
        QTest::newRow("6 min") << 1 << 721.0f << "1 3 6 Min";
        QTest::newRow("30 min") << 4 << 1801.0f << "1 2 30 Min";
        QTest::newRow("empty record") << 2 << 0.0f << "1 1 12 Min";
        QTest::newRow("6 min, a full store") << 1 << 2000000.0f << "1 5556 6 Min";
    }
    void pageLength()
    {
        QFETCH(int, option);
        QFETCH(float, messAnzahl);
        TestApp app;
        app.send({.status = 8});
        Formgrafik* g = app.mdi->grafik;
        app.session().Messreihe.MessAnzahl = messAnzahl;
        g->view.Seite = 2;
        app.mdi->setgraf->findChild<QRadioButton*>("Option" + QString::number(option))->click();
        QTEST(QString::asprintf("%g %g ", g->view.Seite, g->view.LetzteSeite) + g->Text[17]->text(), "shown");
    }

    void liveRedraw()
    {
        // During a run, curve boxes and scales redraw the live page at once and recording goes on: at
        // 12 V full scale 12.0 V lies on the top label's line.
        TestApp app;
        Formsetgraf* s = app.mdi->setgraf;
        const PlotSurface* plot = app.mdi->grafik->Picture1;
        // Charging frames at 12.0 V (on line 17 at 60 V full scale) and 2 A (on line 13 at 5 A).
        const ladomat::sim::Reading frame{.outputMv = 12000, .currentTenthMa = 20000, .status = 2};
        for (int k = 0; k < 740; ++k)
            app.send(frame);
        s->Check1->click();
        const int hidden = countColor(plot->image(), kGreen), current = onLine(plot, 13, kRed);
        s->Check1->click();
        const int length = onLine(plot, 17, kGreen);
        s->HScroll1->setValue(12);
        QCOMPARE(QList<int>({hidden, onLine(plot, 17, kGreen), onLine(plot, 1, kGreen)}),
                 QList<int>({0, 0, length}));
        for (int k = 0; k < 10; ++k)
            app.send(frame);
        QVERIFY(current > 0 && length > 0 && onLine(plot, 1, kGreen) > length);
    }

    // A finished record of 750 samples, their end 751: two pages of 12 minutes on 375 columns. Page 1
    // fills the width; page 2 starts at sample 720 and ends in column 16 (32 of 720), where the
    // current, drawn last, ends. The whole record (12.5 minutes) spans the width; only its button is
    // usable there. Back from it, page 2 shows as it was left. After the clicks (O the 12 minutes
    // option, < and > the page buttons, W the view switch): page field, view button, first and last
    // time label, the nine controls, the current's last column.
    void paging_data()
    {
        QTest::addColumn<QString>("clicks");
        QTest::addColumn<QString>("shown");
        const QString first = "1 Gesamtkurve 0 12 Min 111111111 374",
                      second = "2 Gesamtkurve 12 24 Min 111111111 16";
        QTest::newRow("page length") << "O" << u' ' + first;
        QTest::newRow("next") << "O>" << second;
        QTest::newRow("next at the last") << "O>>" << second;
        QTest::newRow("previous") << "O><" << first;
        QTest::newRow("previous at the first") << "O<" << first;
        QTest::newRow("whole record") << "O>W"
                                      << "2 Normalansicht 0 012,5Min 100000011 374";
        QTest::newRow("back to the page") << "O>WW" << second;
    }
    void paging()
    {
        QFETCH(QString, clicks);
        TestApp app;
        const ladomat::sim::Reading frame{.outputMv = 12000, .currentTenthMa = 20000, .status = 2};
        for (int k = 0; k < 750; ++k)
            app.send(frame);
        app.send({.status = 8});
        Formsetgraf* s = app.mdi->setgraf;
        const QList<QAbstractButton*> buttons{s->Option2, s->Command2, s->Command3, s->Command1};
        for (const QChar click : clicks)
            buttons[QString("O<>W").indexOf(click)]->click();
        const Formgrafik* g = app.mdi->grafik;
        const QList<int> red = columnsWithColor(g->Picture1->image(), kRed);
        QTEST(QStringList({s->Text1->text(), s->Command1->text(), g->Text[11]->text(), g->Text[17]->text(),
                           controlStates(*app.mdi), QString::number(red.isEmpty() ? -1 : red.last())})
                  .join(' '),
              "shown");
    }
};

QTEST_MAIN(TestSetgraf)
#include "test_setgraf.moc"
