#include "print/DiscLabel.h"

#include "image/RasterSurface.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

void DrawLabelMask(CDrawSurface& mask, int holeWidth, int holeHeight) {
    DrawLabelMaskRows(mask, mask.Width(), mask.Height(), 0, holeWidth, holeHeight);
}

void DrawLabelMaskRows(CDrawSurface& band, int w, int h, int firstRow, int holeWidth, int holeHeight) {
    band.FillRect(SurfaceRect{0, 0, band.Width(), band.Height()}, Rgb{255, 255, 255});
    band.SetPen(Pen{Rgb{0, 0, 0}, 0, PenStyle::Solid});
    band.SetBrush(Brush{Rgb{0, 0, 0}, false});
    band.Ellipse(0, -firstRow, w, h - firstRow);
    band.SetBrush(Brush{Rgb{255, 255, 255}, false});
    band.Ellipse(w / 2 - holeWidth / 2, h / 2 - holeHeight / 2 - firstRow, holeWidth / 2 + w / 2,
                 holeHeight / 2 + h / 2 - firstRow);
}

void ApplyLabelMask(CDrawSurface& surface, const SurfaceRect& rect, int holeWidth, int holeHeight) {
    const int w = rect.width(), h = rect.height();
    if (w <= 0 || h <= 0)
        return;
    // The mask is made a band of rows at a time (shifting the figures by
    // whole rows draws exactly the same pixels), so a label of any size
    // needs only a small buffer.
    const int bandRows = std::max(1, std::min(h, static_cast<int>((1 << 20) / w)));
    CRasterSurface band(w, bandRows);
    std::vector<std::uint8_t> keep(static_cast<std::size_t>(w) * bandRows);
    for (int y0 = 0; y0 < h; y0 += bandRows) {
        const int rows = std::min(bandRows, h - y0);
        DrawLabelMaskRows(band, w, h, y0, holeWidth, holeHeight);
        // The mask is black and white only: OR-ing it keeps the surface under
        // black and makes it white under white, which is a masked write of
        // the mask's white pixels.
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* row = band.Bits() + y * band.Stride();
            std::uint8_t* k = keep.data() + static_cast<std::size_t>(y) * w;
            for (int x = 0; x < w; ++x)
                k[x] = row[3 * x] == 0 ? 1 : 0;
        }
        const PixelBlock block{band.Bits(), band.Stride(), w, rows};
        surface.StretchPixelsMasked(SurfaceRect{rect.left, rect.top + y0, rect.right, rect.top + y0 + rows}, block,
                                    keep.data(), w);
    }
}

void DrawDiscLabel(CDrawSurface& surface, const CRasterImage& image, const SurfaceRect& target, int holeSize) {
    const int W = target.width(), H = target.height();
    if (W <= 0 || H <= 0 || !image.IsValid() || image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return;
    int w = image.GetWidth(), h = image.GetHeight();
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
        image.DrawMasked(&label, 0, 0, w, h);
        ApplyLabelMask(label, SurfaceRect{0, 0, w, h}, hw, hh);
        surface.StretchPixels(target, label.Block());
    } catch (const std::bad_alloc&) {
        // Too large for memory: the label is left out rather than the job lost.
    }
}
