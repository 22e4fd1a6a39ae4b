// Curves reduced pixel column by pixel column to the picture that one line per sample and curve
// would give: which curve owns each pixel, found from the segments in reverse draw order.
#include "plot/Reduction.h"

#include "platform/PlotSurface.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>

namespace {

// A segment in pixel coordinates, from (ax, ay) to (bx, by).
struct Line {
    double ax, ay, bx, by;
    double slope = 0;  // rows per column, where ax < bx
};

// Which curve shows in each pixel. Segments are fed in reverse draw order, so a pixel belongs
// to the first segment that reaches it: the one drawn last over it.
class ColumnOwners {
public:
    ColumnOwners(int width, int height, int curves)
        : height_(height)
        , curves_(curves)
        , leaves_(static_cast<int>(std::bit_ceil(static_cast<unsigned>(width))))
        , owner_(static_cast<size_t>(width) * height, kNobody)
        , held_(static_cast<size_t>(width) * curves)
        , bounds_(static_cast<size_t>(curves) * 2 * leaves_)
    {
    }

    // Takes the run's rows that nobody owns yet for the curve. The tree of bounds learns the
    // column's new rows only from settle(), once the caller's claims in the column are done.
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
        } else if (run.last + 1 < held.first || run.first > held.last + 1) {
            // A curve that comes back to the column from elsewhere (its points going back and
            // forth across) may meet it apart from the rows it holds: all of the run is new then,
            // and the curve goes on holding the larger of the two.
            take(curve, column, run.first, run.last);
            if (run.last - run.first > held.last - held.first)
                held = run;
        } else {
            // Otherwise the chain of segments, joined end to end, overlaps or touches what it
            // holds: only the rows beyond are new, which keeps the work per column and curve
            // within the column's height.
            if (run.first < held.first) {
                take(curve, column, run.first, held.first - 1);
                held.first = run.first;
            }
            if (run.last > held.last) {
                take(curve, column, held.last + 1, run.last);
                held.last = run.last;
            }
        }
    }

    void settle(int curve, int column)
    {
        const PixelRun& held = held_[static_cast<size_t>(column) * curves_ + curve];
        if (held.empty())
            return;
        Bounds* tree = &bounds_[static_cast<size_t>(curve) * 2 * leaves_];
        int n = leaves_ + column;
        const Bounds leaf{held.first == 0 ? INT_MIN : held.first + 1,
                          held.last == height_ - 1 ? INT_MAX : held.last};
        if (tree[n].low == leaf.low && tree[n].high == leaf.high)
            return;
        tree[n] = leaf;
        for (n /= 2; n >= 1; n /= 2)
            tree[n] = {std::max(tree[2 * n].low, tree[2 * n + 1].low),
                       std::min(tree[2 * n].high, tree[2 * n + 1].high)};
    }

    // Calls `visit` for each column from left to right where the curve may not hold yet every row
    // the line covers there: the line's heights over the column lie within the rows held, give or
    // take a row for rounding, and a run that reaches the top or bottom row holds everything
    // beyond it, which is clipped. Most segments of a long record end here without being
    // rasterised, and the tree of bounds settles a segment that jumps far across (as a noisy
    // capacity does) without looking at its columns one by one.
    template <typename Visit>
    void forEachUnheld(int curve, int left, int right, Line line, const Visit& visit)
    {
        if (line.bx < line.ax) {
            std::swap(line.ax, line.bx);
            std::swap(line.ay, line.by);
        }
        if (line.bx > line.ax)
            line.slope = (line.by - line.ay) / (line.bx - line.ax);
        forEachUnheld(curve, 1, 0, leaves_ - 1, left, right, line, visit);
    }

    void paint(PlotSurface* plot, const std::vector<QColor>& colors) const
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
                    plot->paintColumnRun(column, row, end - 1, colors[owner]);
                row = end;
            }
        }
    }

    static constexpr int kMostCurves = 255;

