// Fuzz target: the saved-record reader on any bytes, in a file that is cut, extended with zeros or
// written over between the check and the read, under a line limit of 1 to 32 lines so that files
// past the size limit are reached; now and then a FIFO, a device, a /proc file, a folder or a
// missing path instead. The result must be what a plain reading of the bytes the file holds when
// read gives: the same record, refused for the same reason, the same lines dropped.
#include "platform/CurveFileReader.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Input {
    uint8_t take() { return at < size ? data[at++] : 0; }
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_curvefile: %s\n", what);
        std::abort();
    }
}

// The file in memory, reopened by its path as the program opens a file; and a FIFO.
struct Files {
    Files()
    {
        memory = memfd_create("Kurve.TXT", MFD_CLOEXEC);
        memoryPath = QStringLiteral("/proc/self/fd/%1").arg(memory);
        char folder[] = "/tmp/fuzz_curvefile-XXXXXX";
        check(memory >= 0 && mkdtemp(folder), "no memory file or folder");
        fifoFolder = folder;
        fifo = fifoFolder + "/fifo";
        check(mkfifo(fifo.c_str(), 0600) == 0, "no FIFO");
    }
    ~Files()
    {
        unlink(fifo.c_str());
        rmdir(fifoFolder.c_str());
    }
    void write(const std::string& bytes, size_t at)
    {
        check(pwrite(memory, bytes.data(), bytes.size(), off_t(at)) == ssize_t(bytes.size()), "pwrite");
    }
    void resize(size_t size) { check(ftruncate(memory, off_t(size)) == 0, "ftruncate"); }

    int memory;
    QString memoryPath;
    std::string fifoFolder, fifo;
};

// A plain reading of the rule, written apart from the parser and left out of the coverage: line
// ends at the end are no lines; each line is four comma-separated decimals without leading zeros,
// the first its number, the others up to 65535; the first other line and all after it are dropped;
// line 1 bad: no curve file; a good line past maxLines: too many lines.
struct Expected {
    QList<QList<int>> values;  // U, I, Q of each line read
    int badLine = 0;
    int dropped = 0;
    bool tooMany = false;
};

__attribute__((no_sanitize("coverage"))) Expected plainReading(QByteArray text, int maxLines)
{
    static const QRegularExpression form("\\A([1-9][0-9]{0,6}),(0|[1-9][0-9]{0,4}),(0|[1-9][0-9]{0,4}),"
                                         "(0|[1-9][0-9]{0,4})\r?\\z");
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    const QByteArrayList lines = text.isEmpty() ? QByteArrayList() : text.split('\n');
    Expected expected;
    for (int n = 1; n <= lines.size(); ++n) {
        const QRegularExpressionMatch line = form.match(QString::fromLatin1(lines[n - 1]));
        QList<int> values;
        for (int k = 1; k <= 4 && line.hasMatch(); ++k)
            values << line.captured(k).toInt();
        if (values.size() < 4 || values[0] != n || std::max({values[1], values[2], values[3]}) > 65535) {
            expected.badLine = n;
            expected.dropped = int(lines.size()) - n + 1;
            break;
        }
        if (n > maxLines) {
            expected.tooMany = true;
            break;
        }
        expected.values << values.mid(1);
    }
    return expected;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Files files;
    Input in{data, size};
    const int where = in.take() % 16;
    const int maxLines = 1 + in.take() % 32;
    const int change = in.take() % 4;
    const size_t amount = in.take() * 4u;
    const size_t split = std::min<size_t>(in.take() * 2u, size - in.at);
    const std::string first(reinterpret_cast<const char*>(data + in.at), split);
    const std::string later(reinterpret_cast<const char*>(data + in.at + split), size - in.at - split);

    if (where >= 11) {  // no regular file: refused whatever it holds
        static const char* const paths[] = {files.fifo.c_str(), "/dev/zero", "/proc/self/stat", "/",
                                            "/nonexistent/Kurve.TXT"};
        static const char* const reasons[] = {"Pipe (FIFO)", "ein Gerät", "Systemdateisystem proc",
                                              "ein Ordner", "existiert nicht"};
        const CurveFileRead read = readCurveFile(QString::fromLatin1(paths[where - 11]), maxLines);
        check(!read.opened && read.message.contains(QString::fromUtf8(reasons[where - 11])), "special file");
        return 0;
    }

    // The file as checked, then changed: cut, extended with zeros, or written over from an offset.
    std::string file = first;
    files.write(file, 0);
    files.resize(file.size());
    SavedCurveFile saved(files.memoryPath, maxLines);
    if (change == 1) {
        file.resize(std::min(file.size(), amount));
    } else if (change == 2) {
        file.resize(file.size() + amount);
    } else if (change == 3) {
        const size_t at = std::min(file.size(), amount);
        file.resize(std::max(file.size(), at + later.size()));
        file.replace(at, later.size(), later);
        files.write(later, at);
    }
    files.resize(file.size());
    const CurveFileRead read = saved.read();

    const size_t limit = size_t(maxLines) * (std::to_string(maxLines).size() + 20) + 2;
    const QString& message = read.message;
    if (first.size() > limit || file.size() > limit) {
        check(!read.opened && message.contains(QStringLiteral("zu groß für")), "too large");
        return 0;
    }
    const Expected expected = plainReading(QByteArray::fromStdString(file), maxLines);
    const CurveFile& curve = read.curve;
    if (expected.tooMany) {
        check(!read.opened && message.contains(QStringLiteral("mehr als")), "too many lines");
    } else if (expected.badLine == 1) {
        check(!read.opened && message.contains(QStringLiteral("keine Kurvendatei")), "no curve file");
    } else {
        check(read.opened && curve.count == expected.values.size(), "record length");
        check(curve.u.size() > size_t(curve.count) && curve.i.size() > size_t(curve.count) &&
                  curve.q.size() > size_t(curve.count),
              "record room");
        for (int n = 1; n <= curve.count; ++n) {
            const QList<int>& values = expected.values[n - 1];
            check(QList<int>{int(curve.u[n]), int(curve.i[n]), int(curve.q[n])} == values, "values");
        }
        check(expected.badLine == 0 ? message.isEmpty()
                                    : message.contains(QStringLiteral(" ab Zeile %1 beschädigt: %2 Zeile")
                                                           .arg(expected.badLine)
                                                           .arg(expected.dropped)),
              "damaged tail");
    }
    return 0;
}
