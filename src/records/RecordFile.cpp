// Reading a saved curve file back as a record.
#include "records/RecordFile.h"

#include "platform/CurveFileReader.h"

#include <algorithm>

RecordFile readRecordFile(const QString& path)
{
    const CurveFileRead read = readCurveFile(path, kStoreSize);
    if (!read.opened)
        return {std::nullopt, read.message};
    const CurveFile& curve = read.curve;
    Record record;
    const int n = curve.count;
    std::copy_n(curve.u.begin() + 1, n, record.KurveU.get() + 1);
    std::copy_n(curve.i.begin() + 1, n, record.KurveI.get() + 1);
    std::copy_n(curve.q.begin() + 1, n, record.KurveQ.get() + 1);
    record.MessAnzahl = static_cast<float>(n);
    return {std::move(record), read.message};
}
