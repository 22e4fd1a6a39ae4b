// The benchmarks' shared parts: records, the program under test, measuring and formatting.
#include "Bench.h"

#include "platform/SerialPort.h"
#include "plot/Formgrafik.h"
#include "process/ChargeSession.h"
#include "process/ProtokollModel.h"
#include "shell/MDIForm1.h"
#include "sim/Frames.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <random>

namespace {

Samples makeRecord(const char* name, double noise)
{
    Samples record{name, {}, {}, {}};
    record.u.resize(kStoreSize + 1);
    record.i.resize(kStoreSize + 1);
    record.q.resize(kStoreSize + 1);
    std::mt19937 random(5);
    std::normal_distribution<double> spread(0, 1);
    // The charger's words: whole numbers from 0 to 65535.
    const auto word = [](double v) { return static_cast<float>(std::clamp(std::lround(v), 0L, 65535L)); };
    // 5.4 mA for 23 days charges 3,000 mAh; the curves fill the plot at the scales loadRecord sets.
    for (int n = 1; n <= kStoreSize; ++n) {
        const ladomat::sim::Reading r = ladomat::sim::chargeSecond(n - 1, kStoreSize, 54);
        record.u[n] = word(r.outputMv + noise * 1000 * spread(random));
        record.i[n] = word(r.currentTenthMa + noise * 15 * spread(random));
        record.q[n] = word(r.capacityMah + noise * 300 * spread(random));
    }
    return record;
}

}  // namespace

const Samples& cleanRecord()
{
    static const Samples record = makeRecord("clean", 0);
    return record;
}

const Samples& noisyRecord()
{
    static const Samples record = makeRecord("noisy", 1);
    return record;
}

Bench& bench()
{
    static Bench instance;
    return instance;
}

ChargeSession& Bench::session() const { return *window->session; }

Formgrafik& Bench::grafik() const { return *window->grafik; }

void loadRecord(const Samples& record, int count)
{
    ChargeSession& session = bench().session();
    GraphView& view = bench().grafik().view;
    std::copy_n(record.u.begin(), count + 1, session.Messreihe.KurveU.get());
    std::copy_n(record.i.begin(), count + 1, session.Messreihe.KurveI.get());
    std::copy_n(record.q.begin(), count + 1, session.Messreihe.KurveQ.get());
    view.SkalaU = 10500;
    view.SkalaI = 100;
    view.SkalaQ = 3150;
    session.Messreihe.MessAnzahl = static_cast<float>(count);
    session.MessNr = static_cast<float>(count);
}

double vmRssBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() * 1024;
    }
    return 0;
}

void TimeReporter::ReportRuns(const std::vector<Run>& runs)
{
    for (const Run& run : runs) {
        const double perMs = 1000 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ms_[run.run_name.str()] = run.GetAdjustedRealTime() * perMs;
        cpuMs_[run.run_name.str()] = run.GetAdjustedCPUTime() * perMs;
    }
    ConsoleReporter::ReportRuns(runs);
}

double TimeReporter::ms(const std::string& name) const
{
    const auto found = ms_.find(name);
    return found == ms_.end() ? 0 : found->second;
}

double TimeReporter::cpuMs(const std::string& name) const
{
    const auto found = cpuMs_.find(name);
    return found == cpuMs_.end() ? 0 : found->second;
}

long differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull())
        return -1;
    long differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

void send(const ladomat::sim::Reading& reading)
{
    bench().port->receive(QByteArray::fromStdString(ladomat::sim::frameLine(reading)));
}

// A run that records, moved on to `recorded` samples with its store and log filled that far.
void recordingRun(int recorded)
{
    ladomat::sim::Reading ready;
    ready.status = 1;
    send(ready);
    send(ladomat::sim::chargeSecond(0, kStoreSize, 54));
    ChargeSession& session = bench().session();
    GraphView& view = bench().grafik().view;
    for (int n = static_cast<int>(session.MessNr); n <= recorded; ++n) {
        const Samples& record = cleanRecord();
        session.Messreihe.KurveU[n] = record.u[n];
        session.Messreihe.KurveI[n] = record.i[n];
        session.Messreihe.KurveQ[n] = record.q[n];
        session.chargeLog->append(float(n), record.u[n], record.i[n], record.q[n]);
    }
    session.MessNr = static_cast<float>(recorded + 1);
    session.Messreihe.MessAnzahl = session.MessNr;
    view.LetzteSeite = std::ceil(session.MessNr / samplesPerPage(view));
    view.Seite = view.LetzteSeite;
}

std::string format(const char* pattern, ...)
{
    char text[200];
    va_list args;
    va_start(args, pattern);
    std::vsnprintf(text, sizeof text, pattern, args);
    va_end(args);
    return text;
}
