// The frame chain: reading and decoding a frame, the live values.
#include "link/link.h"

#include "link/Formdatenformat.h"
#include "link/Formtext.h"
#include "platform/NumberText.h"
#include "platform/SerialPort.h"
#include "process/Forms.h"
#include "process/Variabelen.h"

#include <QLineEdit>
#include <QProgressBar>

#include <cmath>

namespace {

// Value of one frame character as a hexadecimal digit; anything else counts as 0.
float digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return 0;
}

int32_t field4(int first)
{
    const auto& z = V->Ziffer;
    return static_cast<int32_t>(4096 * z[first] + 256 * z[first + 1] + 16 * z[first + 2] + z[first + 3]);
}

// Sets a bar; false when the value lies outside its range (the bar refuses it).
bool setBar(QProgressBar* bar, int32_t value)
{
    if (value < bar->minimum() || value > bar->maximum())
        return false;
    bar->setValue(value);
    return true;
}

}  // namespace

void DatenEinlesen()
{
    const QString read = forms.MSComm1->input();
    const QString frame = read.mid(1, 30);
    forms.datenformat->Text1->setText(frame);
    V->Datensatz = frame;
    for (int k = 1; k <= 30; ++k)
        V->Ziffer[k] = k <= frame.size() ? digitValue(frame.at(k - 1)) : 0;
}

void DatenWandeln()
{
    const auto& z = V->Ziffer;
    V->Modus = QString::number(static_cast<int>(16 * z[3] + z[4]));
    V->Zyklus = static_cast<int16_t>(16 * z[5] + z[6]);
    V->UEin = field4(7);
    V->UAus = field4(11);
    V->IAus = field4(15);
    V->Kapazitaet = field4(19);
    V->StatusNr = static_cast<int16_t>(16 * z[23] + z[24]);
    // A full store takes no further frames; nothing is ever written outside it.
    const long n = std::lround(V->MessNr);
    if (n >= 1 && n <= kStoreSize) {
        V->KurveU[n] = static_cast<float>(V->UAus);
        V->KurveI[n] = static_cast<float>(V->IAus);
        V->KurveQ[n] = static_cast<float>(V->Kapazitaet);
    }
}

void WerteAnzeigen()
{
    Formtext* f = forms.text;
    f->Text2->setText(blankText(V->UEin / 1000.0) + QStringLiteral(" V"));
    f->Text3->setText(blankText(V->UAus / 1000.0) + QStringLiteral(" V"));
    f->Text4->setText(blankText(V->IAus / 10.0) + QStringLiteral(" mA"));
    f->Text5->setText(blankText(V->Kapazitaet) + QStringLiteral(" mAh"));
    f->Text7->setText(blankText(V->Modus.toDouble()));
    f->Text8->setText(blankText(V->Zyklus));
    f->Text9->setText(blankText(V->MessNr));
    if (!setBar(f->ProgressBar1, V->UEin) || !setBar(f->ProgressBar2, V->UAus) ||
        !setBar(f->ProgressBar3, V->IAus) || !setBar(f->ProgressBar4, V->Kapazitaet)) {
        f->ProgressBar1->setValue(0);
        f->ProgressBar2->setValue(0);
        f->ProgressBar3->setValue(0);
        f->ProgressBar4->setValue(0);
    }
}
