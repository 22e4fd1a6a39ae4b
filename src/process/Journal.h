// The recording journal: while a record is recorded, its curve text lines go to a file of its
// own, so that no run is lost to a crash, a power cut or a new run. Beside it, NAME.json keeps the
// record's facts: when it ran, how it ended, the battery notes, the device and its timeline.
#pragma once

#include "platform/JournalFile.h"
#include "process/Messwerte.h"
#include "process/Record.h"
#include "process/RecordFacts.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <string>

class Journal {
public:
    // What the user is told when a record cannot be written: a line for the status bar and a
    // message for the battery window.
    using Failed = std::function<void(const QString& text, const QString& message)>;

    // Records are kept as JJJJ-MM-TT_hh-mm-ss.TXT in folder.
    Journal(QString folder, Failed failed);

    // Before a frame is followed: the slot it was stored in and its reading. A change of mode,
    // status or cycle goes into the timeline of the record being written.
    void frameSeen(int slot, const Messwerte& reading);
    // A sample was recorded: unless the record ends in the same frame, it has a journal from the
    // end of this frame on, a new file when the one before has ended.
    void sampleRecorded();
    // After every frame: brings the file to what the curve export of the record would write now;
    // messNr is the slot the next frame is stored in. The notes and the device are those of now.
    void update(const Record& record, float messNr, const std::array<QString, 4>& notes,
                const QString& device);
    // The record ended (end status, stop, full store, restart, "Ende", a record opened): the file
    // becomes what the export writes now and is never written again; its facts say why and with
    // the notes of now.
    void finish(const Record& record, float messNr, RecordEnd reason, const std::array<QString, 4>& notes);

    // The file of the record being written; empty when there is none.
    QString path() const { return file_.isOpen() ? file_.path() : QString(); }

    static constexpr int kKeepRecords = 50;
    static constexpr long long kKeepBytes = 2'000'000'000;

private:
    bool openFile();
    void write(const Record& record, float messNr);
    void writeFacts();
    void fail(const QString& reason);

    QString folder_;
    Failed report_;
    JournalFile file_;
    QStringList own_;  // names of the files this program wrote
    bool recorded_ = false;  // a sample was recorded since the last record ended
    bool active_ = false;  // a record has its journal (or its journal failed)
    bool failed_ = false;  // this record is no longer written
    int fixedLines_ = 0;  // lines that no later frame changes
    long long fixedBytes_ = 0;
    std::string buffer_;
    std::string tail_;  // the newest slot's line as written
    TimelineEntry frame_;  // the latest frame's slot, mode, status and cycle
    RecordFacts facts_;  // of the record being written
};
