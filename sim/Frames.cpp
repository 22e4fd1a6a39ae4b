// Frame encoding, the charger scenarios and the replay of recorded curve files.
#include "Frames.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <utility>

namespace ladomat::sim {

std::string frameDigits(const Reading& r)
{
    const auto byte = [](int v) { return static_cast<unsigned>(v) & 0xFFu; };
    const auto word = [](int v) { return static_cast<unsigned>(v) & 0xFFFFu; };
    char digits[31];
    std::snprintf(digits, sizeof digits, "%02X%02X%02X%04X%04X%04X%04X%02X%02X", byte(r.serial), byte(r.mode),
                  byte(r.cycle), word(r.inputMv), word(r.outputMv), word(r.currentTenthMa),
                  word(r.capacityMah), byte(r.status), byte(r.flags));
    unsigned sum = 0;
    for (int i = 0; i < 26; ++i)
        sum += static_cast<unsigned char>(digits[i]);
    std::snprintf(digits + 26, 5, "%04X", sum & 0xFFFFu);
    return std::string(digits, 30);
}

std::string frameLine(const Reading& r, Envelope envelope)
{
    return envelope.start + frameDigits(r) + envelope.end;
}

namespace {

constexpr int kTenthMaSecondsPerMah = 36000;
constexpr int kNimhCells = 6;
constexpr int kLeadCells = 3;
constexpr int kOneAmp = 10000;
// A NiMH charge goes on for a minute past its voltage peak, the -dV the charger ends on.
constexpr int kMinusDeltaVSeconds = 60;
// A charge at 1 A from nearly empty.
constexpr int kFullChargeSeconds = 2400;
constexpr int kFullChargePeak = kFullChargeSeconds - kMinusDeltaVSeconds;

int packMv(int cells, double cellMv) { return static_cast<int>(std::lround(cells * cellMv)); }

// One NiMH cell charging at about 1 C, x = share of the way to the voltage peak (0..1):
// a quick rise, a long gentle slope, then the steep climb to the peak.
double nimhChargeCellMv(double x)
{
    return 1300 + 85 * (1 - std::exp(-20 * x)) + 80 * x + 100 * std::pow(x, 8);
}

// One NiMH cell discharging at about 1 C, x = share of the way to 1.0 V (0..1): a quick fall,
// a long flat stretch, then the knee.
double nimhDischargeCellMv(double x)
{
    return 1380 - 100 * (1 - std::exp(-15 * x)) - 80 * x - 200 * std::pow(x, 12);
}

// One lead cell charging at constant current, x = share of the way to 2.4 V (0..1).
double leadChargeCellMv(double x) { return 2100 + 150 * x + 150 * std::pow(x, 4); }

// Six NiMH cells in second `second` of a charge that peaks after `peak` seconds; past the peak the
// voltage falls by about 7 mV a cell a minute.
int nimhChargeMv(int second, int peak)
{
    if (second <= peak)
        return packMv(kNimhCells, nimhChargeCellMv(static_cast<double>(second) / peak));
    return packMv(kNimhCells, nimhChargeCellMv(1) - 7.0 * (second - peak) / 60);
}

// Collects a scenario second by second, one frame a second. The input voltage wanders by a few
// millivolts as a real supply does, so no two consecutive frames are the same.
class Recorder {
public:
    // A value (millivolts or tenths of a milliampere) for each second of a stretch, counted from 0.
    using Profile = std::function<int(int)>;

    Recorder(Envelope envelope, int mode, int cycle = 0)
        : envelope_(envelope)
    {
        reading_.mode = mode;
        reading_.cycle = cycle;
    }

    int outputMv() const { return reading_.outputMv; }

    void send(int status, int outputMv, int currentTenthMa, int capacityMah)
    {
        reading_.status = status;
        reading_.outputMv = outputMv;
        reading_.currentTenthMa = currentTenthMa;
        reading_.capacityMah = capacityMah;
        reading_.inputMv = 12450 + static_cast<int>(seconds_.size() * 7 % 23);
        seconds_.push_back(frameLine(reading_, envelope_));
    }

    // Seconds without current: the voltage settles from fromMv towards towardsMv, the capacity stays.
    void rest(int status, int seconds, int fromMv, int towardsMv)
    {
        for (int i = 0; i < seconds; ++i)
            send(status,
                 static_cast<int>(std::lround(towardsMv + (fromMv - towardsMv) * std::exp(-i / 60.0))), 0,
                 reading_.capacityMah);
    }

    // Seconds under current, from zero capacity: the capacity grows by current times time.
    void run(int status, int seconds, const Profile& mv, const Profile& tenthMa)
    {
        chargeTenthMaSeconds_ = 0;
        carryOn(status, seconds, mv, tenthMa);
    }

    // Like run, but the capacity counts on from the previous run (a second stage of the same charge).
    void carryOn(int status, int seconds, const Profile& mv, const Profile& tenthMa)
    {
        for (int i = 0; i < seconds; ++i) {
            const int current = tenthMa(i);
            chargeTenthMaSeconds_ += current;
            send(status, mv(i), current, static_cast<int>(chargeTenthMaSeconds_ / kTenthMaSecondsPerMah));
        }
    }

