// The summary of a record: how long it ran, how much the charger put in and took out, its currents
// and voltages, and the same per phase where the record's timeline tells charge, discharge and
// pause apart. A pure function of the record and its facts, with its text lines and its JSON form.
#pragma once

#include "process/Record.h"
#include "process/RecordFacts.h"

#include <QJsonObject>
#include <QStringList>

#include <optional>

// Figures over some of a record's samples: the whole record or one phase.
struct Figures {
    int samples = 0;  // one a second
    double mah = 0;  // what the charger's capacity counter counted in these samples
    double wh = 0;  // the sum of U·I over the seconds
    double meanMa = 0;
    double peakMa = 0;
    bool operator==(const Figures&) const = default;
};

struct Summary {
    qint64 seconds = 0;  // from the facts' start and end where both are known, else the samples
    Figures whole;
    bool phases = false;  // whether the timeline told charge, discharge or pause for any sample
    Figures charge;
    Figures discharge;
    Figures pause;
    double firstMv = 0;
    double highestMv = 0;
    double lastMv = 0;
    std::optional<double> nominalShare;  // percent of the battery note's nominal capacity
    std::optional<RecordEnd> end;  // none without facts
    bool operator==(const Summary&) const = default;
};

// A default RecordFacts stands for a record without facts.
Summary summarize(const Record& record, const RecordFacts& facts);
// "h:mm:ss", hours without bound.
QString durationText(qint64 seconds);
// "Label: Wert" lines, one item a line, numbers in the locale's form.
QStringList summaryLines(const Summary& summary);
QJsonObject summaryJson(const Summary& summary);
// None when the object is not a summary this program wrote.
std::optional<Summary> summaryFromJson(const QJsonObject& json);
