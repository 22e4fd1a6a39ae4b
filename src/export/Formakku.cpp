// The battery window: battery notes, nominal voltage from the cell count, start date and
// the message field the charge process writes to.
#include "export/Formakku.h"

#include "platform/NumberText.h"
#include "platform/ReadOnlyField.h"
#include "platform/Twips.h"
#include "platform/ValueScrollBar.h"

#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

const QColor kMessageRed(192, 0, 0);

void addLabel(QWidget* parent, const char* name, const QString& text, double left, double top, double width)
{
    placeTwips(new QLabel(text, parent), name, left, top, width, 255);
}

QLineEdit* addField(QWidget* parent, const char* name, double left, double top, double width)
{
    auto* field = placeTwips(new QLineEdit(parent), name, left, top, width, 285);
    field->setAlignment(Qt::AlignCenter);
    return field;
}

}  // namespace

Formakku::Formakku(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Formakku"));
    resize(twipsToPixels(3255), twipsToPixels(3480));

    addLabel(this, "Label6", QStringLiteral("Name"), 120, 120, 1335);
    addLabel(this, "Label3", QStringLiteral("Nennkapazität"), 120, 480, 1335);
    addLabel(this, "Label4", QStringLiteral("Zellenanzahl"), 120, 840, 1335);
    addLabel(this, "Label5", QStringLiteral("Nennspannung"), 120, 1200, 1335);
    addLabel(this, "Label1", QStringLiteral("Lade-Datum"), 120, 1560, 1335);
    addLabel(this, "Label7", QStringLiteral("mAh"), 2760, 480, 480);
    addLabel(this, "Label9", QStringLiteral("Zellen"), 2760, 840, 480);
    addLabel(this, "Label8", QStringLiteral("Volt"), 2760, 1200, 480);

    Text1 = addField(this, "Text1", 1560, 120, 1575);
    Text1->setMaxLength(15);
    Text1->setText(QStringLiteral("?"));
    Text2 = addField(this, "Text2", 1560, 480, 1095);
    Text2->setMaxLength(4);
    Text2->setText(QStringLiteral("?"));

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(1, 30);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(5);
    HScroll1->setValue(6);
    useValueThumb(HScroll1);
    placeTwips(HScroll1, 1560, 840, 615, 255);

    Text3 = addField(this, "Text3", 2280, 840, 375);
    Text3->setMaxLength(2);
    makeReadOnly(Text3);
    Text4 = addField(this, "Text4", 1560, 1200, 1095);
    makeReadOnly(Text4);
    Text6 = addField(this, "Text6", 1560, 1560, 1575);
    makeReadOnly(Text6);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    placeTwips(line, 120, 1905, 3000, 30);  // two pixels centred on y = 1920

    Text7 = new MessageField(this);
    Text7->setObjectName(QStringLiteral("Text7"));
    Text7->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette palette = Text7->palette();
    palette.setColor(QPalette::Text, kMessageRed);
    Text7->setPalette(palette);
    placeTwips(Text7, 120, 2040, 3015, 1335);

    connect(HScroll1, &QScrollBar::valueChanged, this, &Formakku::HScroll1_Change);
}

void Formakku::Form_Load()
{
    HScroll1_Change();
    Text6->setText(dateText(QDate::currentDate()));
}

void Formakku::HScroll1_Change()
{
    const int cells = HScroll1->value();
    Text3->setText(QString::number(cells));
    Text4->setText(localeText(cells * 1.2));
}

std::array<QString, 4> Formakku::notes() const
{
    return {Text1->text(), Text2->text(), Text3->text(), Text4->text()};
}

void Formakku::showLinkAlarm(const QString& alarm)
{
    if (Text7->text().isEmpty())
        Text7->setText(alarm);
}
