// Journal files on POSIX file descriptors. The frame chain merges its change into one queued
// piece under a mutex; the writer thread puts the piece into the system's cache every 100 ms
// and runs fdatasync() every 30 s, so that no frame ever waits for the disk.
#include "platform/JournalFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using namespace std::chrono_literals;

// Owns the descriptor once the file is open; outlives the JournalFile, so that closing never
// waits for the disk.
struct JournalFile::Writer {
    int fd;
    std::mutex queueMutex;  // guards the queue, stop and error
    std::condition_variable wake;
    bool queued = false;
    long long offset = 0;  // the queued piece: the file from offset on
    std::string piece;
    bool stop = false;
    int error = 0;  // errno of the first failed write
    std::mutex fileMutex;  // one writer at a time, so pieces land in order
    long long length = 0;  // the file's length as written

    // Merges a change into the queued piece; every change starts within what is already queued.
    void queue(long long from, std::string_view data)
    {
        std::lock_guard lock(queueMutex);
        if (queued && from >= offset && from <= offset + static_cast<long long>(piece.size())) {
            piece.resize(static_cast<std::size_t>(from - offset));
        } else {
            offset = from;
            piece.clear();
        }
        piece.append(data);
        queued = true;
    }

    // Writes the queued piece, a shorter end cut first: a kill in between loses only the newest line.
    void writeQueued()
    {
        std::lock_guard file(fileMutex);
        std::unique_lock lock(queueMutex);
        if (!queued || error != 0)
            return;
        long long at = offset;
        const std::string data = std::move(piece);
        piece.clear();
        queued = false;
        lock.unlock();
        const long long end = at + static_cast<long long>(data.size());
        int failed = end < length && ::ftruncate(fd, at) != 0 ? errno : 0;
        for (std::string_view rest = data; failed == 0 && !rest.empty();) {
            const ssize_t written = ::pwrite(fd, rest.data(), rest.size(), at);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                failed = written < 0 ? errno : ENOSPC;
            else {
                rest.remove_prefix(static_cast<std::size_t>(written));
                at += written;
            }
        }
        if (failed == 0) {
            length = end;
            return;
        }
        lock.lock();
        error = failed;
    }

    static void run(std::shared_ptr<Writer> self)
    {
        auto lastSync = std::chrono::steady_clock::now();
        std::unique_lock lock(self->queueMutex);
        while (!self->stop) {
            self->wake.wait_for(lock, 100ms);
            lock.unlock();
            self->writeQueued();
            if (std::chrono::steady_clock::now() - lastSync >= 30s) {
                ::fdatasync(self->fd);
                lastSync = std::chrono::steady_clock::now();
            }
            lock.lock();
        }
        lock.unlock();
        ::fdatasync(self->fd);
        ::close(self->fd);
    }
};

JournalFile::~JournalFile() { close(); }

bool JournalFile::open(const QString& path)
{
    close();
    path_ = path;
    error_.clear();
    QDir().mkpath(QFileInfo(path).absolutePath());
    fd_ = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    writer_ = std::make_shared<Writer>();
    writer_->fd = fd_;
    std::thread(Writer::run, writer_).detach();
    return true;
}

bool JournalFile::replaceFrom(long long offset, std::string_view data)
{
    if (takeError())
        return false;
    writer_->queue(offset, data);
    return true;
}

bool JournalFile::takeError()
{
    std::lock_guard lock(writer_->queueMutex);
    if (writer_->error != 0)
        error_ = QString::fromLocal8Bit(std::strerror(writer_->error));
    return writer_->error != 0;
}

bool JournalFile::close()
{
    if (fd_ < 0)
        return true;
    // What is queued is written here, so that a normal exit loses nothing.
    writer_->writeQueued();
    const bool failed = takeError();
    {
        std::lock_guard lock(writer_->queueMutex);
        writer_->stop = true;
    }
    writer_->wake.notify_one();
    writer_.reset();
    fd_ = -1;
    return !failed;
}

namespace {

// Sort key of a journal name: its start time, then the number of a later record of the same second.
QString ageKey(const QString& name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(?:-(\\d{1,6}))?\\.TXT$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return {};
    return match.captured(1) + match.captured(2).rightJustified(6, QLatin1Char('0'));
}

}  // namespace

QStringList journalFilesToDelete(const QList<JournalEntry>& entries, const QString& current, int keep,
                                 long long maxBytes)
{
    QList<JournalEntry> records;
    for (const JournalEntry& entry : entries) {
        if (!ageKey(entry.name).isEmpty())
            records.append(entry);
    }
    std::sort(records.begin(), records.end(),
              [](const JournalEntry& a, const JournalEntry& b) { return ageKey(a.name) > ageKey(b.name); });
    QStringList doomed;
    int kept = 0;
    long long bytes = 0;
    bool full = false;
    // The record being written always stays and counts first.
    for (const JournalEntry& entry : records) {
        if (entry.name == current) {
            ++kept;
            bytes += entry.size;
        }
    }
    for (const JournalEntry& entry : records) {
        if (entry.name == current)
            continue;
        // Once one record does not fit, every older one goes too: oldest first, never a gap.
        full = full || kept >= keep || bytes + entry.size > maxBytes;
        if (full) {
            doomed.prepend(entry.name);
        } else {
            ++kept;
            bytes += entry.size;
        }
    }
    return doomed;
}

void pruneJournalFolder(const QString& folder, const QString& current, int keep, long long maxBytes)
{
    QList<JournalEntry> entries;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files))
        entries.append({info.fileName(), info.size()});
    for (const QString& name : journalFilesToDelete(entries, current, keep, maxBytes))
        QFile::remove(dir.filePath(name));
}
