// The program's windows and the controls the charge process and its neighbours reach, in one
// registry.
#pragma once

#include <array>

class MDIForm1;
class Formtext;
class Formgrafik;
class Formsetgraf;
class Formakku;
class Formprotokoll;
class Formdatenformat;
class MessageField;
class PlotSurface;
class QAction;
class QString;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class SerialPort;

struct Forms {
    MDIForm1* mdi = nullptr;
    Formtext* text = nullptr;
    Formgrafik* grafik = nullptr;
    Formsetgraf* setgraf = nullptr;
    Formakku* akku = nullptr;
    Formprotokoll* protokoll = nullptr;
    Formdatenformat* datenformat = nullptr;

    // Most windows are defined above the charge process or beside the folder that reads them,
    // so their classes are out of reach there. Each window puts here, when it is created, the
    // controls that lower folders read or write, typed as platform or Qt controls.
    // The main window's port, status bar and the two export menu items.
    SerialPort* MSComm1 = nullptr;
    QLabel* StatusBar1 = nullptr;
    QAction* m_maketext = nullptr;
    QAction* m_grafsave = nullptr;
    // The graph window's plot.
    PlotSurface* Picture1 = nullptr;
    // The graph settings: view switch Command1, page controls Command2, Command3, Option1 to
    // Option4, and the page number Text1.
    QPushButton* viewButton = nullptr;
    std::array<QWidget*, 6> pageControls{};
    QLineEdit* pageNumber = nullptr;
    // The live value window's status name Text6, mode name Text7 and live-page start Text10.
    QLineEdit* statusName = nullptr;
    QLineEdit* modeName = nullptr;
    QLineEdit* pageStart = nullptr;
    // The battery window's notes Text1 to Text4 (the plot caption shows them) and its message
    // field Text7.
    std::array<QLineEdit*, 4> batteryNotes{};
    MessageField* message = nullptr;

    // Plot procedures the state machine calls. The plot sits above the charge process, so the
    // main window sets these at start-up.
    void (*GrafikAufbauen)() = nullptr;
    void (*ZeitachseBeschriften)() = nullptr;
    void (*KurveFortsetzen)() = nullptr;
    // The link's emptying read, which also starts framing anew; the exports call it after
    // reopening the port.
    QString (*readAwayInput)() = nullptr;
};

// Set by the main window while it exists.
extern Forms forms;
