// The recording journal's files: one file per record, written in place with single write calls
// (a killed program loses nothing written) and synced to the disk by a background thread.
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
    // Writes data at offset in one call; false unless all of it was written.
    bool writeAt(long long offset, std::string_view data);
    // Cuts the file to size.
    bool truncate(long long size);
    // Closes the file; its last sync happens in the background.
    void close();
    QString error() const { return error_; }
    QString path() const { return path_; }

private:
    struct Syncer;
    int fd_ = -1;
    std::shared_ptr<Syncer> syncer_;
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
