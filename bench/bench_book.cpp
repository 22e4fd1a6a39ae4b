// The record book: the summary of a full store against a pass per figure, and listing a folder of
// 50 records of 100,000 samples from their facts against reading every curve file and summing it.
#include "Bench.h"

#include "export/export.h"
#include "records/RecordBook.h"
#include "records/RecordFile.h"
#include "records/SavedRecord.h"
#include "records/Summary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

constexpr int kRecords = 50;
constexpr int kRecordSamples = 100000;

// A charge, a pause and a discharge over the whole store.
RecordFacts threePhases(int samples)
{
    RecordFacts facts;
    facts.program = "2.01";
    facts.start = QDateTime(QDate(2026, 3, 14), QTime(10, 0));
    facts.end = facts.start.addSecs(samples);
    facts.endReason = RecordEnd::chargerEnd;
    facts.notes = {"Bench", "3000", "6", "7,2"};
    facts.timeline = {{1, {}, "2", 6, 1},
                      {samples * 2 / 5, {}, "2", 9, 1},
                      {samples / 2, {}, "2", 7, 1},
                      {samples, {}, "2", 8, 1}};
    return facts;
}

const Record& fullRecord()
{
    static const Record record = [] {
        Record r;
        const Samples& s = noisyRecord();
        std::copy(s.u.begin(), s.u.end(), r.KurveU.get());
        std::copy(s.i.begin(), s.i.end(), r.KurveI.get());
        std::copy(s.q.begin(), s.q.end(), r.KurveQ.get());
        r.MessAnzahl = kStoreSize;
        return r;
    }();
    return record;
}

Summary ourSummary, naiveSummary;

void BM_Summary(benchmark::State& state)
{
    const Record& record = fullRecord();
    const RecordFacts facts = threePhases(kStoreSize);
    for (auto _ : state)
        benchmark::DoNotOptimize(ourSummary = summarize(record, facts));
}
BENCHMARK(BM_Summary)->Unit(benchmark::kMillisecond);

// The same figures as a plain reading of their definitions: each sample's status looked up in the
// timeline, then one pass over the record for each figure of each phase.
void BM_SummaryNaive(benchmark::State& state)
{
    const Record& record = fullRecord();
    const RecordFacts facts = threePhases(kStoreSize);
    const int count = record.count();
    const float* u = record.KurveU.get();
    const float* i = record.KurveI.get();
    const float* q = record.KurveQ.get();
    for (auto _ : state) {
        std::vector<int> phase(count + 1);
        for (int n = 1; n <= count; ++n) {
            int status = facts.timeline.front().status;
            for (const TimelineEntry& e : facts.timeline)
                if (e.sample <= n)
                    status = e.status;
            phase[n] = status == 2 || status == 5 || status == 6 ? 1
                : status == 3 || status == 4 || status == 7      ? 2
                : status == 9                                    ? 3
                                                                 : 0;
        }
        const auto figures = [&](int which) {
            const auto in = [&](int n) { return which < 0 || phase[n] == which; };
            Figures f;
            for (int n = 1; n <= count; ++n)
                f.samples += in(n);
            for (int n = 1; n <= count; ++n)
                if (in(n)) {
                    const float before = n > 1 ? q[n - 1] : 0.0f;
                    f.mah += q[n] >= before ? q[n] - before : q[n];
                }
            for (int n = 1; n <= count; ++n)
                if (in(n))
                    f.wh += double(u[n]) * i[n] / 3.6e10;
            double sum = 0;
            for (int n = 1; n <= count; ++n)
                if (in(n))
                    sum += i[n];
            f.meanMa = f.samples ? sum / 10 / f.samples : 0;
            for (int n = 1; n <= count; ++n)
                if (in(n))
                    f.peakMa = std::max(f.peakMa, i[n] / 10.0);
            return f;
        };
        Summary s;
        s.whole = figures(-1);
        s.charge = figures(1);
        s.discharge = figures(2);
        s.pause = figures(3);
        s.phases = true;
        s.firstMv = u[1];
        for (int n = 1; n <= count; ++n)
            s.highestMv = std::max<double>(s.highestMv, u[n]);
        s.lastMv = u[count];
        benchmark::DoNotOptimize(naiveSummary = s);
    }
}
BENCHMARK(BM_SummaryNaive)->Unit(benchmark::kMillisecond)->Iterations(3);

bool close(double a, double b) { return std::abs(a - b) <= 1e-9 * std::max(1.0, std::abs(a)); }

bool sameFigures(const Figures& a, const Figures& b)
{
    return a.samples == b.samples && close(a.mah, b.mah) && close(a.wh, b.wh) && close(a.meanMa, b.meanMa) &&
        close(a.peakMa, b.peakMa);
}

