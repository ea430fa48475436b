// CRasterSurface: the in-memory 24-bit drawing surface. The conventions it
// implements are written down in DrawSurface.h.
#include "image/RasterSurface.h"

#include "image/ShapeRasterizer.h"
#include "image/StretchSampler.h"

#include <algorithm>
#include <cstring>

SurfaceRect SurfaceRect::intersected(const SurfaceRect& o) const {
    SurfaceRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

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

// The printing and preview workhorse. A target row that takes the same source
// row as the one above it is a copy of that row.
void CRasterSurface::StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                         std::ptrdiff_t maskStride) {
    if (!src.first || src.width <= 0 || src.height <= 0 || dst.empty())
        return;
    const SurfaceRect box = dst.intersected(clip_);
    if (box.empty())
        return;
    const CStretchSampler sampler(dst, box, src.width, src.height);
    const std::size_t rowBytes = static_cast<std::size_t>(box.width()) * 3;
    const std::uint8_t* previousOut = nullptr;
    int previousRow = -1;
    for (int dy = box.top; dy < box.bottom; ++dy) {
        const int sr = sampler.SourceRow(dy);
        const std::uint8_t* row = src.first + sr * src.stride;
        std::uint8_t* out = bits_.data() + dy * stride_ + box.left * 3;
        if (!mask) {
            if (sr == previousRow) {
                std::memcpy(out, previousOut, rowBytes);
            } else {
                StretchRowsAhead ahead;
                if (dy + 1 < box.bottom)
                    ahead = {src.first + sampler.SourceRow(dy + 1) * src.stride, out + stride_};
                sampler.Gather24(row, out, ahead);
            }
            previousRow = sr;
            previousOut = out;
            continue;
        }
        const std::uint8_t* mrow = mask + sr * maskStride;
        for (int i = 0; i < box.width(); ++i, out += 3) {
            const int sc = sampler.SourceColumn(i);
            if (mrow[sc])
                continue;
            const std::uint8_t* p = row + static_cast<std::size_t>(sc) * 3;
            out[0] = p[0];
            out[1] = p[1];
            out[2] = p[2];
        }
    }
}

// --- shapes ------------------------------------------------------------------------
// The geometry is shared with the other surfaces (ShapeRasterizer.h); it
// comes back here as clipped boxes for FillRect.

void CRasterSurface::Line(int x1, int y1, int x2, int y2) {
    CShapeRasterizer(*this, pen_, brush_).Path({{x1, y1}, {x2, y2}}, false);
}

void CRasterSurface::Polyline(const std::vector<SurfacePoint>& points) {
    CShapeRasterizer(*this, pen_, brush_).Path(points, false);
}

void CRasterSurface::Rectangle(int left, int top, int right, int bottom) {
    CShapeRasterizer(*this, pen_, brush_).Rectangle(left, top, right, bottom);
}

void CRasterSurface::Ellipse(int left, int top, int right, int bottom) {
    CShapeRasterizer(*this, pen_, brush_).Ellipse(left, top, right, bottom);
}

void CRasterSurface::Polygon(const std::vector<SurfacePoint>& points) {
    if (points.empty())
        return;
    CShapeRasterizer(*this, pen_, brush_).PolyPolygon({points});
}

void CRasterSurface::PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings) {
    CShapeRasterizer(*this, pen_, brush_).PolyPolygon(rings);
}
