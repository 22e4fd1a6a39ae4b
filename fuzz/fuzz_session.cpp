// Fuzz target: the whole program on an in-memory port takes any mix of
// reads of any bytes, whole frames, event codes, timer ticks, the user's settings, port and export
// actions and a device that goes and comes back, and keeps the global state's invariants after
// every step.
#include "export/Formakku.h"
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "plot/Formsetgraf.h"
#include "process/Formprotokoll.h"
#include "process/Variabelen.h"
#include "process/process.h"
#include "shell/Formeinstell.h"
#include "process/Forms.h"
#include "shell/MDIForm1.h"
#include "sim/Frames.h"
#include "testkit/Invariants.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace invariants;

// Save dialogs answer with a file in a temporary folder or cancel, as the input says.
class FuzzDialogs : public DialogBackend {
public:
    void messageBox(const QString&, const QString&) override { }
    QString saveFile(const SaveFileRequest& request) override
    {
        return answer ? dir.filePath(request.proposedName) : QString();
    }

    QTemporaryDir dir;
    bool answer = false;
};

struct Program {
    Program()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_session";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        setDialogBackend(&dialogs);
        port = new MemorySerialPort;
        window = std::make_unique<MDIForm1>(port);
        window->Timer1->stop();
        window->Timer2->stop();
    }

    std::unique_ptr<QApplication> app;
    FuzzDialogs dialogs;
    MemorySerialPort* port;
    // One program for all inputs: a fresh one costs a hundred times an input's steps. Each input
    // goes on from the state the previous ones left, as a long session would.
    std::unique_ptr<MDIForm1> window;
};

// Reads the input: each step is one operation byte and the parameter bytes it takes (0 past the end).
struct Input {
    uint8_t take() { return at < size ? data[at++] : 0; }
    QByteArray bytes(size_t length)
    {
        length = std::min(length, size - at);
        const QByteArray result(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(length));
        at += length;
        return result;
    }
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

void chooseViaPortWindow(Input& in, MDIForm1& window)
{
    window.m_port->trigger();
    auto* settings = window.mdiArea->findChild<Formeinstell*>();
    if (!settings)
        return;
    const int choice = in.take() % 5;
    if (choice == 0) {
        MDIForm1::frameOf(settings)->close();
    } else {
        QRadioButton* options[] = {settings->Option1, settings->Option2, settings->Option3,
                                   settings->Option4};
        options[choice - 1]->click();
        settings->Command1->click();
    }
}

void step(Input& in, MDIForm1& window, MemorySerialPort& port, FuzzDialogs& dialogs)
{
    Formsetgraf* setgraf = forms.setgraf;
    Before was = before();
    bool jumped = false;
    const int operation = in.take() % 27;
    switch (operation) {
    case 0:
        port.receive(in.bytes(in.take() % 64));
        break;
    case 1:
    case 2: {
        // Whole frames, repeated, so that runs go on long enough to turn pages.
        ladomat::sim::Reading reading;
        reading.mode = in.take() % 6;
        reading.status = in.take() % 11;
        reading.outputMv = in.take() * 256;
        reading.currentTenthMa = in.take() * 200;
        reading.capacityMah = in.take() * 12;
        const int repeat = 1 + in.take() % 64;
        const QByteArray line = QByteArray::fromStdString(ladomat::sim::frameLine(reading));
        for (int k = 0; k < repeat; ++k) {
            was = before();
            port.receive(line);
            checkInvariants(was, false);
        }
        break;
    }
    case 3:
        port.raiseEvent(in.take() % 2 ? comEvReceive : 1000 + in.take() % 16);
        break;
    case 4:
        Timer1_Timer();
        break;
    case 5:
        Timer2_Timer();
        break;
    case 6:
        for (int k = in.take() % 8; k >= 0; --k) {
            Timer1_Timer();
            Timer2_Timer();
        }
        break;
    case 7:
        setgraf->HScroll1->setValue(in.take());
        break;
    case 8:
        setgraf->HScroll2->setValue(in.take());
        break;
    case 9:
        setgraf->HScroll3->setValue(in.take());
        break;
    case 10:
        setgraf->Check1->click();
        break;
    case 11:
        setgraf->Check2->click();
        break;
    case 12:
        setgraf->Check3->click();
        break;
    case 13:
        setgraf->Command1->click();
        break;
    case 14:
        setgraf->Command2->click();
        break;
    case 15:
        setgraf->Command3->click();
        break;
    case 16:
        setgraf->Option1->click();
        break;
    case 17:
        setgraf->Option2->click();
        break;
    case 18:
        setgraf->Option3->click();
        break;
    case 19:
        setgraf->Option4->click();
        break;
    case 20:
    case 21: {
        // The exports leave the record as it was. A record near the store's size takes a second
        // to write here, so it is only cancelled (the soak run writes full ones).
        dialogs.answer = in.take() % 2 && V->MessAnzahl < 100000;
        (operation == 20 ? window.m_maketext : window.m_grafsave)->trigger();
        require(V->MessNr == was.messNr && V->MessAnzahl == was.messAnzahl &&
                    forms.protokoll->model->rowCount() == was.logRows,
                "an export leaves the record untouched");
        break;
    }
    case 22:
        chooseViaPortWindow(in, window);
        break;
    case 23:
        port.unplug();
        break;
    case 24:
        port.replug();
        break;
    case 25:
        port.retryLostDevice();
        break;
    case 26:
        // A record that has run for weeks: close to the store's end.
        V->MessNr = static_cast<float>(kStoreSize - in.take() % 4);
        jumped = true;
        break;
    }
    checkInvariants(was, jumped);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Program program;
    Input in{data, size};
    while (in.at < in.size)
        step(in, *program.window, *program.port, program.dialogs);
    return 0;
}
