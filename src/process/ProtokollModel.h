// The charge log's lines: one per recorded sample, kept as their four numbers.
#pragma once

#include <QAbstractListModel>

#include <vector>

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
