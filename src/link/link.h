// Charger link: frame reception, decoding and the live values.
#pragma once

// The serial port's communication event: dispatches on the event code.
void MSComm1_OnComm();
// Reads the port and cuts out the frame.
void DatenEinlesen();
// Decodes the frame into the current reading and stores it at slot MessNr.
void DatenWandeln();
// Shows the current reading in the live value window.
void WerteAnzeigen();
