// Drawing a picture onto a drawing context, through the picture's public
// interface. All sampling is nearest-neighbour; nothing is smoothed.
#include "image/PictureDrawing.h"

#include "image/RasterImage.h"

#include "image/DrawContext.h"
#include "image/PackedIndex.h"

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

}  // namespace

int DrawPicture(const CRasterImage& image, CDrawContext* surface, int x, int y, int cx, int cy, const SurfaceRect* clip) {
    if (!image.IsValid() || !surface || cx == 0 || cy == 0)
        return 0;
    const std::ptrdiff_t stride = image.GetStride();  // carries out a pending turn
    const int w = image.GetWidth(), h = image.GetHeight(), bpp = image.GetBpp();
    const PaletteEntry* palette = image.GetPalette();
    if (cx < 0)
        cx = w;
    if (cy < 0)
        cy = h;
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

    const bool transparency = image.GetTransparentIndex() >= 0 || image.HasAlpha() || image.IsPaletteAlphaEnabled();

    // Path B: natural size, opaque, 24-bit rows straight from the image.
    if (!transparency && cx == w && cy == h && bpp == 24) {
        const PixelBlock block{image.GetRow(h - 1), -static_cast<std::ptrdiff_t>(stride), w, h};
        surface->WritePixels(x, y, block);
        return 1;
    }

    // Sampling factors once per call, in single precision.
    const float fx = static_cast<float>(w) / static_cast<float>(cx);
    const float fy = static_cast<float>(h) / static_cast<float>(cy);
    std::vector<int> cols(boxW);
    for (int i = 0; i < boxW; ++i) {
        const float v = std::floor(static_cast<float>(left + i - x) * fx);
        cols[i] = std::clamp(static_cast<int>(std::max(0.0f, v)), 0, w - 1);
    }
    auto sourceRow = [&](int sy) {
        const float v = std::floor(static_cast<float>(h) - static_cast<float>(sy - y + 1) * fy);
        return std::clamp(static_cast<int>(std::max(0.0f, v)), 0, h - 1);
    };

    const std::size_t boxStride = static_cast<std::size_t>(boxW) * 3;
    std::vector<std::uint8_t> box(boxStride * boxH);

    if (!transparency) {
        // Path C (and path B for paletted rows): sample into the box, write it once.
        for (int j = 0; j < boxH; ++j) {
            const std::uint8_t* row = image.GetRow(sourceRow(top + j));
            std::uint8_t* out = box.data() + j * boxStride;
            if (bpp == 24) {
                for (int i = 0; i < boxW; ++i) {
                    const std::uint8_t* p = row + cols[i] * 3;
                    out[i * 3] = p[0];
                    out[i * 3 + 1] = p[1];
                    out[i * 3 + 2] = p[2];
                }
            } else {
                for (int i = 0; i < boxW; ++i) {
                    const PaletteEntry& e = palette[RowIndexAt(row, cols[i], bpp)];
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

    const int alphaScale = image.GetAlphaMax() + 1;
    for (int j = 0; j < boxH; ++j) {
        const int srow = sourceRow(top + j);
        const std::uint8_t* row = image.GetRow(srow);
        const std::uint8_t* arow = image.HasAlpha() ? image.GetAlphaRow(srow) : nullptr;
        std::uint8_t* out = box.data() + j * boxStride;
        for (int i = 0; i < boxW; ++i) {
            const int sx = cols[i];
            std::uint8_t b, g, r;
            int a = ((arow ? arow[sx] : 255) * alphaScale) >> 8;
            if (bpp == 24) {
                const std::uint8_t* p = row + sx * 3;
                b = p[0];
                g = p[1];
                r = p[2];
                if (image.GetTransparentIndex() >= 0 && r == image.GetTransparentColor().r && g == image.GetTransparentColor().g &&
                    b == image.GetTransparentColor().b)
                    continue;
            } else {
                const int index = RowIndexAt(row, sx, bpp);
                if (index == image.GetTransparentIndex())
                    continue;
                const PaletteEntry& e = palette[index];
                b = e.blue;
                g = e.green;
                r = e.red;
                if (image.IsPaletteAlphaEnabled())
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

namespace {
// The whole picture onto a page that keeps files' data (a PDF) from its
// JPEG data or its colour record's samples; false when it has neither.
bool DrawFromFile(const CRasterImage& image, CDrawContext* surface, const SurfaceRect& target) {
    if (const auto& jpeg = image.GetJpegSource())
        return surface->StretchJpeg(target, jpeg, image.GetJpegTurn(), image.GetColour());
    const auto& colour = image.GetColour();
    return colour && !colour->samples.empty() && surface->StretchColourSamples(target, colour, image.GetJpegTurn());
}

// The whole picture onto a device that turns pictures itself, from the
// planes as stored; false when the device does not.
bool DrawStoredTurned(const CRasterImage& image, CDrawContext* surface, const SurfaceRect& target) {
    const CRasterImage::StoredPlanes planes = image.GetStoredPlanes();
    if (planes.turn.upright() || !surface->KeepsJpegData())
        return false;
    const int w = planes.width, h = planes.height, bpp = image.GetBpp();
    const std::ptrdiff_t stride = planes.stride;
    const PaletteEntry* palette = image.GetPalette();
    // The stored planes as 24-bit rows, top-down (no copy for 24-bit ones).
    std::vector<std::uint8_t> converted;
    PixelBlock block{planes.pixels + static_cast<std::size_t>(h - 1) * stride,
                     -static_cast<std::ptrdiff_t>(stride), w, h};
    if (bpp != 24) {
        const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
        converted.resize(rowBytes * h);
        for (int j = 0; j < h; ++j) {
            const std::uint8_t* row = planes.pixels + static_cast<std::size_t>(h - 1 - j) * stride;
            std::uint8_t* out = converted.data() + j * rowBytes;
            for (int i = 0; i < w; ++i) {
                const PaletteEntry& e = palette[RowIndexAt(row, i, bpp)];
                out[i * 3] = e.blue;
                out[i * 3 + 1] = e.green;
                out[i * 3 + 2] = e.red;
            }
        }
        block = PixelBlock{converted.data(), static_cast<std::ptrdiff_t>(rowBytes), w, h};
    }
    std::vector<std::uint8_t> mask;
    if (image.GetTransparentIndex() >= 0) {
        const Rgb key = bpp == 24 ? image.GetTransparentColor() : image.GetPaletteColor(image.GetTransparentIndex());
        mask.resize(static_cast<std::size_t>(w) * h);
        for (int j = 0; j < h; ++j) {
            const std::uint8_t* p = block.first + j * block.stride;
            std::uint8_t* m = mask.data() + static_cast<std::size_t>(j) * w;
            for (int i = 0; i < w; ++i, p += 3)
                m[i] = (p[0] == key.b && p[1] == key.g && p[2] == key.r) ? 1 : 0;
        }
    }
    if (!surface->StretchPixelsTurned(target, block, mask.empty() ? nullptr : mask.data(), w, planes.turn))
        return false;
    if (!mask.empty())
        surface->SetBackgroundColor(Rgb{255, 255, 255});
    return true;
}

}  // namespace

int DrawPictureMasked(const CRasterImage& image, CDrawContext* surface, int x, int y, int cx, int cy) {
    if (!image.IsValid() || !surface || cx == 0 || cy == 0)
        return 0;
    if (cx < 0)
        cx = image.GetWidth();
    if (cy < 0)
        cy = image.GetHeight();
    const SurfaceRect target{x, y, ClampToInt(std::int64_t{x} + cx), ClampToInt(std::int64_t{y} + cy)};
    if (image.GetTransparentIndex() < 0 && surface->KeepsJpegData() && DrawFromFile(image, surface, target))
        return 1;
    if (DrawStoredTurned(image, surface, target))
        return 1;
    const std::ptrdiff_t stride = image.GetStride();  // carries out a pending turn
    const int w = image.GetWidth(), h = image.GetHeight(), bpp = image.GetBpp();

    // The whole image as 24-bit rows, top-down (no copy for 24-bit images).
    std::vector<std::uint8_t> converted;
    PixelBlock block{image.GetRow(h - 1), -static_cast<std::ptrdiff_t>(stride), w, h};
    if (bpp != 24) {
        const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
        converted.resize(rowBytes * h);
        image.CopyRowsBgr(0, h, converted.data(), static_cast<std::ptrdiff_t>(rowBytes));
        block = PixelBlock{converted.data(), static_cast<std::ptrdiff_t>(rowBytes), w, h};
    }
    if (image.GetTransparentIndex() < 0) {
        surface->StretchPixels(target, block);
        return 1;
    }
    if (target.intersected(surface->GetClipBox()).empty())
        return 1;

    // Mask of the transparent colour, compared by colour as the rendered
    // picture shows it: for paletted images the colour of the transparent entry.
    const Rgb key = bpp == 24 ? image.GetTransparentColor() : image.GetPaletteColor(image.GetTransparentIndex());
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(w) * h);
    for (int j = 0; j < h; ++j) {
        const std::uint8_t* p = block.first + j * block.stride;
        std::uint8_t* m = mask.data() + static_cast<std::size_t>(j) * w;
        for (int i = 0; i < w; ++i, p += 3)
            m[i] = (p[0] == key.b && p[1] == key.g && p[2] == key.r) ? 1 : 0;
    }
    surface->StretchPixelsMasked(target, block, mask.data(), w);
    surface->SetBackgroundColor(Rgb{255, 255, 255});
    return 1;
}

int DrawPictureRegion(const CRasterImage& image, CDrawContext* surface, int x, int y, int cx, int cy, int srcX,
                      int srcY, int srcWidth, int srcHeight) {
    if (!image.IsValid() || !surface)
        return 0;
    if (cx < 0)
        cx = srcWidth;
    if (cy < 0)
        cy = srcHeight;
    if (cx <= 0 || cy <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return 0;
    const SurfaceRect target{x, y, ClampToInt(std::int64_t{x} + cx), ClampToInt(std::int64_t{y} + cy)};
    const bool whole = srcX == 0 && srcY == 0 && srcWidth == image.GetWidth() && srcHeight == image.GetHeight();
    if (whole && surface->KeepsJpegData() && DrawFromFile(image, surface, target))
        return 1;
    // Transparency is ignored here: the stored pixels drawn without a mask.
    if (whole && image.GetTransparentIndex() < 0 && DrawStoredTurned(image, surface, target))
        return 1;
    const std::ptrdiff_t stride = image.GetStride();  // carries out a pending turn
    const int w = image.GetWidth(), h = image.GetHeight(), bpp = image.GetBpp();
    const PaletteEntry* palette = image.GetPalette();
    const bool inside = srcX >= 0 && srcY >= 0 && std::int64_t{srcX} + srcWidth <= w &&
                        std::int64_t{srcY} + srcHeight <= h;
    if (inside && bpp == 24) {
        const PixelBlock block{image.GetRow(h - 1 - srcY) + static_cast<std::size_t>(srcX) * 3,
                               -static_cast<std::ptrdiff_t>(stride), srcWidth, srcHeight};
        surface->StretchPixels(target, block);
        return 1;
    }
    // Paletted rows, or a rectangle reaching outside the image (those pixels
    // follow the out-of-range rules): build the 24-bit block first.
    if (!RasterSizeAllowed(srcWidth, srcHeight, 24))
        return 0;
    const std::size_t rowBytes = static_cast<std::size_t>(srcWidth) * 3;
    std::vector<std::uint8_t> rows(rowBytes * srcHeight);
    const Rgb outside = image.GetPixelColor(-1, -1);
    for (int j = 0; j < srcHeight; ++j) {
        const std::int64_t fromTop = std::int64_t{srcY} + j;
        std::uint8_t* out = rows.data() + j * rowBytes;
        const bool rowInside = fromTop >= 0 && fromTop < h;
        const std::uint8_t* row = rowInside ? image.GetRow(h - 1 - static_cast<int>(fromTop)) : nullptr;
        for (int i = 0; i < srcWidth; ++i) {
            const std::int64_t column = std::int64_t{srcX} + i;
            Rgb c = outside;
            if (row && column >= 0 && column < w) {
                const int x = static_cast<int>(column);
                if (bpp == 24) {
                    c = Rgb{row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
                } else {
                    const PaletteEntry& e = palette[RowIndexAt(row, x, bpp)];
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