// 50 journal records of 100,000 samples each, cut from the noisy record, with their facts.
QTemporaryDir& folder()
{
    static QTemporaryDir dir;
    static const bool made = [] {
        Record record;
        const Samples& s = noisyRecord();
        for (int k = 0; k < kRecords; ++k) {
            const int from = k * 37000;
            std::copy_n(s.u.begin() + from + 1, kRecordSamples, record.KurveU.get() + 1);
            std::copy_n(s.i.begin() + from + 1, kRecordSamples, record.KurveI.get() + 1);
            std::copy_n(s.q.begin() + from + 1, kRecordSamples, record.KurveQ.get() + 1);
            record.MessAnzahl = kRecordSamples;
            RecordFacts facts = threePhases(kRecordSamples);
            facts.start = facts.start.addDays(k);
            const QString path = dir.filePath(facts.start.toString("yyyy-MM-dd_HH-mm-ss") + ".TXT");
            QFile json(factsPath(path));
            if (!writeCurveFile(path, record) || !json.open(QIODevice::WriteOnly) ||
                json.write(factsJson(facts)) < 0)
                return false;
        }
        return true;
    }();
    if (!made)
        std::fputs("record folder not written\n", stderr);
    return dir;
}

// Facts as the journal leaves them: without a summary.
void forgetSummaries()
{
    for (const QFileInfo& file : QDir(folder().path()).entryInfoList({"*.json"})) {
        std::optional<RecordFacts> facts = readFacts(file.path() + "/" + file.completeBaseName() + ".TXT");
        if (!facts)
            continue;
        facts->summary = {};
        QFile json(file.filePath());
        if (json.open(QIODevice::WriteOnly))
            json.write(factsJson(*facts));
    }
}

int listed = 0;

void BM_ListRecords(benchmark::State& state)
{
    RecordBook(folder().path(), {});  // the first listing keeps the summaries
    for (auto _ : state) {
        RecordBook book(folder().path(), {});
        listed = int(book.shownPaths().size());
    }
}
BENCHMARK(BM_ListRecords)->Unit(benchmark::kMillisecond);

// Every curve file read and summed each time.
void BM_ListRecordsNaive(benchmark::State& state)
{
    folder();
    for (auto _ : state) {
        std::vector<Summary> summaries;
        for (const QFileInfo& file :
             QDir(folder().path()).entryInfoList({"*.TXT"}, QDir::Files, QDir::Name)) {
            const std::optional<RecordFacts> facts = readFacts(file.filePath());
            summaries.push_back(*summarizeFile(file.filePath(), facts.value_or(RecordFacts{})).summary);
        }
        benchmark::DoNotOptimize(summaries);
    }
}
BENCHMARK(BM_ListRecordsNaive)->Unit(benchmark::kMillisecond)->Iterations(2);

// The first listing of records whose facts have no summary yet: each curve read once, its summary kept.
void BM_ListRecordsFirst(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        forgetSummaries();
        state.ResumeTiming();
        RecordBook book(folder().path(), {});
        benchmark::DoNotOptimize(book.shownPaths());
    }
}
BENCHMARK(BM_ListRecordsFirst)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

void reportBook(const TimeReporter& times)
{
    const double summary = times.ms("BM_Summary");
    const double summaryNaive = times.ms("BM_SummaryNaive/iterations:3");
    if (summary > 0 && summaryNaive > 0) {
        const bool same = sameFigures(ourSummary.whole, naiveSummary.whole) &&
            sameFigures(ourSummary.charge, naiveSummary.charge) &&
            sameFigures(ourSummary.discharge, naiveSummary.discharge) &&
            sameFigures(ourSummary.pause, naiveSummary.pause) &&
            ourSummary.highestMv == naiveSummary.highestMv;
        table.push_back({"summary of 2,000,000 samples, three phases", format("%.1f ms", summary),
                         format("%.1f ms", summaryNaive),
                         format("%.1fx faster (target < 20 ms, processor time %.1f ms); figures %s",
                                summaryNaive / summary, times.cpuMs("BM_Summary"), same ? "agree" : "DIFFER"),
                         same && summary < 20});
    }
    const double list = times.ms("BM_ListRecords");
    const double listNaive = times.ms("BM_ListRecordsNaive/iterations:2");
    if (list > 0 && listNaive > 0)
        table.push_back({"record book: list 50 records of 100,000 samples", format("%.1f ms", list),
                         format("%.0f ms", listNaive),
                         format("%.0fx faster (target 20x, < 100 ms); %d rows", listNaive / list, listed),
                         list < 100 && listNaive / list >= 20 && listed == kRecords});
    const double first = times.ms("BM_ListRecordsFirst/iterations:2");
    if (first > 0)
        table.push_back({"record book: first listing, summaries kept", format("%.0f ms", first), "-",
                         "each curve read once", true});
}
