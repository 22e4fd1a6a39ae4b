// A saved record read back: its curve file as a record, the facts kept beside it and when it
// started.
#pragma once

#include "process/Record.h"
#include "process/RecordFacts.h"

#include <QDateTime>
#include <QString>

#include <optional>

struct SavedRecord {
    std::optional<Record> record;  // none when the file is refused
    // German, naming the file: why it was refused, or what a damaged tail lost; empty when every
    // line was read.
    QString message;
    RecordFacts facts;  // from NAME.json; blank notes when there is none or it cannot be read
    // The facts' start, else the start a journal name tells, else the file's modification time.
    QDateTime start;
};

SavedRecord readSavedRecord(const QString& path);

// The start a journal file's name tells (JJJJ-MM-TT_hh-mm-ss, "-2" and so on after it, any
// suffix); invalid for any other name.
QDateTime startFromName(const QString& path);
