// The charge process state machine: follows the charger's mode and status for each frame,
// records samples with their log lines, restarts and ends the record.
#include "process/process.h"

#include "platform/MessageField.h"
#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "process/Formprotokoll.h"
#include "process/Forms.h"
#include "process/Journal.h"
#include "process/MessageLines.h"
#include "process/Variabelen.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Bit set of status codes.
constexpr unsigned codes(std::initializer_list<int> list)
{
    unsigned set = 0;
    for (int code : list)
        set |= 1u << code;
    return set;
}

struct Mode {
    const char16_t* code;
    const char16_t* name;
    const char16_t* readyHint;
    unsigned statuses;  // the status codes this mode acts on
};

constexpr std::array<Mode, 5> kModes{{
    {u"0", u"Charge", u"Mit START den Ladevorgang beginnen !", codes({0, 1, 2, 8})},
    {u"1", u"Discharge", u"Mit START den Entladevorgang beginnen !", codes({0, 1, 3, 8})},
    {u"2", u"Charge to Discharge", u"Mit START den Lade- Entladevorgang beginnen !",
     codes({0, 1, 6, 7, 8, 9})},
    {u"3", u"Discharge to Charge", u"Mit START den Entlade- Ladevorgang beginnen !",
     codes({0, 1, 4, 5, 8, 9})},
    {u"4", u"Lead Battery Charge", u"Mit START den Ladevorgang beginnen !", codes({0, 1, 2, 8})},
}};

struct Status {
    const char16_t* text;  // Formtext Text6
    const char16_t* statusBar;  // null: the mode's ready hint
};

constexpr std::array<Status, 10> kStatuses{{
    {u"No Battery", u"Batterie an die 'Output 0,1 - 5A' Buchse des Ladomat Link II anschließen !"},
    {u"Ready, Battery connected", nullptr},
    {u"Charging", u"AKKU WIRD GELADEN ..."},
    {u"Discharging", u"AKKU WIRD ENTLADEN ..."},
    {u"Discharging in DISC -> CHAR Mode", u"AKKU WIRD ENTLADEN (D/C MODE) ..."},
    {u"Charging in DISC -> CHAR Mode", u"AKKU WIRD GELADEN (D/C MODE) ..."},
    {u"Charging in CHAR -> DISC Mode", u"AKKU WIRD GELADEN (C/D MODE) ..."},
    {u"Discharging in CHAR -> DISC Mode", u"AKKU WIRD ENTLADEN (C/D MODE) ..."},
    {u"VORGANG BEENDET", u"Vorgang erfolgreich beendet !"},
    {u"Pause Time", u""},
}};

constexpr MessageLine kStoreFullMessage[] = {
    {u"Der Speicher ist voll:         ", 1},
    {u"2.000.000 Messwerte.           ", 1},
    {u"Die Aufzeichnung ist beendet.  ", 2},
    {u"Bitte die Daten jetzt sichern !", 0},
};
static_assert(linesFit(kStoreFullMessage));

void setMessage(const QString& text) { forms.message->setText(text); }

void clearPlot()
{
    forms.ZeitachseBeschriften();
    forms.Picture1->Cls();
    forms.GrafikAufbauen();
}

// The record has ended or starts again: its journal file is final (after the message, so that
// a failing journal's message stands).
void finishJournal()
{
    if (V->journal)
        V->journal->finish();
}

// Ends the record as the charger's end status does; the page controls stay off in the
// whole-record view, which they do not apply to.
void endRecord()
{
    V->MessungBeendet = 1;
    BedienungFreigeben();
    if (gesamtansicht())
        setPageControlsEnabled(false);
}

bool storeFull() { return V->MessNr > kStoreSize; }

// Moves on to the next slot. Filling the store's last slot ends the record: no sample is
// ever kept beyond it.
void nextSlot()
{
    V->MessNr += 1;
    if (storeFull()) {
        endRecord();
        setMessage(messageText(kStoreFullMessage));
        finishJournal();
    }
}

