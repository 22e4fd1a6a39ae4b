// The graph settings window: curves, scales, page length, view and page controls.
#pragma once

#include "process/ChargeSession.h"

#include <QWidget>

class Formgrafik;
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
    // Sets up the view of the graph window it belongs to.
    explicit Formsetgraf(Formgrafik* grafik, QWidget* parent = nullptr);

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

    // Locks or unlocks the view switch, the page buttons and the page length options.
    void setControlsLocked(bool locked);
    // After the charger's end or a full store the page controls stay off in the whole-record
    // view, which they do not apply to.
    void recordEnded(ChargeSession::EndReason reason);

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
    void setPageControlsEnabled(bool enabled);
    // Writes k x step for k = 5 (top field) down to 1 (bottom field) into five value labels.
    void writeValueLabels(int topField, double step, const QString& pattern, const QString& unit);

    Formgrafik* grafik_;
};

// A check box's Value: 0 unticked, 1 ticked, 2 grey.
int checkValue(const QCheckBox* box);
