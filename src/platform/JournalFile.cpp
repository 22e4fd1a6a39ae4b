// Journal files on POSIX file descriptors. The frame chain merges its change into one queued
// piece under a mutex; the writer thread puts the piece into the system's cache and runs
// fdatasync() at most every 30 s. After a write the thread looks again 100 ms later, and only when
// it then finds nothing does it sleep until woken: frames in quick succession are written in
// batches without waking it for each, a frame a second is written at once, and an idle record
// wakes it only for its sync. It ends with the file. The open file holds a lock, so that any
// program can tell a record being written from one left by a crash.
#include "platform/JournalFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

QString germanReason(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Datenträger voll");
    case EFBIG:
        return QStringLiteral("Datei zu groß");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("keine Schreibberechtigung");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("Ordner kann nicht angelegt werden");
    case EEXIST:
        return QStringLiteral("kein freier Dateiname");
    case EIO:
        return QStringLiteral("Ein-/Ausgabefehler");
    default:
        return QStringLiteral("Systemfehler %1").arg(error);
    }
}

// Puts data under path as a whole: written to path.tmp first, then renamed over it. A link at
// either name is replaced, never followed.
void replaceWholeFile(const QString& path, const QByteArray& data)
{
    const QByteArray target = QFile::encodeName(path), temp = target + ".tmp";
    ::unlink(temp.constData());
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    bool written = true;
    for (qsizetype at = 0; written && at < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + at, static_cast<std::size_t>(data.size() - at));
        written = n > 0 || (n < 0 && errno == EINTR);
        at += std::max<ssize_t>(n, 0);
    }
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(temp.constData(), target.constData()) != 0)
        ::unlink(temp.constData());
}

}  // namespace

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
    bool sleeping = false;  // the thread waits to be woken, not on its timer
    std::mutex fileMutex;  // one writer at a time, so pieces land in order
    long long length = 0;  // the file's length as written
    bool wholeQueued = false;  // the file beside replaced whole: its path and its bytes
    QString wholePath;
    QByteArray whole;

    // Merges a change into the queued piece; every change starts within what is already queued.
    void queue(long long from, std::string_view data)
    {
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
            if (!std::exchange(sleeping, false))
                return;
        }
        wake.notify_one();
    }

    void queueWhole(const QString& path, const QByteArray& data)
    {
        {
            std::lock_guard lock(queueMutex);
            wholePath = path;
            whole = data;
            wholeQueued = true;
            if (!std::exchange(sleeping, false))
                return;
        }
        wake.notify_one();
    }

    // Replaces the file beside, when a version of it is queued.
    void writeWhole()
    {
        std::lock_guard file(fileMutex);
        std::unique_lock lock(queueMutex);
        if (!wholeQueued)
            return;
        const QString path = std::move(wholePath);
        const QByteArray data = std::move(whole);
        wholeQueued = false;
        lock.unlock();
        replaceWholeFile(path, data);
    }

    // Writes the queued piece, a shorter end cut first: a kill in between loses only the newest
    // line. True when bytes went to the file. After a failure the queue is dropped.
    bool writeQueued()
    {
        std::lock_guard file(fileMutex);
        std::unique_lock lock(queueMutex);
        if (!queued)
            return false;
        long long at = offset;
        const std::string data = std::move(piece);
        piece.clear();
        queued = false;
        if (error != 0)
            return false;
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
            return true;
        }
        lock.lock();
        error = failed;
        return false;
    }

    static void run(std::shared_ptr<Writer> self)
    {
        using Clock = std::chrono::steady_clock;
        auto lastSync = Clock::now();
        bool unsynced = false;  // written bytes wait for their sync
        const auto stopped = [&] { return self->stop; };
        const auto woken = [&] { return !self->sleeping || self->stop; };
        std::unique_lock lock(self->queueMutex);
        while (!self->stop) {
            if (self->queued || self->wholeQueued) {
                lock.unlock();
                unsynced = self->writeQueued() || unsynced;
                self->writeWhole();
                lock.lock();
                // What comes in the next 100 ms is collected without waking the thread.
                self->wake.wait_for(lock, 100ms, stopped);
            } else {
                self->sleeping = true;
                if (!unsynced)
                    self->wake.wait(lock, woken);
                else
                    self->wake.wait_until(lock, lastSync + 30s, woken);
            }
            if (unsynced && Clock::now() >= lastSync + 30s) {
                lock.unlock();
                ::fdatasync(self->fd);
                lastSync = Clock::now();
                unsynced = false;
                lock.lock();
            }
        }
        lock.unlock();
        ::fdatasync(self->fd);
        ::close(self->fd);
    }
};

