#include "image/ui/QtPainterSurface.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

QColor ToQColor(Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

// The rows of a pixel block as a QImage (copied when the rows run upwards).
QImage BlockImage(const PixelBlock& src)
{
    if (src.stride > 0)
        return QImage(src.first, src.width, src.height, src.stride, QImage::Format_BGR888);
    QImage copy(src.width, src.height, QImage::Format_BGR888);
    for (int y = 0; y < src.height; ++y)
        std::memcpy(copy.scanLine(y), src.first + y * src.stride, static_cast<std::size_t>(src.width) * 3);
    return copy;
}

}  // namespace

CQtPainterSurface::CQtPainterSurface(QPainter& painter, int width, int height)
    : painter_(painter), width_(std::max(0, width)), height_(std::max(0, height))
{
    if (painter_.device() && painter_.device()->devType() == QInternal::Image)
        image_ = static_cast<QImage*>(painter_.device());
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    clip_ = SurfaceRect{0, 0, width_, height_};
    painter_.setClipRect(QRect(0, 0, width_, height_));
    // As a fresh device context: black one-pixel pen, solid white brush.
    pen_ = Pen{};
    brush_ = Brush{Rgb{255, 255, 255}, false};
}

CQtPainterSurface::~CQtPainterSurface()
{
    painter_.restore();
}

SurfaceRect CQtPainterSurface::IntersectClip(const SurfaceRect& r)
{
    const SurfaceRect previous = clip_;
    SetClip(clip_.intersected(r));
    return previous;
}

void CQtPainterSurface::SetClip(const SurfaceRect& r)
{
    clip_ = r.intersected(SurfaceRect{0, 0, width_, height_});
    if (clip_.empty())
        clip_ = SurfaceRect{0, 0, 0, 0};
    painter_.setClipRect(QRect(clip_.left, clip_.top, clip_.width(), clip_.height()));
}

// --- pixels --------------------------------------------------------------------

void CQtPainterSurface::Fill(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom, Rgb color)
{
    const std::int64_t l = std::max<std::int64_t>(left, clip_.left);
    const std::int64_t t = std::max<std::int64_t>(top, clip_.top);
    const std::int64_t r = std::min<std::int64_t>(right, clip_.right);
    const std::int64_t b = std::min<std::int64_t>(bottom, clip_.bottom);
    if (r <= l || b <= t)
        return;
    painter_.fillRect(QRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l), static_cast<int>(b - t)),
                      ToQColor(color));
}

void CQtPainterSurface::FillRect(const SurfaceRect& r, Rgb color)
{
    Fill(r.left, r.top, r.right, r.bottom, color);
}

void CQtPainterSurface::SetPixel(int x, int y, Rgb color)
{
    Fill(x, y, x + 1, y + 1, color);
}

bool CQtPainterSurface::ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const
{
    if (!image_)
        return false;
    const QImage& img = *image_;
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint8_t* out = bgr + (y - r.top) * stride;
        for (int x = r.left; x < r.right; ++x, out += 3) {
            if (x < 0 || y < 0 || x >= width_ || y >= height_ || x >= img.width() || y >= img.height()) {
                out[0] = out[1] = out[2] = 255;
                continue;
            }
            const QRgb c = img.pixel(x, y);
            out[0] = static_cast<std::uint8_t>(qBlue(c));
            out[1] = static_cast<std::uint8_t>(qGreen(c));
            out[2] = static_cast<std::uint8_t>(qRed(c));
        }
    }
    return true;
}

void CQtPainterSurface::WritePixels(int x, int y, const PixelBlock& src)
{
    if (!src.first || src.width <= 0 || src.height <= 0)
        return;
    const SurfaceRect r = SurfaceRect{x, y, x + src.width, y + src.height}.intersected(clip_);
    if (r.empty())
        return;
    // Only the visible part is handed over.
    const PixelBlock part{src.first + (r.top - y) * src.stride + (r.left - x) * 3, src.stride, r.width(), r.height()};
    painter_.drawImage(r.left, r.top, BlockImage(part));
}

