// A saved record's facts, start and summary, read from its files.
#include "records/SavedRecord.h"

#include "platform/WriteWhole.h"
#include "records/RecordFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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

void writeFacts(const QString& curvePath, const RecordFacts& facts)
{
    const QByteArray json = factsJson(facts);
    writeWhole(factsPath(curvePath), [&](QIODevice& out) { return out.write(json) == json.size(); });
}

QDateTime recordStart(const QString& curvePath, const RecordFacts& facts)
{
    if (facts.start.isValid())
        return facts.start;
    static const QRegularExpression journalName(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2}_\\d{2}-\\d{2}-\\d{2})(-\\d+)?$"));
    const QFileInfo file(curvePath);
    const QRegularExpressionMatch match = journalName.match(file.completeBaseName());
    const QDateTime named = match.hasMatch()
        ? QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd_hh-mm-ss"))
        : QDateTime();
    return named.isValid() ? named : file.lastModified();
}

FileSummary summarizeFile(const QString& curvePath, const RecordFacts& facts)
{
    const RecordFile file = readRecordFile(curvePath);
    if (!file.record)
        return {std::nullopt, file.message};
    return {summarize(*file.record, facts), file.message};
}
