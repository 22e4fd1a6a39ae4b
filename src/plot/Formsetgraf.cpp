// The graph settings window: its controls, their places and start states, and its handlers.
#include "plot/Formsetgraf.h"

#include "platform/NumberText.h"
#include "platform/ReadOnlyField.h"
#include "platform/Twips.h"
#include "platform/ValueScrollBar.h"
#include "plot/Formgrafik.h"
#include "plot/Kurven.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace {

// A check box whose grey state (Value 2) is set only by the program: a click toggles
// between unticked and ticked, also from grey.
class CurveCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
    }
};

void setTextColor(QWidget* control, const QColor& color)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::ButtonText, color);
    control->setPalette(palette);
}

QCheckBox* checkBox(QWidget* frame, const char* name, const QString& text, const QColor& color,
                    Qt::CheckState state, double top, double width)
{
    auto* box = placeTwips(new CurveCheckBox(text, frame), name, 120, top, width, 195);
    setTextColor(box, color);
    box->setCheckState(state);
    return box;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, double left, double top, double width,
              double height)
{
    return placeTwips(new QLabel(text, parent), name, left, top, width, height);
}

QScrollBar* scrollBar(QWidget* parent, const char* name, int maximum, double top)
{
    auto* bar = placeTwips(new QScrollBar(Qt::Horizontal, parent), name, 1920, top, 855, 255);
    bar->setRange(2, maximum);
    bar->setValue(maximum);
    bar->setSingleStep(2);
    bar->setPageStep(10);
    useValueThumb(bar);
    // The scale changes when the user lets go of the thumb, not at every step of a drag.
    bar->setTracking(false);
    return bar;
}

}  // namespace

