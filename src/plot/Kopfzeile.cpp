// The caption painted into the plot: battery notes, scale steps and time span, date.
#include "plot/Formgrafik.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"

#include <QLineEdit>

void Formgrafik::KopfzeilenSchreiben(const BatteryNotes& notes, const QDate& date)
{
    PlotSurface* plot = Picture1;
    // Printing the old line 1 in the background colour erases it; the points that move the
    // text position are plotted in that colour too.
    const QColor erase = plot->backColor();
    const QColor caption(191, 0, 0);

    plot->setForeColor(erase);
    plot->PSet(50, 170, erase);
    plot->Print(view.AlteKopfzeile);

    plot->PSet(50, 170, erase);
    plot->setForeColor(caption);
    const QString line1 = notes[0] + QStringLiteral(" | Nennkap.: ") + notes[1] +
        QStringLiteral(" mAh | Zellenzahl : ") + notes[2] + QStringLiteral(" (") + notes[3] +
        QStringLiteral("V)");
    plot->Print(line1);
    view.AlteKopfzeile = line1;

    plot->PSet(plot->ScaleWidth() - 700, 0, erase);
    plot->setForeColor(caption);
    plot->Print(dateText(date));

    plot->PSet(50, 0, erase);
    plot->setForeColor(caption);
    const QString line2 = QStringLiteral("Hor.: ") + Text[5]->text() + QStringLiteral(" | ") +
        Text[10]->text() + QStringLiteral(" | ") + Text[22]->text() + QStringLiteral(" je pro 2 Striche") +
        QStringLiteral(" || Zeit: von ") + Text[11]->text() + QStringLiteral(" bis ") + Text[17]->text();
    plot->Print(line2);
}
