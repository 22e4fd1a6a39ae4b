// The recording journal. While the record goes on, the file holds what the curve export would
// write at this moment: the lines of the slots already passed, which never change, and the line
// of the newest slot, which every frame overwrites in the store and so in the file. When the
// record ends the file is closed as it then is; later frames only change the store. The facts
// are written when the file is made, at every change in the timeline and when the record ends.
#include "process/Journal.h"

#include "platform/CurveText.h"
#include "process/MessageLines.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

namespace {

constexpr MessageLine kJournalFailed[] = {
    {u"Die Messung kann nicht auf die ", 1}, {u"Festplatte geschrieben werden !", 2},
    {u"Sie läuft nur im Speicher      ", 1}, {u"weiter: die Daten am Ende mit  ", 1},
    {u"'Textdatei erzeugen' sichern !!", 0},
};
static_assert(linesFit(kJournalFailed));

}  // namespace

Journal::Journal(QString folder, Failed failed)
    : folder_(std::move(folder))
    , report_(std::move(failed))
{
    buffer_.reserve(64 * 1024);
}

void Journal::frameSeen(int slot, const Messwerte& reading)
{
    const bool changed =
        frame_.mode != reading.Modus || frame_.status != reading.StatusNr || frame_.cycle != reading.Zyklus;
    frame_ = {slot, {}, reading.Modus, reading.StatusNr, reading.Zyklus};
    if (changed && active_ && !failed_) {
        frame_.time = QDateTime::currentDateTime();
        facts_.timeline.push_back(frame_);
        writeFacts();
    }
}

void Journal::sampleRecorded() { recorded_ = true; }

void Journal::update(const Record& record, float messNr, const std::array<QString, 4>& notes,
                     const QString& device)
{
    if (!active_ && recorded_) {
        active_ = true;
        failed_ = !openFile();
        if (!failed_) {
            // The record starts with the frame of its first sample.
            facts_ = {};
            facts_.program = QCoreApplication::applicationVersion();
            facts_.start = QDateTime::currentDateTime();
            facts_.notes = notes;
            facts_.device = device;
            facts_.timeline = {frame_};
            facts_.timeline.front().time = facts_.start;
            writeFacts();
        }
    }
    if (active_ && !failed_)
        write(record, messNr);
}

void Journal::finish(const Record& record, float messNr, RecordEnd reason,
                     const std::array<QString, 4>& notes)
{
    if (active_ && !failed_) {
        write(record, messNr);
        facts_.end = QDateTime::currentDateTime();
        facts_.endReason = reason;
        facts_.notes = notes;
        writeFacts();
        if (!failed_ && !file_.close())
            fail(file_.error());
    }
    recorded_ = false;
    active_ = false;
    failed_ = false;
    fixedLines_ = 0;
    fixedBytes_ = 0;
    tail_.clear();
}

void Journal::write(const Record& record, float messNr)
{
    const int end = record.count();
    const int fixed = std::max(fixedLines_, std::min(end, static_cast<int>(messNr) - 1));
    buffer_.clear();
    char line[kCurveLineRoom];
    const auto append = [&](int n) {
        buffer_.append(line,
                       appendCurveLine(line, line + sizeof line, n, record.KurveU[n], record.KurveI[n],
                                       record.KurveQ[n]));
    };
    for (int n = fixedLines_ + 1; n <= fixed; ++n)
        append(n);
    const std::size_t fixedSize = buffer_.size();
    if (end > fixed)
        append(end);
    const std::string_view tail = std::string_view(buffer_).substr(fixedSize);
    if (fixedSize == 0 && tail == tail_)
        return;
    if (!file_.replaceFrom(fixedBytes_, buffer_)) {
        fail(file_.error());
        return;
    }
    fixedLines_ = fixed;
    fixedBytes_ += static_cast<long long>(fixedSize);
    tail_ = tail;
}

void Journal::writeFacts() { file_.replaceWhole(factsPath(file_.path()), factsJson(facts_)); }

bool Journal::openFile()
{
    if (!file_.create(folder_,
                      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss")))) {
        fail(file_.error());
        return false;
    }
    own_.append(QFileInfo(file_.path()).fileName());
    pruneJournalFolder(folder_, own_, kKeepRecords, kKeepBytes);
    return true;
}

void Journal::fail(const QString& reason)
{
    // The run goes on in memory. The user is told once for this record, in the program and on
    // standard error; no dialog interrupts the run.
    failed_ = true;
    file_.close();
    // The reason first: a long path may not fit into the status bar.
    const QString text = QStringLiteral("Aufzeichnung wird nicht gespeichert (%1), die Messung läuft nur im "
                                        "Speicher weiter: %2")
                             .arg(reason, QDir::toNativeSeparators(file_.path()));
    std::fputs(QStringLiteral("Ladomat Link: %1\n").arg(text).toLocal8Bit().constData(), stderr);
    report_(text, messageText(kJournalFailed));
}
