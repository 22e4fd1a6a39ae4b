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

// Collects the characters as they arrive and cuts them into frames of 32 characters: a start
// character, the 30 digits, an end character. Where one starts comes from:
// - until the charger's envelope (start and end character) is known: the line's pause, after which
//   the next 32 characters are a frame whatever they are; the evident shape (30 digits between two characters
//   that are not), wherever it starts; and 30 digits right after a frame, between any two characters;
// - once two frames in a row with their 30 digits have had the same envelope: that envelope, in step or,
// carrying its
//   30 digits, wherever it starts, also when its characters are hexadecimal digits. Two frames with
//   digits in another envelope (after a pause, or in the evident shape) with none in the learned
//   one between make the framer forget it: another charger on the line.
// After a pause, and in step once the envelope is known, the 30 characters are read whatever they
// hold, as the decoder reads them. A pause ends what is held; what is no frame is handed back as a piece.
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
    // Where a frame may begin: right after a pause, right after a frame, or anywhere else.
    enum class Place { elsewhere, afterFrame, afterPause };
    // Whether the 32 characters that held starts with are a frame at that place of the line.
    bool isFrame(QStringView held, Place place) const;
    // Where, after its first character, the next frame may start in what is held: the first found,
    // else where the last 31 characters begin.
    qsizetype nextStart(QStringView held) const;
    void took(QStringView frame);

    QString pending_;
    bool afterPause_ = true;  // pending_ starts with the first character after a pause
    bool inStep_ = true;  // a frame may start at pending_ by count: after a pause or a frame
    std::optional<Envelope> last_;  // of the last frame taken, when it carried its digits
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
