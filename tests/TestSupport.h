// Shared test fixtures: the whole program on an in-memory port, dialogs that never block,
// frames from the simulator's library, and pixel helpers for the plot image.
#pragma once

#include "export/Formakku.h"
#include "link/Formtext.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "process/ChargeSession.h"
#include "shell/MDIForm1.h"
#include "sim/Frames.h"

#include <QColor>
#include <QImage>

#include <memory>
#include <set>

// Records message boxes and questions, and answers questions and save dialogs from queues.
class RecordingDialogs : public DialogBackend {
public:
    RecordingDialogs() { setDialogBackend(this); }
    ~RecordingDialogs() override { setDialogBackend(nullptr); }
    void messageBox(const QString& text, const QString& title) override;
    bool question(const QString& text, const QString& title) override
    {
        questions.append({text, title});
        return !replies.isEmpty() && replies.takeFirst();
    }
    QString saveFile(const SaveFileRequest&) override
    {
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList openFiles(const OpenFilesRequest& request) override
    {
        openRequests << request.title + '|' + request.filter + '|' + request.folder;
        return opened;
    }

    QList<QPair<QString, QString>> messages;  // (text, title)
    // For each message, the captions of the windows in view behind it, the main window first.
    QList<QStringList> windowsBehind;
    QStringList answers;  // paths to return, in order; empty list answers "cancelled"
    QStringList opened;  // what the open dialog answers, each time
    QStringList openRequests;  // "title|filter|folder" of each open dialog
    QList<QPair<QString, QString>> questions;  // (text, title)
    QList<bool> replies;  // "Ja" (true) or "Nein", in order; empty list answers "Nein"
};

// The main window after start-up on a memory port (timers stopped: tests tick by hand).
struct TestApp {
    explicit TestApp(std::set<int> availablePorts = {1, 2, 3, 4}, const QByteArray& waitingAtStart = {});

    // Sends one frame line as the charger would; the port raises the receive event.
    void send(const ladomat::sim::Reading& r)
    {
        sendRaw(QByteArray::fromStdString(ladomat::sim::frameLine(r)));
    }
    void sendRaw(const QByteArray& bytes) { port->receive(bytes); }
    void tick()  // one tick of Timer1 and Timer2
    {
        session().Timer1_Timer();
        session().Timer2_Timer();
    }
    ChargeSession& session() const { return *mdi->session; }

    RecordingDialogs dialogs;
    MemorySerialPort* port;
    std::unique_ptr<MDIForm1> mdi;
};

// The graph and its settings window on a session of their own, without the main window.
// 680 x 544 pixels give a plot of 600 x 525 pixels (9000 x 7875 twips): grid steps of one pixel.
struct PlotWindows {
    explicit PlotWindows(QSize inner = {680, 544});
    PlotSurface* plot() const { return grafik.Picture1; }
    const QImage& image() const;  // the plot's picture

    ChargeSession session;
    Formgrafik grafik{session};
    Formsetgraf setgraf{&grafik};
};

// A pseudo-terminal the test writes into as the charger would. Its own hold on the device side keeps
// the line up while the program closes and reopens.
struct PseudoTerminal {
    PseudoTerminal();
    ~PseudoTerminal();
    bool write(const QByteArray& bytes);

    int master = -1, slave = -1;
    QString path;
};

// The enabled states of the nine controls a run locks, '1' for enabled: Command1-3, Option1-4 of the
// graph settings, m_grafsave and m_maketext.
QString controlStates(const MDIForm1& mdi);

// A file's bytes, "(unreadable)" when it cannot be read; writing a file whole.
QByteArray contents(const QString& path);
bool write(const QString& path, const QByteArray& bytes);

// Number of pixels of exactly this colour in the image, or in the given row of it.
int countColor(const QImage& image, const QColor& color, int row = -1);
// The columns that hold at least one pixel of this colour, from left to right.
QList<int> columnsWithColor(const QImage& image, const QColor& color);
