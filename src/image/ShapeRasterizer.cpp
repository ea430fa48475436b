// CShapeRasterizer: turns shapes into clipped boxes of pixels for any
// device, by the rules written down in DrawContext.h.
#include "image/ShapeRasterizer.h"

#include <algorithm>
#include <cmath>

namespace {
// GDI's cosmetic PS_DOT: three pixels on, three off.
constexpr int kDotRun = 3;

std::int64_t FloorDiv(__int128 a, __int128 b) {
    __int128 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<std::int64_t>(q);
}
}  // namespace

CShapeRasterizer::CShapeRasterizer(IPixelBackend& target, const SurfaceRect& clip, const Pen& pen, const Brush& brush)
    : target_(target), clip_(clip), pen_(pen), brush_(brush) {}

void CShapeRasterizer::Fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, Rgb color) {
    const std::int64_t l = std::max<std::int64_t>(left, clip_.left);
    const std::int64_t t = std::max<std::int64_t>(top, clip_.top);
    const std::int64_t r = std::min<std::int64_t>(right, clip_.right);
    const std::int64_t b = std::min<std::int64_t>(bottom, clip_.bottom);
    if (r <= l || b <= t)
        return;
    target_.FillRect(SurfaceRect{static_cast<int>(l), static_cast<int>(t), static_cast<int>(r), static_cast<int>(b)},
                     color);
}

// --- pen -----------------------------------------------------------------------------

void CShapeRasterizer::StampRow(std::int64_t x1, std::int64_t x2, std::int64_t y) {
    const int w = std::max(1, pen_.width);
    const int before = pen_.width <= 1 ? 0 : w / 2;
    Fill(x1 - before, y - before, x2 - before + w, y - before + w, pen_.color);
}

void CShapeRasterizer::StampColumn(std::int64_t x, std::int64_t y1, std::int64_t y2) {
    const int w = std::max(1, pen_.width);
    const int before = pen_.width <= 1 ? 0 : w / 2;
    Fill(x - before, y1 - before, x - before + w, y2 - before + w, pen_.color);
}

bool CShapeRasterizer::DotOn(std::int64_t step) const {
    if (pen_.style != PenStyle::Dotted)
        return true;
    return (step / kDotRun) % 2 == 0;
}

// One segment of a path: the points of the line from (x1, y1) towards
// (x2, y2), the end point excluded. `step` counts points across the segments
// of one path so that the dot pattern runs on.
void CShapeRasterizer::Segment(int x1, int y1, int x2, int y2, std::int64_t& step) {
    const std::int64_t dx = std::int64_t{x2} - x1, dy = std::int64_t{y2} - y1;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const std::int64_t n = std::max(adx, ady);  // points drawn
    if (n == 0)
        return;
    // Only the steps whose major coordinate can touch the clip box (widened
    // by the pen) are visited; the minor coordinate follows in closed form.
    const int margin = std::max(1, pen_.width);
    const bool xMajor = adx >= ady;
    const std::int64_t start = xMajor ? x1 : y1;
    const int s = xMajor ? sx : sy;
    const std::int64_t lo = (xMajor ? clip_.left : clip_.top) - std::int64_t{margin};
    const std::int64_t hi = (xMajor ? clip_.right : clip_.bottom) + std::int64_t{margin};
    // steps i with start + s * i in [lo, hi)
    std::int64_t iFirst, iLast;
    if (s > 0) {
        iFirst = lo - start;
        iLast = hi - 1 - start;
    } else {
        iFirst = start - (hi - 1);
        iLast = start - lo;
    }
    iFirst = std::max<std::int64_t>(iFirst, 0);
    iLast = std::min<std::int64_t>(iLast, n - 1);
    const std::int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const std::int64_t minorStart = xMajor ? y1 : x1;
    const int ms = xMajor ? sy : sx;

    // A run: drawn points sharing the minor coordinate, consecutive on the major axis.
    bool open = false;
    std::int64_t runMinor = 0, runFrom = 0, runTo = 0;
    auto flush = [&] {
        if (!open)
            return;
        const std::int64_t a = std::min(runFrom, runTo), b = std::max(runFrom, runTo);
        if (xMajor)
            StampRow(a, b, runMinor);
        else
            StampColumn(runMinor, a, b);
        open = false;
    };
    for (std::int64_t i = iFirst; i <= iLast; ++i) {
        if (!DotOn(step + i)) {
            flush();
            continue;
        }
        // round to nearest, halves stepping away from the start
        const std::int64_t m = FloorDiv(static_cast<__int128>(2) * i * minor + major, static_cast<__int128>(2) * major);
        const std::int64_t along = start + s * i;
        const std::int64_t across = minorStart + ms * m;
        if (open && across == runMinor && along == runTo + s) {
            runTo = along;
            continue;
        }
        flush();
        open = true;
        runMinor = across;
        runFrom = runTo = along;
    }
    flush();
    step += n;
}

