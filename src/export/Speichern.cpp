// What both exports share: the port closed around the save dialog, and the failure messages.
#include "export/export.h"

#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "process/Forms.h"

#include <QDir>

void saveWithPortClosed(const SaveFileRequest& request, bool (*write)(const QString& path))
{
    SerialPort* port = forms.MSComm1;
    port->setPortOpen(false);  // no frames while the dialog is open
    const QString path = askSaveFileName(request);
    // Reported while the port is still closed, so that no frame is handled under the message.
    if (!path.isEmpty() && !write(path)) {
        showMessageBox(QStringLiteral("Die Datei %1 konnte nicht geschrieben werden !")
                           .arg(QDir::toNativeSeparators(path)),
                       QStringLiteral("Ladomat Link"));
    }
    // A device that went away meanwhile is waited for as after any loss: the run goes on once it
    // is back.
    port->reopen();
    forms.readAwayInput();  // decoding starts again on fresh characters
}
