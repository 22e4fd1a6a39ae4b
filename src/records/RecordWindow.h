// A saved record in a window of its own: the graph with its pages, whole view and scales, the
// caption with the record's own battery notes and date, the record's summary and its exports. It owns its
// record; nothing the charger sends reaches it.
#pragma once

#include "plot/Formgrafik.h"
#include "process/Record.h"
#include "process/RecordFacts.h"

#include <QDate>
#include <QWidget>

class Formsetgraf;
class QLabel;
class QPushButton;

class RecordWindow : public QWidget {
    Q_OBJECT
public:
    // The record read from `path`, with the facts kept beside it (default facts where there are
    // none).
    RecordWindow(Record record, const RecordFacts& facts, const QString& path, QWidget* parent = nullptr);

    // "Textdatei erzeugen" (also Ctrl+S), "Grafik speichern", "Als PNG speichern".
    void saveCurveText();
    void saveBitmap();
    void savePng();

    Formgrafik* grafik;
    Formsetgraf* setgraf;
    QLabel* summary;  // the record's summary, a line for each item
    QPushButton* textButton;
    QPushButton* bitmapButton;
    QPushButton* pngButton;

private:
    Record record_;
    BatteryNotes notes_;
    QDate date_;
};
