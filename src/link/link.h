// Charger link: frame reception, decoding and the live values.
#pragma once

// Reads the port and cuts out the frame.
void DatenEinlesen();
// Decodes the frame into the current reading and stores it at slot MessNr.
void DatenWandeln();
// Shows the current reading in the live value window.
void WerteAnzeigen();
