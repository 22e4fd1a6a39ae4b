// Takes the README's screenshots: the program on the device COM1 names (the simulator in
// scripts/screenshots.sh), photographed once the simulated run has ended, then the record book, a
// record window and the comparison of the journal's records. With --record-only it only records
// one simulated run into the journal.
#include "export/Formakku.h"
#include "plot/Formsetgraf.h"
#include "process/ChargeSession.h"
#include "records/RecordWindow.h"
#include "shell/MDIForm1.h"
#include "shell/shell.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

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
    const QString argument = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs");
    const bool recordOnly = argument == QStringLiteral("--record-only");
    const QDir folder(argument);

    MDIForm1 window;
    if (window.ended())
        return 1;
    window.session->startJournal(journalFolder());
    window.show();
    // Set up as a user would for a 6-cell NiMH pack: its notes, scales that fit it, all three curves.
    window.akku->Text1->setText(QStringLiteral("NiMH 6 Zellen"));
    window.akku->Text2->setText(QStringLiteral("2000"));
    window.setgraf->HScroll1->setValue(12);  // 12 V at the top
    window.setgraf->HScroll2->setValue(30);  // 1.5 A
    window.setgraf->HScroll3->setValue(30);  // 900 mAh
    window.setgraf->Check3->click();

    // The main window while the first page fills, then the rest once the run has ended.
    const QDeadlineTimer deadline(std::chrono::minutes(5));
    const auto waitFor = [&](auto done) {
        while (!done() && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 100);
        return done();
    };
    if (recordOnly) {
        const bool ended = waitFor([&] { return window.session->MessungBeendet != 0; });
        window.beenden();
        return ended ? 0 : 1;
    }
    if (!waitFor([&] { return window.session->MessNr >= 700; })) {
        std::fputs("Der simulierte Ladevorgang kommt nicht an.\n", stderr);
        return 1;
    }
    bool written = shoot(window, folder.filePath(QStringLiteral("hauptfenster.png")));
    if (!waitFor([&] { return window.session->MessungBeendet != 0; })) {
        std::fputs("Der simulierte Ladevorgang ist nicht zu Ende gegangen.\n", stderr);
        return 1;
    }
    window.setgraf->Command1->click();  // whole-record view
    written = shoot(window, folder.filePath(QStringLiteral("gesamtkurve.png"))) && written;
    window.setgraf->Command1->click();
    window.m_protokoll->trigger();
    written = shoot(window, folder.filePath(QStringLiteral("protokoll.png"))) && written;

    // The saved records with the live windows put away, as a user looking back would.
    window.m_protokoll->trigger();
    window.m_text->trigger();
    window.m_grafik->trigger();
    window.m_akku->trigger();
    const QDir journal(journalFolder());
    QStringList records;
    for (const QString& name : journal.entryList({QStringLiteral("*.TXT")}, QDir::Files, QDir::Name))
        records << journal.filePath(name);
    window.m_buch->trigger();
    written = shoot(window, folder.filePath(QStringLiteral("aufzeichnungsbuch.png"))) && written;
    // The charge just recorded, whole, at the scales the live graph had.
    RecordWindow* saved = window.openRecordWindow(records.last());
    saved->setgraf->HScroll1->setValue(12);
    saved->setgraf->HScroll2->setValue(30);
    saved->setgraf->HScroll3->setValue(30);
    saved->setgraf->Check3->click();
    saved->setgraf->Command1->click();
    written = shoot(window, folder.filePath(QStringLiteral("aufzeichnung.png"))) && written;
    window.openComparison(records);
    written = shoot(window, folder.filePath(QStringLiteral("vergleich.png"))) && written;
    return written ? 0 : 1;
}
