// Program entry: the command line, the application, its look, and the main window on the
// hardware serial port with the recording journal.
#include "process/ChargeSession.h"
#include "records/SavedRecord.h"
#include "shell/MDIForm1.h"
#include "shell/shell.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <cstring>

namespace {

void printHelp()
{
    const QString text =
        QStringLiteral(
            "Aufruf: ladomat-link [DATEI.TXT]\n"
            "Zeigt die Messwerte des Ladegeräts an der seriellen Schnittstelle (COM1 bis COM4)\n"
            "und zeichnet die Ladekurve.\n\n"
            "  DATEI.TXT            eine gespeicherte Kurvendatei öffnen; ohne COM Port nur zur Ansicht\n"
            "  --summary DATEI.TXT  die Zusammenfassung einer Kurvendatei ausgeben\n"
            "  --aufzeichnungen     den Ordner der Aufzeichnungen öffnen\n"
            "  --help               diese Hilfe zeigen\n"
            "  --version            die Version zeigen\n\n"
            "Jede Messung wird während der Aufzeichnung als Kurvendatei gesichert in\n"
            "  %1\n"
            "(die neuesten 50 Aufzeichnungen, höchstens 2 GB).\n"
            "LADOMAT_COM1 bis LADOMAT_COM4 wählen das Gerät für COM1 bis COM4,\n"
            "z. B. LADOMAT_COM1=/dev/ttyUSB0.\n")
            .arg(QDir::toNativeSeparators(journalFolder()));
    std::fputs(text.toLocal8Bit().constData(), stdout);
}

// The summary of a saved curve file on standard output, what is wrong with it on standard error.
int printSummary(const QString& path)
{
    const FileSummary file = summarizeFile(path, readFacts(path).value_or(RecordFacts{}));
    if (file.summary) {
        QString text = QStringLiteral("Datei: ") + QDir::toNativeSeparators(path) + QLatin1Char('\n');
        for (const QString& line : summaryLines(*file.summary))
            text += line + QLatin1Char('\n');
        std::fputs(text.toLocal8Bit().constData(), stdout);
    }
    if (!file.message.isEmpty())
        std::fprintf(stderr, "%s\n", file.message.toLocal8Bit().constData());
    return file.summary && file.message.isEmpty() ? 0 : 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Help and version need no display.
    QCoreApplication::setApplicationName(QStringLiteral("Ladomat Link"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LADOMAT_VERSION));
    for (int k = 1; k < argc; ++k) {
        if (!std::strcmp(argv[k], "--help") || !std::strcmp(argv[k], "-h")) {
            printHelp();
            return 0;
        }
        if (!std::strcmp(argv[k], "--version")) {
            std::printf("Ladomat Link %s\n", LADOMAT_VERSION);
            return 0;
        }
        if (!std::strcmp(argv[k], "--summary")) {
            if (k + 1 == argc) {
                std::fputs("Die Option --summary braucht eine Kurvendatei (siehe ladomat-link --help)\n",
                           stderr);
                return 2;
            }
            return printSummary(QString::fromLocal8Bit(argv[k + 1]));
        }
    }

    QApplication app(argc, argv);
    setUpApplication();
    QString recordFile;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (argument == QLatin1String("--aufzeichnungen")) {
            QDir().mkpath(journalFolder());
            return QDesktopServices::openUrl(QUrl::fromLocalFile(journalFolder())) ? 0 : 1;
        }
        if (argument.startsWith(QLatin1Char('-'))) {
            std::fprintf(stderr, "Unbekannte Option %s (siehe ladomat-link --help)\n", qPrintable(argument));
            return 2;
        }
        recordFile = argument;
    }

    MDIForm1 window(nullptr, nullptr, recordFile);
    if (window.ended())
        return 1;
    window.session->startJournal(journalFolder());
    window.show();
    // Asked once the window is in view.
    QTimer::singleShot(0, &window, [&window] { window.offerUnfinishedRecord(journalFolder()); });
    return app.exec();
}
