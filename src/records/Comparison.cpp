// Records compared on one plot: scales, curves, grid and labels.
#include "records/Comparison.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "process/Record.h"

#include <algorithm>
#include <cmath>

namespace {

int divisionsFor(double largest, double step)
{
    // A hair of tolerance, so that a largest value on a step's multiple needs no step more.
    return std::max(1, static_cast<int>(std::ceil(largest / step - 1e-9)));
}

const float* samplesOf(const Record& record, Quantity quantity)
{
    switch (quantity) {
    case Quantity::voltage:
        return record.KurveU.get();
    case Quantity::current:
        return record.KurveI.get();
    case Quantity::capacity:
        break;
    }
    return record.KurveQ.get();
}

// Samples are in mV, tenths of mA and mAh; the axis shows V, A and mAh.
double factorOf(Quantity quantity)
{
    switch (quantity) {
    case Quantity::voltage:
        return 1000;
    case Quantity::current:
        return 10000;
    case Quantity::capacity:
        break;
    }
    return 1;
}

double largestOf(const std::vector<const Record*>& records, Quantity quantity)
{
    double largest = 0;
    for (const Record* record : records) {
        const float* samples = samplesOf(*record, quantity);
        const int count = record->count();
        if (count > 0)
            largest = std::max<double>(largest, *std::max_element(samples + 1, samples + 1 + count));
    }
    return largest;
}

// A step's multiples with as many decimals as the step needs.
QString stepText(double value, double step)
{
    const int decimals = std::max(0, static_cast<int>(-std::floor(std::log10(step) + 1e-9)));
    return patternText(value,
                       decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(decimals, u'0'));
}

}  // namespace

AxisScale roundScale(double largest)
{
    if (!(largest > 0))
        largest = 1;
    const int exponent = static_cast<int>(std::floor(std::log10(largest / kMostDivisions)));
    for (int e = exponent; e <= exponent + 1; ++e) {
        for (double m : {1.0, 2.0, 5.0}) {
            const double step = m * std::pow(10.0, e);
            if (divisionsFor(largest, step) <= kMostDivisions)
                return {step, divisionsFor(largest, step)};
        }
    }
    return {std::pow(10.0, exponent + 2), 1};
}

AxisScale timeScale(double seconds)
{
    constexpr int kMinute = 60, kHour = 3600, kDay = 86400;
    for (int step :
         {kMinute, 2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 20 * kMinute, 30 * kMinute, kHour,
          2 * kHour, 3 * kHour, 4 * kHour, 6 * kHour, 12 * kHour, kDay, 2 * kDay, 5 * kDay, 10 * kDay}) {
        if (divisionsFor(seconds, step) <= kMostDivisions)
            return {static_cast<double>(step), divisionsFor(seconds, step)};
    }
    const AxisScale days = roundScale(seconds / kDay);
    return {days.step * kDay, days.divisions};
}

CompareAxes compareAxes(const std::vector<const Record*>& records, CompareView view)
{
    CompareAxes axes;
    axes.valueFactor = factorOf(view.quantity);
    axes.value = roundScale(largestOf(records, view.quantity) / axes.valueFactor);
    if (view.across == Across::capacity) {
        axes.across = roundScale(largestOf(records, Quantity::capacity));
    } else {
        int longest = 1;
        for (const Record* record : records)
            longest = std::max(longest, record->count());
        axes.across = timeScale(longest - 1);
    }
    return axes;
}

std::vector<CurveGroup> compareGroups(const std::vector<const Record*>& records, CompareView view,
                                      const CompareAxes& axes, float W)
{
    std::vector<CurveGroup> groups;
    const float scale = static_cast<float>(axes.value.end() * axes.valueFactor);
    for (size_t r = 0; r < records.size() && r < kComparePalette.size(); ++r) {
        const Record& record = *records[r];
        groups.push_back({.curves = {{samplesOf(record, view.quantity), scale, kComparePalette[r]}},
                          .count = record.count(),
                          .perUnit = W / static_cast<float>(axes.across.end()),
                          .across = view.across == Across::capacity ? record.KurveQ.get() : nullptr,
                          .shift = 1,
                          .fromCorner = false});
    }
    return groups;
}

void drawCompareGrid(PlotSurface* plot, const CompareAxes& axes)
{
    plot->Cls();
    plot->setForeColor(QColor(150, 150, 150));
    const double W = plot->ScaleWidth();
    const double H = plot->ScaleHeight();
    for (int k = 1; k < axes.across.divisions; ++k)
        plot->Line(W * k / axes.across.divisions, 0, W * k / axes.across.divisions, H);
    for (int k = 1; k < axes.value.divisions; ++k)
        plot->Line(0, H - H * k / axes.value.divisions, W, H - H * k / axes.value.divisions);
    plot->LineBox(0, 0, W - 15, H - 5);
}

CompareAxes drawComparison(PlotSurface* plot, const std::vector<const Record*>& records, CompareView view)
{
    const CompareAxes axes = compareAxes(records, view);
    drawCompareGrid(plot, axes);
    drawReduced(plot, compareGroups(records, view, axes, static_cast<float>(plot->ScaleWidth())));
    plot->update();
    return axes;
}

QString valueLabel(const CompareAxes& axes, Quantity quantity, int k)
{
    const QString unit = quantity == Quantity::voltage ? QStringLiteral(" V")
        : quantity == Quantity::current                ? QStringLiteral(" A")
                                                       : QStringLiteral(" mAh");
    return stepText(k * axes.value.step, axes.value.step) + unit;
}

QString acrossLabel(const CompareAxes& axes, Across across, int k)
{
    if (across == Across::capacity)
        return stepText(k * axes.across.step, axes.across.step) + QStringLiteral(" mAh");
    const long long minutes = std::llround(k * axes.across.step / 60);
    return QString::asprintf("%02lld:%02lld", minutes / 60, minutes % 60);
}
