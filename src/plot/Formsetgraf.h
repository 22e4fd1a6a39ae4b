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

    // Scales: relabel the axis, set its scale, redraw.
    void HScroll1_Change();
    void HScroll2_Change();
    void HScroll3_Change();
    // Curves shown: redraw.
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    // Whole record / page view.
    void Command1_Click();
    // Previous and next page of a finished record.
    void Command2_Click();
    void Command3_Click();
    // Page length 6, 12, 21, 30 minutes: back to page 1 of the record.
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();

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

private:
    void showPageLength(float minutes);
    void enablePageControls(bool enabled);
};

// A check box's Value: 0 unticked, 1 ticked, 2 grey.
int checkValue(const QCheckBox* box);
