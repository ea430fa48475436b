#include "image/MetafilePixels.h"

#include "image/RasterImage.h"

#include <algorithm>

namespace {

// GDI's eight-by-eight hatch patterns: true where the line is.
bool HatchAt(int hatch, int x, int y) {
    const int hx = x & 7, hy = y & 7;
    switch (hatch) {
    case 0: return hy == 7;                   // HS_HORIZONTAL
    case 1: return hx == 7;                   // HS_VERTICAL
    case 2: return hx == hy;                  // HS_FDIAGONAL, "\"
    case 3: return hx + hy == 7;              // HS_BDIAGONAL, "/"
    case 4: return hx == 7 || hy == 7;        // HS_CROSS
    case 5: return hx == hy || hx + hy == 7;  // HS_DIAGCROSS
    default: return false;
    }
}

}  // namespace

bool BrushColorAt(const MetaBrush& brush, const MetaColours& colours, int x, int y, Rgb& out) {
    switch (brush.style) {
    case 2:  // hatched: the gaps show the background colour unless transparent
        // The solid "hatches" of enhanced metafiles: the brush colour, the
        // text colour or the background colour all over (dithered ones
        // solid too, as on a true-colour device).
        if (brush.hatch == 6 || brush.hatch == 7) {
            out = brush.color;
            return true;
        }
        if (brush.hatch == 8 || brush.hatch == 9) {
            out = colours.text;
            return true;
        }
        if (brush.hatch == 10 || brush.hatch == 11) {
            out = colours.background;
            return true;
        }
        if (HatchAt(brush.hatch, x, y)) {
            out = brush.color;
            return true;
        }
        out = colours.background;
        return colours.backgroundMode != 1;
    case 3:
    case 5:
    case 6:  // pattern and DIB pattern brushes: the bitmap tiled from the origin
        if (brush.pattern && brush.pattern->IsValid()) {
            const int w = brush.pattern->GetWidth(), h = brush.pattern->GetHeight();
            const int px = ((x % w) + w) % w, py = ((y % h) + h) % h;
            out = brush.pattern->GetPixelColor(px, h - 1 - py);
            return true;
        }
        out = brush.color;
        return true;
    default:
        out = brush.color;
        return true;
    }
}

std::vector<std::uint8_t> MaskOfRects(const std::vector<SurfaceRect>& rects, int w, int h) {
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(w) * h, 0);
    for (const SurfaceRect& r : rects) {
        const SurfaceRect box = r.intersected(SurfaceRect{0, 0, w, h});
        for (int y = box.top; y < box.bottom; ++y)
            std::fill_n(mask.begin() + static_cast<std::ptrdiff_t>(y) * w + box.left, box.width(), 1);
    }
    return mask;
}

void CombineClip(SurfaceRect& clipBox, std::shared_ptr<const std::vector<std::uint8_t>>& clipMask,
                 const std::vector<std::uint8_t>& area, int mode, int w, int h) {
    std::vector<std::uint8_t> clip = clipMask ? *clipMask : MaskOfRects({clipBox}, w, h);
    // The clip is empty outside its box: "and" and "diff" only change the box.
    const SurfaceRect span = (mode == 1 || mode == 4) ? clipBox : SurfaceRect{0, 0, w, h};
    int left = w, top = h, right = 0, bottom = 0;
    std::size_t inside = 0;
    for (int y = span.top; y < span.bottom; ++y) {
        std::uint8_t* row = clip.data() + static_cast<std::size_t>(y) * w;
        const std::uint8_t* add = area.data() + static_cast<std::size_t>(y) * w;
        for (int x = span.left; x < span.right; ++x) {
            const bool c = row[x] != 0, a = add[x] != 0;
            bool out = c;
            switch (mode) {
            case 1: out = c && a; break;   // RGN_AND
            case 2: out = c || a; break;   // RGN_OR
            case 3: out = c != a; break;   // RGN_XOR
            case 4: out = c && !a; break;  // RGN_DIFF
            case 5: out = a; break;        // RGN_COPY
            default: break;
            }
            row[x] = out ? 1 : 0;
            if (!out)
                continue;
            // The bounding box becomes the clip box.
            ++inside;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        }
    }
    if (inside == 0) {
        clipBox = SurfaceRect{0, 0, 0, 0};
        clipMask.reset();
    } else {
        clipBox = SurfaceRect{left, top, right, bottom};
        // A full box needs no mask.
        if (inside == static_cast<std::size_t>(right - left) * static_cast<std::size_t>(bottom - top))
            clipMask.reset();
        else
            clipMask = std::make_shared<const std::vector<std::uint8_t>>(std::move(clip));
    }
}
