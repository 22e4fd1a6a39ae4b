// Fuzz target: the framer on a line of frames in any envelope (hexadecimal digits too), noise, cuts
// and pauses built from the input. Everything sent comes back in order, as frames and pieces; a frame
// never spans a pause, and one found out of step carries 30 digits. Without noise every frame that no
// pause cuts comes out, in order, when its envelope is no digits or no pause falls inside a frame;
// noise, or a frame a pause cuts, costs at most the frame it runs into.
#include "link/Framer.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <vector>

namespace {

bool isHex(QChar c) { return hexDigit(c) > 0 || c == u'0'; }

void check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t at = 0;
    const auto take = [&]() -> int { return at < size ? data[at++] : 0; };
    const QChar start{char16_t(take())}, end{char16_t(take())};
    QString line, handed;  // what was sent; everything handed back, in order
    std::set<qsizetype> sent, pauses;  // where each frame sent begins; where the line had fallen silent
    std::vector<qsizetype> frames;  // where each frame handed back begins
    int noises = 0;
    Framer framer;
    int64_t now = 0, lastMs = -kPauseMs;  // silent before the first character
    qsizetype from = 0;
    const auto arrive = [&](qsizetype to) {  // the line up to `to` arrives now
        if (to > from) {
            if (now - lastMs >= kPauseMs)
                pauses.insert(from);
            lastMs = now;
        }
        for (const LinePiece& piece : framer.feed(QStringView(line).mid(from, to - from), now)) {
            check(piece.complete ? piece.text.size() == kFrameLength : !piece.text.isEmpty());
            if (piece.complete)
                frames.push_back(handed.size());
            handed += piece.text;
        }
        from = to;
    };
    while (at < size) {
        const int op = take() % 4;
        if (op == 0) {  // a frame: 30 hexadecimal digits in upper or lower case
            QString digits;
            for (int k = 0; k < 15; ++k)
                digits += QString::asprintf("%02X", take());
            sent.insert(line.size());
            line += start + (take() % 2 ? digits.toLower() : digits) + end;
        } else if (op == 1) {  // noise: any characters, NUL included
            ++noises;
            for (int n = 1 + take() % 40; n > 0; --n)
                line += QChar(char16_t(take()));
        } else {  // an arrival, anywhere back in what was sent since the last one, soon or after a pause
            now += op == 3 ? kPauseMs + take() * 10 : take() % kPauseMs;
            arrive(std::max(from, line.size() - take() % 33));
        }
    }
    ++now;
    arrive(line.size());
    check(framer.pending() < kFrameLength &&
          handed == QStringView(line).left(line.size() - framer.pending()));

    // No pause inside the 32 characters from `at` on.
    const auto whole = [&](qsizetype at) {
        return pauses.upper_bound(at) == pauses.lower_bound(at + kFrameLength);
    };
    size_t found = 0;
    for (size_t k = 0; k < frames.size(); ++k) {
        const QStringView frame = QStringView(line).mid(frames[k], kFrameLength);
        // One without its 30 digits is read only in step: right after a pause or right after a frame.
        const bool inStep =
            pauses.count(frames[k]) > 0 || (k > 0 && frames[k - 1] + kFrameLength == frames[k]);
        check(whole(frames[k]) && (inStep || std::all_of(frame.begin() + 1, frame.end() - 1, isHex)));
        found += sent.count(frames[k]);
    }
    const auto sentWhole = size_t(std::count_if(sent.begin(), sent.end(), whole));
    // A frame that a pause cuts is noise to the framer: its tail after the pause is read as a frame.
    const size_t spoilt = size_t(noises) + (sent.size() - sentWhole);
    if (!isHex(start) && !isHex(end))
        check(spoilt == 0 ? found == sentWhole && frames.size() == found : found + spoilt >= sentWhole);
    else if (noises == 0 && sentWhole == sent.size())
        check(found == sent.size() && frames.size() == found);
    return 0;
}
