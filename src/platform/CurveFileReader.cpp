// Opening a saved curve file: the path and then the opened descriptor checked, a bounded snapshot
// read into memory, its lines parsed.
#include "platform/CurveFileReader.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <algorithm>
#include <cerrno>
#include <string>

#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Why a file of this kind is no saved record, or empty for a regular file.
QString kindRefused(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISDIR(mode))
        return QStringLiteral("sie ist ein Ordner");
    if (S_ISFIFO(mode))
        return QStringLiteral("sie ist eine Pipe (FIFO), keine gespeicherte Datei");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("sie ist ein Gerät, keine gespeicherte Datei");
    return QStringLiteral("sie ist keine gewöhnliche Datei");
}

// The kernel's own file systems, or nullptr for any other: their files show the system's state,
// mostly claim a size of 0, and some wait for data when read.
const char* systemFileSystem(int fd)
{
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0)
        return nullptr;
    static constexpr struct {
        unsigned long magic;
        const char* name;
    } kinds[] = {{PROC_SUPER_MAGIC, "proc"},       {SYSFS_MAGIC, "sysfs"},
                 {DEBUGFS_MAGIC, "debugfs"},       {TRACEFS_MAGIC, "tracefs"},
                 {SECURITYFS_MAGIC, "securityfs"}, {CGROUP_SUPER_MAGIC, "cgroup"},
                 {CGROUP2_SUPER_MAGIC, "cgroup2"}, {BPF_FS_MAGIC, "bpf"}};
    for (const auto& kind : kinds) {
        if (static_cast<unsigned long>(fs.f_type) == kind.magic)
            return kind.name;
    }
    return nullptr;
}

QString systemError(int error)
{
    if (error == ENOENT || error == ENOTDIR)
        return QStringLiteral("sie existiert nicht");
    if (error == EACCES || error == EPERM)
        return QStringLiteral("keine Leseberechtigung");
    return QStringLiteral("Systemfehler %1").arg(error);
}

QString lines(int n) { return n == 1 ? QStringLiteral("1 Zeile") : QStringLiteral("%1 Zeilen").arg(n); }

// "2.000.000" whatever the user's locale.
QString grouped(qint64 n) { return QLocale(QLocale::German, QLocale::Germany).toString(n); }

QString tooLarge(int maxLines)
{
    return QStringLiteral("sie ist zu groß für %1 Zeilen").arg(grouped(maxLines));
}

}  // namespace

qint64 curveFileLimit(int maxLines)
{
    // The line number's digits, three values of five digits, three commas, CR LF.
    const qint64 longest = QByteArray::number(maxLines).size() + 3 * 5 + 3 + 2;
    return maxLines * longest + 2;
}

SavedCurveFile::SavedCurveFile(const QString& path, int maxLines)
    : shown_(QDir::toNativeSeparators(path))
    , maxLines_(maxLines)
{
    const QByteArray name = QFile::encodeName(path);
    // Only a regular file is opened at all: opening a device can act on it (a serial line resets,
    // a watchdog starts).
    struct stat status;
    if (::stat(name.constData(), &status) != 0) {
        refusal_ = refuse(systemError(errno));
        return;
    }
    if (const QString kind = kindRefused(status.st_mode); !kind.isEmpty()) {
        refusal_ = refuse(kind);
        return;
    }
    // Without waiting, should the path have become a FIFO since; what was opened then decides.
    fd_ = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) {
        refusal_ = refuse(systemError(errno));
        return;
    }
    const char* system = systemFileSystem(fd_);
    if (::fstat(fd_, &status) != 0)
        refusal_ = refuse(systemError(errno));
    else if (const QString kind = kindRefused(status.st_mode); !kind.isEmpty())
        refusal_ = refuse(kind);
    else if (system)
        refusal_ = refuse(QStringLiteral("sie gehört zum Systemdateisystem %1, keine gespeicherte Datei")
                              .arg(QLatin1String(system)));
    else if (status.st_size > curveFileLimit(maxLines))
        refusal_ = refuse(tooLarge(maxLines));
    size_ = status.st_size;
}

SavedCurveFile::~SavedCurveFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

QString SavedCurveFile::refuse(const QString& reason) const
{
    return QStringLiteral("Die Datei %1 kann nicht geöffnet werden: %2 !").arg(shown_, reason);
}

CurveFileRead SavedCurveFile::read()
{
    CurveFileRead result;
    if (fd_ < 0 || !refusal_.isEmpty()) {
        result.message = refusal_;
        return result;
    }
    // The size checked is only a first guess: the file may have grown or shrunk since. Read to its
    // end, or until one byte more than the limit shows it too large.
    const std::size_t limit = static_cast<std::size_t>(curveFileLimit(maxLines_));
    std::string text(static_cast<std::size_t>(size_) + 1, '\0');
    std::size_t have = 0;
    for (;;) {
        if (have == text.size()) {
            if (have > limit)
                break;
            text.resize(std::min(2 * have, limit + 1));
        }
        const ssize_t got = ::pread(fd_, text.data() + have, text.size() - have, static_cast<off_t>(have));
        if (got == 0)
            break;
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.message = QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2 !")
                                 .arg(shown_, systemError(errno));
            return result;
        }
        have += static_cast<std::size_t>(got);
    }
    text.resize(have);
    if (have > limit) {
        result.message = refuse(tooLarge(maxLines_));
        return result;
    }

    result.curve = parseCurveFile(text, maxLines_);
    const CurveFile& curve = result.curve;
    if (curve.tooManyLines) {
        result.message = refuse(QStringLiteral("sie hat mehr als %1 Zeilen").arg(grouped(maxLines_)));
    } else if (curve.badLine == 1) {
        result.message =
            QStringLiteral("Die Datei %1 ist keine Kurvendatei: Zeile 1 ist fehlerhaft !").arg(shown_);
    } else {
        result.opened = true;
        if (curve.badLine > 1)
            result.message =
                QStringLiteral("Die Datei %1 ist ab Zeile %2 beschädigt: %3 verworfen, %4 !")
                    .arg(shown_, QString::number(curve.badLine), lines(curve.droppedLines),
                         curve.count == 1
                             ? QStringLiteral("die Zeile davor ist geöffnet")
                             : QStringLiteral("die %1 Zeilen davor sind geöffnet").arg(curve.count));
    }
    return result;
}
