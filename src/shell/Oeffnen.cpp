// Opening a saved curve file: the record comes back into the store as an ended run.
#include "shell/shell.h"

#include "platform/CurveFileReader.h"
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
#include <QLineEdit>
#include <QStandardPaths>

#include <algorithm>

namespace {

void tell(const QString& text) { showMessageBox(text, QStringLiteral("Ladomat Link")); }

}  // namespace

QString journalFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
        QStringLiteral("/Aufzeichnungen");
}

bool openRecordFile(const QString& path)
{
    const CurveFileRead read = readCurveFile(path, kStoreSize);
    if (!read.opened) {
        tell(read.message);
        return false;
    }
    const CurveFile& curve = read.curve;

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
    // A damaged tail: the record is open behind the message that says what was dropped.
    if (!read.message.isEmpty())
        tell(read.message);
    return true;
}