Formsetgraf::Formsetgraf(Formgrafik* grafik, QWidget* parent)
    : QWidget(parent)
    , grafik_(grafik)
{
    setObjectName(QStringLiteral("Formsetgraf"));
    setFixedSize(twipsToPixels(2895), twipsToPixels(3435));
    // The captions must fit the fixed twips places.
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);

    Command1 =
        placeTwips(new QPushButton(QStringLiteral("Gesamtkurve"), this), "Command1", 120, 120, 1575, 375);

    Frame1 = placeTwips(new QGroupBox(QStringLiteral("Graphen"), this), "Frame1", 120, 600, 1575, 1095);
    Check1 = checkBox(Frame1, "Check1", QStringLiteral("Spannung"), kVoltageColor, Qt::Checked, 280, 1095);
    Check2 = checkBox(Frame1, "Check2", QStringLiteral("Strom"), kCurrentColor, Qt::Checked, 520, 975);
    Check3 = checkBox(Frame1, "Check3", QStringLiteral("Ladung"), kCapacityColor, Qt::Unchecked, 760, 975);

    Label3 = label(this, "Label3", QStringLiteral("U - Achse"), 1920, 0, 855, 255);
    setTextColor(Label3, kVoltageColor);
    HScroll1 = scrollBar(this, "HScroll1", 60, 240);
    Label4 = label(this, "Label4", QStringLiteral("I - Achse"), 1920, 600, 855, 255);
    setTextColor(Label4, kCurrentColor);
    HScroll2 = scrollBar(this, "HScroll2", 100, 840);
    Label2 = label(this, "Label2", QStringLiteral("Q - Achse"), 1920, 1200, 735, 225);
    setTextColor(Label2, kCapacityColor);
    HScroll3 = scrollBar(this, "HScroll3", 100, 1440);

    Frame2 =
        placeTwips(new QGroupBox(QStringLiteral("Zeiteinstelllung"), this), "Frame2", 120, 1800, 2655, 855);
    Option1 = placeTwips(new QRadioButton(QStringLiteral("6 Min."), Frame2), "Option1", 120, 300, 1215, 195);
    Option2 = placeTwips(new QRadioButton(QStringLiteral("12 Min."), Frame2), "Option2", 120, 600, 1335, 195);
    Option3 =
        placeTwips(new QRadioButton(QStringLiteral("21 Min."), Frame2), "Option3", 1440, 300, 1095, 195);
    Option4 =
        placeTwips(new QRadioButton(QStringLiteral("30 Min."), Frame2), "Option4", 1440, 600, 1095, 195);
    Option2->setChecked(true);

    Line1 = placeTwips(new QFrame(this), "Line1", 120, 2760, 2640, 30);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    Label1 = label(this, "Label1", QStringLiteral("Seiten scrollen"), 120, 2880, 1335, 255);
    Command2 = placeTwips(new QPushButton(QStringLiteral("<"), this), "Command2", 120, 3120, 735, 255);
    Command3 = placeTwips(new QPushButton(QStringLiteral(">"), this), "Command3", 960, 3120, 735, 255);
    Label5 = label(this, "Label5", QStringLiteral("akt. Seite"), 1920, 2880, 855, 255);

    // Shows the page; the user may type into it, which changes nothing.
    Text1 = placeTwips(new QLineEdit(this), "Text1", 1920, 3120, 855, 285);
    makeGrey(Text1);
    // The graph's view follows the curve boxes and the time options, whoever sets them.
    GraphView& view = grafik_->view;
    const std::array<QCheckBox*, 3> boxes{Check1, Check2, Check3};
    for (std::size_t k = 0; k < boxes.size(); ++k) {
        view.shown[k] = checkValue(boxes[k]) == 1;
        connect(boxes[k], &QCheckBox::stateChanged, this,
                [&view, k, box = boxes[k]] { view.shown[k] = checkValue(box) == 1; });
    }
    const std::pair<QRadioButton*, float> options[] = {
        {Option1, 6}, {Option2, 12}, {Option3, 21}, {Option4, 30}};
    for (const auto& [option, minutes] : options) {
        if (option->isChecked())
            view.chosenMinutes = minutes;
        connect(option, &QRadioButton::toggled, this, [&view, m = minutes](bool on) {
            if (on)
                view.chosenMinutes = m;
        });
    }
    // The live page shown: its number here.
    connect(grafik_, &Formgrafik::livePageShown, this,
            [this](float, float letzteSeite) { Text1->setText(plainText(letzteSeite)); });

    // Connected once the start states are set: those are no user changes.
    connect(HScroll1, &QScrollBar::valueChanged, this, &Formsetgraf::HScroll1_Change);
    connect(HScroll2, &QScrollBar::valueChanged, this, &Formsetgraf::HScroll2_Change);
    connect(HScroll3, &QScrollBar::valueChanged, this, &Formsetgraf::HScroll3_Change);
    connect(Check1, &QCheckBox::clicked, this, &Formsetgraf::Check1_Click);
    connect(Check2, &QCheckBox::clicked, this, &Formsetgraf::Check2_Click);
    connect(Check3, &QCheckBox::clicked, this, &Formsetgraf::Check3_Click);
    connect(Command1, &QPushButton::clicked, this, &Formsetgraf::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Formsetgraf::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Formsetgraf::Command3_Click);
    connect(Option1, &QRadioButton::clicked, this, &Formsetgraf::Option1_Click);
    connect(Option2, &QRadioButton::clicked, this, &Formsetgraf::Option2_Click);
    connect(Option3, &QRadioButton::clicked, this, &Formsetgraf::Option3_Click);
    connect(Option4, &QRadioButton::clicked, this, &Formsetgraf::Option4_Click);
}

// Each scale is 21/20 of its top label, in the store's units (mV, 0.1 mA, mAh).
void Formsetgraf::writeValueLabels(int topField, double step, const QString& pattern, const QString& unit)
{
    for (int k = 5; k >= 1; --k)
        grafik_->Text[topField + 5 - k]->setText(patternText(k * step, pattern) + unit);
}

