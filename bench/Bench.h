// Shared parts of the benchmark program: the synthetic records, the program under test, the
// measured times and the table that puts each operation beside its naive form.
#pragma once

#include <QImage>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class ChargeSession;
class Formgrafik;
class MDIForm1;
class MemorySerialPort;

// A whole record of the store's size: the three curves as the charger's whole numbers.
struct Samples {
    std::string name;
    std::vector<float> u, i, q;  // index 0 unused, like the store
};

// A clean charge curve, and the same charge under heavy measurement noise.
const Samples& cleanRecord();
const Samples& noisyRecord();

// The program's main window on a memory port.
struct Bench {
    MemorySerialPort* port = nullptr;
    std::unique_ptr<MDIForm1> window;
    ChargeSession& session() const;
    Formgrafik& grafik() const;
};
Bench& bench();

// Copies samples into the live record as a finished record of `count` samples.
void loadRecord(const Samples& record, int count);

namespace ladomat::sim {
struct Reading;
}
// Sends one frame to the program's port.
void send(const ladomat::sim::Reading& reading);
// Starts a recording run and moves it on to `recorded` samples, its store and log filled that
// far from the clean record.
void recordingRun(int recorded);

// Resident memory of this process, from /proc/self/status.
double vmRssBytes();

// Keeps each run's real time per iteration in milliseconds, by benchmark name.
class TimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    double ms(const std::string& name) const;
    // Processor time per iteration in milliseconds, for runs that measure it.
    double cpuMs(const std::string& name) const;

private:
    std::map<std::string, double> ms_;
    std::map<std::string, double> cpuMs_;
};

// Pictures the benchmarks drew, kept for the identity checks.
inline std::map<std::string, QImage> pictures;
long differingPixels(const QImage& a, const QImage& b);

struct TableRow {
    std::string operation;
    std::string ours;
    std::string naive;
    std::string result;  // the ratio or figure the target is about, and the check
    bool met;
};
inline std::vector<TableRow> table;
// printf into a string.
std::string format(const char* pattern, ...);

// Each part adds its rows once the benchmarks have run. The log's figures come from a run of
// their own before the benchmarks, on a heap that holds nothing else yet.
void measureLog();
void reportGesamtkurve(const TimeReporter& times);
void reportLaufKurve(const TimeReporter& times);
void reportTextdatei(const TimeReporter& times);
void reportLog();
void reportFrames(const TimeReporter& times);
void reportPaintedFrames(const TimeReporter& times);
void reportRecords(const TimeReporter& times);
void reportBook(const TimeReporter& times);
void reportCompare(const TimeReporter& times);
