// A saved record as the record book, the record windows and the command line meet it: its facts
// file, its start and the summary of its curve file.
#pragma once

#include "process/RecordFacts.h"
#include "records/Summary.h"

#include <QDateTime>
#include <QString>

#include <optional>

// The facts beside a curve file; none when the file is missing or not facts of this program.
std::optional<RecordFacts> readFacts(const QString& curvePath);
// Replaces the facts beside a curve file once they are written whole.
void writeFacts(const QString& curvePath, const RecordFacts& facts);

// When a record started: its facts' start, else what a journal name tells (JJJJ-MM-TT_hh-mm-ss,
// "-2" and so on after it), else the curve file's modification time.
QDateTime recordStart(const QString& curvePath, const RecordFacts& facts);

// The summary of a curve file with these facts: none when the file is refused; the message says
// why, or what a damaged tail lost (the summary is then of the lines before it).
struct FileSummary {
    std::optional<Summary> summary;
    QString message;
};
FileSummary summarizeFile(const QString& curvePath, const RecordFacts& facts);
