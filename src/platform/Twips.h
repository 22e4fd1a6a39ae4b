// Twips (1/1440 inch) to screen pixels: positions and sizes are kept in twips as data.
#pragma once

#include <QRect>
#include <QWidget>

constexpr double kTwipsPerPixel = 15.0;  // at 96 pixels per inch

inline int twipsToPixels(double twips)
{
    return static_cast<int>(twips / kTwipsPerPixel + (twips >= 0 ? 0.5 : -0.5));
}

inline double pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline QRect twipsRect(double left, double top, double width, double height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

// Places a control at a twips rectangle inside its parent.
inline void placeTwips(QWidget* widget, double left, double top, double width, double height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

// Names a control (its objectName, for tests and tools) and places it at a twips rectangle.
template <typename Control>
Control* placeTwips(Control* control, const char* name, double left, double top, double width, double height)
{
    control->setObjectName(QLatin1String(name));
    placeTwips(control, left, top, width, height);
    return control;
}
