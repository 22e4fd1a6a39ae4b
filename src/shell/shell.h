// Application shell procedures beside the main window.
#pragma once

#include "records/RecordFile.h"

#include <QIcon>
#include <QString>

class SerialPort;

// Opens the first of COM1 to COM4 that opens, for frames of 32 characters; false when none does.
bool PortOeffnen(SerialPort& port);

// Name, launcher id, icon, style and font of the application; call once after creating it.
void setUpApplication();

// The program's icon, a battery with a charge curve, from the SVG compiled in as a resource.
QIcon programIcon();

// Where the recording journal keeps its records: "Aufzeichnungen" in the program's data folder.
QString journalFolder();
// After a crash: the newest record in the journal folder whose facts say it never ended, that no
// program writes now and that was not offered before, is offered for opening. Its facts are
// marked, so that it is offered only once. Its path when the user wants it opened, else empty.
QString askToOpenUnfinished(const QString& folder);
