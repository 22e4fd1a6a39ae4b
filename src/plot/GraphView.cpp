// Page arithmetic over the graph's view.
#include "plot/GraphView.h"

#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

float samplesPerPage(const GraphView& view) { return view.MinProSeite * 720 / 12; }

float pagesFor(float messAnzahl, float minutes)
{
    return std::max(1.0f, std::ceil(messAnzahl / 720 * 12 / minutes));
}

float pageStart(const GraphView& view, float page)
{
    const float start = samplesPerPage(view) * (page - 1);
    return start < 1 ? 1 : start;
}

float previousPage(const GraphView& view) { return view.Seite > 1 ? view.Seite - 1 : view.Seite; }

float nextPage(const GraphView& view) { return std::min(view.Seite + 1, view.LetzteSeite); }

float livePage(float letzteSeite, float messNr, float S)
{
    return messNr >= S * letzteSeite ? std::floor(messNr / S) + 1 : letzteSeite;
}

std::array<float, 7> pageMinutes(const GraphView& view)
{
    // Minutes at the left edge and between two vertical grid lines, in single precision.
    const float a = (view.Seite - 1) * view.MinProSeite;
    const float d = view.MinProSeite / 6;
    std::array<float, 7> minutes;
    for (int m = 0; m <= 5; ++m)
        minutes[m] = a + m * d;
    minutes[6] = a + view.MinProSeite;
    return minutes;
}

std::array<QString, 7> wholeRecordLabels(int N)
{
    const float T = static_cast<float>(N) / 60;
    std::array<QString, 7> labels{QStringLiteral("0")};
    for (int k = 1; k <= 5; ++k)
        labels[k] = patternText(T / 6 * k, QStringLiteral("000.0"));
    labels[6] = patternText(T, QStringLiteral("000.0")) + QStringLiteral("Min");
    return labels;
}
