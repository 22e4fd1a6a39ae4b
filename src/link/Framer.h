// Cutting the characters from the charger into frames, and decoding a frame into a reading: pure
// code, no windows and no globals, so that tests and the fuzz target drive it directly.
#pragma once

#include "process/Messwerte.h"

#include <QString>

#include <cstdint>
#include <limits>
#include <vector>

// A frame on the line: start character, the 30 digits, end character.
inline constexpr int kFrameLength = 32;
// Silence after which the next character starts a frame: the charger sends one burst a second.
inline constexpr int64_t kPauseMs = 300;

// Something the framer cut from the line: a complete frame, or a piece that never completed.
struct LinePiece {
    QString text;
    bool complete = false;
    bool operator==(const LinePiece&) const = default;
};

// True when every character present fits a frame's shape: 30 hexadecimal digits between two
// characters that are not (start and end character). Only the first 32 characters are looked at.
bool fitsFrameShape(QStringView text);

// Collects the characters as they arrive and cuts them into frames. Alignment comes from the line's
// pause between bursts and from the frame's shape, never from fixed start or end characters:
// - a frame that has the shape is taken wherever it starts;
// - one without it (noise inside) is taken only where it starts right after a pause and no frame
//   starts inside it;
// - what fits neither is handed back as a piece, and the framer looks for the next frame.
class Framer {
public:
    // Forgets what it holds; the next frame is the first after a pause or one that clearly starts.
    void reset(int64_t nowMs);
    // Takes characters read at nowMs (milliseconds of a steady clock) and returns, in order, the
    // frames completed and the pieces given up.
    std::vector<LinePiece> feed(QStringView chars, int64_t nowMs);
    // Characters held towards the next frame.
    int pending() const { return int(pending_.size()); }

private:
    QString pending_;
    bool afterPause_ = true;  // pending_ starts with the first character after a pause
    int64_t lastMs_ = std::numeric_limits<int64_t>::min() / 2;  // no character yet: the line was silent
};

// Value of one frame character as a hexadecimal digit; anything else counts as 0.
int hexDigit(QChar c);
// The digit table of the frame's 30 characters (Datensatz); missing ones count as 0.
Ziffern frameDigits(QStringView datensatz);
// Decodes a frame's digit table into a reading.
Messwerte decodeFrame(const Ziffern& ziffer);
