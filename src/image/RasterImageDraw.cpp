// CRasterImage: drawing onto a drawing surface (Draw, DrawMasked, DrawRegion).
// All sampling is nearest-neighbour; nothing is smoothed.
#include "image/RasterImage.h"

#include "image/DrawContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
int ClampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
}

// Restores a surface's clip box when a drawing call ends.
class ClipGuard {
public:
    ClipGuard(CDrawContext* surface, const SurfaceRect* clip) : surface_(surface) {
        if (clip) {
            previous_ = surface_->IntersectClip(*clip);
            active_ = true;
        }
    }
    ~ClipGuard() {
        if (active_)
            surface_->SetClip(previous_);
    }
    ClipGuard(const ClipGuard&) = delete;
    ClipGuard& operator=(const ClipGuard&) = delete;

private:
    CDrawContext* surface_;
    SurfaceRect previous_;
    bool active_ = false;
};

inline std::uint8_t IndexAt(const std::uint8_t* row, int x, int bpp) {
    if (bpp == 8)
        return row[x];
    if (bpp == 4)
        return static_cast<std::uint8_t>((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
    return static_cast<std::uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
}
}  // namespace

int CRasterImage::Draw(CDrawContext* surface, int x, int y, int cx, int cy, const SurfaceRect* clip) const {
    if (!IsValid() || !surface || cx == 0 || cy == 0)
        return 0;
    Settle();
    if (cx < 0)
        cx = width_;
    if (cy < 0)
        cy = height_;
    ClipGuard guard(surface, clip);

    // The paint box: the part of the target rectangle inside the clip box.
    const SurfaceRect cb = surface->GetClipBox();
    const int top = std::min(cb.bottom, std::max(cb.top, y));
    const int left = std::min(cb.right, std::max(cb.left, x));
    const int right = std::max(cb.left, ClampToInt(std::min<std::int64_t>(cb.right, std::int64_t{x} + cx)));
    const int bottom = std::max(cb.top, ClampToInt(std::min<std::int64_t>(cb.bottom, std::int64_t{y} + cy)));
    const int boxW = right - left;
    const int boxH = bottom - top;
    if (boxW <= 0 || boxH <= 0)
        return 1;

    const bool transparency = transparentIndex_ >= 0 || HasAlpha() || paletteAlpha_;

    // Path B: natural size, opaque, 24-bit rows straight from the image.
    if (!transparency && cx == width_ && cy == height_ && bpp_ == 24) {
        const PixelBlock block{GetRow(height_ - 1), -static_cast<std::ptrdiff_t>(stride_), width_, height_};
        surface->WritePixels(x, y, block);
        return 1;
    }

    // Sampling factors once per call, in single precision.
    const float fx = static_cast<float>(width_) / static_cast<float>(cx);
    const float fy = static_cast<float>(height_) / static_cast<float>(cy);
    std::vector<int> cols(boxW);
    for (int i = 0; i < boxW; ++i) {
        const float v = std::floor(static_cast<float>(left + i - x) * fx);
        cols[i] = std::clamp(static_cast<int>(std::max(0.0f, v)), 0, width_ - 1);
    }
    auto sourceRow = [&](int sy) {
        const float v = std::floor(static_cast<float>(height_) - static_cast<float>(sy - y + 1) * fy);
        return std::clamp(static_cast<int>(std::max(0.0f, v)), 0, height_ - 1);
    };

    const std::size_t boxStride = static_cast<std::size_t>(boxW) * 3;
    std::vector<std::uint8_t> box(boxStride * boxH);

    if (!transparency) {
        // Path C (and path B for paletted rows): sample into the box, write it once.
        for (int j = 0; j < boxH; ++j) {
            const std::uint8_t* row = GetRow(sourceRow(top + j));
            std::uint8_t* out = box.data() + j * boxStride;
            if (bpp_ == 24) {
                for (int i = 0; i < boxW; ++i) {
                    const std::uint8_t* p = row + cols[i] * 3;
                    out[i * 3] = p[0];
                    out[i * 3 + 1] = p[1];
                    out[i * 3 + 2] = p[2];
                }
            } else {
                for (int i = 0; i < boxW; ++i) {
                    const PaletteEntry& e = palette_[IndexAt(row, cols[i], bpp_)];
                    out[i * 3] = e.blue;
                    out[i * 3 + 1] = e.green;
                    out[i * 3 + 2] = e.red;
                }
            }
        }
        surface->WritePixels(left, top, PixelBlock{box.data(), static_cast<std::ptrdiff_t>(boxStride), boxW, boxH});
        return 1;
    }

    // Path A: blend over what the surface already shows.
    const SurfaceRect paintBox{left, top, right, bottom};
    const bool readBack = surface->ReadPixels(paintBox, box.data(), static_cast<std::ptrdiff_t>(boxStride));
    // A surface that cannot be read back gets a masked write instead: pixels
    // at least half opaque are drawn, the others left alone.
    std::vector<std::uint8_t> mask;
    if (!readBack)
        mask.assign(static_cast<std::size_t>(boxW) * boxH, 1);

    const int alphaScale = alphaMax_ + 1;
    for (int j = 0; j < boxH; ++j) {
        const int srow = sourceRow(top + j);
        const std::uint8_t* row = GetRow(srow);
        const std::uint8_t* arow = HasAlpha() ? GetAlphaRow(srow) : nullptr;
        std::uint8_t* out = box.data() + j * boxStride;
        for (int i = 0; i < boxW; ++i) {
            const int sx = cols[i];
            std::uint8_t b, g, r;
            int a = ((arow ? arow[sx] : 255) * alphaScale) >> 8;
            if (bpp_ == 24) {
                const std::uint8_t* p = row + sx * 3;
                b = p[0];
                g = p[1];
                r = p[2];
                if (transparentIndex_ >= 0 && r == transparentColor_.r && g == transparentColor_.g &&
                    b == transparentColor_.b)
                    continue;
            } else {
                const int index = IndexAt(row, sx, bpp_);
                if (index == transparentIndex_)
                    continue;
                const PaletteEntry& e = palette_[index];
                b = e.blue;
                g = e.green;
                r = e.red;
                if (paletteAlpha_)
                    a = (a * (e.alpha + 1)) >> 8;
            }
            if (a == 0)
                continue;
            std::uint8_t* d = out + i * 3;
            if (!readBack) {
                if (a < 128)
                    continue;
                mask[static_cast<std::size_t>(j) * boxW + i] = 0;
                d[0] = b;
                d[1] = g;
                d[2] = r;
            } else if (a == 255) {
                d[0] = b;
                d[1] = g;
                d[2] = r;
            } else {
                d[0] = static_cast<std::uint8_t>((b * a + d[0] * (255 - a)) >> 8);
                d[1] = static_cast<std::uint8_t>((g * a + d[1] * (255 - a)) >> 8);
                d[2] = static_cast<std::uint8_t>((r * a + d[2] * (255 - a)) >> 8);
            }
        }
    }
    const PixelBlock block{box.data(), static_cast<std::ptrdiff_t>(boxStride), boxW, boxH};
    if (readBack)
        surface->WritePixels(left, top, block);
    else
        surface->StretchPixelsMasked(paintBox, block, mask.data(), boxW);
    return 1;
}

bool CRasterImage::DrawFromFile(CDrawContext* surface, const SurfaceRect& target) const {
    if (jpegData_)
        return surface->StretchJpeg(target, jpegData_, GetJpegTurn(), colour_);
    return colour_ && !colour_->samples.empty() && surface->StretchColourSamples(target, colour_, GetJpegTurn());
}

bool CRasterImage::DrawStoredTurned(CDrawContext* surface, const SurfaceRect& target) const {
    if (pendingTurn_.upright() || !surface->KeepsJpegData())
        return false;
    // The stored planes as 24-bit rows, top-down (no copy for 24-bit ones).
    std::vector<std::uint8_t> converted;
    PixelBlock block{pixels_.get() + static_cast<std::size_t>(height_ - 1) * stride_,
                     -static_cast<std::ptrdiff_t>(stride_), width_, height_};
    if (bpp_ != 24) {
        const std::size_t rowBytes = static_cast<std::size_t>(width_) * 3;
        converted.resize(rowBytes * height_);
        for (int j = 0; j < height_; ++j) {
            const std::uint8_t* row = pixels_.get() + static_cast<std::size_t>(height_ - 1 - j) * stride_;
            std::uint8_t* out = converted.data() + j * rowBytes;
            for (int i = 0; i < width_; ++i) {
                const PaletteEntry& e = palette_[IndexAt(row, i, bpp_)];
                out[i * 3] = e.blue;
                out[i * 3 + 1] = e.green;
                out[i * 3 + 2] = e.red;
            }
        }
        block = PixelBlock{converted.data(), static_cast<std::ptrdiff_t>(rowBytes), width_, height_};
    }
    std::vector<std::uint8_t> mask;
    if (transparentIndex_ >= 0) {
        const Rgb key = bpp_ == 24 ? transparentColor_ : GetPaletteColor(transparentIndex_);
        mask.resize(static_cast<std::size_t>(width_) * height_);
        for (int j = 0; j < height_; ++j) {
            const std::uint8_t* p = block.first + j * block.stride;
            std::uint8_t* m = mask.data() + static_cast<std::size_t>(j) * width_;
            for (int i = 0; i < width_; ++i, p += 3)
                m[i] = (p[0] == key.b && p[1] == key.g && p[2] == key.r) ? 1 : 0;
        }
    }
    if (!surface->StretchPixelsTurned(target, block, mask.empty() ? nullptr : mask.data(), width_, pendingTurn_))
        return false;
    if (!mask.empty())
        surface->SetBackgroundColor(Rgb{255, 255, 255});
    return true;
}

int CRasterImage::DrawMasked(CDrawContext* surface, int x, int y, int cx, int cy) const {
    if (!IsValid() || !surface || cx == 0 || cy == 0)
        return 0;
    if (cx < 0)
        cx = GetWidth();
    if (cy < 0)
        cy = GetHeight();
    const SurfaceRect target{x, y, ClampToInt(std::int64_t{x} + cx), ClampToInt(std::int64_t{y} + cy)};
    if (transparentIndex_ < 0 && surface->KeepsJpegData() && DrawFromFile(surface, target))
        return 1;
    if (DrawStoredTurned(surface, target))
        return 1;
    Settle();

    // The whole image as 24-bit rows, top-down (no copy for 24-bit images).
    std::vector<std::uint8_t> converted;
    PixelBlock block{GetRow(height_ - 1), -static_cast<std::ptrdiff_t>(stride_), width_, height_};
    if (bpp_ != 24) {
        const std::size_t rowBytes = static_cast<std::size_t>(width_) * 3;
        converted.resize(rowBytes * height_);
        CopyRowsBgr(0, height_, converted.data(), static_cast<std::ptrdiff_t>(rowBytes));
        block = PixelBlock{converted.data(), static_cast<std::ptrdiff_t>(rowBytes), width_, height_};
    }
    if (transparentIndex_ < 0) {
        surface->StretchPixels(target, block);
        return 1;
    }
    if (target.intersected(surface->GetClipBox()).empty())
        return 1;

    // Mask of the transparent colour, compared by colour as the rendered
    // picture shows it: for paletted images the colour of the transparent entry.
    const Rgb key = bpp_ == 24 ? transparentColor_ : GetPaletteColor(transparentIndex_);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(width_) * height_);
    for (int j = 0; j < height_; ++j) {
        const std::uint8_t* p = block.first + j * block.stride;
        std::uint8_t* m = mask.data() + static_cast<std::size_t>(j) * width_;
        for (int i = 0; i < width_; ++i, p += 3)
            m[i] = (p[0] == key.b && p[1] == key.g && p[2] == key.r) ? 1 : 0;
    }
    surface->StretchPixelsMasked(target, block, mask.data(), width_);
    surface->SetBackgroundColor(Rgb{255, 255, 255});
    return 1;
}

