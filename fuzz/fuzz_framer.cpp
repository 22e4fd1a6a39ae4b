// Fuzz target: the framer and the decoder on a line of frames, noise, cuts and pauses built from the
// input. No frame comes out that was not sent whole; without noise every frame comes out exactly,
// in order, and decodes to its digits; noise costs at most the frame it runs into.
#include "link/Framer.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    int take() { return at < size ? data[at++] : 0; }
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
    std::set<qsizetype> sent;  // where each frame sent begins in the line
    std::vector<std::pair<qsizetype, int64_t>> reads;  // the line up to here is read at this time
    int noises = 0;
    int64_t now = 0;
    while (in.at < in.size) {
        const int op = in.take() % 4;
        if (op == 0) {  // a frame: 30 hexadecimal digits in upper or lower case
            QString digits;
            for (int k = 0; k < 15; ++k)
                digits += QString::asprintf("%02X", in.take());
            sent.insert(line.size());
            line += start + (in.take() % 2 ? digits.toLower() : digits) + end;
        } else if (op == 1) {  // noise: any characters, NUL included
            ++noises;
            for (int n = 1 + in.take() % 40; n > 0; --n)
                line += QChar(char16_t(in.take()));
        } else {  // a read, anywhere back in what was sent since the last one, soon or after a pause
            const qsizetype last = reads.empty() ? 0 : reads.back().first;
            now += op == 3 ? kPauseMs + in.take() * 10 : in.take() % kPauseMs;
            reads.emplace_back(std::max(last, line.size() - in.take() % 33), now);
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
    // frames as sent, and check their decoding against the digits read as numbers.
    qsizetype cursor = 0;
    size_t found = 0;
    for (const QString& frame : frames) {
        const qsizetype at = line.indexOf(frame, cursor);
        check(at >= 0);
        cursor = at + kFrameLength;
        if (sent.count(at) == 0)
            continue;
        ++found;
        const auto field = [&](int from, int n) {
            return QStringView(frame).mid(from, n).toInt(nullptr, 16);
        };
        check(decodeFrame(frameDigits(QStringView(frame).mid(1, 30))) ==
              Messwerte{QString::number(field(3, 2)), int16_t(field(5, 2)), field(7, 4), field(11, 4),
                        field(15, 4), field(19, 4), int16_t(field(23, 2))});
    }
    check(noises == 0 ? frames.size() == sent.size() && found == sent.size() : found + noises >= sent.size());
    return 0;
}
