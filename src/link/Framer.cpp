// The framer and the frame decoder.
#include "link/Framer.h"

#include <algorithm>

namespace {

bool isHex(QChar c) { return hexDigit(c) > 0 || c == u'0'; }

// A frame starts within the first 31 characters after the first, with at least its start character
// and one digit present (the end character alone looks like a start).
bool frameStartsWithin(QStringView text)
{
    for (qsizetype at = 1; at < kFrameLength && at + 2 <= text.size(); ++at)
        if (fitsFrameShape(text.mid(at)))
            return true;
    return false;
}

// Where the next frame that has the shape starts; the last 31 characters when there is none, as
// they may still begin one.
qsizetype nextFrameStart(QStringView text)
{
    for (qsizetype at = 1; at + kFrameLength <= text.size(); ++at)
        if (fitsFrameShape(text.mid(at, kFrameLength)))
            return at;
    return text.size() - (kFrameLength - 1);
}

}  // namespace

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return 0;
}

bool fitsFrameShape(QStringView text)
{
    const qsizetype n = std::min<qsizetype>(text.size(), kFrameLength);
    for (qsizetype k = 0; k < n; ++k)
        if (isHex(text[k]) != (k > 0 && k < kFrameLength - 1))
            return false;
    return true;
}

void Framer::reset(int64_t nowMs)
{
    pending_.clear();
    afterPause_ = false;
    lastMs_ = nowMs;
}

std::vector<LinePiece> Framer::feed(QStringView chars, int64_t nowMs)
{
    std::vector<LinePiece> out;
    if (nowMs - lastMs_ >= kPauseMs) {
        // The line fell silent, or only the reading came late: what is held goes on from where a
        // frame may have begun that the new characters fit; the rest never completes.
        const QString joined = pending_ + chars.toString();
        qsizetype keep = 0;
        while (keep < pending_.size() && !fitsFrameShape(QStringView(joined).mid(keep)))
            ++keep;
        if (keep > 0) {
            out.push_back({pending_.left(keep), false});
            pending_.remove(0, keep);
        }
        afterPause_ = pending_.isEmpty();
    }
    lastMs_ = nowMs;
    pending_ += chars;
    while (pending_.size() >= kFrameLength) {
        const QStringView held(pending_);
        // Noise is taken for noise inside a frame only where the frame's envelope holds.
        const bool envelope = !isHex(held[0]) && !isHex(held[kFrameLength - 1]);
        if (fitsFrameShape(held) || (afterPause_ && envelope && !frameStartsWithin(held))) {
            out.push_back({pending_.left(kFrameLength), true});
            pending_.remove(0, kFrameLength);
        } else {
            const qsizetype skip = nextFrameStart(held);
            out.push_back({pending_.left(skip), false});
            pending_.remove(0, skip);
        }
        afterPause_ = false;
    }
    return out;
}

Ziffern frameDigits(QStringView datensatz)
{
    Ziffern ziffer{};
    for (int k = 1; k <= 30; ++k)
        ziffer[k] = k <= datensatz.size() ? hexDigit(datensatz[k - 1]) : 0;
    return ziffer;
}

Messwerte decodeFrame(const Ziffern& ziffer)
{
    const auto d = [&](int k) { return static_cast<int>(ziffer[k]); };
    const auto field2 = [&](int k) { return 16 * d(k) + d(k + 1); };
    const auto field4 = [&](int k) { return 4096 * d(k) + 256 * d(k + 1) + 16 * d(k + 2) + d(k + 3); };
    return {QString::number(field2(3)), int16_t(field2(5)), field4(7), field4(11), field4(15), field4(19),
            int16_t(field2(23))};
}
