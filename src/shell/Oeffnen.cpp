// Reading a saved curve file back as a record, and where the journal keeps its records.
#include "shell/shell.h"

#include "platform/CurveText.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

void refuse(const QString& text) { showMessageBox(text, QStringLiteral("Ladomat Link")); }

}  // namespace

QString journalFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
        QStringLiteral("/Aufzeichnungen");
}

std::optional<Record> readRecordFile(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refuse(QStringLiteral("Die Datei %1 konnte nicht geöffnet werden !").arg(shown));
        return std::nullopt;
    }
    const qint64 size = file.size();
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    const QByteArray read = size > 0 && !mapped ? file.readAll() : QByteArray();
    const std::string_view text = mapped ? std::string_view(reinterpret_cast<const char*>(mapped), size)
                                         : std::string_view(read.constData(), read.size());
    const CurveFile curve = parseCurveFile(text, kStoreSize);
    if (curve.badLine != 0) {
        refuse(QStringLiteral("Die Datei %1 ist keine Kurvendatei: Zeile %2 ist fehlerhaft !")
                   .arg(shown)
                   .arg(curve.badLine));
        return std::nullopt;
    }

    Record record;
    const int n = curve.count;
    std::copy_n(curve.u.begin() + 1, n, record.KurveU.get() + 1);
    std::copy_n(curve.i.begin() + 1, n, record.KurveI.get() + 1);
    std::copy_n(curve.q.begin() + 1, n, record.KurveQ.get() + 1);
    record.MessAnzahl = static_cast<float>(n);
    return record;
}
