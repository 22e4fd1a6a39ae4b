// The main window: menus, status bar, serial port, timers and the child windows. It builds the
// program and wires it; one frame travels
//   port -> link reader (framing) -> frame chain: data set (data-format window), reading into the
//   session's record, live values, the session follows the charger, caption
// and the session tells the windows what happened through its signals: the graph draws the new
// sample, the live window names mode and status, the battery window shows the messages, each
// window locks its own controls.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>

class ChargeSession;
class Formakku;
class Formdatenformat;
class Formgrafik;
class Formprotokoll;
class Formsetgraf;
class Formtext;
class LinkReader;
class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class RecordWindow;
class SerialPort;

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Runs the start-up sequence on the given port; without one, on the hardware serial port.
    // Record files given open in record windows after start-up; then the program stays without a
    // port too.
    explicit MDIForm1(SerialPort* port = nullptr, QWidget* parent = nullptr,
                      const QStringList& recordFiles = {});
    ~MDIForm1() override;

    // True once the program has been ended (no port at start-up, "Ende").
    bool ended() const { return ended_; }
    // Starts the link supervision and stop handling unless they run (a port opened late).
    void startTimers();
    // Ends the program at once.
    void beenden();
    // At start-up: offers once to open the newest journal record in folder that a crash left
    // unfinished.
    void offerUnfinishedRecord(const QString& folder);
    // Two to six saved records on one plot, in a window of their own; files that cannot be read
    // are said as opening says them, the rest compared while at least two are left.
    void openComparison(const QStringList& paths);

    void MDIForm_Load();
    void MDIForm_Resize();
    // The serial port's communication event: a received frame runs the frame chain.
    void MSComm1_OnComm();
    void m_maketext_Click();
    void m_grafsave_Click();
    void m_ende_Click();
    void m_port_Click();
    void m_text_Click();
    void m_grafik_Click();
    void m_protokoll_Click();
    void m_akku_Click();
    void m_serdaten_Click();
    void m_kabel_Click();
    void m_author_Click();
    void m_kontakt_Click();
    void m_oeffnen_Click();
    void m_buch_Click();
    void m_vergleichen_Click();

    // The child window frame around a form.
    static QMdiSubWindow* frameOf(QWidget* form);

    ChargeSession* session;
    SerialPort* MSComm1;
    LinkReader* reader;

    QMdiArea* mdiArea;
    QLabel* StatusBar1;
    QTimer* Timer1;
    QTimer* Timer2;

    Formtext* text;
    Formgrafik* grafik;
    Formsetgraf* setgraf;
    Formakku* akku;
    Formprotokoll* protokoll;
    Formdatenformat* datenformat;

    QMenu* m_datei;
    QAction* m_maketext;
    QAction* m_grafsave;
    QAction* m_ende;
    QMenu* m_einstellungen;
    QAction* m_port;
    QMenu* m_fenster;
    QAction* m_text;
    QAction* m_grafik;
    QAction* m_protokoll;
    QAction* m_akku;
    QMenu* m_info;
    QAction* m_kabel;
    QAction* m_serdaten;
    QAction* m_author;
    QAction* m_kontakt;
    QMenu* m_aufzeichnungen;
    QAction* m_oeffnen;
    QAction* m_buch;
    QAction* m_vergleichen;

public slots:
    // A saved curve file in a record window of its own; the live record is not touched. A file
    // that cannot be read is refused with a message saying why (none is opened).
    RecordWindow* openRecordWindow(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The frame chain, once per complete frame, in this order.
    void frameChain(const QString& frame);
    void connectSession();
    void createMenus();
    // The port stays closed while a save dialog is open; afterwards it is opened again and what
    // came meanwhile is read away, so that decoding starts on fresh characters.
    void withPortClosed(const std::function<void()>& save);
    // Empties the port and starts framing anew; what was read shows in the data-format window.
    void readAwayInput();
    // What a child window's frame offers besides its title bar: nothing (hidden only through the
    // menu), a close box, minimise and maximise boxes, or all three.
    enum class FrameButtons { none, close, minMax, all };
    QMdiSubWindow* addChild(QWidget* form, const QString& caption, FrameButtons buttons);
    // Places a window `offset` pixels in from the client area's top left corner, inside the area as
    // far as it goes.
    void placeInClientArea(QMdiSubWindow* frame, int offset);
    // Shows hidden windows in front or hides visible ones; the item's caption tells what it does next.
    void toggle(QAction* item, const QString& name, std::initializer_list<QWidget*> windows);
    // The German open dialog for saved records in the journal folder.
    QStringList askRecordFiles(const QString& title);
    // The file the journal is writing now: no saved record yet, so the record book leaves it out.
    QString journalWriting() const;

    bool ended_ = false;
    QStringList recordFiles_;
};
