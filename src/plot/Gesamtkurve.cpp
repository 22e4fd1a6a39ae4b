// The whole-record view: every sample across the plot width, reduced pixel column by pixel
// column to the picture that one line per sample and curve would give.
#include "plot/plot.h"

#include "platform/NumberText.h"
#include "platform/PlotSurface.h"
#include "plot/Curves.h"
#include "plot/Formgrafik.h"
#include "process/Variabelen.h"
#include "shell/Forms.h"

#include <QLineEdit>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Which curve shows in each pixel. Segments are fed in reverse draw order, so a pixel belongs
// to the first segment that reaches it: the one drawn last over it.
class ColumnOwners {
public:
    ColumnOwners(int width, int height, int curves)
        : height_(height)
        , curves_(curves)
        , owner_(static_cast<size_t>(width) * height, kNobody)
        , held_(static_cast<size_t>(width) * curves)
    {
    }

    void claim(int curve, int column, PixelRun run)
    {
        run.first = std::max(run.first, 0);
        run.last = std::min(run.last, height_ - 1);
        if (run.empty())
            return;
        PixelRun& held = held_[static_cast<size_t>(column) * curves_ + curve];
        if (held.empty()) {
            take(curve, column, run.first, run.last);
            held = run;
            return;
        }
        // A curve is one chain of segments joined end to end and advancing in x, so its runs
        // in one column overlap or touch: only the rows beyond what it already holds are new,
        // which keeps the work per column and curve within the column's height.
        if (run.first < held.first) {
            take(curve, column, run.first, std::min(run.last, held.first - 1));
            held.first = run.first;
        }
        if (run.last > held.last) {
            take(curve, column, std::max(run.first, held.last + 1), run.last);
            held.last = run.last;
        }
    }

    // Whether the curve already holds every row that a segment between the heights ay and by
    // can cover in the column: its run lies between the two heights, give or take a row for
    // rounding. A run that reaches the top or bottom row holds everything beyond it, which is
    // clipped. Most segments of a long record end here, without being rasterised.
    bool holds(int curve, int column, double ay, double by) const
    {
        const PixelRun& held = held_[static_cast<size_t>(column) * curves_ + curve];
        return !held.empty() && (held.first == 0 || std::min(ay, by) >= held.first + 1)
            && (held.last == height_ - 1 || std::max(ay, by) < held.last);
    }

    // Whether the curve already holds the rows of a segment wholly inside the column: those are
    // exactly the rows between its two heights. The heights come in twips, so that most segments
    // need no division into pixels; the small margin keeps the answer true in pixels too.
    bool holdsInside(int curve, int column, float ay, float by, double perPixel) const
    {
        constexpr double kMargin = 1e-6;
        const PixelRun& held = held_[static_cast<size_t>(column) * curves_ + curve];
        return !held.empty() && (held.first == 0 || std::min(ay, by) >= held.first * perPixel)
            && (held.last == height_ - 1 || std::max(ay, by) < (held.last + 1) * perPixel - kMargin);
    }

    void paint(PlotSurface* plot, const std::vector<Curve>& curves) const
    {
        const int width = static_cast<int>(owner_.size() / height_);
        for (int column = 0; column < width; ++column) {
            const uint8_t* rows = &owner_[static_cast<size_t>(column) * height_];
            for (int row = 0; row < height_;) {
                const uint8_t owner = rows[row];
                int end = row + 1;
                while (end < height_ && rows[end] == owner)
                    ++end;
                if (owner != kNobody)
                    plot->paintColumnRun(column, row, end - 1, curves[owner].color);
                row = end;
            }
        }
    }

private:
    void take(int curve, int column, int first, int last)
    {
        uint8_t* rows = &owner_[static_cast<size_t>(column) * height_];
        for (int row = first; row <= last; ++row) {
            if (rows[row] == kNobody)
                rows[row] = static_cast<uint8_t>(curve);
        }
    }

    static constexpr uint8_t kNobody = 0xff;
    int height_;
    int curves_;
    std::vector<uint8_t> owner_;  // column by column
    std::vector<PixelRun> held_;  // per column and curve: rows the curve's later segments cover
};

// Draws samples 1..N as the per-sample drawing would: for i = 1..N and the shown curves in
// order, a line from sample i - 1 (or the bottom left corner) to sample i.
void drawRecord(PlotSurface* plot, int N, float W, float H)
{
    const std::vector<Curve> curves = shownCurves();
    const QImage& image = plot->image();
    const int width = image.width();
    const int curveCount = static_cast<int>(curves.size());
    if (curveCount == 0)
        return;
    ColumnOwners owners(width, image.height(), curveCount);
    const float xs = W / static_cast<float>(N);
    const double perPixel = plot->twipsPerPixel();
    // The twips coordinates exactly as the per-sample line calls compute them, in pixels as
    // the surface converts them. A segment's end is the start of the one after it, so each
    // point is computed once and carried back to the segment before.
    // Heights are kept in twips until a segment needs rasterising.
    double bx = (xs * N) / perPixel;
    std::vector<float> by(curveCount);
    for (int k = 0; k < curveCount; ++k)
        by[k] = curveY(H, curves[k].samples[N], curves[k].scale);
    for (int i = N; i >= 1; --i) {
        const double ax = (i > 1 ? xs * (i - 1) : 0.0f) / perPixel;
        const int first = static_cast<int>(std::floor(ax));
        const int last = static_cast<int>(std::floor(bx));
        const int left = std::max(0, first);
        const int right = std::min(width - 1, last);
        // Most segments lie inside one column: at thousands of samples per column, nearly all.
        const bool inside = first == last && first < width;
        for (int k = curveCount - 1; k >= 0; --k) {
            const Curve& curve = curves[k];
            const float ay = i > 1 ? curveY(H, curve.samples[i - 1], curve.scale) : H;
            if (inside && owners.holdsInside(k, first, ay, by[k], perPixel)) {
                by[k] = ay;
                continue;
            }
            const double ayPixels = ay / perPixel;
            const double byPixels = by[k] / perPixel;
            for (int column = left; column <= right; ++column) {
                if (!owners.holds(k, column, ayPixels, byPixels))
                    owners.claim(k, column, segmentRunInColumn(ax, ayPixels, bx, byPixels, column));
            }
            by[k] = ay;
        }
        bx = ax;
    }
    owners.paint(plot, curves);
    plot->update();
}

}  // namespace

void GesamtkurveZeichnen()
{
    PlotSurface* plot = forms.grafik->Picture1;
    plot->Cls();
    GrafikAufbauen();
    const float W = plot->ScaleWidth();
    const float H = plot->ScaleHeight();
    const int N = static_cast<int>(std::min<float>(V->MessAnzahl, kStoreSize));

    Formgrafik* grafik = forms.grafik;
    grafik->Text[11]->setText(QStringLiteral("0"));
    if (N < 1) {
        // An empty record has no sample width: frame, grid and the label "0" alone.
        for (int field = 12; field <= 17; ++field)
            grafik->Text[field]->clear();
        return;
    }
    drawRecord(plot, N, W, H);

    const float T = static_cast<float>(N) / 60;
    for (int k = 1; k <= 5; ++k)
        grafik->Text[11 + k]->setText(patternText(T / 6 * k, QStringLiteral("000.0")));
    grafik->Text[17]->setText(patternText(T, QStringLiteral("000.0")) + QStringLiteral("Min"));
}
