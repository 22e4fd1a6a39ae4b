// Cutting the characters from the charger into frames, and decoding a frame into a reading: pure
// code, no windows and no globals, so that tests and the fuzz target drive it directly.
#pragma once

#include "process/Messwerte.h"

#include <QString>

#include <cstdint>
#include <limits>
#include <optional>
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

// Collects the characters as they arrive and cuts them into frames. A frame always carries 30
// hexadecimal digits between its start and end character; where one starts comes from:
// - until the charger's envelope (start and end character) is known: the line's pause, after which
//   the next character starts a frame whatever it is, frames following without a pause staying in
//   step; and the evident shape (start and end character no hexadecimal digits), wherever it starts;
// - once two frames in a row have had the same envelope: that envelope, wherever it starts, also
//   when its characters are hexadecimal digits. Two frames in another envelope (after a pause, or
//   in the evident shape) with none in the learned one between make the framer forget it: another
//   charger on the line.
// A pause ends what is held; what is no frame is handed back as a piece.
class Framer {
public:
    // Forgets what it holds, as on opening the port at nowMs; the envelope stays.
    void reset(int64_t nowMs);
    // Takes characters that arrived at nowMs (milliseconds of a steady clock) and returns, in order,
    // the frames completed and the pieces given up.
    std::vector<LinePiece> feed(QStringView chars, int64_t nowMs);
    // Characters held towards the next frame.
    int pending() const { return int(pending_.size()); }

private:
    struct Envelope {
        QChar start, end;
        bool operator==(const Envelope&) const = default;
    };
    // Whether the 32 characters are a frame at this point of the line.
    bool isFrame(QStringView block, bool inStep) const;
    // Where, after its first character, the next frame may start in what is held: the first found,
    // else where the last 31 characters begin.
    qsizetype nextStart(QStringView held) const;
    void took(QStringView frame);

    QString pending_;
    bool afterPause_ = true;  // pending_ starts with the first character after a pause
    bool inStep_ = true;  // a frame may start at pending_ by count: after a pause or a frame
    std::optional<Envelope> last_;  // of the last frame taken
    bool learned_ = false;  // last_ is the charger's envelope
    int misses_ = 0;  // frames in another envelope since the last in the learned one
    int64_t lastMs_ = std::numeric_limits<int64_t>::min() / 2;  // no character yet: the line was silent
};

// Value of one frame character as a hexadecimal digit; anything else counts as 0.
int hexDigit(QChar c);
// The digit table of the frame's 30 characters (Datensatz); missing ones count as 0.
Ziffern frameDigits(QStringView datensatz);
// Decodes a frame's digit table into a reading.
Messwerte decodeFrame(const Ziffern& ziffer);