void CShapeRasterizer::Path(const std::vector<SurfacePoint>& points, bool closed) {
    if (pen_.style == PenStyle::Null || points.empty())
        return;
    std::int64_t step = 0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        Segment(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, step);
    if (closed && points.size() > 1)
        Segment(points.back().x, points.back().y, points.front().x, points.front().y, step);
    // A closed path that never moved is a single point (a 1 x 1 rectangle).
    if (closed && step == 0)
        StampRow(points.front().x, points.front().x, points.front().y);
}

// --- shapes ----------------------------------------------------------------------------

void CShapeRasterizer::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    const bool outline = pen_.style != PenStyle::Null;
    if (!brush_.hollow) {
        if (outline)
            Fill(std::int64_t{left} + 1, std::int64_t{top} + 1, std::int64_t{right} - 1, std::int64_t{bottom} - 1,
                 brush_.color);
        else
            Fill(left, top, right, bottom, brush_.color);
    }
    if (outline)
        Path({{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}}, true);
}

void CShapeRasterizer::Ellipse(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    const bool outline = pen_.style != PenStyle::Null;
    const double cx = (static_cast<double>(left) + right) / 2.0, cy = (static_cast<double>(top) + bottom) / 2.0;
    const double a = (static_cast<double>(right) - left) / 2.0, b = (static_cast<double>(bottom) - top) / 2.0;
    // Span [first, last] of the figure on row y; empty when first > last.
    auto span = [&](std::int64_t y, std::int64_t& first, std::int64_t& last) {
        first = 1;
        last = 0;
        if (y < top || y >= bottom)
            return;
        const double ny = (y + 0.5 - cy) / b;
        const double q = 1.0 - ny * ny;
        if (q < 0)
            return;
        const double half = a * std::sqrt(q);
        first = static_cast<std::int64_t>(std::ceil(cx - half - 0.5));
        last = static_cast<std::int64_t>(std::floor(cx + half - 0.5));
        first = std::max<std::int64_t>(first, left);
        last = std::min<std::int64_t>(last, std::int64_t{right} - 1);
    };
    const int margin = std::max(1, pen_.width);
    const std::int64_t yFrom = std::max<std::int64_t>(top, std::int64_t{clip_.top} - margin);
    const std::int64_t yTo = std::min<std::int64_t>(bottom, std::int64_t{clip_.bottom} + margin);
    const std::int64_t xLo = std::int64_t{clip_.left} - margin, xHi = std::int64_t{clip_.right} + margin;
    struct Run {
        std::int64_t y, from, to;
    };
    // A solid one-pixel rim stays on its own row, clear of the brush, so it
    // is drawn at once; wider or dotted rims are drawn after the fill.
    const bool rimNow = pen_.style == PenStyle::Solid && pen_.width <= 1;
    std::vector<Run> rim;
    if (outline && !rimNow && yTo > yFrom)
        rim.reserve(static_cast<std::size_t>(std::min<std::int64_t>(yTo - yFrom, 1 << 20)) * 2);
    for (std::int64_t y = yFrom; y < yTo; ++y) {
        std::int64_t f, l, fu, lu, fd, ld;
        span(y, f, l);
        if (f > l)
            continue;
        span(y - 1, fu, lu);
        span(y + 1, fd, ld);
        // Interior: pixels whose four neighbours are all in the figure.
        std::int64_t inF = f + 1, inL = l - 1;
        if (fu > lu || fd > ld) {
            inF = 1;
            inL = 0;
        } else {
            inF = std::max({inF, fu, fd});
            inL = std::min({inL, lu, ld});
        }
        if (!outline) {
            inF = f;
            inL = l;
        }
        if (!brush_.hollow && inF <= inL) {
            const std::int64_t a0 = std::max(inF, xLo), a1 = std::min(inL, xHi);
            if (a0 <= a1)
                Fill(a0, y, a1 + 1, y + 1, brush_.color);
        }
        if (!outline)
            continue;
        auto addRim = [&](std::int64_t from, std::int64_t to) {
            from = std::max(from, xLo);
            to = std::min(to, xHi);
            if (from > to)
                return;
            if (rimNow)
                StampRow(from, to, y);
            else
                rim.push_back(Run{y, from, to});
        };
        if (inF > inL) {
            addRim(f, l);
        } else {
            addRim(f, inF - 1);
            addRim(inL + 1, l);
        }
    }
    if (!outline)
        return;
    if (pen_.style != PenStyle::Dotted) {
        for (const Run& r : rim)
            StampRow(r.from, r.to, r.y);
        return;
    }
    // The dot pattern runs along the outline: its points ordered by angle.
    std::vector<SurfacePoint> points;
    for (const Run& r : rim)
        for (std::int64_t x = r.from; x <= r.to; ++x)
            points.push_back(SurfacePoint{static_cast<int>(x), static_cast<int>(r.y)});
    std::sort(points.begin(), points.end(), [&](const SurfacePoint& p, const SurfacePoint& q) {
        return std::atan2(p.y + 0.5 - cy, p.x + 0.5 - cx) < std::atan2(q.y + 0.5 - cy, q.x + 0.5 - cx);
    });
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (DotOn(static_cast<std::int64_t>(i)))
            StampRow(points[i].x, points[i].x, points[i].y);
    }
}

