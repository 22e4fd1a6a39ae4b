// The exports: the curve as a text file and the plot as a bitmap.
#pragma once

#include <QString>

struct SaveFileRequest;

// "Datei" -> "Textdatei erzeugen": samples 1 to MessAnzahl as comma-separated lines.
void m_maketext_Click();
// "Datei" -> "Grafik speichern": the plot surface's image as a bitmap.
void m_grafsave_Click();

// Writes samples 1 to MessAnzahl, one "n,U,I,Q" line each ending in CR LF; the file is replaced
// only once complete. False when it cannot be written.
bool writeCurveFile(const QString& path);

// Closes the serial port, asks for a file name and, unless cancelled, writes the file with
// `write`; a failure is reported in a message box. Then reopens the port and empties it.
void saveWithPortClosed(const SaveFileRequest& request, bool (*write)(const QString& path));
