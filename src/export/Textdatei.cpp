// The curve text file: formatted into one reused buffer and written in large blocks.
#include "export/export.h"

#include "platform/CurveText.h"
#include "platform/Dialogs.h"
#include "platform/WriteWhole.h"
#include "process/Record.h"

#include <QIODevice>

#include <vector>

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

bool writeCurveFile(const QString& path, const Record& record)
{
    return writeWhole(path, [&record](QIODevice& file) {
        std::vector<char> buffer(kBufferSize);
        char* const begin = buffer.data();
        char* const end = begin + buffer.size();
        char* out = begin;
        const auto flush = [&] {
            const qint64 size = out - begin;
            out = begin;
            return file.write(begin, size) == size;
        };
        const int count = record.count();
        for (int i = 1; i <= count; ++i) {
            out = appendCurveLine(out, end, i, record.KurveU[i], record.KurveI[i], record.KurveQ[i]);
            if (end - out < static_cast<std::ptrdiff_t>(kCurveLineRoom) && !flush())
                return false;
        }
        return flush();
    });
}

void saveCurveText(const Record& record)
{
    saveAs({.title = QStringLiteral("Textdatei speichern"),
            .filter = QStringLiteral("Grafiken (*.txt)|*.txt"),
            .initialFolder = QStringLiteral("C:\\"),
            .proposedName = QStringLiteral("Kurve01.TXT"),
            .defaultExtension = QStringLiteral(".TXT")},
           [&record](const QString& path) { return writeCurveFile(path, record); });
}