int CRasterImage::DrawRegion(CDrawContext* surface, int x, int y, int cx, int cy, int srcX, int srcY,
                             int srcWidth, int srcHeight) const {
    if (!IsValid() || !surface)
        return 0;
    if (cx < 0)
        cx = srcWidth;
    if (cy < 0)
        cy = srcHeight;
    if (cx <= 0 || cy <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return 0;
    const SurfaceRect target{x, y, ClampToInt(std::int64_t{x} + cx), ClampToInt(std::int64_t{y} + cy)};
    const bool whole = srcX == 0 && srcY == 0 && srcWidth == GetWidth() && srcHeight == GetHeight();
    if (whole && surface->KeepsJpegData() && DrawFromFile(surface, target))
        return 1;
    // Transparency is ignored here: the stored pixels drawn without a mask.
    if (whole && transparentIndex_ < 0 && DrawStoredTurned(surface, target))
        return 1;
    Settle();
    const bool inside = srcX >= 0 && srcY >= 0 && std::int64_t{srcX} + srcWidth <= width_ &&
                        std::int64_t{srcY} + srcHeight <= height_;
    if (inside && bpp_ == 24) {
        const PixelBlock block{GetRow(height_ - 1 - srcY) + static_cast<std::size_t>(srcX) * 3,
                               -static_cast<std::ptrdiff_t>(stride_), srcWidth, srcHeight};
        surface->StretchPixels(target, block);
        return 1;
    }
    // Paletted rows, or a rectangle reaching outside the image (those pixels
    // follow the out-of-range rules): build the 24-bit block first.
    if (!RasterSizeAllowed(srcWidth, srcHeight, 24))
        return 0;
    const std::size_t rowBytes = static_cast<std::size_t>(srcWidth) * 3;
    std::vector<std::uint8_t> rows(rowBytes * srcHeight);
    const Rgb outside = GetPixelColor(-1, -1);
    for (int j = 0; j < srcHeight; ++j) {
        const std::int64_t fromTop = std::int64_t{srcY} + j;
        std::uint8_t* out = rows.data() + j * rowBytes;
        const bool rowInside = fromTop >= 0 && fromTop < height_;
        const std::uint8_t* row = rowInside ? GetRow(height_ - 1 - static_cast<int>(fromTop)) : nullptr;
        for (int i = 0; i < srcWidth; ++i) {
            const std::int64_t column = std::int64_t{srcX} + i;
            Rgb c = outside;
            if (row && column >= 0 && column < width_) {
                const int x = static_cast<int>(column);
                if (bpp_ == 24) {
                    c = Rgb{row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
                } else {
                    const PaletteEntry& e = palette_[IndexAt(row, x, bpp_)];
                    c = Rgb{e.red, e.green, e.blue};
                }
            }
            out[i * 3] = c.b;
            out[i * 3 + 1] = c.g;
            out[i * 3 + 2] = c.r;
        }
    }
    surface->StretchPixels(target, PixelBlock{rows.data(), static_cast<std::ptrdiff_t>(rowBytes), srcWidth, srcHeight});
    return 1;
}
