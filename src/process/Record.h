// A record: the three curves of up to 2,000,000 samples and how far they are filled. The live
// session owns one; the plot draws the record it is given and the exports write it.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <memory>

constexpr int kStoreSize = 2000000;  // samples 1 to 2,000,000

// One curve, zero-filled by the system: its pages cost memory only once written.
struct FreeCurve {
    void operator()(float* curve) const { std::free(curve); }
};
using CurveStore = std::unique_ptr<float[], FreeCurve>;

struct Record {
    Record();

    // Samples 1 to kStoreSize; index 0 is unused.
    CurveStore KurveU;
    CurveStore KurveI;
    CurveStore KurveQ;
    // The end of the record: its samples are 1 to MessAnzahl.
    float MessAnzahl = 0;

    // The record's last sample: MessAnzahl, never beyond the store.
    int count() const { return static_cast<int>(std::min<float>(MessAnzahl, kStoreSize)); }
};
