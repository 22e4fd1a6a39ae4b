// A saved record as the record book and the command line meet it: its facts file and the summary
// of its curve file.
#pragma once

#include "process/RecordFacts.h"
#include "records/Summary.h"

#include <QString>

#include <optional>

// The facts beside a curve file; none when the file is missing or not facts of this program.
std::optional<RecordFacts> readFacts(const QString& curvePath);

// The summary of a curve file with these facts: none when the file is refused; the message says
// why, or what a damaged tail lost (the summary is then of the lines before it).
struct FileSummary {
    std::optional<Summary> summary;
    QString message;
};
FileSummary summarizeFile(const QString& curvePath, const RecordFacts& facts);
