// CRasterSurface: the in-memory 24-bit device. The shapes reach it as
// filled boxes (DrawContext.h); the scaled writes are sampled here.
#include "image/RasterSurface.h"

#include "image/StretchSampler.h"

#include <algorithm>
#include <cstring>

CRasterSurface::CRasterSurface(int width, int height, Rgb fill)
    : width_(std::max(0, width)), height_(std::max(0, height)), stride_(static_cast<std::ptrdiff_t>(width_) * 3) {
    bits_.resize(static_cast<std::size_t>(stride_) * height_);
    FillRect(SurfaceRect{0, 0, width_, height_}, fill);
}

Rgb CRasterSurface::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return Rgb{255, 255, 255};
    const std::uint8_t* p = bits_.data() + y * stride_ + x * 3;
    return Rgb{p[2], p[1], p[0]};
}

void CRasterSurface::SetPixel(int x, int y, Rgb color) {
    std::uint8_t* p = bits_.data() + y * stride_ + x * 3;
    p[0] = color.b;
    p[1] = color.g;
    p[2] = color.r;
}

void CRasterSurface::FillRect(const SurfaceRect& box, Rgb color) {
    for (int y = box.top; y < box.bottom; ++y) {
        std::uint8_t* p = bits_.data() + y * stride_ + box.left * 3;
        for (int x = box.left; x < box.right; ++x, p += 3) {
            p[0] = color.b;
            p[1] = color.g;
            p[2] = color.r;
        }
    }
}

bool CRasterSurface::ReadRows(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const {
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

void CRasterSurface::WriteRows(int x, int y, const PixelBlock& src, const SurfaceRect& clip) {
    if (!src.first || src.width <= 0 || src.height <= 0)
        return;
    const SurfaceRect target{x, y, static_cast<int>(std::min<std::int64_t>(INT32_MAX, std::int64_t{x} + src.width)),
                             static_cast<int>(std::min<std::int64_t>(INT32_MAX, std::int64_t{y} + src.height))};
    const SurfaceRect box = target.intersected(clip);
    if (box.empty())
        return;
    const std::size_t bytes = static_cast<std::size_t>(box.width()) * 3;
    for (int dy = box.top; dy < box.bottom; ++dy) {
        const std::uint8_t* in = src.first + (dy - y) * src.stride + static_cast<std::ptrdiff_t>(box.left - x) * 3;
        std::memcpy(bits_.data() + dy * stride_ + box.left * 3, in, bytes);
    }
}

void CRasterSurface::Stretch(const SurfaceRect& dst, const PixelBlock& src, const SurfaceRect& clip) {
    StretchMasked(dst, src, nullptr, 0, clip);
}

// The printing and preview workhorse. A target row that takes the same source
// row as the one above it is a copy of that row.
void CRasterSurface::StretchMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                   std::ptrdiff_t maskStride, const SurfaceRect& clip) {
    if (!src.first || src.width <= 0 || src.height <= 0 || dst.empty())
        return;
    const SurfaceRect box = dst.intersected(clip);
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
