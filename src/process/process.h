// Charge process: state machine, link supervision and control locking.
#pragma once

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
