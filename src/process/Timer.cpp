// Link supervision (Timer1) and stop handling (Timer2): the two once-a-second ticks.
#include "process/ChargeSession.h"

#include "process/MessageLines.h"

namespace {

constexpr MessageLine kLinkAlarm[] = {
    {u"Ein Fehler ist aufgetreten ... ", 2}, {u"A) Kabel zum Akku abgezogen    ", 1},
    {u"-> Kabel NIE während einem     ", 1}, {u"Vorgang abziehen !!            ", 1},
    {u"-> START-Taste solange drücken,", 1}, {u"bis im Display 'NO BATTERY'    ", 1},
    {u"steht !!                       ", 1}, {u"-> Auf 'OK' klicken !          ", 2},
    {u"B) Gerät nicht betriebsbereit  ", 1}, {u"-> ser. Verbindung prüfen      ", 1},
    {u"-> COM Port falsch konfiguriert", 1}, {u"bzw. belegt !                  ", 1},
    {u"-> Gerät eingeschaltet ??      ", 2}, {u"C) Serielle Übertragung noch   ", 1},
    {u"nicht gestartet                ", 1}, {u"-> Drücken Sie eine beliebige  ", 1},
    {u"Taste am Ladomat XT II !       ", 0},
};
static_assert(linesFit(kLinkAlarm));

constexpr MessageLine kStopMessage[] = {
    {u"Sie haben auf STOP gedrückt !  ", 2}, {u"Sie können jetzt die Kurve     ", 1},
    {u"speichern oder ansehen.  Der   ", 1}, {u"Akku ist aber nicht korrekt    ", 1},
    {u"geladen und sollte erst        ", 1}, {u"entladen und dann wieder       ", 1},
    {u"aufgeladen werden !            ", 0},
};
static_assert(linesFit(kStopMessage));

}  // namespace

void ChargeSession::Timer1_Timer()
{
    const QString& frame = Datensatz;
    // The same frame for six ticks: the link is dead.
    if (frame == DatensatzAlt1 && frame == DatensatzAlt2 && frame == DatensatzAlt3 &&
        frame == DatensatzAlt4 && frame == DatensatzAlt5)
        emit linkSilent(messageText(kLinkAlarm));
    DatensatzAlt5 = DatensatzAlt4;
    DatensatzAlt4 = DatensatzAlt3;
    DatensatzAlt3 = DatensatzAlt2;
    DatensatzAlt2 = DatensatzAlt1;
    DatensatzAlt1 = Datensatz;
}

void ChargeSession::Timer2_Timer()
{
    // A fall from a recording status straight to ready: the user pressed STOP at the charger.
    const bool recording = StatusAlt >= 2 && StatusAlt <= 7;
    if (MessungBeendet == 0 && recording && reading.StatusNr == 1) {
        emit message(messageText(kStopMessage));
        BedienungFreigeben();
        MessungBeendet = 1;
        MessungGestoppt = 1;
        emit recordEnded(EndReason::stopped);
        // The stopped record's journal is final as the store holds it now.
        finishJournal(RecordEnd::stopped);
    }
    StatusAlt = reading.StatusNr;
}
