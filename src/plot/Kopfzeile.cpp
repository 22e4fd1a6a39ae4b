// The caption painted into the plot: battery notes, scale steps and time span, date.
#include "plot/plot.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "process/Variabelen.h"
#include "process/Forms.h"

#include <QDate>
#include <QLineEdit>

namespace {

// Battery note k (the battery window's Text1 to Text4); empty without the window.
QString akkuText(int k) { return forms.batteryNotes[k - 1] ? forms.batteryNotes[k - 1]->text() : QString(); }

}  // namespace

void KopfzeilenSchreiben()
{
    Formgrafik* grafik = forms.grafik;
    PlotSurface* plot = grafik->Picture1;
    // Printing the old line 1 in the background colour erases it; the points that move the
    // text position are plotted in that colour too.
    const QColor erase = plot->backColor();
    const QColor caption(191, 0, 0);

    plot->setForeColor(erase);
    plot->PSet(50, 170, erase);
    plot->Print(V->AlteKopfzeile);

    plot->PSet(50, 170, erase);
    plot->setForeColor(caption);
    const QString line1 = akkuText(1) + QStringLiteral(" | Nennkap.: ") + akkuText(2) +
        QStringLiteral(" mAh | Zellenzahl : ") + akkuText(3) + QStringLiteral(" (") + akkuText(4) +
        QStringLiteral("V)");
    plot->Print(line1);
    V->AlteKopfzeile = line1;

    plot->PSet(plot->ScaleWidth() - 700, 0, erase);
    plot->setForeColor(caption);
    plot->Print(dateText(QDate::currentDate()));

    plot->PSet(50, 0, erase);
    plot->setForeColor(caption);
    const QString line2 = QStringLiteral("Hor.: ") + grafik->Text[5]->text() + QStringLiteral(" | ") +
        grafik->Text[10]->text() + QStringLiteral(" | ") + grafik->Text[22]->text() +
        QStringLiteral(" je pro 2 Striche") + QStringLiteral(" || Zeit: von ") + grafik->Text[11]->text() +
        QStringLiteral(" bis ") + grafik->Text[17]->text();
    plot->Print(line2);
}
