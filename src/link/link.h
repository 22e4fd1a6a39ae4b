// Charger link: frame reception, decoding and the live values.
#pragma once

#include <QString>

// Reads the port into the framer and runs frameChain once for each complete frame, in order;
// a piece that never completes is only shown.
void FramesEmpfangen(void (*frameChain)());
// Reads away every waiting character and starts framing anew (after opening the port); returns what
// was read. The charger's envelope stays known.
QString readAwayInput();
// Forgets the charger's envelope (at start-up, on another port).
void forgetCharger();
// Takes the next complete frame and shows it.
void DatenEinlesen();
// Decodes the frame into the current reading and stores it at slot MessNr.
void DatenWandeln();
// Shows the current reading in the live value window.
void WerteAnzeigen();