private:
    // For a column: the least height a segment must start from and the height it must stay below
    // to lie within what the curve holds. For a node of the tree: the same for all its columns.
    struct Bounds {
        int low = INT_MAX;  // nothing held: no segment lies within
        int high = INT_MIN;
    };

    const Bounds& node(int curve, int n) const
    {
        return bounds_[static_cast<size_t>(curve) * 2 * leaves_ + n];
    }
    static bool holdsIn(const Bounds& bounds, double low, double high)
    {
        return low >= bounds.low && high < bounds.high;
    }

    // A node whose columns all hold the rows the segment crosses over them needs no look at those
    // columns. The heights are the line's at the ends of its part over the node: what the columns'
    // own parts reach lies between them, but for rounding far below the row of room holdsIn leaves.
    template <typename Visit>
    void forEachUnheld(int curve, int n, int from, int to, int left, int right, const Line& line,
                       const Visit& visit)
    {
        if (to < left || from > right)
            return;
        double low = std::min(line.ay, line.by), high = std::max(line.ay, line.by);
        if (line.bx > line.ax) {
            const double y0 = line.ay + line.slope * (std::max(line.ax, static_cast<double>(from)) - line.ax);
            const double y1 = line.ay + line.slope * (std::min(line.bx, to + 1.0) - line.ax);
            low = std::max(low, std::min(y0, y1));
            high = std::min(high, std::max(y0, y1));
        }
        if (holdsIn(node(curve, n), low, high))
            return;
        if (from == to) {
            visit(from);
            return;
        }
        const int middle = from + (to - from) / 2;
        forEachUnheld(curve, 2 * n, from, middle, left, right, line, visit);
        forEachUnheld(curve, 2 * n + 1, middle + 1, to, left, right, line, visit);
    }

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
    int leaves_;  // columns rounded up to a power of two
    std::vector<uint8_t> owner_;  // column by column
    std::vector<PixelRun> held_;  // per column and curve: rows the curve's later segments cover
    std::vector<Bounds> bounds_;  // per curve a tree over the columns, leaves from leaves_ on
};

// Raw values that certainly fall on rows first..last of a curve: the interval [lo, hi]. It is
// the exact value interval of those rows narrowed by a margin far above the rounding of curveY,
// so a value inside needs no height computed; a value outside is checked exactly, and widens
// the interval when it falls inside after all. A side that reaches the plot's edge is open,
// since rows beyond it are clipped.
struct SafeValues {
    double lo = 0;
    double hi = 0;

    SafeValues(PixelRun rows, int height, float H, float scale, double perPixel)
    {
        const double s = scale;
        if (!(std::isfinite(s) && s != 0 && H > 0)) {
            lo = INFINITY;
            hi = -INFINITY;
            return;
        }
        const auto valueAt = [&](double y) { return s * (H - y) / H; };
        const double top = rows.first <= 0 ? s * INFINITY : valueAt(rows.first * perPixel);
        const double bottom = rows.last >= height - 1 ? -s * INFINITY : valueAt((rows.last + 1) * perPixel);
        const double margin = std::abs(s) * 1e-4;
        lo = std::min(top, bottom) + margin;
        hi = std::max(top, bottom) - margin;
    }
    // The nearest sample from p down to first whose value lies outside, first - 1 when none does:
    // the loop that most samples of a long record meet, out of line so that it keeps its bounds
    // in registers.
    [[gnu::noinline]] int lastOutside(const float* samples, int p, int first) const
    {
        const double low = lo, high = hi;
        while (p >= first && samples[p] >= low && samples[p] <= high)
            --p;
        return p;
    }
};

struct Claim {
    int segment;
    int curve;
    PixelRun run;
};

// One group's segments fed to the owners; its curves are owners `firstOwner` on.
class GroupDrawer {
public:
    GroupDrawer(const CurveGroup& group, int firstOwner, ColumnOwners& owners, const PlotSurface* plot)
        : group_(group)
        , firstOwner_(firstOwner)
        , owners_(owners)
        , width_(plot->image().width())
        , height_(plot->image().height())
        , H_(static_cast<float>(plot->ScaleHeight()))
        , perPixel_(plot->twipsPerPixel())
        , inOrder_(group.across == nullptr && group.perUnit > 0)
    {
    }

    // Feeds segments count..1 in reverse draw order; for i = 1..count and the curves in order,
    // the per-sample drawing joins point i - 1 to point i.
    void draw()
    {
        const int curveCount = static_cast<int>(group_.curves.size());
        for (int i = group_.count; i >= 1;) {
            // Most segments lie inside one column: at thousands of samples per column, nearly all.
            const int column = columnOf(i);
            const int first = std::max(1, firstPointInColumn(i));
            if (first < i) {
                // Segments wholly inside a column beyond the plot's edges leave no mark.
                if (column >= 0 && column < width_)
                    claimInside(column, first, i);
                i = first;
                continue;
            }
            const double ax = x(i - 1);
            const double bx = x(i);
            const int left = std::max(0, columnAt(std::min(ax, bx)));
            const int right = std::min(width_ - 1, columnAt(std::max(ax, bx)));
            for (int k = curveCount - 1; k >= 0; --k) {
                const double ay = height(k, i - 1);
                const double byPixels = height(k, i);
                const int owner = firstOwner_ + k;
                owners_.forEachUnheld(owner, left, right, {ax, ay, bx, byPixels}, [&](int c) {
                    owners_.claim(owner, c, segmentRunInColumn(ax, ay, bx, byPixels, c));
                    owners_.settle(owner, c);
                });
            }
            --i;
        }
    }

private:
    // Point 0 stands for the bottom left corner, or for point 1 when the curves start there.
    int point(int t) const { return t == 0 && !group_.fromCorner ? 1 : t; }
    bool corner(int t) const { return t == 0 && group_.fromCorner; }

