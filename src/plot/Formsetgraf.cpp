// The graph settings window's controls, their places and start states.
#include "plot/Formsetgraf.h"

#include "platform/Twips.h"
#include "plot/Curves.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace {

// A check box whose grey state (Value 2) is set only by the program: a click toggles
// between unticked and ticked, also from grey.
class CurveCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override { setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked); }
};

template <typename Control>
Control* place(Control* control, const char* name, double left, double top, double width, double height)
{
    control->setObjectName(QLatin1String(name));
    placeTwips(control, left, top, width, height);
    return control;
}

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
    auto* box = place(new CurveCheckBox(text, frame), name, 120, top, width, 195);
    setTextColor(box, color);
    box->setCheckState(state);
    return box;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, double left, double top, double width,
              double height)
{
    return place(new QLabel(text, parent), name, left, top, width, height);
}

QScrollBar* scrollBar(QWidget* parent, const char* name, int maximum, double top)
{
    auto* bar = place(new QScrollBar(Qt::Horizontal, parent), name, 1920, top, 855, 255);
    bar->setRange(2, maximum);
    bar->setValue(maximum);
    bar->setSingleStep(2);
    bar->setPageStep(10);
    return bar;
}

}  // namespace

Formsetgraf::Formsetgraf(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Formsetgraf"));
    setFixedSize(twipsToPixels(2895), twipsToPixels(3435));
    // The captions must fit the fixed twips places.
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);

    Command1 = place(new QPushButton(QStringLiteral("Gesamtkurve"), this), "Command1", 120, 120, 1575, 375);

    Frame1 = place(new QGroupBox(QStringLiteral("Graphen"), this), "Frame1", 120, 600, 1575, 1095);
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

    Frame2 = place(new QGroupBox(QStringLiteral("Zeiteinstelllung"), this), "Frame2", 120, 1800, 2655, 855);
    Option1 = place(new QRadioButton(QStringLiteral("6 Min."), Frame2), "Option1", 120, 300, 1215, 195);
    Option2 = place(new QRadioButton(QStringLiteral("12 Min."), Frame2), "Option2", 120, 600, 1335, 195);
    Option3 = place(new QRadioButton(QStringLiteral("21 Min."), Frame2), "Option3", 1440, 300, 1095, 195);
    Option4 = place(new QRadioButton(QStringLiteral("30 Min."), Frame2), "Option4", 1440, 600, 1095, 195);
    Option2->setChecked(true);

    Line1 = place(new QFrame(this), "Line1", 120, 2760, 2640, 30);
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    Label1 = label(this, "Label1", QStringLiteral("Seiten scrollen"), 120, 2880, 1335, 255);
    Command2 = place(new QPushButton(QStringLiteral("<"), this), "Command2", 120, 3120, 735, 255);
    Command3 = place(new QPushButton(QStringLiteral(">"), this), "Command3", 960, 3120, 735, 255);
    Label5 = label(this, "Label5", QStringLiteral("akt. Seite"), 1920, 2880, 855, 255);

    Text1 = place(new QLineEdit(this), "Text1", 1920, 3120, 855, 285);
    Text1->setReadOnly(true);
    QPalette palette = Text1->palette();
    palette.setColor(QPalette::Base, QColor(224, 224, 224));
    Text1->setPalette(palette);
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
