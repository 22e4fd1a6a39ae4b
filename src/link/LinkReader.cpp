// The link reader: the port's characters through the framer.
#include "link/LinkReader.h"

#include "platform/SerialPort.h"

QString shownText(const QString& piece) { return piece.mid(1, 30); }

Messwerte readingOf(QStringView datensatz) { return decodeFrame(frameDigits(datensatz)); }

LinkReader::LinkReader(SerialPort* port, QObject* parent)
    : QObject(parent)
    , port_(port)
{
}

void LinkReader::FramesEmpfangen()
{
    const QString text = port_->input();
    const std::vector<Arrival> arrivals = port_->arrivals();
    // Each run of characters as it came, so that the framer sees the pauses of the line.
    for (size_t k = 0; k < arrivals.size(); ++k) {
        const qsizetype end = k + 1 < arrivals.size() ? arrivals[k + 1].at : text.size();
        const QStringView chars = QStringView(text).mid(arrivals[k].at, end - arrivals[k].at);
        for (const LinePiece& piece : framer_.feed(chars, arrivals[k].ms)) {
            if (piece.complete)
                emit frameReceived(piece.text);
            else
                emit pieceGivenUp(piece.text);
        }
    }
    // The next event comes as soon as the frame begun can be complete.
    port_->setRThreshold(kFrameLength - framer_.pending());
}

QString LinkReader::readAwayInput()
{
    const QString text = port_->input();
    framer_.reset(port_->clockMs());
    port_->setRThreshold(kFrameLength);
    return text;
}

void LinkReader::forgetCharger() { framer_ = Framer(); }
