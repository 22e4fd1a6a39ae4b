// The caption painted into the plot: its three texts, and the erase of the previous line 1.
#include "TestSupport.h"

#include "export/Formakku.h"
#include "link/Formtext.h"
#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "plot/plot.h"
#include "process/Variabelen.h"
#include "shell/Forms.h"

#include <QDate>
#include <QLineEdit>
#include <QtTest>

namespace {

const QColor kCaptionRed(191, 0, 0);

// The plot's windows and the battery window registered as the main window registers them,
// with the start-up value labels.
struct CaptionWindows {
    CaptionWindows()
    {
        V = &vars;
        forms.text = &text;
        forms.setgraf = &setgraf;
        forms.grafik = &grafik;
        forms.akku = &akku;
        grafik.resize(680, 544);
        grafik.Form_Resize();
        grafik.Text[5]->setText(QStringLiteral("12,0V"));
        grafik.Text[10]->setText(QStringLiteral("1,00A"));
    }
    ~CaptionWindows()
    {
        forms = Forms{};
        V = nullptr;
    }
    PlotSurface* plot() const { return grafik.Picture1; }

    Variabelen vars;
    Formtext text;
    Formsetgraf setgraf;
    Formgrafik grafik;
    Formakku akku;
};

void setNotes(Formakku& akku, const QStringList& notes)
{
    akku.Text1->setText(notes[0]);
    akku.Text2->setText(notes[1]);
    akku.Text3->setText(notes[2]);
    akku.Text4->setText(notes[3]);
}

// The picture the caption must give on a cleared plot: the three texts printed in dark red,
// each from its top left corner.
QImage expectedCaption(PlotSurface* plot, const QString& line1, const QString& line2)
{
    const QImage saved = plot->image().copy();
    const QColor pen = plot->foreColor();
    plot->Cls();
    plot->setForeColor(kCaptionRed);
    plot->CurrentX = 50;
    plot->CurrentY = 170;
    plot->Print(line1);
    plot->CurrentX = plot->ScaleWidth() - 700;
    plot->CurrentY = 0;
    plot->Print(QDate::currentDate().toString(QStringLiteral("dd.MM.yy")));
    plot->CurrentX = 50;
    plot->CurrentY = 0;
    plot->Print(line2);
    const QImage expected = plot->image().copy();
    plot->setForeColor(pen);
    return expected;
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

}  // namespace

class TestPlotCaption : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void captionTexts_data();
    void captionTexts();
    void newLine1ReplacesTheOldOne();
};

void TestPlotCaption::captionTexts_data()
{
    QTest::addColumn<QStringList>("notes");  // name, capacity, cells, voltage; empty: no window
    QTest::addColumn<bool>("wholeRecord");
    QTest::addColumn<QString>("line1");
    QTest::addColumn<QString>("line2");
    const QString startLine2 = QStringLiteral("Hor.: 12,0V | 1,00A | 600mAh je pro 2 Striche || Zeit: von 0 bis 12 Min");
    QTest::newRow("battery notes") << QStringList{"Akku 1", "1700", "6", "7,2"} << false
                                   << "Akku 1 | Nennkap.: 1700 mAh | Zellenzahl : 6 (7,2V)" << startLine2;
    QTest::newRow("empty notes") << QStringList{"", "", "", ""} << false
                                 << " | Nennkap.:  mAh | Zellenzahl :  (V)" << startLine2;
    QTest::newRow("no battery window") << QStringList{} << false << " | Nennkap.:  mAh | Zellenzahl :  (V)"
                                       << startLine2;
    QTest::newRow("whole record of 900 samples")
        << QStringList{"NiMH", "2000", "8", "9,6"} << true << "NiMH | Nennkap.: 2000 mAh | Zellenzahl : 8 (9,6V)"
        << "Hor.: 12,0V | 1,00A | 600mAh je pro 2 Striche || Zeit: von 0 bis 015,0Min";
}

void TestPlotCaption::captionTexts()
{
    QFETCH(QStringList, notes);
    QFETCH(bool, wholeRecord);
    QFETCH(QString, line1);
    QFETCH(QString, line2);
    CaptionWindows windows;
    if (notes.isEmpty())
        forms.akku = nullptr;
    else
        setNotes(windows.akku, notes);
    if (wholeRecord) {
        windows.vars.MessAnzahl = 900;
        GesamtkurveZeichnen();
    }
    windows.plot()->Cls();
    KopfzeilenSchreiben();

    QCOMPARE(windows.vars.AlteKopfzeile, line1);
    QCOMPARE(windows.plot()->foreColor(), kCaptionRed);
    const QImage drawn = windows.plot()->image().copy();
    QVERIFY(countColor(drawn, kCaptionRed) > 0);
    QCOMPARE(differingPixels(drawn, expectedCaption(windows.plot(), line1, line2)), 0);
}

void TestPlotCaption::newLine1ReplacesTheOldOne()
{
    CaptionWindows windows;
    // The erase must not rely on a background that happens to be the old erase grey.
    QVERIFY(windows.plot()->backColor() != QColor(191, 191, 191));
    windows.plot()->Cls();
    setNotes(windows.akku, {"Akku 1", "1700", "6", "7,2"});
    KopfzeilenSchreiben();
    const QImage first = windows.plot()->image().copy();

    setNotes(windows.akku, {"Bleiakku rechts", "2500", "3", "6,0"});
    KopfzeilenSchreiben();
    const QString line1 = QStringLiteral("Bleiakku rechts | Nennkap.: 2500 mAh | Zellenzahl : 3 (6,0V)");
    QCOMPARE(windows.vars.AlteKopfzeile, line1);
    const QImage drawn = windows.plot()->image().copy();
    const QImage expected = expectedCaption(
        windows.plot(), line1, QStringLiteral("Hor.: 12,0V | 1,00A | 600mAh je pro 2 Striche || Zeit: von 0 bis 12 Min"));
    // Not a pixel of the old line 1 stays, in the caption colour or any other.
    QVERIFY(differingPixels(first, expected) > 0);
    QCOMPARE(differingPixels(drawn, expected), 0);
}

QTEST_MAIN(TestPlotCaption)
#include "test_plot_caption.moc"
