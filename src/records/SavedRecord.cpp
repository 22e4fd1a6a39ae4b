// A saved record's facts and summary, read from its files.
#include "records/SavedRecord.h"

#include "records/RecordFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Far more than the timeline of a full store takes.
constexpr qint64 kFactsLimit = 64 << 20;

}  // namespace

std::optional<RecordFacts> readFacts(const QString& curvePath)
{
    // Only a regular file: a pipe or a device in its place would never end.
    const QFileInfo info(factsPath(curvePath));
    QFile file(info.filePath());
    if (!info.isFile() || info.size() > kFactsLimit || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseFacts(file.readAll());
}

FileSummary summarizeFile(const QString& curvePath, const RecordFacts& facts)
{
    const RecordFile file = readRecordFile(curvePath);
    if (!file.record)
        return {std::nullopt, file.message};
    return {summarize(*file.record, facts), file.message};
}
