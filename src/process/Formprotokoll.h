// The charge log window: a fixed heading over one line per recorded sample.
#pragma once

#include "process/ProtokollModel.h"

#include <QWidget>

class QLabel;
class QTableView;

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
