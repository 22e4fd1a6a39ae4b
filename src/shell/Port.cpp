// Opening the serial port at start-up.
#include "shell/shell.h"

#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"

void PortOeffnen()
{
    SerialPort* port = forms.mdi->MSComm1;
    port->setSettings(QStringLiteral("9600,N,8,1"));
    port->setRThreshold(32);
    for (int number = 1; number <= 4 && !port->portOpen(); ++number) {
        port->setCommPort(number);
        port->setPortOpen(true);
    }
    if (!port->portOpen() && !forms.mdi->recordFile().isEmpty()) {
        forms.mdi->becomeViewer();
        return;
    }
    if (!port->portOpen()) {
        // The windows opened so far stay in view behind the message until the program ends.
        forms.mdi->show();
        showMessageBox(QStringLiteral("Kein COM Port konnte geöffnet werden ! Das Programm wird beendet !"),
                       QStringLiteral("Ladomat Link"));
        forms.mdi->beenden();
    }
}
