// A saved record in a window of its own: the graph with its pages, whole view and scales, the
// caption with the record's own battery notes and date, and the record's exports. It owns its
// record; nothing the charger sends reaches it.
#pragma once

#include "plot/Formgrafik.h"
#include "process/Record.h"

#include <QDate>
#include <QWidget>

class Formsetgraf;
class QLabel;
class QPushButton;
struct SavedRecord;

class RecordWindow : public QWidget {
    Q_OBJECT
public:
    // The record read from `path`; `saved` must hold a record.
    RecordWindow(SavedRecord saved, const QString& path, QWidget* parent = nullptr);

    // "Textdatei erzeugen" (also Ctrl+S), "Grafik speichern", "Als PNG speichern".
    void saveCurveText();
    void saveBitmap();
    void savePng();

    Formgrafik* grafik;
    Formsetgraf* setgraf;
    QLabel* summary;
    QPushButton* textButton;
    QPushButton* bitmapButton;
    QPushButton* pngButton;

private:
    Record record_;
    BatteryNotes notes_;
    QDate date_;
};
