// The graph settings window: curves, scales, page length, view and page controls.
#pragma once

#include <QWidget>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;

class Formsetgraf : public QWidget {
    Q_OBJECT
public:
    explicit Formsetgraf(QWidget* parent = nullptr);

    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QScrollBar* HScroll1;
    QScrollBar* HScroll2;
    QScrollBar* HScroll3;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QFrame* Line1;
    QLineEdit* Text1;
};

// A check box's Value: 0 unticked, 1 ticked, 2 grey.
int checkValue(const QCheckBox* box);
