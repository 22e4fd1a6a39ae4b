// Fuzz target: the whole program on an in-memory port takes any bytes, any read length,
// any event code and timer ticks in any order without a crash or an access outside the store.
#include "platform/Dialogs.h"
#include "platform/SerialPort.h"
#include "process/Variabelen.h"
#include "process/process.h"
#include "shell/MDIForm1.h"

#include <QApplication>
#include <QTimer>

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace {

class SilentDialogs : public DialogBackend {
public:
    void messageBox(const QString&, const QString&) override {}
    QString saveFile(const SaveFileRequest&) override { return {}; }
};

struct Program {
    Program()
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_frames";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);
        setDialogBackend(&dialogs);
        port = new MemorySerialPort;
        window = std::make_unique<MDIForm1>(port);
        window->Timer1->stop();
        window->Timer2->stop();
    }

    std::unique_ptr<QApplication> app;
    SilentDialogs dialogs;
    MemorySerialPort* port;
    std::unique_ptr<MDIForm1> window;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Program program;
    // Each chunk: one control byte, then up to 63 bytes of line data.
    size_t at = 0;
    while (at < size) {
        const uint8_t control = data[at++];
        const size_t length = std::min<size_t>(control & 0x3F, size - at);
        const QByteArray bytes(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(length));
        at += length;
        switch (control >> 6) {
        case 0:
            program.port->receive(bytes);
            break;
        case 1:
            program.port->raiseEvent(length ? 1000 + bytes.at(0) % 16 : 2);
            break;
        case 2:
            Timer1_Timer();
            Timer2_Timer();
            break;
        case 3:
            // Jump the record towards the end of the store to reach its limit.
            V->MessNr = static_cast<float>(kStoreSize - (length % 4));
            program.port->receive(bytes);
            break;
        }
    }
    if (V->MessNr < 1 || V->MessAnzahl > kStoreSize)
        std::abort();
    return 0;
}
