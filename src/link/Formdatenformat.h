// The data-format help window with the latest frame beside a position ruler.
#pragma once

#include <QWidget>

class QLineEdit;

class Formdatenformat : public QWidget {
    Q_OBJECT
public:
    explicit Formdatenformat(QWidget* parent = nullptr);

    // The frame chain's first step: the frame's characters 2 to 31 are the data set, shown here.
    QString DatenEinlesen(const QString& frame);
    // A piece that never became a frame is shown all the same.
    void showPiece(const QString& piece);

    QLineEdit* Text1;
};
