// The live value window: the current reading as text and four bars.
#pragma once

#include "process/Messwerte.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QProgressBar;

class Formtext : public QWidget {
    Q_OBJECT
public:
    explicit Formtext(QWidget* parent = nullptr);

    // The frame chain's third step: the reading and the sample number, as text and bars.
    void WerteAnzeigen(const Messwerte& werte, float messNr);

    QLineEdit* Text2;  // input voltage
    QLineEdit* Text3;  // output voltage
    QLineEdit* Text4;  // output current
    QLineEdit* Text5;  // capacity
    QLineEdit* Text6;  // status name
    QLineEdit* Text7;  // mode
    QLineEdit* Text8;  // cycle
    QLineEdit* Text9;  // sample number
    QLineEdit* Text10;  // samples before the live page
    QProgressBar* ProgressBar1;
    QProgressBar* ProgressBar2;
    QProgressBar* ProgressBar3;
    QProgressBar* ProgressBar4;
};
