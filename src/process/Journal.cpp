// The recording journal. The file always holds what the curve export would write at this moment:
// the lines of the slots already passed, which never change, and the line of the newest slot,
// which every frame overwrites in the store and so in the file.
#include "process/Journal.h"

#include "platform/CurveText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>

Journal::Journal(QString folder)
    : folder_(std::move(folder))
{
    buffer_.reserve(64 * 1024);
}

void Journal::sampleRecorded()
{
    if (active_)
        return;
    active_ = true;
    failed_ = false;
    start_ = QDateTime::currentDateTime();
}

void Journal::update(const Record& record, float messNr)
{
    if (!active_ || failed_)
        return;
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
    if (!file_.isOpen() && !openFile())
        return;
    if (!file_.replaceFrom(fixedBytes_, buffer_)) {
        fail(file_.error());
        return;
    }
    reported_ = false;
    fixedLines_ = fixed;
    fixedBytes_ += static_cast<long long>(fixedSize);
    tail_ = tail;
}

void Journal::restart(const Record& record, float messNr)
{
    if (file_.isOpen()) {
        update(record, messNr);
        if (!file_.close())
            fail(file_.error());
    }
    active_ = false;
    fixedLines_ = 0;
    fixedBytes_ = 0;
    tail_.clear();
}

bool Journal::openFile()
{
    const QDir dir(folder_);
    const QString stem = start_.toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"));
    QString name = stem + QStringLiteral(".TXT");
    // A record that starts in the same second as the one before gets a number of its own.
    for (int n = 2; QFileInfo::exists(dir.filePath(name)); ++n)
        name = stem + QStringLiteral("-%1.TXT").arg(n);
    if (!file_.open(dir.filePath(name))) {
        fail(file_.error());
        return false;
    }
    pruneJournalFolder(folder_, name, kKeepRecords, kKeepBytes);
    return true;
}

void Journal::fail(const QString& reason)
{
    // The run goes on in memory; one line tells why its journal stopped, no dialog interrupts it.
    failed_ = true;
    if (!reported_) {
        const QString message =
            QStringLiteral("Ladomat Link: Aufzeichnung %1 kann nicht geschrieben werden (%2), "
                           "die Messung läuft nur im Speicher weiter.\n")
                .arg(QDir::toNativeSeparators(file_.path()), reason);
        std::fputs(message.toLocal8Bit().constData(), stderr);
        reported_ = true;
    }
    file_.close();
}
