// The recording journal's files: one file per record. The frame chain only hands the new bytes
// over; a thread of the file's own writes them at once (a killed program loses no more than the
// newest change) and syncs them to the disk within 30 seconds.
#pragma once

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
// oldest first. Only regular files named JJJJ-MM-TT_hh-mm-ss[-n].TXT are records; the names in
// `own` (written by this program since it started) are never deleted.
void pruneJournalFolder(const QString& folder, const QStringList& own, int keep, long long maxBytes);
