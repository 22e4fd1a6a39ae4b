// The curve text file at the store's full size against a plain stream writing line by line.
#include "RatioReporter.h"
#include "export/export.h"
#include "process/Variabelen.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <random>

namespace {

QString fastPath, naivePath;

// Whole numbers as the charger reports them: up to 65535 mV, 0.1 mA and mAh.
void fillStore(Variabelen& vars)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> value(0, 65535);
    for (int n = 1; n <= kStoreSize; ++n) {
        vars.KurveU[n] = static_cast<float>(value(random));
        vars.KurveI[n] = static_cast<float>(value(random));
        vars.KurveQ[n] = static_cast<float>(value(random));
    }
    vars.MessAnzahl = kStoreSize;
}

void writeNaive(const QString& path)
{
    std::ofstream out(path.toStdString(), std::ios::binary);
    for (int i = 1; i <= static_cast<int>(V->MessAnzahl); ++i)
        out << i << ',' << V->KurveU[i] << ',' << V->KurveI[i] << ',' << V->KurveQ[i] << "\r\n";
}

void BM_writeCurveFile(benchmark::State& state)
{
    for (auto _ : state) {
        if (!writeCurveFile(fastPath))
            state.SkipWithError("curve file not written");
    }
}
BENCHMARK(BM_writeCurveFile)->Unit(benchmark::kMillisecond);

void BM_OfstreamLines(benchmark::State& state)
{
    for (auto _ : state)
        writeNaive(naivePath);
}
BENCHMARK(BM_OfstreamLines)->Unit(benchmark::kMillisecond);

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    auto vars = std::make_unique<Variabelen>();
    V = vars.get();
    fillStore(*vars);
    QTemporaryDir dir;
    fastPath = dir.filePath("Kurve01.TXT");
    naivePath = dir.filePath("naive.txt");

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double fast = reporter.times["BM_writeCurveFile"];
    const double naive = reporter.times["BM_OfstreamLines"];
    if (fast > 0 && naive > 0)
        std::printf("2,000,000 samples: buffered to_chars %.1f ms, ofstream lines %.1f ms, %.1fx faster\n", fast,
                    naive, naive / fast);
    writeCurveFile(fastPath);
    writeNaive(naivePath);
    const QByteArray a = contents(fastPath), b = contents(naivePath);
    std::printf("files: %lld and %lld bytes, %s\n", static_cast<long long>(a.size()), static_cast<long long>(b.size()),
                !a.isEmpty() && a == b ? "byte-identical" : "DIFFERENT");
    V = nullptr;
    benchmark::Shutdown();
    return a == b ? 0 : 1;
}