void Formsetgraf::HScroll1_Change()
{
    writeValueLabels(1, HScroll1->value() / 5.0, QStringLiteral("0.0"), QStringLiteral("V"));
    grafik_->view.SkalaU = HScroll1->value() * 63000.0f / 60;
    grafik_->redraw();
}

void Formsetgraf::HScroll2_Change()
{
    writeValueLabels(6, HScroll2->value() / 100.0, QStringLiteral("0.00"), QStringLiteral("A"));
    grafik_->view.SkalaI = HScroll2->value() * 52500.0f / 100;
    grafik_->redraw();
}

void Formsetgraf::HScroll3_Change()
{
    writeValueLabels(18, HScroll3->value() * 6.0, QStringLiteral("0"), QStringLiteral("mAh"));
    grafik_->view.SkalaQ = HScroll3->value() * 3150.0f / 100;
    grafik_->redraw();
}

void Formsetgraf::Check1_Click() { grafik_->redraw(); }

void Formsetgraf::Check2_Click() { grafik_->redraw(); }

void Formsetgraf::Check3_Click() { grafik_->redraw(); }

void Formsetgraf::Command1_Click()
{
    GraphView& view = grafik_->view;
    view.Gesamtansicht = !view.Gesamtansicht;
    if (view.Gesamtansicht) {
        Command1->setText(QStringLiteral("Normalansicht"));
        grafik_->GesamtkurveZeichnen(grafik_->record());
        enablePageControls(false);
    } else {
        // Seite, Text1 and the time labels stay with the page that was shown before.
        Command1->setText(QStringLiteral("Gesamtkurve"));
        grafik_->SeiteZeichnen(grafik_->record(), pageStart(view, view.Seite));
        enablePageControls(true);
    }
}

void Formsetgraf::Command2_Click()
{
    GraphView& view = grafik_->view;
    view.Seite = previousPage(view);
    Text1->setText(plainText(view.Seite));
    grafik_->SeiteZeichnen(grafik_->record(), pageStart(view, view.Seite));
}

void Formsetgraf::Command3_Click()
{
    GraphView& view = grafik_->view;
    view.Seite = nextPage(view);
    Text1->setText(plainText(view.Seite));
    grafik_->SeiteZeichnen(grafik_->record(), pageStart(view, view.Seite));
}

void Formsetgraf::Option1_Click() { showPageLength(6); }

void Formsetgraf::Option2_Click() { showPageLength(12); }

void Formsetgraf::Option3_Click() { showPageLength(21); }

void Formsetgraf::Option4_Click() { showPageLength(30); }

// Counts the pages of the given length and shows the first. MinProSeite follows the selected
// option when the page is drawn.
void Formsetgraf::showPageLength(float minutes)
{
    GraphView& view = grafik_->view;
    view.LetzteSeite = pagesFor(grafik_->record().MessAnzahl, minutes);
    view.Seite = 1;
    Text1->setText(blankText(view.Seite));
    grafik_->SeiteZeichnen(grafik_->record(), 1);
}

// The whole-record view has no pages: its button stays usable, the page controls do not.
void Formsetgraf::enablePageControls(bool enabled)
{
    Command1->setEnabled(true);
    setPageControlsEnabled(enabled);
}

void Formsetgraf::setPageControlsEnabled(bool enabled)
{
    for (QWidget* control :
         std::initializer_list<QWidget*>{Command2, Command3, Option1, Option2, Option3, Option4})
        control->setEnabled(enabled);
}

void Formsetgraf::setControlsLocked(bool locked)
{
    Command1->setEnabled(!locked);
    setPageControlsEnabled(!locked);
}

void Formsetgraf::recordEnded(ChargeSession::EndReason reason)
{
    // A stop at the charger unlocks all controls, as the ready state does.
    if (reason != ChargeSession::EndReason::stopped && grafik_->view.Gesamtansicht)
        setPageControlsEnabled(false);
}

int checkValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}
