// Where the journal keeps its records.
#include "shell/shell.h"

#include <QStandardPaths>

QString journalFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
        QStringLiteral("/Aufzeichnungen");
}
