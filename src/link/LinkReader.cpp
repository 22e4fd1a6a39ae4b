// The link reader: the port's characters through the framer.
#include "link/LinkReader.h"

#include "platform/SerialPort.h"

#include <chrono>

namespace {

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

QString shownText(const QString& piece) { return piece.mid(1, 30); }

Messwerte readingOf(QStringView datensatz) { return decodeFrame(frameDigits(datensatz)); }

LinkReader::LinkReader(SerialPort* port, QObject* parent)
    : QObject(parent)
    , port_(port)
{
}

void LinkReader::FramesEmpfangen()
{
    for (const LinePiece& piece : framer_.feed(port_->input(), nowMs())) {
        if (piece.complete)
            emit frameReceived(piece.text);
        else
            emit pieceGivenUp(piece.text);
    }
    // The next event comes as soon as the frame begun can be complete.
    port_->setRThreshold(kFrameLength - framer_.pending());
}

QString LinkReader::readAwayInput()
{
    const QString text = port_->input();
    framer_.reset(nowMs());
    port_->setRThreshold(kFrameLength);
    return text;
}
