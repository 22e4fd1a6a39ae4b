// The curve text file: formatted into one reused buffer and written in large blocks.
#include "export/export.h"

#include "platform/Dialogs.h"
#include "platform/WriteWhole.h"
#include "process/Variabelen.h"

#include <QIODevice>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
// More than one line can take: four numbers of at most 48 characters each, separators, CR LF.
constexpr std::size_t kLineRoom = 256;

// Shortest text that reads back as the same value, "." as separator, never an exponent.
// Whole numbers, the usual case, take the quicker integer path.
char* appendValue(char* out, char* end, float value)
{
    if (std::abs(value) < 1e9f && value == std::trunc(value))
        return std::to_chars(out, end, static_cast<int32_t>(value)).ptr;
    return std::to_chars(out, end, value, std::chars_format::fixed).ptr;
}

}  // namespace

bool writeCurveFile(const QString& path)
{
    return writeWhole(path, [](QIODevice& file) {
        std::vector<char> buffer(kBufferSize);
        char* const begin = buffer.data();
        char* const end = begin + buffer.size();
        char* out = begin;
        const auto flush = [&] {
            const qint64 size = out - begin;
            out = begin;
            return file.write(begin, size) == size;
        };
        const int count = recordEnd();
        for (int i = 1; i <= count; ++i) {
            out = std::to_chars(out, end, i).ptr;
            *out++ = ',';
            out = appendValue(out, end, V->KurveU[i]);
            *out++ = ',';
            out = appendValue(out, end, V->KurveI[i]);
            *out++ = ',';
            out = appendValue(out, end, V->KurveQ[i]);
            *out++ = '\r';
            *out++ = '\n';
            if (end - out < static_cast<std::ptrdiff_t>(kLineRoom) && !flush())
                return false;
        }
        return flush();
    });
}

void m_maketext_Click()
{
    saveWithPortClosed({.title = QStringLiteral("Textdatei speichern"),
                        .filter = QStringLiteral("Grafiken (*.txt)|*.txt"),
                        .initialFolder = QStringLiteral("C:\\"),
                        .proposedName = QStringLiteral("Kurve01.TXT"),
                        .defaultExtension = QStringLiteral(".TXT")},
                       writeCurveFile);
}
