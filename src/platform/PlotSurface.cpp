// Retained-image plot surface with its own line rasteriser, so that drawers can reproduce
// the picture of many segments column by column.
#include "platform/PlotSurface.h"

#include "platform/Twips.h"
#include "platform/WriteWhole.h"

#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

int pixelRow(double y) { return static_cast<int>(std::floor(std::clamp(y, -2.0, 1.0e7))); }

PixelRun segmentRunInColumn(double ax, double ay, double bx, double by, int column)
{
    if (bx < ax) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    double y0 = ay;
    double y1 = by;
    if (bx > ax) {
        const double left = std::max(ax, static_cast<double>(column));
        const double right = std::min(bx, static_cast<double>(column) + 1.0);
        const double slope = (by - ay) / (bx - ax);
        // An end inside the column keeps its exact height, free of rounding.
        if (left > ax)
            y0 = ay + slope * (left - ax);
        if (right < bx)
            y1 = ay + slope * (right - ax);
    }
    return {pixelRow(std::min(y0, y1)), pixelRow(std::max(y0, y1))};
}

PlotSurface::PlotSurface(QWidget* parent)
    : QWidget(parent)
    , backColor_(palette().color(QPalette::Button))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    image_ = QImage(1, 1, QImage::Format_RGB32);
    image_.fill(backColor_);
}

// A hidden widget gets its resize event only when shown, so clearing fits the image too.
void PlotSurface::fitImage()
{
    const qreal ratio = devicePixelRatioF();
    twipsPerPixel_ = kTwipsPerPixel / ratio;
    const QSize pixels = (QSizeF(size()) * ratio).toSize().expandedTo(QSize(1, 1));
    if (pixels != image_.size()) {
        image_ = QImage(pixels, QImage::Format_RGB32);
        image_.fill(backColor_);
    }
}

void PlotSurface::resizeEvent(QResizeEvent* event)
{
    fitImage();
    QWidget::resizeEvent(event);
}

void PlotSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(rect(), image_);
}

void PlotSurface::Cls()
{
    fitImage();
    image_.fill(backColor_);
    CurrentX = 0;
    CurrentY = 0;
    update();
}

void PlotSurface::paintColumnRun(int column, int first, int last, const QColor& color)
{
    if (column < 0 || column >= image_.width())
        return;
    first = std::max(first, 0);
    last = std::min(last, image_.height() - 1);
    const QRgb rgb = color.rgb();
    for (int row = first; row <= last; ++row)
        reinterpret_cast<QRgb*>(image_.scanLine(row))[column] = rgb;
}

void PlotSurface::Line(double x1, double y1, double x2, double y2, const QColor& color)
{
    const double ax = x1 / twipsPerPixel_;
    const double ay = y1 / twipsPerPixel_;
    const double bx = x2 / twipsPerPixel_;
    const double by = y2 / twipsPerPixel_;
    const double left = std::floor(std::max(std::min(ax, bx), -1.0));
    const double right = std::floor(std::min(std::max(ax, bx), static_cast<double>(image_.width())));
    for (int column = static_cast<int>(left); column <= static_cast<int>(right); ++column) {
        if (column < 0 || column >= image_.width())
            continue;
        const PixelRun run = segmentRunInColumn(ax, ay, bx, by, column);
        paintColumnRun(column, run.first, run.last, color);
    }
    update();
}

void PlotSurface::LineBox(double x1, double y1, double x2, double y2)
{
    Line(x1, y1, x2, y1);
    Line(x2, y1, x2, y2);
    Line(x2, y2, x1, y2);
    Line(x1, y2, x1, y1);
}

void PlotSurface::PSet(double x, double y, const QColor& color)
{
    const double px = std::floor(x / twipsPerPixel_);
    const double py = std::floor(y / twipsPerPixel_);
    if (px >= 0 && py >= 0 && px < image_.width() && py < image_.height())
        image_.setPixelColor(static_cast<int>(px), static_cast<int>(py), color);
    CurrentX = x;
    CurrentY = y;
    update();
}

void PlotSurface::Print(const QString& text)
{
    // The font is sized in screen pixels; the image holds device pixels, so the text is drawn
    // scaled by the device pixel ratio and keeps its size on screen, sharp at any ratio.
    QPainter painter(&image_);
    painter.scale(kTwipsPerPixel / twipsPerPixel_, kTwipsPerPixel / twipsPerPixel_);
    painter.setFont(font());
    painter.setPen(foreColor_);
    const QFontMetrics metrics(font());
    const QPointF topLeft(CurrentX / kTwipsPerPixel, CurrentY / kTwipsPerPixel);
    painter.drawText(topLeft + QPointF(0, metrics.ascent()), text);
    CurrentX = 0;
    CurrentY += metrics.height() * kTwipsPerPixel;
    update();
}

bool PlotSurface::saveBmp(const QString& path) const
{
    return writeWhole(path, [this](QIODevice& file) { return image_.save(&file, "BMP"); });
}

bool PlotSurface::savePng(const QString& path) const
{
    return writeWhole(path, [this](QIODevice& file) { return image_.save(&file, "PNG"); });
}
