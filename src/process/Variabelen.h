// All state that outlives one event: the current reading, the sample store, run flags, view settings.
#pragma once

#include "process/Messwerte.h"

#include <QString>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>

constexpr int kStoreSize = 2000000;  // samples 1 to 2,000,000

// One curve of the store, zero-filled by the system: its pages cost memory only once written.
struct FreeCurve {
    void operator()(float* curve) const { std::free(curve); }
};
using CurveStore = std::unique_ptr<float[], FreeCurve>;

class Journal;

// The current reading, decoded from the latest frame, is the Messwerte part.
struct Variabelen : Messwerte {
    Variabelen();
    ~Variabelen();

    // The start values of the record, the run flags, the link watch and the view; the program
    // sets them once more when it starts up.
    void setStartValues();

    // The latest frame's characters.
    QString Datensatz;
    Ziffern Ziffer{};

    // The record: indices 1 to kStoreSize are valid; index 0 is unused.
    CurveStore KurveU;
    CurveStore KurveI;
    CurveStore KurveQ;
    float MessNr = 0;
    float MessAnzahl = 0;

    // Run flags.
    int16_t MessungBeendet = 0;
    int16_t MessungGestoppt = 0;
    int16_t StatusAlt = 0;

    // Link watch history, newest first.
    QString DatensatzAlt1;
    QString DatensatzAlt2;
    QString DatensatzAlt3;
    QString DatensatzAlt4;
    QString DatensatzAlt5;

    // View of the graph.
    float MinProSeite = 0;
    float LetzteSeite = 0;
    float Seite = 0;
    float SkalaU = 0;
    float SkalaI = 0;
    float SkalaQ = 0;
    QString AlteKopfzeile;
    bool Gesamtansicht = false;  // the whole record across the plot instead of pages

    int16_t DateiNr = 0;

    // The recording journal; none unless the program sets a folder for it.
    std::unique_ptr<Journal> journal;
};

// The program's one instance, created by the main window (tests get a fresh one per window).
extern Variabelen* V;

// Whether the plot shows the whole record instead of one page.
inline bool gesamtansicht() { return V->Gesamtansicht; }

// Samples per page: MinProSeite minutes at 60 samples a minute.
inline float samplesPerPage() { return V->MinProSeite * 720 / 12; }

// The store slot of sample MessNr.
inline long messNrSlot() { return std::lround(V->MessNr); }

// The record's last sample: MessAnzahl, never beyond the store.
inline int recordEnd() { return static_cast<int>(std::min<float>(V->MessAnzahl, kStoreSize)); }

// Pages of `minutes` minutes the record fills, a partly filled last page included; an empty
// record still has its one, empty page.
inline float pagesFor(float minutes) { return std::max(1.0f, std::ceil(V->MessAnzahl / 720 * 12 / minutes)); }

// First sample of page p; sample numbers start at 1.
inline float pageStart(float page)
{
    const float start = samplesPerPage() * (page - 1);
    return start < 1 ? 1 : start;
}
