// The port settings window: fixed line parameters and the choice of COM1 to COM4.
#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class SerialPort;

class Formeinstell : public QWidget {
    Q_OBJECT
public:
    // Chooses the port for the program's serial port.
    explicit Formeinstell(SerialPort* port, QWidget* parent = nullptr);

    void Command1_Click();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QGroupBox* Frame1;
    QRadioButton* Option1;
    QRadioButton* Option2;
    QRadioButton* Option3;
    QRadioButton* Option4;
    QPushButton* Command1;

signals:
    // The chosen port is open; another port than before may have another charger.
    void portChosen(bool anotherPort);
    // Closed without a choice taken: the port used before is open again.
    void portReopened();
    // The window closes: "Port" can be chosen again.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SerialPort* port_;
    // The port that was open before the window: closing by the frame goes back to it.
    const int previousPort_;
};
