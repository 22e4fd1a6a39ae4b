// The recording journal's files: one file per record, and a small file beside it replaced whole.
// The frame chain only hands the new bytes over; a thread of the file's own writes them, at once
// when they come a second apart and within 100 ms when they come faster (a killed program loses no
// more than that), and syncs them to the disk within 30 seconds.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <string_view>

class JournalFile {
public:
    JournalFile() = default;
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Creates a new file stem.TXT in folder (and the folder), or stem-2.TXT, stem-3.TXT ... when
    // the name is taken by anything, a link included; false on failure, with the reason in error().
    bool create(const QString& folder, const QString& stem);
    bool isOpen() const { return fd_ >= 0; }
    // From offset on, the file becomes data and ends there. Returns at once; false when an
    // earlier write has failed, with the reason in error().
    bool replaceFrom(long long offset, std::string_view data);
    // The file at path becomes data as a whole: written as path.tmp and renamed, so that it is
    // never seen half written. Returns at once; of the versions still queued, only the newest is
    // written. A failure leaves the file as it was and is not reported.
    void replaceWhole(const QString& path, const QByteArray& data);
    // Writes what is still queued, then closes the file; its last sync happens in the background.
    // False when a write failed.
    bool close();
    // Why the file could not be created or written, in German.
    QString error() const { return error_; }
    QString path() const { return path_; }

private:
    struct Writer;
    bool takeError();

    int fd_ = -1;
    std::shared_ptr<Writer> writer_;
    QString path_;
    QString error_;
};

// Deletes journal files in folder so that the newest `keep` records and at most maxBytes remain,
// oldest first. Only regular files named JJJJ-MM-TT_hh-mm-ss[-n].TXT are records; a record's
// NAME.json goes with it. The names in `own` (written by this program since it started) are never
// deleted.
void pruneJournalFolder(const QString& folder, const QStringList& own, int keep, long long maxBytes);
// True while a journal file is open for writing, in this program or another one running.
bool journalFileInUse(const QString& path);