void CQtPainterSurface::StretchPixels(const SurfaceRect& dst, const PixelBlock& src)
{
    Stretch(dst, src, nullptr, 0);
}

void CQtPainterSurface::StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                            std::ptrdiff_t maskStride)
{
    Stretch(dst, src, mask, maskStride);
}

void CQtPainterSurface::Stretch(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                std::ptrdiff_t maskStride)
{
    if (!src.first || src.width <= 0 || src.height <= 0 || dst.empty())
        return;
    const SurfaceRect vis = dst.intersected(clip_);
    if (vis.empty())
        return;
    const std::int64_t dw = dst.width();
    const std::int64_t dh = dst.height();

    if (!image_) {
        // Printer and PDF: the device scales the picture; no smoothing.
        QImage picture;
        if (mask) {
            picture = QImage(src.width, src.height, QImage::Format_ARGB32);
            for (int y = 0; y < src.height; ++y) {
                const std::uint8_t* in = src.first + y * src.stride;
                const std::uint8_t* m = mask + y * maskStride;
                QRgb* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
                for (int x = 0; x < src.width; ++x, in += 3)
                    out[x] = m[x] ? qRgba(0, 0, 0, 0) : qRgb(in[2], in[1], in[0]);
            }
        } else {
            picture = BlockImage(src);
        }
        painter_.drawImage(QRect(dst.left, dst.top, dst.width(), dst.height()), picture);
        return;
    }

    // On a QImage the visible part is sampled here, nearest neighbour, as the
    // raster surface samples it, and written unscaled.
    const int w = vis.width();
    const int h = vis.height();
    std::vector<int> cols(w);
    for (int i = 0; i < w; ++i)
        cols[i] = static_cast<int>((std::int64_t{vis.left + i - dst.left} * src.width) / dw);
    QImage out(w, h, mask ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int j = 0; j < h; ++j) {
        const int sy = static_cast<int>((std::int64_t{vis.top + j - dst.top} * src.height) / dh);
        const std::uint8_t* in = src.first + sy * src.stride;
        const std::uint8_t* m = mask ? mask + sy * maskStride : nullptr;
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(j));
        for (int i = 0; i < w; ++i) {
            const int sx = cols[i];
            const std::uint8_t* p = in + sx * 3;
            line[i] = (m && m[sx]) ? qRgba(0, 0, 0, 0) : qRgb(p[2], p[1], p[0]);
        }
    }
    painter_.drawImage(vis.left, vis.top, out);
}

// --- pen and shapes ------------------------------------------------------------
// The geometry is the raster surface's (DrawSurface.h); points are gathered
// into runs so that a long line is one filled rectangle on the device.

namespace {
// GDI's cosmetic PS_DOT: three pixels on, three off.
constexpr int kDotRun = 3;

std::int64_t FloorDiv(__int128 a, __int128 b)
{
    __int128 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<std::int64_t>(q);
}
}  // namespace

bool CQtPainterSurface::DotOn(std::int64_t step) const
{
    if (pen_.style != PenStyle::Dotted)
        return true;
    return (step / kDotRun) % 2 == 0;
}

void CQtPainterSurface::StampRow(std::int64_t x1, std::int64_t x2, std::int64_t y)
{
    const int w = std::max(1, pen_.width);
    const int before = pen_.width <= 1 ? 0 : w / 2;
    Fill(x1 - before, y - before, x2 - before + w, y - before + w, pen_.color);
}

void CQtPainterSurface::StampColumn(std::int64_t x, std::int64_t y1, std::int64_t y2)
{
    const int w = std::max(1, pen_.width);
    const int before = pen_.width <= 1 ? 0 : w / 2;
    Fill(x - before, y1 - before, x - before + w, y2 - before + w, pen_.color);
}

