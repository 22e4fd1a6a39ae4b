// What both exports share: the save dialog and the failure message.
#include "export/export.h"

#include "platform/Dialogs.h"

#include <QDir>

void saveAs(const SaveFileRequest& request, const std::function<bool(const QString& path)>& write)
{
    const QString path = askSaveFileName(request);
    if (!path.isEmpty() && !write(path)) {
        showMessageBox(QStringLiteral("Die Datei %1 konnte nicht geschrieben werden !")
                           .arg(QDir::toNativeSeparators(path)),
                       QStringLiteral("Ladomat Link"));
    }
}
