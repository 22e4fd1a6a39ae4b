// Fuzz target: the saved-record reader on any bytes, in a file that is cut, extended with zeros or
// written over between the check and the read, under a line limit of 1 to 32 lines so that files
// past the size limit are reached; now and then a FIFO, a device, a /proc file, a folder or a
// missing path instead. The result must be what a plain reading of the bytes the file holds when
// read gives: the same record, refused for the same reason, the same lines dropped.
#include "platform/CurveFileReader.h"

#include <array>
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
// ends at the end are no lines; each line is four comma-separated canonical decimals, the first
// its number, the others up to 65535; the first other line and all after it are dropped; line 1
// bad: no curve file; a good line past maxLines: too many lines.
struct Expected {
    std::array<std::array<uint32_t, 3>, 32> values;
    int count = 0;
    int badLine = 0;
    int dropped = 0;
    bool tooMany = false;
};

__attribute__((no_sanitize("coverage"))) bool canonical(const char* p, const char* end, uint32_t limit,
                                                        uint32_t& value)
{
    if (p == end || end - p > 7 || (end - p > 1 && *p == '0'))
        return false;
    for (value = 0; p < end; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        value = value * 10 + uint32_t(*p - '0');
    }
    return value <= limit;
}

__attribute__((no_sanitize("coverage"))) Expected plainReading(const char* begin, const char* end,
                                                               int maxLines)
{
    while (end > begin && (end[-1] == '\n' || end[-1] == '\r'))
        --end;
    int lines = begin < end;
    for (const char* p = begin; p < end; ++p)
        lines += *p == '\n';
    Expected expected;
    const char* line = begin;
    for (int n = 1; n <= lines; ++n) {
        const char* next = line;
        while (next < end && *next != '\n')
            ++next;
        const char* last = next > line && next[-1] == '\r' ? next - 1 : next;
        const char *from[4], *to[4];
        int fields = 0;
        for (const char *p = line, *field = line;; ++p) {
            if (p == last || *p == ',') {
                if (fields < 4) {
                    from[fields] = field;
                    to[fields] = p;
                }
                ++fields;
                field = p + 1;
            }
            if (p == last)
                break;
        }
        uint32_t number = 0;
        std::array<uint32_t, 3> values{};
        const bool good = fields == 4 && canonical(from[0], to[0], 9999999, number) &&
            number == uint32_t(n) && canonical(from[1], to[1], 65535, values[0]) &&
            canonical(from[2], to[2], 65535, values[1]) && canonical(from[3], to[3], 65535, values[2]);
        if (!good) {
            expected.badLine = n;
            expected.dropped = lines - n + 1;
            break;
        }
        if (n > maxLines) {
            expected.tooMany = true;
            break;
        }
        expected.values[size_t(n) - 1] = values;
        expected.count = n;
        line = next + 1;
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
    const Expected expected = plainReading(file.data(), file.data() + file.size(), maxLines);
    const CurveFile& curve = read.curve;
    if (expected.tooMany) {
        check(!read.opened && message.contains(QStringLiteral("mehr als")), "too many lines");
    } else if (expected.badLine == 1) {
        check(!read.opened && message.contains(QStringLiteral("keine Kurvendatei")), "no curve file");
    } else {
        check(read.opened && curve.count == expected.count, "record length");
        check(curve.u.size() > size_t(curve.count) && curve.i.size() > size_t(curve.count) &&
                  curve.q.size() > size_t(curve.count),
              "record room");
        for (int n = 1; n <= curve.count; ++n) {
            const auto& values = expected.values[size_t(n) - 1];
            check(curve.u[n] == float(values[0]) && curve.i[n] == float(values[1]) &&
                      curve.q[n] == float(values[2]),
                  "values");
        }
        check(expected.badLine == 0 ? message.isEmpty()
                                    : message.contains(QStringLiteral(" ab Zeile %1 beschädigt: %2 Zeile")
                                                           .arg(expected.badLine)
                                                           .arg(expected.dropped)),
              "damaged tail");
    }
    return 0;
}
