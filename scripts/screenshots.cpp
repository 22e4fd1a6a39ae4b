// Takes the README's screenshots: the program on the device COM1 names (the simulator in
// scripts/screenshots.sh), photographed once the simulated run has ended.
#include "plot/Formsetgraf.h"
#include "process/Variabelen.h"
#include "shell/Forms.h"
#include "shell/MDIForm1.h"
#include "shell/shell.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QPushButton>

#include <cstdio>

namespace {

bool shoot(MDIForm1& window, const QString& path)
{
    QApplication::processEvents();
    if (window.grab().save(path))
        return true;
    std::fprintf(stderr, "%s konnte nicht geschrieben werden.\n", qUtf8Printable(path));
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    setUpApplication();
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs"));

    MDIForm1 window;
    if (window.ended())
        return 1;
    window.show();
    QDeadlineTimer deadline(std::chrono::minutes(5));
    while (V->MessungBeendet == 0 && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 100);
    if (V->MessungBeendet == 0) {
        std::fputs("Der simulierte Ladevorgang ist nicht zu Ende gegangen.\n", stderr);
        return 1;
    }

    bool written = shoot(window, folder.filePath(QStringLiteral("hauptfenster.png")));
    forms.setgraf->Command1->click();  // whole-record view
    written = shoot(window, folder.filePath(QStringLiteral("gesamtkurve.png"))) && written;
    forms.setgraf->Command1->click();
    window.m_protokoll->trigger();
    written = shoot(window, folder.filePath(QStringLiteral("protokoll.png"))) && written;
    return written ? 0 : 1;
}
