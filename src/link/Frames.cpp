// The frame chain: reading and decoding a frame, the live values.
#include "link/link.h"

#include "link/Formdatenformat.h"
#include "link/Formtext.h"
#include "link/Framer.h"
#include "platform/NumberText.h"
#include "platform/SerialPort.h"
#include "process/Forms.h"
#include "process/Variabelen.h"

#include <QLineEdit>
#include <QProgressBar>

#include <cmath>

namespace {

Framer lineFramer;
// The complete frame the chain is working on.
QString currentFrame;

// What the data-format window shows of a frame or piece: the characters after the first, up to 30.
QString shownText(const QString& piece) { return piece.mid(1, 30); }

// Sets a bar; false when the value lies outside its range (the bar refuses it).
bool setBar(QProgressBar* bar, int32_t value)
{
    if (value < bar->minimum() || value > bar->maximum())
        return false;
    bar->setValue(value);
    return true;
}

}  // namespace

void FramesEmpfangen(void (*frameChain)())
{
    SerialPort* port = forms.MSComm1;
    const QString text = port->input();
    const std::vector<Arrival> arrivals = port->arrivals();
    // Each run of characters as it came, so that the framer sees the pauses of the line.
    for (size_t k = 0; k < arrivals.size(); ++k) {
        const qsizetype end = k + 1 < arrivals.size() ? arrivals[k + 1].at : text.size();
        const QStringView chars = QStringView(text).mid(arrivals[k].at, end - arrivals[k].at);
        for (const LinePiece& piece : lineFramer.feed(chars, arrivals[k].ms)) {
            if (!piece.complete) {  // shown, but decoded into nothing and recorded nowhere
                forms.datenformat->Text1->setText(shownText(piece.text));
                continue;
            }
            currentFrame = piece.text;
            frameChain();
        }
    }
    // The next event comes as soon as the frame begun can be complete.
    port->setRThreshold(kFrameLength - lineFramer.pending());
}

QString readAwayInput()
{
    SerialPort* port = forms.MSComm1;
    const QString text = port->input();
    lineFramer.reset(port->clockMs());
    port->setRThreshold(kFrameLength);
    return text;
}

void forgetCharger() { lineFramer = Framer(); }

void DatenEinlesen()
{
    const QString frame = shownText(currentFrame);
    forms.datenformat->Text1->setText(frame);
    V->Datensatz = frame;
    V->Ziffer = frameDigits(frame);
}

void DatenWandeln()
{
    static_cast<Messwerte&>(*V) = decodeFrame(V->Ziffer);
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