    // Point t's x and a curve's height there, in pixels, as the surface converts the twips of
    // the per-sample line calls.
    double x(int t) const
    {
        if (corner(t))
            return 0;
        t = point(t);
        const float units = group_.across ? group_.across[t] : static_cast<float>(t) - group_.shift;
        return group_.perUnit * units / perPixel_;
    }
    static int columnAt(double x) { return static_cast<int>(std::floor(std::clamp(x, -2.0, 1.0e7))); }
    int columnOf(int t) const { return columnAt(x(t)); }
    double height(int k, int t) const
    {
        if (corner(t))
            return H_ / perPixel_;
        const Curve& curve = group_.curves[k];
        return curveY(H_, curve.samples[point(t)], curve.scale) / perPixel_;
    }

    // The first of the points before t that lie in t's column without a break.
    int firstPointInColumn(int t) const
    {
        const int column = columnOf(t);
        if (!inOrder_) {
            while (t > 0 && columnOf(t - 1) == column)
                --t;
            return t;
        }
        // Points in order across: a binary search.
        int lo = 0;
        while (lo < t) {
            const int mid = lo + (t - lo) / 2;
            if (columnOf(mid) < column)
                lo = mid + 1;
            else
                t = mid;
        }
        return lo;
    }

    // Segments first + 1 .. last, all inside one column. Each curve's rows there grow outward
    // from its last segment back; a segment adds rows only where its earlier end lies beyond
    // them, so only those segments are claimed, in the order the reverse drawing meets them.
    void claimInside(int column, int first, int last)
    {
        claims_.clear();
        for (int k = 0; k < static_cast<int>(group_.curves.size()); ++k) {
            const Curve& curve = group_.curves[k];
            const int a = pixelRow(height(k, last - 1));
            const int b = pixelRow(height(k, last));
            PixelRun covered{std::min(a, b), std::max(a, b)};
            claims_.push_back({last, k, covered});
            SafeValues safe(covered, height_, H_, curve.scale, perPixel_);
            for (int p = safe.lastOutside(curve.samples, last - 2, first); p >= first;
                 p = safe.lastOutside(curve.samples, p - 1, first)) {
                const float value = curve.samples[p];
                const int row = pixelRow(height(k, p));
                if (row >= covered.first && row <= covered.last) {
                    // Inside after all: widen the safe interval to this value.
                    (value > safe.hi ? safe.hi : safe.lo) = value;
                    continue;
                }
                covered = {std::min(row, covered.first), std::max(row, covered.last)};
                claims_.push_back({p + 1, k, covered});
                safe = SafeValues(covered, height_, H_, curve.scale, perPixel_);
            }
        }
        // Later segments first; at one sample the curve drawn last first.
        std::sort(claims_.begin(), claims_.end(), [](const Claim& l, const Claim& r) {
            return l.segment != r.segment ? l.segment > r.segment : l.curve > r.curve;
        });
        for (const Claim& claim : claims_)
            owners_.claim(firstOwner_ + claim.curve, column, claim.run);
        for (int k = 0; k < static_cast<int>(group_.curves.size()); ++k)
            owners_.settle(firstOwner_ + k, column);
    }

    const CurveGroup& group_;
    const int firstOwner_;
    ColumnOwners& owners_;
    const int width_;
    const int height_;
    const float H_;
    const double perPixel_;
    const bool inOrder_;  // points lie in order across: the sample number is the across value
    std::vector<Claim> claims_;
};

}  // namespace

void drawReduced(PlotSurface* plot, const std::vector<CurveGroup>& groups)
{
    std::vector<QColor> colors;
    std::vector<int> firstOwners;
    for (const CurveGroup& group : groups) {
        firstOwners.push_back(static_cast<int>(colors.size()));
        for (const Curve& curve : group.curves)
            colors.push_back(curve.color);
    }
    const int curves = static_cast<int>(colors.size());
    if (curves == 0 || curves > ColumnOwners::kMostCurves)
        return;
    ColumnOwners owners(plot->image().width(), plot->image().height(), curves);
    for (int g = static_cast<int>(groups.size()) - 1; g >= 0; --g) {
        if (!groups[g].curves.empty())
            GroupDrawer(groups[g], firstOwners[g], owners, plot).draw();
    }
    owners.paint(plot, colors);
}
