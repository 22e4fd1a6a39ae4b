// Charge process: state machine, link supervision and control locking.
#pragma once

#include <QStringView>

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

// Follows the charger's mode and status for one frame.
void AblaufAuswerten();
// Locks / unlocks page navigation, page length, view switch and the exports.
void BedienungSperren();
void BedienungFreigeben();
// Enables or disables the page controls alone: page buttons and page length options.
void setPageControlsEnabled(bool enabled);
// Link supervision (Timer1) and stop handling (Timer2), once a second each.
void Timer1_Timer();
void Timer2_Timer();