    std::vector<std::string> take() { return std::move(seconds_); }

private:
    Envelope envelope_;
    Reading reading_;
    long long chargeTenthMaSeconds_ = 0;
    std::vector<std::string> seconds_;
};

int oneAmp(int) { return kOneAmp; }

// A NiMH charge at 1 A over `seconds`, the last of them past the peak.
void nimhCharge(Recorder& r, int status, int seconds)
{
    const int peak = seconds - kMinusDeltaVSeconds;
    const auto mv = [peak](int i) { return nimhChargeMv(i, peak); };
    r.run(status, seconds, mv, oneAmp);
}

// A NiMH discharge at 1 A over `seconds`, down to 1.0 V a cell.
void nimhDischarge(Recorder& r, int status, int seconds)
{
    const auto mv = [seconds](int i) {
        return packMv(kNimhCells, nimhDischargeCellMv(static_cast<double>(i) / (seconds - 1)));
    };
    r.run(status, seconds, mv, oneAmp);
}

std::vector<std::string> nimhChargeScenario(Envelope envelope)
{
    Recorder r(envelope, 0);
    r.rest(0, 5, 0, 0);
    r.rest(1, 10, 7800, 7800);
    nimhCharge(r, 2, kFullChargeSeconds);
    r.rest(8, 120, r.outputMv(), r.outputMv() - 240);
    return r.take();
}

std::vector<std::string> dischargeScenario(Envelope envelope)
{
    Recorder r(envelope, 1);
    r.rest(1, 10, 8300, 8300);
    nimhDischarge(r, 3, 1500);
    r.rest(8, 120, r.outputMv(), r.outputMv() + 480);
    return r.take();
}

std::vector<std::string> chargeDischargeScenario(Envelope envelope)
{
    Recorder r(envelope, 2, 1);
    r.rest(1, 10, 7800, 7800);
    nimhCharge(r, 6, 900);
    r.rest(9, 30, r.outputMv(), r.outputMv() - 600);
    nimhDischarge(r, 7, 900);
    r.rest(8, 60, r.outputMv(), r.outputMv() + 480);
    return r.take();
}

std::vector<std::string> dischargeChargeScenario(Envelope envelope)
{
    Recorder r(envelope, 3, 1);
    r.rest(1, 10, 8100, 8100);
    nimhDischarge(r, 4, 900);
    r.rest(9, 30, r.outputMv(), r.outputMv() + 480);
    nimhCharge(r, 5, 900);
    r.rest(8, 60, r.outputMv(), r.outputMv() - 240);
    return r.take();
}

// A 6 V lead battery: constant current up to 2.4 V a cell, then constant voltage while the current
// falls to a twentieth of its start.
std::vector<std::string> leadChargeScenario(Envelope envelope)
{
    constexpr int stage = 900;
    constexpr int current = 8000;
    Recorder r(envelope, 4);
    r.rest(1, 10, 6300, 6300);
    const auto risingMv = [](int i) {
        return packMv(kLeadCells, leadChargeCellMv(static_cast<double>(i) / (stage - 1)));
    };
    r.run(2, stage, risingMv, [](int) { return current; });
    const int holdMv = r.outputMv();
    const auto fallingTenthMa = [](int i) {
        return static_cast<int>(std::lround(current * std::exp(-i / 300.0)));
    };
    const auto heldMv = [holdMv](int) { return holdMv; };
    r.carryOn(2, stage, heldMv, fallingTenthMa);
    r.rest(8, 120, holdMv, packMv(kLeadCells, 2200));
    return r.take();
}

// Stopped at the charger after two minutes: ready again, then a new run.
std::vector<std::string> stopScenario(Envelope envelope)
{
    Recorder r(envelope, 0);
    r.rest(1, 10, 7800, 7800);
    const auto firstRunMv = [](int i) { return nimhChargeMv(i, kFullChargePeak); };
    r.run(2, 120, firstRunMv, oneAmp);
    r.rest(1, 60, r.outputMv(), r.outputMv() - 150);
    // The new run starts from the battery as the first one left it.
    const auto secondRunMv = [](int i) { return nimhChargeMv(120 + i, kFullChargePeak); };
    r.run(2, 120, secondRunMv, oneAmp);
    return r.take();
}

std::vector<std::string> noBatteryScenario(Envelope envelope)
{
    Recorder r(envelope, 0);
    r.rest(0, 60, 0, 0);
    return r.take();
}

std::vector<std::string> silentScenario(Envelope) { return std::vector<std::string>(60); }

std::vector<std::string> frozenScenario(Envelope envelope)
{
    Reading reading;
    reading.status = 2;
    reading.outputMv = 8350;
    reading.currentTenthMa = kOneAmp;
    reading.capacityMah = 212;
    return std::vector<std::string>(60, frameLine(reading, envelope));
}

// A charge in progress as the frames would be on the line, for the scenarios that damage them.
Reading chargingSecond(int second)
{
    Reading reading;
    reading.status = 2;
    reading.outputMv = nimhChargeMv(second, kFullChargePeak);
    reading.currentTenthMa = kOneAmp;
    reading.capacityMah = second * kOneAmp / kTenthMaSecondsPerMah;
    return reading;
}

// Every third second a valid frame; the others carry noise, cut or padded frames or frames with
// digits overwritten. The generator has a fixed seed and is used without distributions, whose
// results differ between standard libraries, so every run sends the same bytes.
std::vector<std::string> garbageScenario(Envelope envelope)
{
    std::mt19937 random(4711);
    const auto nonHex = [&random] {
        for (;;) {
            const char c = static_cast<char>(random() % 256);
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return c;
        }
    };
    const auto noise = [&](std::size_t length) {
        std::string bytes;
        while (bytes.size() < length)
            bytes += nonHex();
        return bytes;
    };
    std::vector<std::string> seconds;
    for (int i = 0; i < 120; ++i) {
        std::string line = frameLine(chargingSecond(i), envelope);
        if (i % 3 != 0) {
            switch (random() % 4) {
            case 0:
                line = noise(1 + random() % 64);
                break;
            case 1:
                line.resize(1 + random() % 31);
                break;
            case 2:
                line += noise(1 + random() % 16);
                break;
            default:
                for (int n = 0; n < 3; ++n)
                    line[1 + random() % 30] = nonHex();
                break;
            }
        }
        seconds.push_back(line);
    }
    return seconds;
}

std::vector<std::string> shortReadsScenario(Envelope envelope)
{
    std::vector<std::string> seconds;
    for (int i = 0; i < 60; ++i)
        seconds.push_back(frameLine(chargingSecond(i), envelope).substr(0, 20));
    return seconds;
}

using Builder = std::vector<std::string> (*)(Envelope);

constexpr std::pair<std::string_view, Builder> kScenarios[] = {
    {"nimh-charge", nimhChargeScenario},
    {"discharge", dischargeScenario},
    {"charge-discharge", chargeDischargeScenario},
    {"discharge-charge", dischargeChargeScenario},
    {"lead-charge", leadChargeScenario},
    {"stop", stopScenario},
    {"no-battery", noBatteryScenario},
    {"silent", silentScenario},
    {"frozen", frozenScenario},
    {"garbage", garbageScenario},
    {"short-reads", shortReadsScenario},
};

// The output voltage, current and capacity of a curve file line "n,mV,tenthmA,mAh", rounded to
// whole units; nothing when the line is not four numbers.
std::optional<std::array<int, 3>> parseCurveLine(std::string_view line)
{
    std::array<int, 3> values{};
    const char* at = line.data();
    const char* const end = line.data() + line.size();
    for (int field = 0; field < 4; ++field) {
        if (field > 0) {
            if (at == end || *at != ',')
                return std::nullopt;
            ++at;
        }
        double value = 0;
        const auto [next, error] = std::from_chars(at, end, value);
        // Non-numbers, infinities and values no frame field could carry are not a curve line.
        if (error != std::errc() || !(std::abs(value) < 1e9))
            return std::nullopt;
        if (field > 0)
            values[field - 1] = static_cast<int>(std::lround(value));
        at = next;
    }
    if (at != end)
        return std::nullopt;
    return values;
}

}  // namespace

Reading chargeSecond(int second, int seconds, int currentTenthMa)
{
    Reading reading;
    reading.status = 2;
    reading.outputMv = nimhChargeMv(second, seconds - kMinusDeltaVSeconds);
    reading.currentTenthMa = currentTenthMa;
    reading.capacityMah =
        static_cast<int>(static_cast<long long>(currentTenthMa) * second / kTenthMaSecondsPerMah);
    return reading;
}

std::vector<std::string> scenario(std::string_view name, Envelope envelope)
{
    for (const auto& [known, build] : kScenarios)
        if (known == name)
            return build(envelope);
    return {};
}

std::vector<std::string> scenarioNames()
{
    std::vector<std::string> names;
    for (const auto& entry : kScenarios)
        names.emplace_back(entry.first);
    return names;
}

std::vector<std::string> replayCurveFile(const std::string& text, Envelope envelope)
{
    std::vector<std::array<int, 3>> samples;
    std::string_view rest = text;
    while (!rest.empty()) {
        std::string_view line = rest.substr(0, rest.find('\n'));
        rest.remove_prefix(std::min(rest.size(), line.size() + 1));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (const auto values = parseCurveLine(line))
            samples.push_back(*values);
    }

    Recorder r(envelope, 0);
    const int firstMv = samples.empty() ? 0 : samples.front()[0];
    r.rest(1, 5, firstMv, firstMv);
    for (const auto& [mv, tenthMa, mah] : samples)
        r.send(2, mv, tenthMa, mah);
    r.rest(8, 5, r.outputMv(), r.outputMv());
    return r.take();
}

}  // namespace ladomat::sim
