// Reading a saved record: the curve file without trusting it, its facts where they can be read.
#include "records/SavedRecord.h"

#include "platform/CurveFileReader.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

// Facts are a few kilobytes; anything far larger is no facts file of this program.
constexpr qint64 kFactsLimit = 16 * 1024 * 1024;

std::optional<RecordFacts> readFacts(const QString& path)
{
    // Only a regular file: a pipe or device put there must not keep the record from opening.
    const QFileInfo info(path);
    QFile file(path);
    if (!info.isFile() || info.size() > kFactsLimit || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseFacts(file.read(kFactsLimit));
}

}  // namespace

QDateTime startFromName(const QString& path)
{
    static const QRegularExpression journalName(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(-\\d+)?$"));
    const QRegularExpressionMatch match = journalName.match(QFileInfo(path).completeBaseName());
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd_hh-mm-ss"));
}

SavedRecord readSavedRecord(const QString& path)
{
    SavedRecord saved;
    const CurveFileRead read = readCurveFile(path, kStoreSize);
    saved.message = read.message;
    if (!read.opened)
        return saved;
    const CurveFile& curve = read.curve;
    Record& record = saved.record.emplace();
    const int n = curve.count;
    std::copy_n(curve.u.begin() + 1, n, record.KurveU.get() + 1);
    std::copy_n(curve.i.begin() + 1, n, record.KurveI.get() + 1);
    std::copy_n(curve.q.begin() + 1, n, record.KurveQ.get() + 1);
    record.MessAnzahl = static_cast<float>(n);

    if (std::optional<RecordFacts> facts = readFacts(factsPath(path)))
        saved.facts = std::move(*facts);
    saved.start = saved.facts.start;
    if (!saved.start.isValid())
        saved.start = startFromName(path);
    if (!saved.start.isValid())
        saved.start = QFileInfo(path).lastModified();
    return saved;
}
