// Whole-file writing through a temporary file that is renamed once complete.
#include "platform/WriteWhole.h"

#include <QSaveFile>

bool writeWhole(const QString& path, const std::function<bool(QIODevice& file)>& write)
{
    // A write cut short by a full disk shows only in the flush; commit alone would keep the
    // shortened file under the chosen name.
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && write(file) && file.flush() && file.commit();
}