// Even-odd (or non-zero winding) fill at pixel centres over all rings
// together. Edges are sorted by their top so that each row only looks at the
// edges that cross it.
void CShapeRasterizer::FillRings(const std::vector<std::vector<SurfacePoint>>& rings, bool winding) {
    struct Edge {
        double x0, y0, x1, y1;  // y0 < y1
        int dir;                // +1 downwards in the ring's order, -1 upwards
    };
    std::vector<Edge> edges;
    int minY = INT32_MAX, maxY = INT32_MIN;
    for (const std::vector<SurfacePoint>& ring : rings) {
        if (ring.size() < 3)
            continue;
        for (std::size_t i = 0; i < ring.size(); ++i) {
            const SurfacePoint& p = ring[i];
            const SurfacePoint& q = ring[(i + 1) % ring.size()];
            if (p.y == q.y)
                continue;
            if (p.y < q.y)
                edges.push_back(Edge{double(p.x), double(p.y), double(q.x), double(q.y), 1});
            else
                edges.push_back(Edge{double(q.x), double(q.y), double(p.x), double(p.y), -1});
            minY = std::min({minY, p.y, q.y});
            maxY = std::max({maxY, p.y, q.y});
        }
    }
    if (edges.empty())
        return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    const int yFrom = std::max(minY, clip_.top), yTo = std::min(maxY, clip_.bottom);
    std::vector<const Edge*> active;
    std::vector<double> xs;
    std::vector<std::pair<double, int>> crossings;
    std::size_t next = 0;
    for (int y = yFrom; y < yTo; ++y) {
        const double ys = y + 0.5;
        while (next < edges.size() && edges[next].y0 <= ys) {
            active.push_back(&edges[next]);
            ++next;
        }
        active.erase(std::remove_if(active.begin(), active.end(), [ys](const Edge* e) { return e->y1 <= ys; }),
                     active.end());
        xs.clear();
        if (!winding) {
            for (const Edge* e : active) {
                if (e->y0 <= ys && ys < e->y1)
                    xs.push_back(e->x0 + (ys - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0));
            }
            std::sort(xs.begin(), xs.end());
        } else {
            // Spans where the winding number is not zero, as pairs like the
            // even-odd crossings.
            crossings.clear();
            for (const Edge* e : active) {
                if (e->y0 <= ys && ys < e->y1)
                    crossings.emplace_back(e->x0 + (ys - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0), e->dir);
            }
            std::sort(crossings.begin(), crossings.end());
            int count = 0;
            for (const auto& [x, dir] : crossings) {
                const int before = count;
                count += dir;
                if ((before == 0) != (count == 0))
                    xs.push_back(x);
            }
        }
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            // pixels whose centre x + 0.5 lies in [xs[k], xs[k + 1])
            const double from = std::max<double>(std::ceil(xs[k] - 0.5), clip_.left);
            const double to = std::min<double>(std::ceil(xs[k + 1] - 0.5), clip_.right);
            if (from < to)
                Fill(static_cast<std::int64_t>(from), y, static_cast<std::int64_t>(to), y + 1, brush_.color);
        }
    }
}

void CShapeRasterizer::PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings, bool winding) {
    if (!brush_.hollow)
        FillRings(rings, winding);
    for (const std::vector<SurfacePoint>& ring : rings)
        if (!ring.empty())
            Path(ring, true);
}
