// The curve text file of 2,000,000 samples, the export without its dialog, against a plain
// stream writing the float values line by line. Once in memory (tmpfs), where the formatting and
// writing alone count, and once on disk, where the export also waits for its data to reach the
// device before it renames the file, and the stream leaves its data in the page cache.
#include "Bench.h"

#include "export/export.h"
#include "process/ChargeSession.h"

#include <QFile>
#include <QTemporaryDir>

#include <fstream>

namespace {

QTemporaryDir& folder(int64_t onDisk)
{
    static QTemporaryDir memory(QStringLiteral("/dev/shm/ladomat-bench-XXXXXX"));
    static QTemporaryDir disk;
    return onDisk || !memory.isValid() ? disk : memory;
}

QString ourPath(int64_t onDisk) { return folder(onDisk).filePath(QStringLiteral("Kurve01.TXT")); }
QString naivePath(int64_t onDisk) { return folder(onDisk).filePath(QStringLiteral("naive.txt")); }

void BM_Textdatei(benchmark::State& state)
{
    loadRecord(noisyRecord(), kStoreSize);
    for (auto _ : state) {
        if (!writeCurveFile(ourPath(state.range(0)), bench().session().Messreihe))
            state.SkipWithError("curve file not written");
    }
}
BENCHMARK(BM_Textdatei)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_TextdateiNaive(benchmark::State& state)
{
    loadRecord(noisyRecord(), kStoreSize);
    const Record& record = bench().session().Messreihe;
    for (auto _ : state) {
        std::ofstream out(naivePath(state.range(0)).toStdString(), std::ios::binary);
        for (int i = 1; i <= static_cast<int>(record.MessAnzahl); ++i)
            out << i << ',' << record.KurveU[i] << ',' << record.KurveI[i] << ',' << record.KurveQ[i]
                << "\r\n";
    }
}
BENCHMARK(BM_TextdateiNaive)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

void reportTextdatei(const TimeReporter& times)
{
    for (const int64_t onDisk : {0, 1}) {
        const std::string arg = "/" + std::to_string(onDisk);
        const double ours = times.ms("BM_Textdatei" + arg);
        const double naive = times.ms("BM_TextdateiNaive" + arg);
        if (ours == 0 || naive == 0)
            continue;  // not run: left out by a filter
        const QByteArray a = contents(ourPath(onDisk));
        const bool identical = !a.isEmpty() && a == contents(naivePath(onDisk));
        const bool inMemory = !onDisk && folder(0).path().startsWith(QStringLiteral("/dev/shm"));
        table.push_back(
            {std::string("curve text file, 2,000,000 lines, ") + (inMemory ? "tmpfs" : "disk"),
             format("%.0f ms", ours), format("%.0f ms", naive),
             format("%.1fx faster%s; %lld bytes, %s", naive / ours, inMemory ? " (target 10x)" : "",
                    static_cast<long long>(a.size()), identical ? "byte-identical" : "FILES DIFFER"),
             (!inMemory || naive / ours >= 10) && identical});
    }
}
