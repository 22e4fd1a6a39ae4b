// A saved curve file read back as a record.
#pragma once

#include "process/Record.h"

#include <QString>

#include <optional>

// A saved curve file read as a record: none when the file is refused, the message says why; a
// damaged tail is dropped and the message says what was lost.
struct RecordFile {
    std::optional<Record> record;
    QString message;
};
RecordFile readRecordFile(const QString& path);
