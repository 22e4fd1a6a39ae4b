// Record facts to and from JSON.
#include "process/RecordFacts.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

constexpr std::array kEndKeys{"",           "program-end", "charger-end", "stopped",
                              "store-full", "no-battery",  "new-run",     "unknown"};

// Local time with its offset, so that the text names the instant and the clock the user saw.
QString timeText(const QDateTime& time)
{
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate) : QString();
}

QDateTime timeFrom(const QJsonValue& value) { return QDateTime::fromString(value.toString(), Qt::ISODate); }

}  // namespace

QString recordEndText(RecordEnd end)
{
    switch (end) {
    case RecordEnd::none:
        return QStringLiteral("nicht beendet");
    case RecordEnd::programEnd:
        return QStringLiteral("Ende im Programm");
    case RecordEnd::chargerEnd:
        return QStringLiteral("Ladegerät fertig");
    case RecordEnd::stopped:
        return QStringLiteral("am Ladegerät gestoppt");
    case RecordEnd::storeFull:
        return QStringLiteral("Speicher voll");
    case RecordEnd::noBattery:
        return QStringLiteral("kein Akku");
    case RecordEnd::newRun:
        return QStringLiteral("neuer Lauf");
    case RecordEnd::unknown:
        return QStringLiteral("unbekannt");
    }
    return {};
}

QString factsPath(const QString& curvePath)
{
    const QFileInfo info(curvePath);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".json");
}

QByteArray factsJson(const RecordFacts& facts)
{
    QJsonArray notes;
    for (const QString& note : facts.notes)
        notes.append(note);
    QJsonArray timeline;
    for (const TimelineEntry& e : facts.timeline)
        timeline.append(QJsonObject{{"sample", e.sample},
                                    {"time", timeText(e.time)},
                                    {"mode", e.mode},
                                    {"status", e.status},
                                    {"cycle", e.cycle}});
    QJsonObject root{{"format", facts.format},
                     {"program", facts.program},
                     {"start", timeText(facts.start)},
                     {"end", timeText(facts.end)},
                     {"endReason", kEndKeys[static_cast<int>(facts.endReason)]},
                     {"notes", notes},
                     {"device", facts.device},
                     {"timeline", timeline}};
    if (!facts.summary.isEmpty())
        root.insert("summary", facts.summary);
    if (facts.offered)
        root.insert("offered", true);
    return QJsonDocument(root).toJson();
}

std::optional<RecordFacts> parseFacts(const QByteArray& json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    if (!document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    RecordFacts facts;
    facts.format = root.value("format").toInt(-1);
    if (facts.format != RecordFacts::kFormat)
        return std::nullopt;
    facts.program = root.value("program").toString();
    facts.start = timeFrom(root.value("start"));
    facts.end = timeFrom(root.value("end"));
    const QString end = root.value("endReason").toString();
    for (size_t k = 0; k < kEndKeys.size(); ++k)
        if (end == QLatin1String(kEndKeys[k]))
            facts.endReason = static_cast<RecordEnd>(k);
    const QJsonArray notes = root.value("notes").toArray();
    for (qsizetype k = 0; k < std::min<qsizetype>(notes.size(), 4); ++k)
        facts.notes[k] = notes[k].toString();
    facts.device = root.value("device").toString();
    for (const QJsonValue& value : root.value("timeline").toArray()) {
        const QJsonObject e = value.toObject();
        facts.timeline.push_back({e.value("sample").toInt(), timeFrom(e.value("time")),
                                  e.value("mode").toString(), e.value("status").toInt(),
                                  e.value("cycle").toInt()});
    }
    facts.summary = root.value("summary").toObject();
    facts.offered = root.value("offered").toBool();
    return facts;
}
