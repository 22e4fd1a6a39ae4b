// The summary of a record, computed in one pass over each stretch of the timeline.
#include "records/Summary.h"

#include "platform/NumberText.h"

#include <QLocale>

#include <algorithm>

namespace {

constexpr int kVersion = 1;

enum class Phase { none, charge, discharge, pause };

// The charger's statuses: 2, 5 and 6 charge, 3, 4 and 7 discharge, 9 is the pause between the two
// phases; the others (no battery, ready, ended) are no phase.
Phase phaseOf(int status)
{
    switch (status) {
    case 2:
    case 5:
    case 6:
        return Phase::charge;
    case 3:
    case 4:
    case 7:
        return Phase::discharge;
    case 9:
        return Phase::pause;
    default:
        return Phase::none;
    }
}

struct Sums {
    int samples = 0;
    double mah = 0;
    double tenthMa = 0;
    double mvTenthMa = 0;
    float peak = 0;

    Figures figures() const
    {
        // mV · mA/10 over one second is 1e-7 Ws; 3600 Ws are one Wh.
        return {samples, mah, mvTenthMa / 3.6e10, samples ? tenthMa / 10 / samples : 0, peak / 10.0};
    }
};

// The current carries no sign: whether the charger charges or discharges is its status, so the
// timeline decides. The capacity is the charger's counter of the running phase in mAh; whether it
// starts again from zero at a change of phase is the charger's affair, so each sample adds what
// the counter rose since the sample before, or its whole value where the counter fell (it started
// again). The counter starts from zero with the run, so the first sample adds its value.
void add(Sums& sums, const Record& record, int from, int to)
{
    const float* u = record.KurveU.get();
    const float* i = record.KurveI.get();
    const float* q = record.KurveQ.get();
    double mah = 0, tenthMa = 0, mvTenthMa = 0;
    float peak = sums.peak;
    float before = from > 1 ? q[from - 1] : 0.0f;
    for (int n = from; n < to; ++n) {
        // A select, not a branch, whichever way the counter went.
        const float rise = q[n] - before;
        mah += rise >= 0 ? rise : q[n];
        before = q[n];
        tenthMa += i[n];
        mvTenthMa += double(u[n]) * i[n];
        peak = std::max(peak, i[n]);
    }
    sums.samples += to - from;
    sums.mah += mah;
    sums.tenthMa += tenthMa;
    sums.mvTenthMa += mvTenthMa;
    sums.peak = peak;
}

std::optional<double> nominalCapacity(const QString& note)
{
    bool ok = false;
    double value = QLocale(QLocale::German).toDouble(note.trimmed(), &ok);
    if (!ok)
        value = QLocale::c().toDouble(note.trimmed(), &ok);
    return ok && value > 0 ? std::optional(value) : std::nullopt;
}

QString mahText(double mah) { return patternText(mah, QStringLiteral("0")) + QStringLiteral(" mAh"); }
QString whText(double wh) { return patternText(wh, QStringLiteral("0.00")) + QStringLiteral(" Wh"); }
QString ampereText(double ma)
{
    return patternText(ma / 1000, QStringLiteral("0.00")) + QStringLiteral(" A");
}
QString voltText(double mv) { return patternText(mv / 1000, QStringLiteral("0.00")) + QStringLiteral(" V"); }

QString phaseLine(const QString& label, const Figures& f)
{
    return label + QStringLiteral(": ") + durationText(f.samples) + QStringLiteral(", ") + mahText(f.mah) +
        QStringLiteral(", ") + whText(f.wh) + QStringLiteral(", Ø ") + ampereText(f.meanMa);
}

QJsonObject figuresJson(const Figures& f)
{
    return {{"samples", f.samples}, {"mah", f.mah}, {"wh", f.wh}, {"meanMa", f.meanMa}, {"peakMa", f.peakMa}};
}

Figures figuresFrom(const QJsonObject& json)
{
    return {json.value("samples").toInt(), json.value("mah").toDouble(), json.value("wh").toDouble(),
            json.value("meanMa").toDouble(), json.value("peakMa").toDouble()};
}

}  // namespace

