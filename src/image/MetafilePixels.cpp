#include "image/MetafilePixels.h"

#include "image/RasterImage.h"

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
