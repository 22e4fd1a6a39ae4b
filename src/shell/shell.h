// Application shell procedures.
#pragma once

#include <QIcon>

// Opens the first of COM1 to COM4 that opens; ends the program with a message when none does.
void PortOeffnen();
// The serial port's communication event: dispatches on the event code; a received frame runs
// the frame chain from reading to the plot caption.
void MSComm1_OnComm();

// Name, launcher id, icon, style and font of the application; call once after creating it.
void setUpApplication();

// The program's icon, a battery with a charge curve, from the SVG compiled in as a resource.
QIcon programIcon();

class QString;

// Where the recording journal keeps its records: "Aufzeichnungen" in the program's data folder.
QString journalFolder();
// Loads a curve text file into the store as an ended record and shows it; a file that is not
// a curve file is refused with a message naming its first bad line, the store untouched.
bool openRecordFile(const QString& path);