QString durationText(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

Summary summarize(const Record& record, const RecordFacts& facts)
{
    const int count = record.count();
    std::vector<TimelineEntry> timeline = facts.timeline;
    std::stable_sort(timeline.begin(), timeline.end(),
                     [](const TimelineEntry& a, const TimelineEntry& b) { return a.sample < b.sample; });

    // Samples before the timeline's first entry are in the state it names.
    Sums sums[4];
    int from = 1;
    for (size_t k = 0; k < timeline.size() && from <= count; ++k) {
        const int to =
            k + 1 < timeline.size() ? std::clamp(timeline[k + 1].sample, from, count + 1) : count + 1;
        add(sums[int(phaseOf(timeline[k].status))], record, from, to);
        from = to;
    }
    if (from <= count)
        add(sums[int(Phase::none)], record, from, count + 1);

    Summary summary;
    Sums whole;
    for (const Sums& s : sums) {
        whole.samples += s.samples;
        whole.mah += s.mah;
        whole.tenthMa += s.tenthMa;
        whole.mvTenthMa += s.mvTenthMa;
        whole.peak = std::max(whole.peak, s.peak);
    }
    summary.whole = whole.figures();
    summary.charge = sums[int(Phase::charge)].figures();
    summary.discharge = sums[int(Phase::discharge)].figures();
    summary.pause = sums[int(Phase::pause)].figures();
    summary.phases = summary.charge.samples + summary.discharge.samples + summary.pause.samples > 0;

    const float* u = record.KurveU.get();
    if (count > 0) {
        summary.firstMv = u[1];
        summary.highestMv = *std::max_element(u + 1, u + count + 1);
        summary.lastMv = u[count];
    }
    summary.seconds = facts.start.isValid() && facts.end.isValid()
        ? std::max<qint64>(0, facts.start.secsTo(facts.end))
        : count;

    // A capacity test is what the battery gave: the discharged capacity where there is one.
    const double moved = !summary.phases ? summary.whole.mah
        : summary.discharge.mah > 0      ? summary.discharge.mah
                                         : summary.charge.mah;
    if (const std::optional<double> nominal = nominalCapacity(facts.notes[1]))
        summary.nominalShare = moved / *nominal * 100;
    if (facts != RecordFacts{})
        summary.end = facts.endReason;
    return summary;
}

QStringList summaryLines(const Summary& s)
{
    QStringList lines{QStringLiteral("Dauer: ") + durationText(s.seconds),
                      QStringLiteral("Messwerte: ") + QString::number(s.whole.samples)};
    if (s.whole.samples > 0) {
        if (s.phases)
            lines << QStringLiteral("Geladen: ") + mahText(s.charge.mah)
                  << QStringLiteral("Entladen: ") + mahText(s.discharge.mah)
                  << QStringLiteral("Energie geladen: ") + whText(s.charge.wh)
                  << QStringLiteral("Energie entladen: ") + whText(s.discharge.wh);
        else
            lines << QStringLiteral("Kapazität: ") + mahText(s.whole.mah)
                  << QStringLiteral("Energie: ") + whText(s.whole.wh);
        lines << QStringLiteral("Mittlerer Strom: ") + ampereText(s.whole.meanMa)
              << QStringLiteral("Höchster Strom: ") + ampereText(s.whole.peakMa)
              << QStringLiteral("Erste Spannung: ") + voltText(s.firstMv)
              << QStringLiteral("Höchste Spannung: ") + voltText(s.highestMv)
              << QStringLiteral("Letzte Spannung: ") + voltText(s.lastMv);
    }
    if (s.nominalShare)
        lines << QStringLiteral("Anteil der Nennkapazität: ") +
                patternText(*s.nominalShare, QStringLiteral("0")) + QStringLiteral(" %");
    if (s.end)
        lines << QStringLiteral("Ende: ") + recordEndText(*s.end);
    // Each phase on its own line once there is more than one.
    const int phases = (s.charge.samples > 0) + (s.discharge.samples > 0) + (s.pause.samples > 0);
    if (phases > 1) {
        if (s.charge.samples > 0)
            lines << phaseLine(QStringLiteral("Ladephase"), s.charge);
        if (s.pause.samples > 0)
            lines << QStringLiteral("Pause: ") + durationText(s.pause.samples);
        if (s.discharge.samples > 0)
            lines << phaseLine(QStringLiteral("Entladephase"), s.discharge);
    }
    return lines;
}

QJsonObject summaryJson(const Summary& s)
{
    QJsonObject json{{"version", kVersion},
                     {"seconds", s.seconds},
                     {"whole", figuresJson(s.whole)},
                     {"phases", s.phases},
                     {"charge", figuresJson(s.charge)},
                     {"discharge", figuresJson(s.discharge)},
                     {"pause", figuresJson(s.pause)},
                     {"firstMv", s.firstMv},
                     {"highestMv", s.highestMv},
                     {"lastMv", s.lastMv}};
    if (s.nominalShare)
        json.insert("nominalShare", *s.nominalShare);
    if (s.end)
        json.insert("end", int(*s.end));
    return json;
}

std::optional<Summary> summaryFromJson(const QJsonObject& json)
{
    if (json.value("version").toInt() != kVersion || !json.value("whole").isObject())
        return std::nullopt;
    Summary s;
    s.seconds = json.value("seconds").toInteger();
    s.whole = figuresFrom(json.value("whole").toObject());
    s.phases = json.value("phases").toBool();
    s.charge = figuresFrom(json.value("charge").toObject());
    s.discharge = figuresFrom(json.value("discharge").toObject());
    s.pause = figuresFrom(json.value("pause").toObject());
    s.firstMv = json.value("firstMv").toDouble();
    s.highestMv = json.value("highestMv").toDouble();
    s.lastMv = json.value("lastMv").toDouble();
    if (json.contains("nominalShare"))
        s.nominalShare = json.value("nominalShare").toDouble();
    if (json.contains("end")) {
        const int end = json.value("end").toInt(-1);
        if (end < int(RecordEnd::none) || end > int(RecordEnd::unknown))
            return std::nullopt;
        s.end = RecordEnd(end);
    }
    return s;
}
