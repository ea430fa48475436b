// CRasterSurface: the in-memory 24-bit drawing surface. The conventions it
// implements are written down in DrawSurface.h.
#include "image/RasterSurface.h"

#include <algorithm>
#include <cmath>
#include <cstring>

SurfaceRect SurfaceRect::intersected(const SurfaceRect& o) const {
    SurfaceRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

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

CRasterSurface::CRasterSurface(int width, int height, Rgb fill)
    : width_(std::max(0, width)), height_(std::max(0, height)), stride_(static_cast<std::ptrdiff_t>(width_) * 3) {
    bits_.resize(static_cast<std::size_t>(stride_) * height_);
    clip_ = SurfaceRect{0, 0, width_, height_};
    pen_ = Pen{};
    brush_ = Brush{Rgb{255, 255, 255}, false};
    FillRect(clip_, fill);
}

SurfaceRect CRasterSurface::IntersectClip(const SurfaceRect& r) {
    const SurfaceRect previous = clip_;
    clip_ = clip_.intersected(r);
    return previous;
}

void CRasterSurface::SetClip(const SurfaceRect& r) { clip_ = r.intersected(SurfaceRect{0, 0, width_, height_}); }

Rgb CRasterSurface::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return Rgb{255, 255, 255};
    const std::uint8_t* p = bits_.data() + y * stride_ + x * 3;
    return Rgb{p[2], p[1], p[0]};
}

inline void CRasterSurface::Plot(int x, int y, Rgb c) {
    if (x < clip_.left || y < clip_.top || x >= clip_.right || y >= clip_.bottom)
        return;
    std::uint8_t* p = bits_.data() + y * stride_ + x * 3;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

void CRasterSurface::SetPixel(int x, int y, Rgb color) { Plot(x, y, color); }

void CRasterSurface::FillRect(const SurfaceRect& r, Rgb color) {
    const SurfaceRect box = r.intersected(clip_);
    for (int y = box.top; y < box.bottom; ++y) {
        std::uint8_t* p = bits_.data() + y * stride_ + box.left * 3;
        for (int x = box.left; x < box.right; ++x, p += 3) {
            p[0] = color.b;
            p[1] = color.g;
            p[2] = color.r;
        }
    }
}

bool CRasterSurface::ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const {
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint8_t* out = bgr + (y - r.top) * stride;
        const bool rowInside = y >= 0 && y < height_;
        for (int x = r.left; x < r.right; ++x, out += 3) {
            if (rowInside && x >= 0 && x < width_) {
                const std::uint8_t* p = bits_.data() + y * stride_ + x * 3;
                out[0] = p[0];
                out[1] = p[1];
                out[2] = p[2];
            } else {
                out[0] = out[1] = out[2] = 255;
            }
        }
    }
    return true;
}

void CRasterSurface::WritePixels(int x, int y, const PixelBlock& src) {
    if (!src.first || src.width <= 0 || src.height <= 0)
        return;
    const SurfaceRect target{x, y, static_cast<int>(std::min<std::int64_t>(INT32_MAX, std::int64_t{x} + src.width)),
                             static_cast<int>(std::min<std::int64_t>(INT32_MAX, std::int64_t{y} + src.height))};
    const SurfaceRect box = target.intersected(clip_);
    if (box.empty())
        return;
    const std::size_t bytes = static_cast<std::size_t>(box.width()) * 3;
    for (int dy = box.top; dy < box.bottom; ++dy) {
        const std::uint8_t* in = src.first + (dy - y) * src.stride + static_cast<std::ptrdiff_t>(box.left - x) * 3;
        std::memcpy(bits_.data() + dy * stride_ + box.left * 3, in, bytes);
    }
}

void CRasterSurface::StretchPixels(const SurfaceRect& dst, const PixelBlock& src) {
    StretchPixelsMasked(dst, src, nullptr, 0);
}