void CQtPainterSurface::Segment(int x1, int y1, int x2, int y2, std::int64_t& step)
{
    const std::int64_t dx = std::int64_t{x2} - x1, dy = std::int64_t{y2} - y1;
    const std::int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    const std::int64_t n = std::max(adx, ady);
    if (n == 0)
        return;
    const int margin = std::max(1, pen_.width);
    const bool xMajor = adx >= ady;
    const std::int64_t start = xMajor ? x1 : y1;
    const int s = xMajor ? sx : sy;
    const std::int64_t lo = (xMajor ? clip_.left : clip_.top) - std::int64_t{margin};
    const std::int64_t hi = (xMajor ? clip_.right : clip_.bottom) + std::int64_t{margin};
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

void CQtPainterSurface::Path(const std::vector<SurfacePoint>& points, bool closed)
{
    if (pen_.style == PenStyle::Null || points.empty())
        return;
    std::int64_t step = 0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        Segment(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, step);
    if (closed && points.size() > 1)
        Segment(points.back().x, points.back().y, points.front().x, points.front().y, step);
    if (closed && step == 0)
        StampRow(points.front().x, points.front().x, points.front().y);
}

void CQtPainterSurface::Line(int x1, int y1, int x2, int y2)
{
    Path({{x1, y1}, {x2, y2}}, false);
}

void CQtPainterSurface::Polyline(const std::vector<SurfacePoint>& points)
{
    Path(points, false);
}

void CQtPainterSurface::Rectangle(int left, int top, int right, int bottom)
{
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

void CQtPainterSurface::Ellipse(int left, int top, int right, int bottom)
{
    if (right <= left || bottom <= top)
        return;
    const bool outline = pen_.style != PenStyle::Null;
    const double cx = (static_cast<double>(left) + right) / 2.0, cy = (static_cast<double>(top) + bottom) / 2.0;
    const double a = (static_cast<double>(right) - left) / 2.0, b = (static_cast<double>(bottom) - top) / 2.0;
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
    const bool dotted = pen_.style == PenStyle::Dotted;
    struct Run {
        std::int64_t y, from, to;
    };
    std::vector<Run> rim;
    for (std::int64_t y = yFrom; y < yTo; ++y) {
        std::int64_t f, l, fu, lu, fd, ld;
        span(y, f, l);
        if (f > l)
            continue;
        span(y - 1, fu, lu);
        span(y + 1, fd, ld);
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
            if (from <= to)
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
    if (!dotted) {
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

void CQtPainterSurface::Polygon(const std::vector<SurfacePoint>& points)
{
    if (points.empty())
        return;
    if (!brush_.hollow && points.size() >= 3) {
        int minY = INT32_MAX, maxY = INT32_MIN;
        for (const SurfacePoint& p : points) {
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
        const int yFrom = std::max(minY, clip_.top), yTo = std::min(maxY, clip_.bottom);
        std::vector<double> xs;
        for (int y = yFrom; y < yTo; ++y) {
            const double ys = y + 0.5;
            xs.clear();
            for (std::size_t i = 0; i < points.size(); ++i) {
                const SurfacePoint& p = points[i];
                const SurfacePoint& q = points[(i + 1) % points.size()];
                if ((p.y <= ys && ys < q.y) || (q.y <= ys && ys < p.y))
                    xs.push_back(p.x + (ys - p.y) * (static_cast<double>(q.x) - p.x) / (static_cast<double>(q.y) - p.y));
            }
            std::sort(xs.begin(), xs.end());
            for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
                const double from = std::max<double>(std::ceil(xs[k] - 0.5), clip_.left);
                const double to = std::min<double>(std::ceil(xs[k + 1] - 0.5), clip_.right);
                if (from < to)
                    Fill(static_cast<std::int64_t>(from), y, static_cast<std::int64_t>(to), y + 1, brush_.color);
            }
        }
    }
    Path(points, true);
}