JournalFile::~JournalFile() { close(); }

bool JournalFile::create(const QString& folder, const QString& stem)
{
    close();
    error_.clear();
    QDir().mkpath(folder);
    // The system's exclusive create decides whether a name is free: no check before it can, since
    // another instance may take the name in between, and a link at the name is never followed.
    int failure = EEXIST;
    for (int n = 1; failure == EEXIST && n <= 999; ++n) {
        path_ = QDir(folder).filePath(n == 1 ? stem + QStringLiteral(".TXT")
                                             : QStringLiteral("%1-%2.TXT").arg(stem).arg(n));
        fd_ = ::open(QFile::encodeName(path_).constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        failure = fd_ < 0 ? errno : 0;
    }
    if (fd_ < 0) {
        error_ = germanReason(failure);
        return false;
    }
    // The new file is nobody else's: the lock is granted at once.
    ::flock(fd_, LOCK_EX | LOCK_NB);
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

void JournalFile::replaceWhole(const QString& path, const QByteArray& data)
{
    if (writer_)
        writer_->queueWhole(path, data);
}

bool JournalFile::takeError()
{
    std::lock_guard lock(writer_->queueMutex);
    if (writer_->error != 0)
        error_ = germanReason(writer_->error);
    return writer_->error != 0;
}

bool JournalFile::close()
{
    if (fd_ < 0)
        return true;
    // What is queued is written here, so that the files are complete when close returns.
    writer_->writeQueued();
    writer_->writeWhole();
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

void pruneJournalFolder(const QString& folder, const QStringList& own, int keep, long long maxBytes)
{
    static const QRegularExpression recordName(
        QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d(-\\d{1,6})?\\.TXT$"));
    struct Record {
        QString name;
        long long size;
        QDateTime start;
    };
    QList<Record> records;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::NoSymLinks)) {
        if (!recordName.match(info.fileName()).hasMatch())
            continue;
        const QDateTime born = info.birthTime();
        records.append({info.fileName(), info.size(), born.isValid() ? born : info.lastModified()});
    }
    // Names are the local time of a record's start, which summer time and a corrected clock put
    // out of order. Birth times (else the last change) ignore time zones, but a clock set back
    // fools them too: so the records this program wrote always stay, and count first.
    std::sort(records.begin(), records.end(), [&](const Record& a, const Record& b) {
        const bool ownA = own.contains(a.name);
        if (ownA != own.contains(b.name))
            return ownA;
        return a.start != b.start ? a.start > b.start : a.name > b.name;
    });
    int kept = 0;
    long long bytes = 0;
    bool full = false;
    for (const Record& record : records) {
        if (!own.contains(record.name)) {
            // Once one record does not fit, every older one goes too: oldest first, never a gap.
            full = full || kept >= keep || bytes + record.size > maxBytes;
            if (full) {
                QFile::remove(dir.filePath(record.name));
                // Its facts, and what a writer killed while replacing them left.
                const QString facts =
                    dir.filePath(QFileInfo(record.name).completeBaseName() + QStringLiteral(".json"));
                QFile::remove(facts);
                QFile::remove(facts + QStringLiteral(".tmp"));
                continue;
            }
        }
        ++kept;
        bytes += record.size;
    }
}

bool journalFileInUse(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(fd);
    return locked;
}
