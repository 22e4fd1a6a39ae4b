// The charge session's record, reading and locks: what the frame chain stores, and what a saved
// record brings.
#include "process/ChargeSession.h"

#include "process/Journal.h"
#include "process/ProtokollModel.h"

#include <cmath>

ChargeSession::ChargeSession(QObject* parent)
    : QObject(parent)
    , chargeLog(new ProtokollModel(this))
{
}

ChargeSession::~ChargeSession() = default;

long ChargeSession::messNrSlot() const { return std::lround(MessNr); }

void ChargeSession::DatenWandeln(const QString& datensatz, const Messwerte& werte)
{
    Datensatz = datensatz;
    reading = werte;
    // A full store takes no further frames; nothing is ever written outside it.
    const long n = messNrSlot();
    if (n >= 1 && n <= kStoreSize) {
        Messreihe.KurveU[n] = static_cast<float>(reading.UAus);
        Messreihe.KurveI[n] = static_cast<float>(reading.IAus);
        Messreihe.KurveQ[n] = static_cast<float>(reading.Kapazitaet);
    }
}

void ChargeSession::BedienungSperren() { emit controlsLocked(true); }

void ChargeSession::BedienungFreigeben() { emit controlsLocked(false); }

void ChargeSession::startJournal(const QString& folder)
{
    journal = std::make_unique<Journal>(folder, [this](const QString& text, const QString& note) {
        emit journalFailed(text);
        emit message(note);
    });
}

void ChargeSession::finishJournal(RecordEnd reason)
{
    if (journal)
        journal->finish(Messreihe, MessNr, reason, notes);
}

void ChargeSession::openRecord(Record record)
{
    // The record in the store ends here, replaced as by a new run: its journal is final.
    finishJournal(RecordEnd::newRun);
    const float count = record.MessAnzahl;
    Messreihe = std::move(record);
    MessNr = count + 1;
    MessungBeendet = 1;
    MessungGestoppt = 1;
}
