// The graph window: plot surface and the 22 axis label fields.
#pragma once

#include <QWidget>

#include <array>

class PlotSurface;
class QLineEdit;

class Formgrafik : public QWidget {
    Q_OBJECT
public:
    explicit Formgrafik(QWidget* parent = nullptr);

    // Load handling: draws the empty plot once.
    void Form_Load();
    // Resize handling: layout rule, grid, current view.
    void Form_Resize();

    PlotSurface* Picture1;
    std::array<QLineEdit*, 23> Text{};  // Text[1] to Text[22]; index 0 unused

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool resizing_ = false;
    Qt::WindowStates frameState_;  // as the child window frame last announced it
};
