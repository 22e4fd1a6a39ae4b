// The whole program as the benchmark measures it from outside: started as main() starts it, on
// a memory port, it handles its first frame, then fills its store and charge log to the full
// 2,000,000 and shows the whole record, and ends. Run under /usr/bin/time -v.
#include "Bench.h"

#include "platform/SerialPort.h"
#include "plot/Formsetgraf.h"
#include "process/ChargeSession.h"
#include "shell/MDIForm1.h"
#include "sim/Frames.h"

#include <QApplication>
#include <QFont>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);

    Bench& b = bench();
    b.port = new MemorySerialPort;
    b.window = std::make_unique<MDIForm1>(b.port);
    b.window->show();
    QTimer::singleShot(0, [] {
        recordingRun(1);
        std::printf("first frame handled; VmRSS %.1f MB\n", vmRssBytes() / (1 << 20));
        std::fflush(stdout);
        recordingRun(kStoreSize - 1);
        send(ladomat::sim::chargeSecond(kStoreSize - 1, kStoreSize, 54));
        bench().window->setgraf->Command1->click();  // the whole-record view
        std::printf("store %.0f samples, log full; VmRSS %.1f MB\n", bench().session().Messreihe.MessAnzahl,
                    vmRssBytes() / (1 << 20));
        QCoreApplication::quit();
    });
    const int code = app.exec();
    b.window.reset();
    return code;
}
