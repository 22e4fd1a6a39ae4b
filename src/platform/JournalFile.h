// The recording journal's files: one file per record. The frame chain only hands the new bytes
// over; a thread of the file's own writes them within a tenth of a second (a killed program
// loses no more) and syncs them to the disk every 30 seconds.
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

    // Creates the file (and its folder); false on failure, with the reason in error().
    bool open(const QString& path);
    bool isOpen() const { return fd_ >= 0; }
    // From offset on, the file becomes data and ends there. Returns at once; false when an
    // earlier write has failed, with the reason in error().
    bool replaceFrom(long long offset, std::string_view data);
    // Writes what is still queued, then closes the file; its last sync happens in the background.
    // False when a write failed.
    bool close();
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

// A journal folder's entry: a record's file name and size.
struct JournalEntry {
    QString name;
    long long size;
};

// The journal files to delete so that the newest `keep` records and at most maxBytes remain,
// oldest first; names not of the form JJJJ-MM-TT_hh-mm-ss[-n].TXT are never touched, nor `current`.
QStringList journalFilesToDelete(const QList<JournalEntry>& entries, const QString& current, int keep,
                                 long long maxBytes);

// Deletes what journalFilesToDelete names in folder.
void pruneJournalFolder(const QString& folder, const QString& current, int keep, long long maxBytes);
