// The graph window: plot surface, the 22 axis label fields and the view, and the procedures that
// draw a record into it (each in a file of its own).
#pragma once

#include "plot/GraphView.h"

#include <QDate>
#include <QWidget>

#include <array>

class ChargeSession;
class PlotSurface;
class QLineEdit;
struct Record;

// The battery notes the caption shows: name, nominal capacity, cells, nominal voltage.
using BatteryNotes = std::array<QString, 4>;

class Formgrafik : public QWidget {
    Q_OBJECT
public:
    // Shows the session's live record.
    explicit Formgrafik(const ChargeSession& session, QWidget* parent = nullptr);
    // Shows a saved record, which has ended: its pages and its whole view.
    explicit Formgrafik(const Record& record, QWidget* parent = nullptr);

    // Load handling: draws the empty plot once.
    void Form_Load();
    // Resize handling: layout rule, grid, current view.
    void Form_Resize();

    // Clears the plot, draws grid and frame, places the 22 label fields.
    void GrafikAufbauen();
    // Takes the page length from the time option and labels the time axis of page Seite.
    void ZeitachseBeschriften();
    // Draws the open record on the live page, up to the sample before messNr (adds to the
    // surface, does not clear).
    void LaufKurveZeichnen(const Record& record, float messNr);
    // Draws one page of a finished record whose first column shows sample ersteProbe.
    void SeiteZeichnen(const Record& record, float ersteProbe);
    // Draws the whole record across the plot width.
    void GesamtkurveZeichnen(const Record& record);
    // Redraws the current view after GrafikAufbauen: the whole record, the page Seite of an
    // ended record, or the live page.
    void AnsichtZeichnen(const Record& record, float messNr, bool beendet);
    // Draws the segments of sample messNr, the newest, and turns the page at the right edge.
    void KurveFortsetzen(const Record& record, float messNr);
    // Paints the caption (battery notes, scales and time span, date) into the plot.
    void KopfzeilenSchreiben(const BatteryNotes& notes, const QDate& date = QDate::currentDate());
    // The value labels of the scales' start positions, the time labels empty.
    void startLabels();

    // The record, its grid and current view drawn anew.
    void redraw();
    // KurveFortsetzen on the live record.
    void extendLiveCurve(float messNr);
    // The live record starts again at slot 1: page 1, the time axis labelled, the plot emptied.
    void recordCleared();
    const Record& record() const;

    GraphView view;
    PlotSurface* Picture1;
    std::array<QLineEdit*, 23> Text{};  // Text[1] to Text[22]; index 0 unused

signals:
    // The live page being drawn: it starts after P samples and is page LetzteSeite.
    void livePageShown(float P, float letzteSeite);
    // A page or the whole record has been drawn on a cleared plot: no caption stands there now.
    void viewDrawn();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Formgrafik(const ChargeSession* session, const Record& record, QWidget* parent);

    const ChargeSession* session_;  // none for a saved record
    const Record& record_;
    bool resizing_ = false;
    Qt::WindowStates frameState_;  // as the child window frame last announced it
};
