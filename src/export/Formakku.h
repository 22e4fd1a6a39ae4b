// The battery window: name, nominal capacity, cells, nominal voltage, date and the message field.
#pragma once

#include "platform/MessageField.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QScrollBar;

class Formakku : public QWidget {
    Q_OBJECT
public:
    explicit Formakku(QWidget* parent = nullptr);

    void Form_Load();
    void HScroll1_Change();

    // The notes the plot caption shows: name, nominal capacity, cells, nominal voltage.
    std::array<QString, 4> notes() const;
    // The link alarm, unless an earlier message is shown: the alarm never overwrites it.
    void showLinkAlarm(const QString& alarm);

    QLineEdit* Text1;  // name
    QLineEdit* Text2;  // nominal capacity
    QScrollBar* HScroll1;
    QLineEdit* Text3;  // cells
    QLineEdit* Text4;  // nominal voltage
    QLineEdit* Text6;  // date
    MessageField* Text7;
};
