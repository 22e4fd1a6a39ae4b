// The charge process state machine: follows the charger's mode and status for each frame,
// records samples with their log lines, restarts and ends the record.
#include "process/ChargeSession.h"

#include "process/ProtokollModel.h"
#include "process/Journal.h"
#include "process/MessageLines.h"

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

// Ends the record as the charger's end status does.
void ChargeSession::endRecord(EndReason reason)
{
    MessungBeendet = 1;
    BedienungFreigeben();
    emit recordEnded(reason);
}

// Moves on to the next slot. Filling the store's last slot ends the record: no sample is
// ever kept beyond it.
void ChargeSession::nextSlot()
{
    MessNr += 1;
    if (storeFull()) {
        endRecord(EndReason::storeFull);
        emit message(messageText(kStoreFullMessage));
        finishJournal(RecordEnd::storeFull);
    }
}

void ChargeSession::Neubeginn(const QString& text)
{
    finishJournal(RecordEnd::newRun);
    emit message(text);
    MessNr = 1;
    emit recordCleared();
    MessungBeendet = 0;
    emit curveExtended(MessNr);
    MessungGestoppt = 0;
}

void ChargeSession::Aufzeichnen()
{
    emit curveExtended(MessNr);
    const long n = messNrSlot();
    chargeLog->append(MessNr, Messreihe.KurveU[n], Messreihe.KurveI[n], Messreihe.KurveQ[n]);
    // The record counts the sample before a full store ends it, so that its journal holds it.
    Messreihe.MessAnzahl = std::min<float>(MessNr + 1, kStoreSize);
    if (journal)
        journal->sampleRecorded();
    nextSlot();
}

void ChargeSession::ausfuehren(const Schritt& s)
{
    if (s.controls == Schritt::Controls::lock)
        BedienungSperren();
    else if (s.controls == Schritt::Controls::unlock)
        BedienungFreigeben();
    if (s.reset) {
        finishJournal(RecordEnd::noBattery);
        MessNr = 1;
        emit recordCleared();
    }
    if (s.record)
        Aufzeichnen();
    if (s.pause)
        nextSlot();
    if (s.end) {
        endRecord(EndReason::chargerEnd);
        emit message(QStringLiteral("Sie sollten jetzt die Daten sichern !!!"));
        finishJournal(RecordEnd::chargerEnd);
    }
    if (s.restart) {
        // The new record runs locked, also when a full store recorded nothing just now.
        BedienungSperren();
        Neubeginn(s.lost ? QStringLiteral("Alte Daten sind verloren !!!")
                         : QStringLiteral("Alte Daten sind gelöscht !!!"));
    }
}

void ChargeSession::AblaufAuswerten()
{
    const int status = reading.StatusNr;
    if (journal)
        journal->frameSeen(messNrSlot(), reading);
    const Schritt schritt =
        AblaufEntscheiden(reading.Modus, status, StatusAlt, MessungBeendet, MessungGestoppt, storeFull());
    if (const Mode* mode = modeOf(reading.Modus)) {
        emit modeNamed(QString::fromUtf16(mode->name));
        if (schritt.acts) {
            emit statusNamed(QString::fromUtf16(kStatuses[status].text));
            const char16_t* hint =
                kStatuses[status].statusBar ? kStatuses[status].statusBar : mode->readyHint;
            emit statusHint(QString::fromUtf16(hint));
            ausfuehren(schritt);
        }
    }
    // Every frame lands in the store, recorded or not; the journal follows what it changed.
    if (journal)
        journal->update(Messreihe, MessNr, notes, device);
}
