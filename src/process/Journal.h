// The recording journal: while a record is recorded, its curve text lines go to a file of its
// own, so that no run is lost to a crash, a power cut or a new run.
#pragma once

#include "platform/JournalFile.h"
#include "process/Record.h"

#include <QDateTime>
#include <QString>

#include <string>

class Journal {
public:
    // Records are kept as JJJJ-MM-TT_hh-mm-ss.TXT in folder.
    explicit Journal(QString folder);

    // A sample was recorded (MessAnzahl moved): the record has a journal from now on.
    void sampleRecorded();
    // After every frame: brings the file to what the curve export of the record would write now;
    // messNr is the slot the next frame is stored in.
    void update(const Record& record, float messNr);
    // The record starts again at slot 1: this file is complete, the next sample starts another.
    void restart(const Record& record, float messNr);

    // The file of the record being written; empty when there is none.
    QString path() const { return file_.isOpen() ? file_.path() : QString(); }

    static constexpr int kKeepRecords = 50;
    static constexpr long long kKeepBytes = 2'000'000'000;

private:
    bool openFile();
    void fail(const QString& reason);

    QString folder_;
    JournalFile file_;
    QDateTime start_;
    bool active_ = false;
    bool failed_ = false;  // this record is no longer written
    bool reported_ = false;  // a failure was reported and nothing has been written since
    int fixedLines_ = 0;  // lines that no later frame changes
    long long fixedBytes_ = 0;
    std::string buffer_;
    std::string tail_;  // the newest slot's line as written
};
