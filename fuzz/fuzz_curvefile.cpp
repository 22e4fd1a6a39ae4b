// Fuzz target: the saved-record reader on any bytes, in a file that is cut, extended with zeros or
// written over between the check and the read, under a line limit of 1 to 32 lines so that files
// past the size limit are reached. The result must be what a plain reading of the bytes the file
// holds when read gives: the same record, refused for the same reason, damaged from the same line on.
#include "platform/CurveFileReader.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <sys/mman.h>
#include <unistd.h>

namespace {

void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz_curvefile: %s\n", what);
        std::abort();
    }
}

// A plain reading of the rule, written apart from the parser and left out of the coverage: line
// ends at the end are no lines; each line is four comma-separated decimals without leading zeros,
// the first its number, the others up to 65535; the first other line and all after it are dropped;
// line 1 bad: no curve file; a good line past maxLines: too many lines.
struct Expected {
    QList<QList<int>> values;  // U, I, Q of each line read
    int badLine = 0;
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
    // The file in memory, opened by its path as the program opens a file.
    static const int memory = memfd_create("Kurve.TXT", MFD_CLOEXEC);
    const auto write = [](const std::string& bytes, size_t at) {
        check(pwrite(memory, bytes.data(), bytes.size(), off_t(at)) == ssize_t(bytes.size()), "pwrite");
    };
    size_t at = 0;
    const auto take = [&]() -> unsigned { return at < size ? data[at++] : 0; };
    const int maxLines = 1 + int(take() % 32);
    const unsigned change = take() % 4;
    const size_t amount = take() * 4u;
    const size_t split = std::min<size_t>(take() * 2u, size - at);
    const std::string first(reinterpret_cast<const char*>(data + at), split);
    const std::string later(reinterpret_cast<const char*>(data + at + split), size - at - split);

    // The file as checked, then changed: cut, extended with zeros, or written over from an offset.
    std::string file = first;
    write(file, 0);
    check(ftruncate(memory, off_t(file.size())) == 0, "ftruncate");
    SavedCurveFile saved(QStringLiteral("/proc/self/fd/%1").arg(memory), maxLines);
    if (change == 1) {
        file.resize(std::min(file.size(), amount));
    } else if (change == 2) {
        file.resize(file.size() + amount);
    } else if (change == 3) {
        const size_t from = std::min(file.size(), amount);
        file.resize(std::max(file.size(), from + later.size()));
        file.replace(from, later.size(), later);
        write(later, from);
    }
    check(ftruncate(memory, off_t(file.size())) == 0, "ftruncate");
    const CurveFileRead read = saved.read();

    const size_t limit = size_t(maxLines) * (std::to_string(maxLines).size() + 20) + 2;
    const Expected expected = plainReading(QByteArray::fromStdString(file), maxLines);
    const char* refusal = first.size() > limit || file.size() > limit ? "zu groß für"
        : expected.tooMany                                            ? "mehr als"
        : expected.badLine == 1                                       ? "keine Kurvendatei"
                                                                      : nullptr;
    if (refusal) {
        check(!read.opened && read.message.contains(QString::fromUtf8(refusal)), refusal);
        return 0;
    }
    const CurveFile& curve = read.curve;
    check(read.opened && curve.count == expected.values.size(), "record length");
    for (int n = 1; n <= curve.count; ++n)
        check(QList<int>{int(curve.u.at(n)), int(curve.i.at(n)), int(curve.q.at(n))} ==
                  expected.values[n - 1],
              "values");
    check(expected.badLine == 0
              ? read.message.isEmpty()
              : read.message.contains(QStringLiteral(" ab Zeile %1 beschädigt: ").arg(expected.badLine)),
          "damaged tail");
    return 0;
}
