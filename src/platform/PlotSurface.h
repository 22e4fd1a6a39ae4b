// The plot surface: a widget with a retained image, drawn on in twips and clipped to its area.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

// Rows [first, last] one line segment covers in one pixel column; empty when first > last.
struct PixelRun {
    int first = 0;
    int last = -1;
    bool empty() const { return first > last; }
};

// The row of a height in pixels. Rows far outside the image are clamped before conversion,
// so huge values cannot overflow.
int pixelRow(double y);

// The rasteriser's rule, shared with drawers that reduce many segments per column: a segment
// from (ax, ay) to (bx, by) in pixel coordinates covers, in column c, every row between the
// line's heights at the two ends of its part inside [c, c + 1], both ends included.
// Columns run from floor(min x) to floor(max x). Rows are not clipped here.
PixelRun segmentRunInColumn(double ax, double ay, double bx, double by, int column);

class PlotSurface : public QWidget {
    Q_OBJECT
public:
    explicit PlotSurface(QWidget* parent = nullptr);

    // Width and height in twips: the far ends of the drawing coordinates.
    double ScaleWidth() const { return image_.width() * twipsPerPixel_; }
    double ScaleHeight() const { return image_.height() * twipsPerPixel_; }
    double twipsPerPixel() const { return twipsPerPixel_; }

    QColor backColor() const { return backColor_; }
    void setForeColor(const QColor& color) { foreColor_ = color; }

    // Clears to the back colour; the image takes the widget's current size first.
    void Cls();
    void Line(double x1, double y1, double x2, double y2) { Line(x1, y1, x2, y2, foreColor_); }
    void Line(double x1, double y1, double x2, double y2, const QColor& color);
    // Rectangle outline in the pen colour.
    void LineBox(double x1, double y1, double x2, double y2);
    // One point; it also becomes the current text position.
    void PSet(double x, double y, const QColor& color);
    // Prints at the current text position in the pen colour, then moves to the next line.
    void Print(const QString& text);
    double CurrentX = 0;
    double CurrentY = 0;

    // Paints rows first..last of one pixel column, clipped: the drawers' fast path.
    void paintColumnRun(int column, int first, int last, const QColor& color);

    const QImage& image() const { return image_; }
    // Replaces the file only once it is completely written; false when it cannot be written.
    bool saveBmp(const QString& path) const;
    bool savePng(const QString& path) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitImage();

    double twipsPerPixel_ = 15.0;
    QColor backColor_;
    QColor foreColor_{Qt::black};
    QImage image_;
};
