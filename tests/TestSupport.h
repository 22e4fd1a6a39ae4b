// Shared test fixtures: the whole program on an in-memory port, dialogs that never block,
// frames from the simulator's library, and pixel helpers for the plot image.
#pragma once

#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "sim/Frames.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPair>
#include <QStringList>

#include <memory>
#include <set>

class MDIForm1;

// Records message boxes and answers save dialogs from a queue.
class RecordingDialogs : public DialogBackend {
public:
    RecordingDialogs();
    ~RecordingDialogs() override;
    void messageBox(const QString& text, const QString& title) override;
    QString saveFile(const SaveFileRequest& request) override;

    QList<QPair<QString, QString>> messages;  // (text, title)
    QList<SaveFileRequest> requests;
    QStringList answers;  // paths to return, in order; empty list answers "cancelled"
};

// The main window after start-up on a memory port (timers stopped: tests tick by hand).
struct TestApp {
    explicit TestApp(std::set<int> availablePorts = {1, 2, 3, 4}, const QByteArray& waitingAtStart = {});
    ~TestApp();

    // Sends one frame line as the charger would; the port raises the receive event.
    void send(const ladomat::sim::Reading& reading);
    void sendRaw(const QByteArray& bytes);
    void tick();  // one tick of Timer1 and Timer2

    RecordingDialogs dialogs;
    MemorySerialPort* port;
    std::unique_ptr<MDIForm1> mdi;
};

// Number of pixels of exactly this colour in the image (or in one column / row).
int countColor(const QImage& image, const QColor& color);
int countColorInColumn(const QImage& image, int column, const QColor& color);
int countColorInRow(const QImage& image, int row, const QColor& color);
