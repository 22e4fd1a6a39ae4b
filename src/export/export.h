// The exports: the record as a curve text file and the plot as a bitmap. The port around their
// dialog is the main window's business.
#pragma once

#include <QString>

#include <functional>

class PlotSurface;
struct Record;
struct SaveFileRequest;

// "Datei" -> "Textdatei erzeugen": the record's samples 1 to MessAnzahl as comma-separated lines.
void saveCurveText(const Record& record);
// "Datei" -> "Grafik speichern": the plot surface's image as a bitmap.
void saveGraphBitmap(const PlotSurface& plot);
// The plot surface's image as a PNG picture.
void saveGraphPng(const PlotSurface& plot);

// Writes samples 1 to MessAnzahl, one "n,U,I,Q" line each ending in CR LF; the file is replaced
// only once complete. False when it cannot be written.
bool writeCurveFile(const QString& path, const Record& record);

// Asks for a file name and, unless cancelled, writes the file with `write`; a failure is reported
// in a message box.
void saveAs(const SaveFileRequest& request, const std::function<bool(const QString& path)>& write);
