// The main window: menus, status bar, serial port, timers and the child windows.
#pragma once

#include <QMainWindow>
#include <QString>

#include <initializer_list>
#include <memory>

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class SerialPort;
struct Variabelen;

class MDIForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Runs the start-up sequence on the given port; without one, on the hardware serial port.
    // A record file given is opened after start-up; without a port the program then stays as
    // its viewer.
    explicit MDIForm1(SerialPort* port = nullptr, QWidget* parent = nullptr, const QString& recordFile = {});
    ~MDIForm1() override;

    // True once the program has been ended (no port at start-up, "Ende").
    bool ended() const { return ended_; }
    // The record file given at start-up, empty when none.
    const QString& recordFile() const { return recordFile_; }
    // No port opened, a record file given: the program shows the record without a charger.
    void becomeViewer();
    // Starts the link supervision and stop handling unless they run (a port opened late).
    void startTimers();
    // Ends the program at once.
    void beenden();

    void MDIForm_Load();
    void MDIForm_Resize();
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

    // The child window frame around a form.
    static QMdiSubWindow* frameOf(QWidget* form);

    QMdiArea* mdiArea;
    QLabel* StatusBar1;
    SerialPort* MSComm1;
    QTimer* Timer1;
    QTimer* Timer2;

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

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What a child window's frame offers besides its title bar: nothing (hidden only through the
    // menu), a close box, or minimise and maximise boxes.
    enum class FrameButtons { none, close, minMax };
    QMdiSubWindow* addChild(QWidget* form, const QString& caption, FrameButtons buttons);
    // Shows hidden windows in front or hides visible ones; the item's caption tells what it does next.
    void toggle(QAction* item, const QString& name, std::initializer_list<QWidget*> windows);

    std::unique_ptr<Variabelen> variabelen_;
    bool ended_ = false;
    QString recordFile_;
    bool viewer_ = false;
};
