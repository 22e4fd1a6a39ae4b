// One reading as a frame carries it (the program, the cycle, the three measured values, the
// capacity and the status), and the frame's digit table it is decoded from.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

// A frame's digit table: entry k holds the value (0 to 15) of frame character k, 1 to 30.
using Ziffern = std::array<float, 31>;

struct Messwerte {
    QString Modus;
    int16_t Zyklus = 0;
    int32_t UEin = 0;
    int32_t UAus = 0;
    int32_t IAus = 0;
    int32_t Kapazitaet = 0;
    int16_t StatusNr = 0;
    bool operator==(const Messwerte&) const = default;
};
