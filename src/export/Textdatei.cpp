// The curve text file: formatted into one reused buffer and written in large blocks.
#include "export/export.h"

#include "platform/CurveText.h"
#include "platform/Dialogs.h"
#include "process/Variabelen.h"

#include <QSaveFile>

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

}  // namespace

bool writeCurveFile(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::vector<char> buffer(kBufferSize);
    char* const begin = buffer.data();
    char* const end = begin + buffer.size();
    char* out = begin;
    const auto flush = [&] {
        const qint64 size = out - begin;
        out = begin;
        return file.write(begin, size) == size;
    };
    const int count = static_cast<int>(std::min<float>(V->MessAnzahl, kStoreSize));
    for (int i = 1; i <= count; ++i) {
        out = appendCurveLine(out, end, i, V->KurveU[i], V->KurveI[i], V->KurveQ[i]);
        if (end - out < static_cast<std::ptrdiff_t>(kCurveLineRoom) && !flush())
            return false;
    }
    // A write cut short by a full disk shows only in the flush; commit alone would keep the
    // shortened file under the chosen name.
    return flush() && file.flush() && file.commit();
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
