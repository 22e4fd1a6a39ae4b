// The charge log window: a fixed heading over one line per recorded sample.
#pragma once

#include "process/ProtokollModel.h"

#include <QAbstractItemView>
#include <QWidget>

class QLabel;
class QTimer;

// The log lines, one fixed height each, drawn only where they show: what the view keeps and does
// for a new line is the same at any length. Qt's list and table views keep a position per row and
// recompute all of them as lines come (about 90 ms a line at 2,000,000 lines in a list view).
// The view stays at the newest line while the user is there; scrolled back, it keeps the lines
// the user looks at, also when the oldest go. It takes in new lines once per turn of the event
// loop, so that many lines at once cost what one does; hidden, only when it is shown again.
class ProtokollView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit ProtokollView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;

private:
    void rowsRemoved(const QModelIndex& parent, int start, int end);
    // Sets the scroll range to the rows there are now, follows the newest line if the view was at
    // the end, and paints the rows from `changedFrom_` on.
    void catchUp();
    int rows() const;
    int topRow() const;
    // The row under a viewport position, counted on past the last row.
    int rowAt(int y) const;
    // Rows that fit whole into the viewport, at least one.
    int wholeRows() const;

    int rowHeight_ = 1;
    QTimer* catchUp_;
    int changedFrom_ = -1;  // the first row to paint again at the catch-up; -1: none
    // Where the view stood before rows went: at the newest line, or showing this top row.
    bool atEndBeforeRemoval_ = true;
    int topBeforeRemoval_ = 0;
};

class Formprotokoll : public QWidget {
    Q_OBJECT
public:
    // Shows the given log.
    explicit Formprotokoll(ProtokollModel* log, QWidget* parent = nullptr);

    QLabel* Label1;
    ProtokollView* List1;
    ProtokollModel* model;
};
