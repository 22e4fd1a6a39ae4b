// The time axis of the paged view: page length from the time options, labels in minutes.
#include "plot/plot.h"

#include "platform/NumberText.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "process/Variabelen.h"
#include "process/Forms.h"

#include <QLineEdit>
#include <QRadioButton>

void ZeitachseBeschriften()
{
    const Formsetgraf* setgraf = forms.setgraf;
    if (setgraf->Option1->isChecked())
        V->MinProSeite = 6;
    else if (setgraf->Option2->isChecked())
        V->MinProSeite = 12;
    else if (setgraf->Option3->isChecked())
        V->MinProSeite = 21;
    else if (setgraf->Option4->isChecked())
        V->MinProSeite = 30;

    // Minutes at the left edge and between two vertical grid lines, in single precision.
    const float a = (V->Seite - 1) * V->MinProSeite;
    const float d = V->MinProSeite / 6;
    Formgrafik* grafik = forms.grafik;
    for (int m = 0; m <= 5; ++m)
        grafik->Text[11 + m]->setText(localeText(a + m * d, 7));
    grafik->Text[17]->setText(localeText(a + V->MinProSeite, 7) + QStringLiteral(" Min"));
}
