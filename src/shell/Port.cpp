// The serial port: opening it at start-up and its communication event.
#include "shell/shell.h"

#include "link/link.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "plot/plot.h"
#include "process/Forms.h"
#include "process/process.h"
#include "shell/MDIForm1.h"

#include <QLabel>

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

void MSComm1_OnComm()
{
    switch (forms.MSComm1->commEvent()) {
    case comEvReceive:
        FramesEmpfangen([] {
            DatenEinlesen();
            DatenWandeln();
            WerteAnzeigen();
            AblaufAuswerten();
            KopfzeilenSchreiben();
        });
        break;
    case comEventBreak:
        forms.StatusBar1->setText(QStringLiteral("Scheiße !!"));
        break;
    default:  // line errors and unknown codes are ignored
        break;
    }
}
