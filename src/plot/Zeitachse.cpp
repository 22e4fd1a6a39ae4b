// The time axis of the paged view: page length from the time option, labels in minutes.
#include "plot/Formgrafik.h"

#include "platform/NumberText.h"

#include <QLineEdit>

void Formgrafik::ZeitachseBeschriften()
{
    view.MinProSeite = view.chosenMinutes;
    const std::array<float, 7> minutes = pageMinutes(view);
    for (int m = 0; m <= 5; ++m)
        Text[11 + m]->setText(localeText(minutes[m], 7));
    Text[17]->setText(localeText(minutes[6], 7) + QStringLiteral(" Min"));
}
