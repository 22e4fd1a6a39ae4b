// The live value window: its layout and the reading it shows.
#include "link/Formtext.h"

#include "platform/NumberText.h"
#include "platform/ReadOnlyField.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, double left, double top, double width)
{
    return placeTwips(new QLabel(text, parent), name, left, top, width, 255);
}

QLineEdit* valueField(QWidget* parent, const char* name, double left, double top, double width)
{
    auto* field = placeTwips(new QLineEdit(parent), name, left, top, width, 285);
    makeReadOnly(field);
    field->setFocusPolicy(Qt::NoFocus);
    return field;
}

QProgressBar* bar(QWidget* parent, const char* name, int maximum, double top)
{
    auto* bar = placeTwips(new QProgressBar(parent), name, 3240, top, 1815, 255);
    bar->setRange(0, maximum);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
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

Formtext::Formtext(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Formtext"));
    setFixedSize(twipsToPixels(5655), twipsToPixels(2895));

    label(this, "Label1", QStringLiteral("Eingangsspannung"), 120, 120, 1500);
    label(this, "Label2", QStringLiteral("Ausgangsspannung"), 120, 480, 1500);
    label(this, "Label3", QStringLiteral("Ausgangsstrom"), 120, 840, 1500);
    label(this, "Label4", QStringLiteral("aktuelle Kapazität"), 120, 1200, 1500);
    Text2 = valueField(this, "Text2", 1680, 120, 975);
    Text3 = valueField(this, "Text3", 1680, 480, 975);
    Text4 = valueField(this, "Text4", 1680, 840, 975);
    Text5 = valueField(this, "Text5", 1680, 1200, 975);
    label(this, "Label5", QStringLiteral("0 V"), 2760, 120, 480);
    label(this, "Label7", QStringLiteral("0 V"), 2760, 480, 480);
    label(this, "Label8", QStringLiteral("0 A"), 2760, 840, 480);
    label(this, "Label9", QStringLiteral("0 mAh"), 2760, 1200, 480);
    ProgressBar1 = bar(this, "ProgressBar1", 17000, 120);
    ProgressBar2 = bar(this, "ProgressBar2", 60000, 480);
    ProgressBar3 = bar(this, "ProgressBar3", 50000, 840);
    ProgressBar4 = bar(this, "ProgressBar4", 3000, 1200);
    label(this, "Label10", QStringLiteral("17 V"), 5160, 120, 480);
    label(this, "Label11", QStringLiteral("60 V"), 5160, 480, 480);
    label(this, "Label12", QStringLiteral("5 A"), 5160, 840, 480);
    label(this, "Label13", QStringLiteral("3 Ah"), 5160, 1200, 480);

    label(this, "Label14", QStringLiteral("Modus"), 120, 1680, 1500);
    Text7 = valueField(this, "Text7", 1680, 1680, 3855);
    label(this, "Label15", QStringLiteral("Cycle"), 120, 2040, 1500);
    Text8 = valueField(this, "Text8", 1680, 2040, 855);
    Text10 = valueField(this, "Text10", 2640, 2040, 615);
    label(this, "Label16", QStringLiteral("Serial-Nr."), 3360, 2040, 1080);
    Text9 = valueField(this, "Text9", 4440, 2040, 1095);
    label(this, "Label6", QStringLiteral("Status"), 120, 2520, 1500);
    Text6 = valueField(this, "Text6", 1680, 2520, 3855);
}

void Formtext::WerteAnzeigen(const Messwerte& werte, float messNr)
{
    Text2->setText(blankText(werte.UEin / 1000.0) + QStringLiteral(" V"));
    Text3->setText(blankText(werte.UAus / 1000.0) + QStringLiteral(" V"));
    Text4->setText(blankText(werte.IAus / 10.0) + QStringLiteral(" mA"));
    Text5->setText(blankText(werte.Kapazitaet) + QStringLiteral(" mAh"));
    Text7->setText(blankText(werte.Modus.toDouble()));
    Text8->setText(blankText(werte.Zyklus));
    Text9->setText(blankText(messNr));
    if (!setBar(ProgressBar1, werte.UEin) || !setBar(ProgressBar2, werte.UAus) ||
        !setBar(ProgressBar3, werte.IAus) || !setBar(ProgressBar4, werte.Kapazitaet)) {
        ProgressBar1->setValue(0);
        ProgressBar2->setValue(0);
        ProgressBar3->setValue(0);
        ProgressBar4->setValue(0);
    }
}
