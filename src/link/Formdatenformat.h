// The data-format help window with the latest frame beside a position ruler.
#pragma once

#include <QWidget>

class QLineEdit;

class Formdatenformat : public QWidget {
    Q_OBJECT
public:
    explicit Formdatenformat(QWidget* parent = nullptr);

    QLineEdit* Text1;
};
