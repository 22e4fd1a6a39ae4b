// The port settings window: shows the fixed line parameters, applies the chosen port.
#include "shell/Formeinstell.h"

#include "platform/Dialogs.h"
#include "platform/PortNames.h"
#include "platform/ReadOnlyField.h"
#include "platform/SerialPort.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& caption, double left, double top,
              double width, double height)
{
    return placeTwips(new QLabel(caption, parent), name, left, top, width, height);
}

QLineEdit* field(QWidget* parent, const char* name, const QString& text, double top)
{
    auto* field = placeTwips(new QLineEdit(text, parent), name, 1440, top, 855, 285);
    makeReadOnly(field);
    field->setAlignment(Qt::AlignCenter);
    return field;
}

QRadioButton* option(QGroupBox* frame, int number, double left, double top, double height)
{
    auto* option = new QRadioButton(QStringLiteral("COM %1").arg(number), frame);
    option->setObjectName(QStringLiteral("Option%1").arg(number));
    placeTwips(option, left, top, 855, height);
    // The device that COM n stands for here, which the caption alone cannot tell.
    const QString device = deviceForComPort(number);
    option->setToolTip(device.isEmpty() ? QStringLiteral("Kein Gerät vorhanden")
                                        : QStringLiteral("Gerät: ") + device);
    return option;
}

const QString comError = QStringLiteral("Fehler : COM-Port nicht vorhanden oder anderweitig verwendet !");

}  // namespace

Formeinstell::Formeinstell(SerialPort* port, QWidget* parent)
    : QWidget(parent)
    , port_(port)
    , previousPort_(port->commPort())
{
    setObjectName(QStringLiteral("Formeinstell"));
    setFixedSize(twipsToPixels(2415), twipsToPixels(3615));

    Label1 = label(this, "Label1", QStringLiteral("Baudrate"), 120, 120, 855, 255);
    Text1 = field(this, "Text1", QStringLiteral("9600 bps"), 120);
    Label2 = label(this, "Label2", QStringLiteral("Bits"), 120, 360, 855, 255);
    Text2 = field(this, "Text2", QStringLiteral("8"), 360);
    Label3 = label(this, "Label3", QStringLiteral("Parität"), 120, 600, 975, 255);
    Text3 = field(this, "Text3", QStringLiteral("keine"), 600);
    Label4 = label(this, "Label4", QStringLiteral("Stopbit"), 120, 840, 615, 255);
    Text4 = field(this, "Text4", QStringLiteral("1"), 840);
    Label5 = label(
        this, "Label5",
        QStringLiteral("Die oberen Parameter sind fest vorgegeben und brauch nicht eingestellt zu werden !"),
        120, 1200, 2175, 615);
    Label5->setWordWrap(true);
    Label5->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label5->setStyleSheet(QStringLiteral("color: rgb(192,0,0);"));

    Frame1 = new QGroupBox(QStringLiteral("Port wählen"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    placeTwips(Frame1, 120, 1920, 2175, 1095);
    Option1 = option(Frame1, 1, 240, 360, 195);
    Option2 = option(Frame1, 2, 1200, 360, 255);
    Option3 = option(Frame1, 3, 240, 720, 255);
    Option4 = option(Frame1, 4, 1200, 720, 255);

    Command1 = new QPushButton(QStringLiteral("Port übernhemen"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    placeTwips(Command1, 120, 3120, 2175, 375);
    connect(Command1, &QPushButton::clicked, this, &Formeinstell::Command1_Click);
}

void Formeinstell::Command1_Click()
{
    // An export while this window is open reopens the port: close it so the choice takes effect.
    port_->setPortOpen(false);
    const QRadioButton* options[] = {Option1, Option2, Option3, Option4};
    for (int number = 1; number <= 4; ++number) {
        if (options[number - 1]->isChecked())
            port_->setCommPort(number);
    }
    if (!port_->setPortOpen(true)) {
        showMessageBox(comError, QStringLiteral("COM-Error"));
        return;
    }
    // The window's child frame, or the window itself when it has none.
    (parentWidget() ? parentWidget() : this)->close();
    emit portChosen(port_->commPort() != previousPort_);
}

void Formeinstell::closeEvent(QCloseEvent* event)
{
    // A closed port here means the frame was closed without a port taken: reopen the one used
    // before, so the program listens again and "Port" can be chosen anew.
    if (!port_->portOpen()) {
        port_->setCommPort(previousPort_);
        if (port_->setPortOpen(true))
            emit portReopened();
        else
            showMessageBox(comError, QStringLiteral("COM-Error"));
    }
    // Also when the port was reopened meanwhile (an export, a returning device).
    emit closed();
    event->accept();
}
