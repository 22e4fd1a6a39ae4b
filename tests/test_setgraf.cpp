// The graph settings handlers in the running program: scales and their labels, the value bars by
// mouse, the curves shown, page length, paging through a finished record and the whole-record view.
#include "ProcessScript.h"

#include "platform/PlotSurface.h"

#include <QCheckBox>
#include <QLineEdit>
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

    void barsAndPageLength()
    {
        // Clicks on the voltage scale bar and the battery window's cells bar, each followed by the voltage
        // scale's top label and the battery's volts: 0 and 1 the arrows, 2 and 3 the track left and right
        // of the small thumb. Each scale bar writes its five labels, top to bottom, and its scale, 21/20
        // of the top label. After a run that ended before its first sample, given the record's end: each
        // time option counts the pages of its length and shows the first (page, last page, last label).
        TestApp app;
        Formsetgraf* s = app.mdi->setgraf;
        Formgrafik* g = app.mdi->grafik;
        const QStyle::SubControl parts[] = {QStyle::SC_ScrollBarSubLine, QStyle::SC_ScrollBarAddLine,
                                            QStyle::SC_ScrollBarSubPage, QStyle::SC_ScrollBarAddPage};
        QStringList seen;
        for (auto [bar, clicks] : {std::pair(s->HScroll1, "02231"), {app.mdi->akku->HScroll1, "13320"}}) {
            for (const QChar c : QString(clicks)) {
                QTest::mouseClick(bar, Qt::LeftButton, {},
                                  scrollBarPart(bar, parts[c.digitValue()]).center());
                seen << g->Text[1]->text() + ' ' + app.mdi->akku->Text4->text();
            }
        }
        s->HScroll1->setValue(2);
        s->HScroll2->setValue(4);
        s->HScroll3->setValue(6);
        for (int field : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 18, 19, 20, 21, 22})
            seen << g->Text[field]->text();
        seen << QString::asprintf("%g %g %g", g->view.SkalaU, g->view.SkalaI, g->view.SkalaQ);
        app.send({.status = 8});
        for (const QString& step : QString("2 720|2 721|3 2521|1 721|4 1801|2 0").split('|')) {
            app.session().Messreihe.MessAnzahl = step.section(' ', 1).toFloat();
            g->view.Seite = 2;
            s->findChild<QRadioButton*>("Option" + step.section(' ', 0, 0))->click();
            seen << QString::asprintf("%g %g ", g->view.Seite, g->view.LetzteSeite) + g->Text[17]->text();
        }
        QCOMPARE(seen.join('|'),
                 "58,0V 7,2|48,0V 7,2|38,0V 7,2|48,0V 7,2|50,0V 7,2|50,0V 8,4|50,0V 14,4|"
                 "50,0V 20,4|50,0V 14,4|50,0V 13,2|"
                 "2,0V|1,6V|1,2V|0,8V|0,4V|0,20A|0,16A|0,12A|0,08A|0,04A|"
                 "180mAh|144mAh|108mAh|72mAh|36mAh|2100 2100 189|"
                 "1 1 12 Min|1 2 12 Min|1 3 21 Min|1 3 6 Min|1 2 30 Min|1 1 12 Min");
    }

    void runPagesAndViews()
    {
        // During a run, curve boxes and scales redraw the live page at once and recording goes on: at
        // 12 V full scale 12.0 V lies on the top label's line. 750 samples, their end 751: two pages of
        // 12 minutes on 375 columns. Page 1 fills the width; page 2 starts at sample 720 and ends in
        // column 16 (32 of 720), where the current, drawn last, ends. The whole record (12.5 minutes)
        // spans the width; only its button is usable there. Back from it, page 2 shows as it was left.
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

        app.send({.status = 8});
        // After each click: Text1, the view button, first and last time label, the locks, the current's end.
        const QString first = "1 Gesamtkurve 0 12 Min 111111111 374",
                      second = "2 Gesamtkurve 12 24 Min 111111111 16";
        const QStringList expected{
            " 1 Gesamtkurve 0 12 Min 111111111 374",    second, second, first, first, second,
            "2 Normalansicht 0 012,5Min 100000011 374", second};
        const QList<QAbstractButton*> buttons{s->Option2, s->Command2, s->Command3, s->Command1};
        for (int k = 0; k < expected.size(); ++k) {
            buttons[QString("O<>W").indexOf(QString("O>><<>WW")[k])]->click();
            QCOMPARE(QStringList({s->Text1->text(), s->Command1->text(), app.mdi->grafik->Text[11]->text(),
                                  app.mdi->grafik->Text[17]->text(), locks(app),
                                  QString::number(columnsWithColor(plot->image(), kRed).last())})
                         .join(' '),
                     expected[k]);
        }
    }
};

QTEST_MAIN(TestSetgraf)
#include "test_setgraf.moc"
