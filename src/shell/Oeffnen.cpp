// Opening a saved curve file: the record comes back into the store as an ended run.
#include "shell/shell.h"

#include "platform/CurveText.h"
#include "platform/Dialogs.h"
#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "plot/Formgrafik.h"
#include "plot/Formsetgraf.h"
#include "plot/plot.h"
#include "process/Forms.h"
#include "process/Journal.h"
#include "process/Variabelen.h"
#include "process/process.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>

#include <algorithm>

namespace {

void refuse(const QString& text) { showMessageBox(text, QStringLiteral("Ladomat Link")); }

}  // namespace

QString journalFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
        QStringLiteral("/Aufzeichnungen");
}

bool openRecordFile(const QString& path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refuse(QStringLiteral("Die Datei %1 konnte nicht geöffnet werden !").arg(shown));
        return false;
    }
    const qint64 size = file.size();
    const uchar* mapped = size > 0 ? file.map(0, size) : nullptr;
    const QByteArray read = size > 0 && !mapped ? file.readAll() : QByteArray();
    const std::string_view text = mapped ? std::string_view(reinterpret_cast<const char*>(mapped), size)
                                         : std::string_view(read.constData(), read.size());
    const CurveFile curve = parseCurveFile(text, kStoreSize);
    if (curve.badLine != 0) {
        refuse(QStringLiteral("Die Datei %1 ist keine Kurvendatei: Zeile %2 ist fehlerhaft !")
                   .arg(shown)
                   .arg(curve.badLine));
        return false;
    }

    // The record in the store ends here: its journal is final.
    if (V->journal)
        V->journal->finish();
    const int n = curve.count;
    std::copy_n(curve.u.begin() + 1, n, V->KurveU.get() + 1);
    std::copy_n(curve.i.begin() + 1, n, V->KurveI.get() + 1);
    std::copy_n(curve.q.begin() + 1, n, V->KurveQ.get() + 1);
    // Ended as a stop at the charger ends it: the next run the charger starts replaces it.
    V->MessAnzahl = static_cast<float>(n);
    V->MessNr = static_cast<float>(n + 1);
    V->MessungBeendet = 1;
    V->MessungGestoppt = 1;

    Formsetgraf* setgraf = forms.setgraf;
    ZeitachseBeschriften();
    V->LetzteSeite = pagesFor(V->MinProSeite);
    V->Seite = 1;
    setgraf->Text1->setText(blankText(V->Seite));
    forms.grafik->Picture1->Cls();
    GrafikAufbauen();
    AnsichtZeichnen();
    KopfzeilenSchreiben();
    BedienungFreigeben();
    // The whole-record view has no pages: its page controls stay off.
    if (gesamtansicht())
        setPageControlsEnabled(false);
    return true;
}
