// The comparison window: two to six saved records overlaid on one plot, the quantity and the axis
// across chosen by the user, a legend entry per record, and the picture saved as PNG.
#pragma once

#include "process/Record.h"
#include "records/Comparison.h"

#include <QImage>
#include <QStringList>
#include <QWidget>

#include <array>
#include <vector>

class PlotSurface;
class QComboBox;
class QLabel;
class QPushButton;

struct ComparedRecord {
    Record record;
    QString legend;
};

class CompareWindow : public QWidget {
    Q_OBJECT
public:
    explicit CompareWindow(std::vector<ComparedRecord> records, QWidget* parent = nullptr);

    // Scales, grid, curves and axis labels for the records and the chosen view.
    void redraw();
    // "Als PNG speichern": the picture, labels and legend included, to a file the user names.
    void savePng();
    // The plot with its axis labels and legend, as saved.
    QImage picture() const;
    CompareView view() const;

    QComboBox* quantityBox;  // "Spannung", "Strom", "Ladung"
    QComboBox* acrossBox;  // "Zeit", "Ladung (mAh)"
    QPushButton* saveButton;
    PlotSurface* plot;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeLabels(const CompareAxes& axes);

    std::vector<ComparedRecord> records_;
    QWidget* picture_;
    QWidget* axesArea_;
    std::array<QLabel*, kMostDivisions + 1> valueLabels_{};
    std::array<QLabel*, kMostDivisions + 1> acrossLabels_{};
};

// A saved record's legend: its file name, the battery's name where the record's facts note one,
// and the date it was recorded (or, without facts, last written).
QString legendText(const QString& path);

// Reads the files, at most six of them, into a comparison window, not yet shown; each file refused
// or cut short is said in a message box as opening it says it. None when fewer than two are read.
CompareWindow* comparisonOf(const QStringList& paths);
