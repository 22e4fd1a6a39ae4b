// The link reader: takes what the port received, cuts it into frames and reports each complete
// frame and each piece given up, in order.
#pragma once

#include "link/Framer.h"

#include <QObject>
#include <QString>

class SerialPort;

// What the data-format window shows of a frame or piece: the characters after the first, up to 30.
QString shownText(const QString& piece);
// The reading a frame's data set carries: its digit table, decoded.
Messwerte readingOf(QStringView datensatz);

class LinkReader : public QObject {
    Q_OBJECT
public:
    explicit LinkReader(SerialPort* port, QObject* parent = nullptr);

    // Reads the port into the framer and reports what it completed or gave up.
    void FramesEmpfangen();
    // Reads away every waiting character and starts framing anew (after opening the port);
    // returns what was read. The charger's envelope stays known.
    QString readAwayInput();
    // Forgets the charger's envelope (at start-up, on another port).
    void forgetCharger();

signals:
    // A complete frame, as it came from the line: the frame chain runs once for it.
    void frameReceived(const QString& frame);
    // Characters that never became a frame: shown, but decoded into nothing and recorded nowhere.
    void pieceGivenUp(const QString& piece);

private:
    SerialPort* port_;
    Framer framer_;
};