void CRasterSurface::StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                         std::ptrdiff_t maskStride) {
    if (!src.first || src.width <= 0 || src.height <= 0 || dst.empty())
        return;
    const SurfaceRect box = dst.intersected(clip_);
    if (box.empty())
        return;
    const std::int64_t dw = std::int64_t{dst.right} - dst.left;
    const std::int64_t dh = std::int64_t{dst.bottom} - dst.top;
    std::vector<int> cols(box.width());
    for (int i = 0; i < box.width(); ++i)
        cols[i] = static_cast<int>((std::int64_t{box.left + i} - dst.left) * src.width / dw);
    for (int dy = box.top; dy < box.bottom; ++dy) {
        const int sr = static_cast<int>((std::int64_t{dy} - dst.top) * src.height / dh);
        const std::uint8_t* row = src.first + sr * src.stride;
        const std::uint8_t* mrow = mask ? mask + sr * maskStride : nullptr;
        std::uint8_t* out = bits_.data() + dy * stride_ + box.left * 3;
        for (int i = 0; i < box.width(); ++i, out += 3) {
            const int sc = cols[i];
            if (mrow && mrow[sc])
                continue;
            const std::uint8_t* p = row + sc * 3;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
}

// --- pen drawing -------------------------------------------------------------------

void CRasterSurface::Stamp(int x, int y) {
    const int w = pen_.width;
    if (w <= 1) {
        Plot(x, y, pen_.color);
        return;
    }
    const std::int64_t x0 = std::int64_t{x} - w / 2, y0 = std::int64_t{y} - w / 2;
    const int l = static_cast<int>(std::max<std::int64_t>(x0, clip_.left));
    const int t = static_cast<int>(std::max<std::int64_t>(y0, clip_.top));
    const int r = static_cast<int>(std::min<std::int64_t>(x0 + w, clip_.right));
    const int b = static_cast<int>(std::min<std::int64_t>(y0 + w, clip_.bottom));
    for (int yy = t; yy < b; ++yy)
        for (int xx = l; xx < r; ++xx)
            Plot(xx, yy, pen_.color);
}

bool CRasterSurface::DotOn(std::int64_t step) const {
    if (pen_.style != PenStyle::Dotted)
        return true;
    return (step / kDotRun) % 2 == 0;
}

// One segment of a path: the points of the line from (x1, y1) towards
// (x2, y2), the end point excluded. `step` counts drawn points across the
// segments of one path so that the dot pattern runs on.
void CRasterSurface::Segment(int x1, int y1, int x2, int y2, std::int64_t& step) {
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
    for (std::int64_t i = iFirst; i <= iLast; ++i) {
        // round to nearest, halves stepping away from the start
        const std::int64_t m = FloorDiv(static_cast<__int128>(2) * i * minor + major, static_cast<__int128>(2) * major);
        const std::int64_t px = xMajor ? start + s * i : minorStart + ms * m;
        const std::int64_t py = xMajor ? minorStart + ms * m : start + s * i;
        if (DotOn(step + i) && px >= INT32_MIN && px <= INT32_MAX && py >= INT32_MIN && py <= INT32_MAX)
            Stamp(static_cast<int>(px), static_cast<int>(py));
    }
    step += n;
}

void CRasterSurface::Path(const std::vector<SurfacePoint>& points, bool closed) {
    if (pen_.style == PenStyle::Null || points.empty())
        return;
    std::int64_t step = 0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        Segment(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, step);
    if (closed && points.size() > 1)
        Segment(points.back().x, points.back().y, points.front().x, points.front().y, step);
    // A closed path that never moved is a single point (a 1 x 1 rectangle).
    if (closed && step == 0)
        Stamp(points.front().x, points.front().y);
}

void CRasterSurface::Line(int x1, int y1, int x2, int y2) { Path({{x1, y1}, {x2, y2}}, false); }

void CRasterSurface::Polyline(const std::vector<SurfacePoint>& points) { Path(points, false); }

void CRasterSurface::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    const bool outline = pen_.style != PenStyle::Null;
    if (!brush_.hollow) {
        SurfaceRect inside{left, top, right, bottom};
        if (outline)
            inside = SurfaceRect{left + 1, top + 1, right - 1, bottom - 1};
        FillRect(inside, brush_.color);
    }
    if (outline)
        Path({{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}}, true);
}

void CRasterSurface::Ellipse(int left, int top, int right, int bottom) {
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
    std::vector<SurfacePoint> rim;
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
                FillRect(SurfaceRect{static_cast<int>(a0), static_cast<int>(y), static_cast<int>(a1) + 1,
                                     static_cast<int>(y) + 1},
                         brush_.color);
        }
        if (!outline)
            continue;
        auto addRim = [&](std::int64_t from, std::int64_t to) {
            from = std::max(from, xLo);
            to = std::min(to, xHi);
            for (std::int64_t x = from; x <= to; ++x)
                rim.push_back(SurfacePoint{static_cast<int>(x), static_cast<int>(y)});
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
    if (pen_.style == PenStyle::Dotted) {
        // The dot pattern runs along the outline: order the rim by angle.
        std::sort(rim.begin(), rim.end(), [&](const SurfacePoint& p, const SurfacePoint& q) {
            return std::atan2(p.y + 0.5 - cy, p.x + 0.5 - cx) < std::atan2(q.y + 0.5 - cy, q.x + 0.5 - cx);
        });
    }
    for (std::size_t i = 0; i < rim.size(); ++i) {
        if (DotOn(static_cast<std::int64_t>(i)))
            Stamp(rim[i].x, rim[i].y);
    }
}

// Even-odd fill at pixel centres over all rings together. Edges are sorted
// by their top so that each row only looks at the edges that cross it.
void CRasterSurface::FillRings(const std::vector<std::vector<SurfacePoint>>& rings) {
    struct Edge {
        double x0, y0, x1, y1;  // y0 < y1
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
                edges.push_back(Edge{double(p.x), double(p.y), double(q.x), double(q.y)});
            else
                edges.push_back(Edge{double(q.x), double(q.y), double(p.x), double(p.y)});
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
        for (const Edge* e : active) {
            if (e->y0 <= ys && ys < e->y1)
                xs.push_back(e->x0 + (ys - e->y0) * (e->x1 - e->x0) / (e->y1 - e->y0));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            // pixels whose centre x + 0.5 lies in [xs[k], xs[k + 1])
            const double from = std::max<double>(std::ceil(xs[k] - 0.5), clip_.left);
            const double to = std::min<double>(std::ceil(xs[k + 1] - 0.5), clip_.right);
            if (from < to)
                FillRect(SurfaceRect{static_cast<int>(from), y, static_cast<int>(to), y + 1}, brush_.color);
        }
    }
}

void CRasterSurface::Polygon(const std::vector<SurfacePoint>& points) {
    if (points.empty())
        return;
    if (!brush_.hollow)
        FillRings({points});
    Path(points, true);
}

void CRasterSurface::PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings) {
    if (!brush_.hollow)
        FillRings(rings);
    for (const std::vector<SurfacePoint>& ring : rings)
        if (!ring.empty())
            Path(ring, true);
}
