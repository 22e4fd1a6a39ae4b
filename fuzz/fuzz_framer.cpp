// Fuzz target: the framer and the decoder on a line of frames, noise, cuts and pauses built from the
// input. No frame comes out that was not sent whole; without noise every frame comes out exactly,
// in order, and decodes to the values sent; noise costs at most the frame it runs into.
#include "link/Framer.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool done() const { return at >= size; }
    int take() { return at < size ? data[at++] : 0; }
    int take16() { return take() << 8 | take(); }
};

// A character that is no hexadecimal digit, for the start and end characters.
QChar marker(int byte)
{
    const QChar c = QChar(char16_t(byte));
    return hexDigit(c) > 0 || c == u'0' ? QChar(u'\x02') : c;
}

void check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Input in{data, size};
    const QChar start = marker(in.take());
    const QChar end = marker(in.take());

    QString line;
    std::vector<qsizetype> frameAt;  // where each frame sent begins in the line
    std::vector<Messwerte> sent;
    std::vector<std::pair<qsizetype, int64_t>> reads;  // the line up to here is read at this time
    int noises = 0;
    int64_t now = 0;
    while (!in.done()) {
        const int op = in.take() % 4;
        switch (op) {
        case 0: {  // a frame
            const Messwerte m{QString::number(in.take()),
                              int16_t(in.take()),
                              in.take16(),
                              in.take16(),
                              in.take16(),
                              in.take16(),
                              int16_t(in.take())};
            const bool lower = in.take() % 2;
            QString digits = QString::asprintf("%02X%02X%02X%04X%04X%04X%04X%02X%02X%04X", in.take(),
                                               m.Modus.toInt(), int(m.Zyklus), m.UEin, m.UAus, m.IAus,
                                               m.Kapazitaet, int(m.StatusNr), in.take(), in.take16());
            frameAt.push_back(line.size());
            sent.push_back(m);
            line += start + (lower ? digits.toLower() : digits) + end;
            break;
        }
        case 1: {  // noise: any bytes, NUL included
            ++noises;
            for (int n = 1 + in.take() % 40; n > 0; --n)
                line += QChar(char16_t(in.take()));
            break;
        }
        case 2:  // a read, anywhere back in what was sent since the last one, soon after it
        case 3: {  // or after the line's pause (or a read that came late)
            const bool pause = op == 3;
            const qsizetype last = reads.empty() ? 0 : reads.back().first;
            const qsizetype at = std::max(last, line.size() - in.take() % 33);
            now += pause ? kPauseMs + in.take() * 10 : in.take() % kPauseMs;
            reads.emplace_back(at, now);
            break;
        }
        }
    }
    reads.emplace_back(line.size(), now + 1);

    Framer framer;
    std::vector<QString> frames;
    qsizetype from = 0;
    for (const auto& [to, ms] : reads) {
        for (const LinePiece& piece : framer.feed(QStringView(line).mid(from, to - from), ms)) {
            if (piece.complete)
                frames.push_back(piece.text);
            check(piece.complete ? piece.text.size() == kFrameLength : !piece.text.isEmpty());
        }
        from = to;
    }
    check(framer.pending() < kFrameLength);

    // Each frame that came out lies whole in the line, after the one before; count those that are
    // frames as sent, and check their decoding.
    qsizetype cursor = 0;
    size_t found = 0;
    for (const QString& frame : frames) {
        const qsizetype at = line.indexOf(frame, cursor);
        check(at >= 0);
        cursor = at + kFrameLength;
        for (size_t k = 0; k < frameAt.size(); ++k) {
            if (frameAt[k] == at) {
                ++found;
                check(decodeFrame(QStringView(frame).mid(1, 30)) == sent[k]);
            }
        }
    }
    if (noises == 0)
        check(frames.size() == sent.size() && found == sent.size());
    else
        check(found + noises >= sent.size());
    return 0;
}
