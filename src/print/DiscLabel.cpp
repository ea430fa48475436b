#include "print/DiscLabel.h"

#include "image/RasterSurface.h"

#include <algorithm>
#include <cmath>
#include <new>

void DrawLabelMask(CDrawContext& mask, int holeWidth, int holeHeight) {
    DrawLabelMaskRows(mask, mask.Width(), mask.Height(), 0, holeWidth, holeHeight);
}

void DrawLabelMaskRows(CDrawContext& band, int w, int h, int firstRow, int holeWidth, int holeHeight) {
    band.FillRect(SurfaceRect{0, 0, band.Width(), band.Height()}, Rgb{255, 255, 255});
    band.SetPen(Pen{Rgb{0, 0, 0}, 0, PenStyle::Solid});
    band.SetBrush(Brush{Rgb{0, 0, 0}, false});
    band.Ellipse(0, -firstRow, w, h - firstRow);
    band.SetBrush(Brush{Rgb{255, 255, 255}, false});
    band.Ellipse(w / 2 - holeWidth / 2, h / 2 - holeHeight / 2 - firstRow, holeWidth / 2 + w / 2,
                 holeHeight / 2 + h / 2 - firstRow);
}

void ApplyLabelMask(CDrawContext& surface, const SurfaceRect& rect, int holeWidth, int holeHeight) {
    const int w = rect.width(), h = rect.height();
    if (w <= 0 || h <= 0)
        return;
    // The mask is made a band of rows at a time (shifting the figures by
    // whole rows draws exactly the same pixels), so a label of any size
    // needs only a small buffer.
    const int bandRows = std::max(1, std::min(h, static_cast<int>((1 << 20) / w)));
    CRasterSurface band(w, bandRows);
    CDrawContext bandContext(band);
    for (int y0 = 0; y0 < h; y0 += bandRows) {
        const int rows = std::min(bandRows, h - y0);
        DrawLabelMaskRows(bandContext, w, h, y0, holeWidth, holeHeight);
        // The mask is black and white only: OR-ing it keeps the surface under
        // black and makes it white under white, so its white runs are filled
        // white and nothing else is touched.
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* row = band.Bits() + y * band.Stride();
            for (int x = 0; x < w;) {
                if (row[3 * x] == 0) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < w && row[3 * x] != 0)
                    ++x;
                surface.FillRect(SurfaceRect{rect.left + start, rect.top + y0 + y, rect.left + x, rect.top + y0 + y + 1},
                                 Rgb{255, 255, 255});
            }
        }
    }
}

namespace {
// A fitted or filled picture on a disc: drawn where it goes, clipped to
// the disc's box (white where a fit leaves room), then cut out there.
void DrawPlacedLabel(CDrawContext& surface, const CRasterImage& image, const SurfaceRect& target, int holeSize,
                     const SurfaceRect& picture) {
    const int W = target.width(), H = target.height();
    const SurfaceRect hole{target.left + W / 2 - holeSize / 2, target.top + H / 2 - holeSize / 2,
                           target.left + holeSize / 2 + W / 2, target.top + holeSize / 2 + H / 2};
    const SurfaceRect previous = surface.IntersectClip(target);
    if (surface.BeginDiscClip(target, hole)) {
        image.DrawMasked(&surface, picture.left, picture.top, picture.width(), picture.height());
        surface.EndDiscClip();
        surface.SetClip(previous);
        return;
    }
    surface.FillRect(target, Rgb{255, 255, 255});
    image.DrawMasked(&surface, picture.left, picture.top, picture.width(), picture.height());
    surface.SetClip(previous);
    ApplyLabelMask(surface, target, holeSize, holeSize);
}
}  // namespace

void DrawDiscLabel(CDrawContext& surface, const CRasterImage& image, const SurfaceRect& target, int holeSize,
                   const SurfaceRect* picture) {
    const int W = target.width(), H = target.height();
    if (W <= 0 || H <= 0 || !image.IsValid() || image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return;
    if (picture && !(*picture == target)) {
        DrawPlacedLabel(surface, image, target, holeSize, *picture);
        return;
    }
    // A surface of curves (a PDF) clips the picture to the disc itself: the
    // outline and the hole stay sharp at any resolution.
    const SurfaceRect hole{target.left + W / 2 - holeSize / 2, target.top + H / 2 - holeSize / 2,
                           target.left + holeSize / 2 + W / 2, target.top + holeSize / 2 + H / 2};
    if (surface.BeginDiscClip(target, hole)) {
        image.DrawMasked(&surface, target.left, target.top, W, H);
        surface.EndDiscClip();
        return;
    }
    int w = image.GetWidth(), h = image.GetHeight();
    if (static_cast<long long>(w) * h >= static_cast<long long>(W) * H) {
        // A picture at least as fine as the label is drawn straight onto the
        // page and the disc cut out at the page's resolution: the same
        // label, without a picture-sized detour.
        if (image.GetTransparentIndex() >= 0)
            surface.FillRect(target, Rgb{255, 255, 255});
        image.DrawMasked(&surface, target.left, target.top, W, H);
        ApplyLabelMask(surface, target, holeSize, holeSize);
        return;
    }
    const long long pixels = static_cast<long long>(w) * h;
    if (pixels > kMaxLabelBuildPixels) {
        const double k = std::sqrt(static_cast<double>(kMaxLabelBuildPixels) / static_cast<double>(pixels));
        w = std::max(1, static_cast<int>(w * k));
        h = std::max(1, static_cast<int>(h * k));
    }
    // The hole in the picture's pixels.
    const int hw = static_cast<int>(std::min(static_cast<double>(w) * holeSize / W, 4.0 * w));
    const int hh = static_cast<int>(std::min(static_cast<double>(h) * holeSize / H, 4.0 * h));
    try {
        // Transparent parts of the picture stay white, as on a plain cover.
        CRasterSurface label(w, h);
        CDrawContext labelContext(label);
        image.DrawMasked(&labelContext, 0, 0, w, h);
        ApplyLabelMask(labelContext, SurfaceRect{0, 0, w, h}, hw, hh);
        surface.StretchPixels(target, label.Block());
    } catch (const std::bad_alloc&) {
        // Too large for memory: the label is left out rather than the job lost.
    }
}
