#pragma once
// Bitmap blits of the metafile player under any ternary raster operation:
// a plain copy drawn straight, everything else computed pixel by pixel from
// the (stretched) source, the brush and what the picture holds.
#include "image/MetafileMapping.h"
#include "image/MetafilePixels.h"

#include <cstdint>
#include <vector>

class CDrawContext;
class CRasterImage;

// What the other transfers add to a blit. The mask (MASKBLT) chooses the
// foreground operation (the rop's third byte) where its bit is set and the
// background operation (the fourth byte) where it is clear; a transparent
// colour (TRANSPARENTBLT) leaves the target where the source has it; alpha
// (ALPHABLEND) blends the source over the target by a constant and, when
// given, the source's own premultiplied alpha (rows top-down, one byte per
// source pixel).
struct MetaTransfer {
    const CRasterImage* mask = nullptr;
    int maskX = 0, maskY = 0;
    bool transparent = false;
    Rgb key{};
    bool blend = false;
    int constantAlpha = 255;
    const std::vector<std::uint8_t>* alpha = nullptr;
};

// Where a blit draws: the picture and its clip, and the brush and colours a
// raster operation may take in.
struct MetaBlitTarget {
    CDrawContext& surface;
    MetaClipView clip;
    const MetaBrush& brush;
    MetaColours colours;
};

// The source rectangle (rows counted from the bitmap's top; `bitmap` may be
// null for pattern-only operations) onto the box `dst` of the picture.
void BlitOntoBox(MetaBlitTarget& target, SurfaceRect dst, const CRasterImage* bitmap, int srcX, int srcY, int srcW,
                 int srcH, std::uint32_t rop);
// The source rectangle onto a parallelogram of the picture, given by the
// points (picture pixels) where its top-left, top-right and bottom-left
// corners go.
void BlitOntoQuad(MetaBlitTarget& target, MetaPoint p0, MetaPoint p1, MetaPoint p2, const CRasterImage* bitmap,
                  int srcX, int srcY, int srcW, int srcH, std::uint32_t rop, const MetaTransfer& extra);
