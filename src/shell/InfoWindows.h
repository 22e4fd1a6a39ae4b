// The information windows: serial cable pin-out, about window and contact window.
#pragma once

#include <QWidget>

// How the serial cable between charger and computer is wired, drawn as a pin-out.
class Formkabel : public QWidget {
    Q_OBJECT
public:
    explicit Formkabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// About the program.
class Forminfo : public QWidget {
    Q_OBJECT
public:
    explicit Forminfo(QWidget* parent = nullptr);
};

// Whom to ask.
class Formkontakt : public QWidget {
    Q_OBJECT
public:
    explicit Formkontakt(QWidget* parent = nullptr);
};
