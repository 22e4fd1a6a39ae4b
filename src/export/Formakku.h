// The battery window: name, nominal capacity, cells, nominal voltage, date and the message field.
#pragma once

#include "platform/MessageField.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QScrollBar;

class Formakku : public QWidget {
    Q_OBJECT
public:
    explicit Formakku(QWidget* parent = nullptr);

    void Form_Load();
    void HScroll1_Change();

    QLineEdit* Text1;  // name
    QLineEdit* Text2;  // nominal capacity
    QScrollBar* HScroll1;
    QLineEdit* Text3;  // cells
    QLineEdit* Text4;  // nominal voltage
    QLineEdit* Text6;  // date
    MessageField* Text7;
};
