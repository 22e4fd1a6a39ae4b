// Application shell procedures.
#pragma once

// Opens the first of COM1 to COM4 that opens; ends the program with a message when none does.
void PortOeffnen();

// Name, launcher id, icon, style and font of the application; call once after creating it.
void setUpApplication();

class QString;

// Where the recording journal keeps its records: "Aufzeichnungen" in the program's data folder.
QString journalFolder();
// Loads a curve text file into the store as an ended record and shows it; a file that is not
// a curve file is refused with a message naming its first bad line, the store untouched.
bool openRecordFile(const QString& path);
