// The charge log window: a fixed heading over one line per recorded sample.
#pragma once

#include <QAbstractListModel>
#include <QWidget>

#include <vector>

class QLabel;
class QTableView;

// Rows kept as their four numbers; text is made only for the rows on screen. The log holds at
// most as many lines as the store; beyond that the oldest go.
class ProtokollModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    void append(float messNr, float u, float i, float q);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The log line of a row: four numbers, each after one blank, separated by TAB.
    QString line(int row) const;

private:
    struct Row {
        float messNr, u, i, q;
    };
    std::vector<Row> rows_;
};

class Formprotokoll : public QWidget {
    Q_OBJECT
public:
    // Shows the given log.
    explicit Formprotokoll(ProtokollModel* log, QWidget* parent = nullptr);

    QLabel* Label1;
    // A one-column table rather than a QListView: QListView lays out every row again on each
    // insertion, which takes about 0.1 s a line at 2,000,000 lines; fixed-height table rows do not.
    QTableView* List1;
    ProtokollModel* model;
};
