#pragma once
// What the metafile player's pixel painters (blits, glyphs, shapes that are
// combined pixel by pixel) read: a brush's colour at a pixel, and whether a
// pixel lies inside the clip; and the clip's mask as regions combine it.
#include "image/DrawSurface.h"

#include <cstdint>
#include <memory>
#include <vector>

class CRasterImage;

struct MetaBrush {
    MetaBrush() = default;
    MetaBrush(int style_, Rgb color_, int hatch_ = 0) : style(style_), color(color_), hatch(hatch_) {}
    int style = 0;  // BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3, BS_DIBPATTERN = 5
    Rgb color{255, 255, 255};
    int hatch = 0;  // HS_HORIZONTAL ... HS_DIAGCROSS
    std::shared_ptr<const CRasterImage> pattern;  // pattern brushes
};

// The colours of the moment that brushes show besides their own.
struct MetaColours {
    Rgb text{0, 0, 0};
    Rgb background{255, 255, 255};
    int backgroundMode = 2;  // 1 transparent, 2 opaque
};

// The brush's colour at a pixel; false where a hatch leaves it empty in
// transparent background mode.
bool BrushColorAt(const MetaBrush& brush, const MetaColours& colours, int x, int y, Rgb& out);

// The clip as the painters see it: a box, and inside it, where the clip is
// not a rectangle, a mask of one byte per picture pixel (non-zero inside).
struct MetaClipView {
    SurfaceRect box;
    const std::vector<std::uint8_t>* mask = nullptr;
    int pictureWidth = 0;

    bool Visible(int x, int y) const {
        if (x < box.left || y < box.top || x >= box.right || y >= box.bottom)
            return false;
        return !mask || (*mask)[static_cast<std::size_t>(y) * pictureWidth + x] != 0;
    }
};

// A mask (one byte per pixel of a w x h picture) set inside the rectangles.
std::vector<std::uint8_t> MaskOfRects(const std::vector<SurfaceRect>& rects, int w, int h);
// The clip (its box, and a mask where it is no rectangle) combined with the
// mask `area` by `mode`: 1 and, 2 or, 3 xor, 4 diff, 5 copy. The box becomes
// the bounding box of what is inside; a clip that fills its box drops its mask.
void CombineClip(SurfaceRect& clipBox, std::shared_ptr<const std::vector<std::uint8_t>>& clipMask,
                 const std::vector<std::uint8_t>& area, int mode, int w, int h);