void Neubeginn(const QString& message)
{
    finishJournal();
    setMessage(message);
    V->MessNr = 1;
    V->MinProSeite = 12;
    V->LetzteSeite = 1;
    V->Seite = 1;
    forms.pageNumber->setText(blankText(V->Seite));
    clearPlot();
    V->MessungBeendet = 0;
    forms.KurveFortsetzen();
    V->MessungGestoppt = 0;
}

void Aufzeichnen()
{
    forms.KurveFortsetzen();
    const long n = messNrSlot();
    forms.protokoll->model->append(V->MessNr, V->KurveU[n], V->KurveI[n], V->KurveQ[n]);
    // The record counts the sample before a full store ends it, so that its journal holds it.
    V->MessAnzahl = std::min<float>(V->MessNr + 1, kStoreSize);
    if (V->journal)
        V->journal->sampleRecorded();
    nextSlot();
}

const Mode* modeOf(QStringView modus)
{
    const auto mode = std::find_if(kModes.begin(), kModes.end(),
                                   [&](const Mode& m) { return modus == QStringView(m.code); });
    return mode == kModes.end() ? nullptr : &*mode;
}

}  // namespace

Schritt AblaufEntscheiden(QStringView modus, int status, int statusAlt, int messungBeendet,
                          int messungGestoppt, bool storeFull)
{
    using Controls = Schritt::Controls;
    Schritt s;
    const Mode* mode = modeOf(modus);
    s.acts = mode && status >= 0 && status <= 9 && (mode->statuses & 1u << status);
    if (!s.acts)
        return s;
    switch (status) {
    case 0:
        s.controls = Controls::lock;
        s.reset = true;
        break;
    case 1:
        // After STOP at the charger the controls stay as the stop left them.
        if (messungGestoppt == 0)
            s.controls = messungBeendet == 1 ? Controls::unlock : Controls::lock;
        break;
    case 8:
        s.end = true;
        break;
    case 9:
        s.pause = !storeFull;
        break;
    default:
        // A full store has ended its record; only a new run records again.
        s.record = !storeFull;
        s.controls = storeFull ? Controls::keep : Controls::lock;
        s.restart = statusAlt == 8 || messungGestoppt == 1;
        s.lost = status == 6;
        break;
    }
    return s;
}

namespace {

void ausfuehren(const Schritt& s)
{
    if (s.controls == Schritt::Controls::lock)
        BedienungSperren();
    else if (s.controls == Schritt::Controls::unlock)
        BedienungFreigeben();
    if (s.reset) {
        finishJournal();
        V->MessNr = 1;
        V->LetzteSeite = 1;
        V->Seite = 1;
        clearPlot();
    }
    if (s.record)
        Aufzeichnen();
    if (s.pause)
        nextSlot();
    if (s.end) {
        endRecord();
        setMessage(QStringLiteral("Sie sollten jetzt die Daten sichern !!!"));
        finishJournal();
    }
    if (s.restart) {
        // The new record runs locked, also when a full store recorded nothing just now.
        BedienungSperren();
        Neubeginn(s.lost ? QStringLiteral("Alte Daten sind verloren !!!")
                         : QStringLiteral("Alte Daten sind gelöscht !!!"));
    }
}

void evaluate()
{
    const int status = V->StatusNr;
    const Schritt schritt =
        AblaufEntscheiden(V->Modus, status, V->StatusAlt, V->MessungBeendet, V->MessungGestoppt, storeFull());
    const Mode* mode = modeOf(V->Modus);
    if (!mode)
        return;
    forms.modeName->setText(QString::fromUtf16(mode->name));
    if (!schritt.acts)
        return;
    forms.statusName->setText(QString::fromUtf16(kStatuses[status].text));
    const char16_t* hint = kStatuses[status].statusBar ? kStatuses[status].statusBar : mode->readyHint;
    forms.StatusBar1->setText(QString::fromUtf16(hint));
    ausfuehren(schritt);
}

}  // namespace

void AblaufAuswerten()
{
    evaluate();
    // Every frame lands in the store, recorded or not; the journal follows what it changed.
    if (V->journal)
        V->journal->update();
}
