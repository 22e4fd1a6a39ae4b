// Link supervision (Timer1) and stop handling (Timer2): the two once-a-second ticks.
#include "process/process.h"

#include "platform/MessageField.h"
#include "platform/SerialPort.h"
#include "process/Forms.h"
#include "process/Journal.h"
#include "process/MessageLines.h"
#include "process/Variabelen.h"

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

void Timer1_Timer()
{
    const QString& frame = V->Datensatz;
    if (frame == V->DatensatzAlt1 && frame == V->DatensatzAlt2 && frame == V->DatensatzAlt3 &&
        frame == V->DatensatzAlt4 && frame == V->DatensatzAlt5) {
        // The link is dead: throw away whatever waits (nothing to report if the port is closed).
        forms.MSComm1->input();
        MessageField* field = forms.message;
        // An earlier message stays; the alarm never overwrites it.
        if (!field->text().isEmpty())
            return;
        field->setText(messageText(kLinkAlarm));
    }
    V->DatensatzAlt5 = V->DatensatzAlt4;
    V->DatensatzAlt4 = V->DatensatzAlt3;
    V->DatensatzAlt3 = V->DatensatzAlt2;
    V->DatensatzAlt2 = V->DatensatzAlt1;
    V->DatensatzAlt1 = V->Datensatz;
}

void Timer2_Timer()
{
    // A fall from a recording status straight to ready: the user pressed STOP at the charger.
    const bool recording = V->StatusAlt >= 2 && V->StatusAlt <= 7;
    if (V->MessungBeendet == 0 && recording && V->StatusNr == 1) {
        forms.message->setText(messageText(kStopMessage));
        BedienungFreigeben();
        V->MessungBeendet = 1;
        V->MessungGestoppt = 1;
        // The stopped record's journal is final as the store holds it now.
        if (V->journal)
            V->journal->finish();
    }
    V->StatusAlt = V->StatusNr;
}
