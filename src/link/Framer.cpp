// The framer and the frame decoder.
#include "link/Framer.h"

#include <algorithm>
#include <utility>

namespace {

bool isHex(QChar c) { return hexDigit(c) > 0 || c == u'0'; }

// Characters 2 to 31 are hexadecimal digits: the frame's 30 digits.
bool carriesDigits(QStringView block)
{
    return std::all_of(block.begin() + 1, block.begin() + kFrameLength - 1, isHex);
}

// The evident shape of a frame: the digits between two characters that are not.
bool hasShape(QStringView block)
{
    return !isHex(block[0]) && !isHex(block[kFrameLength - 1]) && carriesDigits(block);
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

bool Framer::isFrame(QStringView held, Place place) const
{
    const QStringView block = held.left(kFrameLength);
    if (learned_)
        return block[0] == last_->start && block[kFrameLength - 1] == last_->end &&
            (place != Place::elsewhere || carriesDigits(block));
    if (hasShape(block))
        return true;
    // Right after a frame, the next one carries its 30 digits between any two characters.
    if (place == Place::afterFrame)
        return carriesDigits(block);
    // The first 32 characters after a pause, whatever they are.
    return place == Place::afterPause;
}

qsizetype Framer::nextStart(QStringView held) const
{
    for (qsizetype at = 1; at + kFrameLength <= held.size(); ++at) {
        // Also a frame in the evident shape while an envelope is known: it may be another charger's.
        const QStringView block = held.mid(at, kFrameLength);
        if (hasShape(block) || isFrame(block, Place::elsewhere))
            return at;
    }
    return held.size() - (kFrameLength - 1);  // the last 31 characters may still begin one
}

void Framer::took(QStringView frame)
{
    misses_ = 0;
    if (learned_)
        return;  // a frame in the learned envelope
    // Only frames that carry their 30 digits teach: not a piece of one read after a pause.
    std::optional<Envelope> envelope;
    if (carriesDigits(frame))
        envelope = Envelope{frame[0], frame[kFrameLength - 1]};
    learned_ = envelope && envelope == last_;
    last_ = envelope;
}

void Framer::reset(int64_t nowMs)
{
    pending_.clear();
    afterPause_ = false;
    inStep_ = false;
    lastMs_ = nowMs;
}

std::vector<LinePiece> Framer::feed(QStringView chars, int64_t nowMs)
{
    std::vector<LinePiece> out;
    if (chars.isEmpty())  // nothing arrived
        return out;
    if (nowMs - lastMs_ >= kPauseMs) {
        // The line fell silent: what is held never completes, and the next character starts a frame.
        if (!pending_.isEmpty())
            out.push_back({std::exchange(pending_, {}), false});
        afterPause_ = true;
        inStep_ = true;
    }
    lastMs_ = nowMs;
    pending_ += chars;
    while (pending_.size() >= kFrameLength) {
        const QStringView block = QStringView(pending_).left(kFrameLength);
        const Place place = afterPause_ ? Place::afterPause : inStep_ ? Place::afterFrame : Place::elsewhere;
        // Digits in another envelope, after a pause or in the evident shape, the second time with
        // none in the learned one between: another charger, read as before its envelope is known.
        if (learned_ && !isFrame(block, Place::afterFrame) && carriesDigits(block) &&
            (afterPause_ || hasShape(block)) && ++misses_ == 2)
            learned_ = false;
        if (isFrame(pending_, place)) {
            out.push_back({block.toString(), true});
            took(block);
            pending_.remove(0, kFrameLength);
            inStep_ = true;
        } else {
            const qsizetype skip = nextStart(pending_);
            out.push_back({pending_.left(skip), false});
            pending_.remove(0, skip);
            inStep_ = false;
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
