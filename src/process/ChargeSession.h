// The charge session: everything that outlives one frame (the live record, the run flags, the link
// watch, the journal and the charge log) and the procedures that follow the charger's frames and
// the two timers. It touches no window: what the windows show, it says through its signals.
#pragma once

#include "process/Messwerte.h"
#include "process/Record.h"
#include "process/RecordFacts.h"

#include <QObject>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <memory>

class Journal;
class ProtokollModel;

// What a frame's status does to the record, decided from the state before it.
struct Schritt {
    enum class Controls { keep, lock, unlock };
    bool acts = false;  // the mode is known and acts on this status
    Controls controls = Controls::keep;  // the nine controls, first
    bool reset = false;  // back to sample 1 on page 1, the plot emptied
    bool record = false;  // sample MessNr drawn, logged, and the record moves on
    bool pause = false;  // the record moves on one slot without a sample
    bool end = false;  // the record ends and asks to be saved
    bool restart = false;  // a new run: the record starts again
    bool lost = false;  // the restart says the old data are lost rather than deleted
};
Schritt AblaufEntscheiden(QStringView modus, int status, int statusAlt, int messungBeendet,
                          int messungGestoppt, bool storeFull);

class ChargeSession : public QObject {
    Q_OBJECT
public:
    enum class EndReason { chargerEnd, stopped, storeFull };
    Q_ENUM(EndReason)

    explicit ChargeSession(QObject* parent = nullptr);
    ~ChargeSession() override;

    // The frame chain's second step: keeps the frame's data set for the link watch, takes its
    // reading as the current one and stores it at slot MessNr (a full store takes no more).
    void DatenWandeln(const QString& datensatz, const Messwerte& werte);
    // The fourth step: follows the charger's mode and status for the frame.
    void AblaufAuswerten();
    // Link supervision and stop handling, once a second each.
    void Timer1_Timer();
    void Timer2_Timer();
    // Locks or unlocks the nine controls of a finished record: page navigation, page length,
    // view switch and the exports.
    void BedienungSperren();
    void BedienungFreigeben();
    // A saved record replaces the live one, ended as a stop at the charger ends it: the next run
    // the charger starts replaces it in turn.
    void openRecord(Record record);
    // Keeps every record from now on in its own file in the folder.
    void startJournal(const QString& folder);
    // The record has ended or starts again (also with the program): its journal file is final,
    // its facts tell why.
    void finishJournal(RecordEnd reason);

    // The store slot of sample MessNr.
    long messNrSlot() const;

    // The latest frame's characters and its reading.
    QString Datensatz;
    Messwerte reading;
    // The live record and the slot the next frame is stored in.
    Record Messreihe;
    float MessNr = 1;
    // Run flags.
    int16_t MessungBeendet = 0;
    int16_t MessungGestoppt = 0;
    int16_t StatusAlt = 0;
    // Link watch history, newest first.
    QString DatensatzAlt1 = QStringLiteral("123");
    QString DatensatzAlt2 = QStringLiteral("234");
    QString DatensatzAlt3 = QStringLiteral("345");
    QString DatensatzAlt4;
    QString DatensatzAlt5;
    // The recording journal; none unless the program starts one.
    std::unique_ptr<Journal> journal;
    // What the facts of a journal record tell besides the frames: the battery window's notes (name,
    // nominal capacity, cells, nominal voltage) and the device the frames come from.
    std::array<QString, 4> notes;
    QString device;
    // The charge log: one line per recorded sample.
    ProtokollModel* chargeLog;

signals:
    // The frame's mode and status by name (live window), and the hint for the status bar.
    void modeNamed(const QString& name);
    void statusNamed(const QString& name);
    void statusHint(const QString& hint);
    // A message for the battery window's message field, replacing what it shows.
    void message(const QString& text);
    // The nine controls of a finished record are locked (a run is recorded) or unlocked.
    void controlsLocked(bool locked);
    // The record starts again at slot 1 on page 1, the plot emptied.
    void recordCleared();
    // The curve goes on to the sample at slot messNr: its segments are drawn.
    void curveExtended(float messNr);
    // No new frame for six ticks: what waits at the port goes, and the alarm explains the likely
    // causes (unless an earlier message is shown).
    void linkSilent(const QString& alarm);
    // The record has ended and asks to be saved.
    void recordEnded(ChargeSession::EndReason reason);
    // The record's journal cannot be written: the run goes on in memory (the message says so too).
    void journalFailed(const QString& text);

private:
    void ausfuehren(const Schritt& s);
    void Neubeginn(const QString& message);
    void Aufzeichnen();
    void nextSlot();
    void endRecord(EndReason reason);
    bool storeFull() const { return MessNr > kStoreSize; }
};
