// The graph's view: page length, page, last page, scales, the whole-record view and the caption's
// first line as last printed; and the page arithmetic over it, as pure functions.
#pragma once

#include <QString>

#include <array>

struct GraphView {
    float MinProSeite = 12;
    float Seite = 1;
    float LetzteSeite = 1;
    float SkalaU = 63000;
    float SkalaI = 52500;
    float SkalaQ = 3150;
    bool Gesamtansicht = false;  // the whole record across the plot instead of pages
    QString AlteKopfzeile;
    // As the graph settings window shows them: the minutes of the chosen time option, which
    // MinProSeite takes when the time axis is labelled, and the curves whose box reads 1
    // (voltage, current, capacity).
    float chosenMinutes = 12;
    std::array<bool, 3> shown{true, true, false};
};

// Samples per page: MinProSeite minutes at 60 samples a minute.
float samplesPerPage(const GraphView& view);

// Pages of `minutes` minutes that a record ending at messAnzahl fills, a partly filled last page
// included; an empty record still has its one, empty page.
float pagesFor(float messAnzahl, float minutes);

// First sample of page p; sample numbers start at 1.
float pageStart(const GraphView& view, float page);

// The page before and after Seite, within 1 and LetzteSeite.
float previousPage(const GraphView& view);
float nextPage(const GraphView& view);

// The live page once sample messNr has joined it, on pages of S samples: when the sample reaches
// or passes the right edge the page turns, straight to the page that holds it.
float livePage(float letzteSeite, float messNr, float S);

// The time axis of the paged view in minutes: the left edge, the five grid lines, the right end.
std::array<float, 7> pageMinutes(const GraphView& view);

// The time labels of the whole-record view of N samples: 0 at the left edge, a sixth of the
// record's minutes per grid line, the whole with its unit at the right end.
std::array<QString, 7> wholeRecordLabels(int N);
