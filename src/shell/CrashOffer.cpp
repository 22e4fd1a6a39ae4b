// After a crash: finding the record the program left unfinished, and asking once to open it.
#include "shell/shell.h"

#include "platform/Dialogs.h"
#include "platform/JournalFile.h"
#include "process/RecordFacts.h"
#include "records/SavedRecord.h"

#include <QDir>
#include <QFileInfo>

#include <optional>

QString askToOpenUnfinished(const QString& folder)
{
    // Only the facts tell an unfinished record; a record without them is never offered.
    struct Unfinished {
        QString curve;
        RecordFacts facts;
    };
    std::optional<Unfinished> newest;
    const QDir dir(folder);
    for (const QFileInfo& info :
         dir.entryInfoList({QStringLiteral("*.json")}, QDir::Files | QDir::NoSymLinks)) {
        const QString curve = dir.filePath(info.completeBaseName() + QStringLiteral(".TXT"));
        if (!QFileInfo(curve).isFile())
            continue;
        const std::optional<RecordFacts> facts = readFacts(curve);
        // A record still open for writing belongs to a program that runs (this one or another).
        if (!facts || facts->endReason != RecordEnd::none || journalFileInUse(curve))
            continue;
        if (!newest || facts->start > newest->facts.start)
            newest = Unfinished{curve, *facts};
    }
    // Only the newest unfinished record is offered, and only once: older ones never are.
    if (!newest || newest->facts.offered)
        return {};
    // Marked before the question: whatever the answer, or if the program ends under it, the record
    // is not offered again.
    newest->facts.offered = true;
    writeFacts(newest->curve, newest->facts);
    const QDateTime start = recordStart(newest->curve, newest->facts);
    const QString text =
        QStringLiteral("Die letzte Aufzeichnung wurde nicht beendet (%1, begonnen am %2 um "
                       "%3). Jetzt öffnen?")
            .arg(QFileInfo(newest->curve).fileName(), start.toString(QStringLiteral("dd.MM.yyyy")),
                 start.toString(QStringLiteral("hh:mm")));
    return askQuestion(text, QStringLiteral("Ladomat Link")) ? newest->curve : QString();
}
