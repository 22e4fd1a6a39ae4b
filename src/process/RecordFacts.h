// The facts of a journal record, kept as NAME.json beside its curve file NAME.TXT: when it ran, how
// it ended, the battery notes, the device and a timeline of the charger's mode, status and cycle.
// The curve file alone is the record; its facts only describe it and may be missing or damaged.
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <array>
#include <optional>
#include <vector>

// How a record ended; `none` while it is recorded or when the program died before its end,
// `unknown` in facts made afterwards for a record that had none.
enum class RecordEnd { none, programEnd, chargerEnd, stopped, storeFull, noBattery, newRun, unknown };

// The German text of an end reason, as the record book and the summary show it.
QString recordEndText(RecordEnd end);

// A change of the charger's mode, status or cycle: the sample slot it happened at and when.
struct TimelineEntry {
    int sample = 0;
    QDateTime time;
    QString mode;
    int status = 0;
    int cycle = 0;
    bool operator==(const TimelineEntry&) const = default;
};

struct RecordFacts {
    static constexpr int kFormat = 1;

    int format = kFormat;
    QString program;  // the program's version that wrote the record
    QDateTime start;  // local time with its offset
    QDateTime end;  // invalid until the record ends
    RecordEnd endReason = RecordEnd::none;
    std::array<QString, 4> notes;  // the battery window's name, nominal capacity, cells, nominal voltage
    QString device;  // the serial device the frames came from
    std::vector<TimelineEntry> timeline;
    // The record book's summary of the record, kept once computed; empty until then.
    QJsonObject summary;
    // A record left unfinished has been offered for opening at a start of the program.
    bool offered = false;
    bool operator==(const RecordFacts&) const = default;
};

// NAME.json for the curve file NAME.TXT (any suffix).
QString factsPath(const QString& curvePath);
QByteArray factsJson(const RecordFacts& facts);
// None when the bytes are not a facts document of a format this program reads.
std::optional<RecordFacts> parseFacts(const QByteArray& json);
