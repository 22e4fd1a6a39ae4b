// Journal files on POSIX file descriptors: write() puts the data into the system's cache at
// once, and fdatasync() runs on a thread of its own so that no frame ever waits for the disk.
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
#include <thread>

#include <fcntl.h>
#include <unistd.h>

using namespace std::chrono_literals;

// Syncs its own copy of the descriptor every 30 seconds until stopped, then once more and
// closes it. It outlives the JournalFile: closing never waits for the disk.
struct JournalFile::Syncer {
    std::mutex mutex;
    std::condition_variable wake;
    bool stop = false;

    static void run(std::shared_ptr<Syncer> self, int fd)
    {
        std::unique_lock lock(self->mutex);
        while (!self->stop) {
            self->wake.wait_for(lock, 30s);
            lock.unlock();
            ::fdatasync(fd);
            lock.lock();
        }
        lock.unlock();
        ::close(fd);
    }
};

JournalFile::~JournalFile() { close(); }

bool JournalFile::open(const QString& path)
{
    close();
    path_ = path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    fd_ = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        error_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const int syncFd = ::dup(fd_);
    if (syncFd >= 0) {
        syncer_ = std::make_shared<Syncer>();
        std::thread(Syncer::run, syncer_, syncFd).detach();
    }
    return true;
}

bool JournalFile::writeAt(long long offset, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t written = ::pwrite(fd_, data.data(), data.size(), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            error_ = QString::fromLocal8Bit(std::strerror(written < 0 ? errno : ENOSPC));
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
        offset += written;
    }
    return true;
}

bool JournalFile::truncate(long long size)
{
    if (::ftruncate(fd_, size) == 0)
        return true;
    error_ = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

void JournalFile::close()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    if (syncer_) {
        {
            std::lock_guard lock(syncer_->mutex);
            syncer_->stop = true;
        }
        syncer_->wake.notify_one();
        syncer_.reset();
    }
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
