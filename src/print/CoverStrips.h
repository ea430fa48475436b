#pragma once
// What the printed page and the paper preview draw alike for a cover: the
// picture's strips for the shaped formats and the walk over a format's cut
// marks. Each caller brings its own mapping from millimetres to pixels (the
// printer's resolution, or the preview's scale) and its own pens.
#include "formats/CoverFormat.h"
#include "image/DrawContext.h"
#include "image/RasterImage.h"
#include "image/ScaledPicture.h"

#include <functional>

// The picture of a PHOTO_ZOOMED, PLAYSTATION or SLIMLINE_DVD cover into the
// box (left, top, width x height); false for any other type, which the
// caller draws itself. `slimPanel` and `slimSpine` are a slim sleeve's panel
// and spine heights in pixels (the bottom panel is as high as the top one).
bool DrawCoverStrips(CDrawContext& s, const CRasterImage& image, const std::string& type, int left, int top,
                     int width, int height, int slimPanel, int slimSpine);

// A picture decoded for printing only (reduced pixels, printed from its JPEG
// data) gets its full pixels where the page needs them: on a device that
// does not keep JPEG data, or for a cover whose picture goes in strips.
// False when they are needed but cannot be had (the reduced pixels stay).
bool FullPixelsWhereNeeded(CRasterImage& image, const std::string& type, bool deviceKeepsJpeg);

// The same for a slot's picture that must stay as it is (the window's):
// the pixels a page draws it from. A picture reduced with its JPEG data is
// drawn from that data on a device that keeps it; a cover in strips, or a
// device that draws pixels, gets its pixels decoded into `decodes` for the
// job alone: in full for a printed page, at the scale that covers the
// picture's box (boxWidth x boxHeight device pixels) for the preview.
const CRasterImage& PagePicture(CScaledPicture& decodes, const CRasterImage& image, const std::string& type,
                                bool deviceKeepsJpeg, bool preview, int boxWidth, int boxHeight);

// The cut marks of `format` around the cover at `cover`: an edge mark runs
// across `extent`, a line or rectangle is placed by `mmX` / `mmY` from the
// cover's corner. Solid marks take `solid`, the others `dotted`; the pen of
// the last mark stays selected.
struct CutMarkStyle {
    std::function<int(double)> mmX, mmY;
    SurfaceRect extent;
    Pen solid, dotted;
};
void DrawCutMarkWalk(CDrawContext& s, const CoverFormat& format, const SurfaceRect& cover, const CutMarkStyle& style);
