#pragma once
// A round disc label: the picture shows on the disc and nowhere else; outside
// the disc and inside the centre hole the label is white.
#include "image/DrawContext.h"
#include "image/RasterImage.h"

// Labels are built at the picture's own size, but never above this many
// pixels (a larger picture is built scaled down to it).
inline constexpr long long kMaxLabelBuildPixels = 1LL << 25;

// The label's mask on a white surface: a black disc filling it, a white
// hole of holeWidth x holeHeight in its centre (both outlined in black).
void DrawLabelMask(CDrawContext& mask, int holeWidth, int holeHeight);
// Rows firstRow.. of the w x h mask drawn at the top of `band`.
void DrawLabelMaskRows(CDrawContext& band, int w, int h, int firstRow, int holeWidth, int holeHeight);

// Turns `rect` of the surface into a label: white outside the disc inscribed
// in it and inside its centre hole, the surface's pixels kept on the disc
// (the same as OR-ing the mask onto it). Works by filling white runs, so the
// surface need not be readable.
void ApplyLabelMask(CDrawContext& surface, const SurfaceRect& rect, int holeWidth, int holeHeight);

// Draws the label from `image` into `target` on the page; holeSize is in the
// target's pixels. A surface of curves clips the picture to the disc; on
// pixels a picture coarser than the target is built at its own size and
// stretched, a finer one is drawn into the target and cut out there.
// `picture`, when given and not the target, is where the whole picture goes
// (a fit or fill); the disc then shows the part of it inside the target.
void DrawDiscLabel(CDrawContext& surface, const CRasterImage& image, const SurfaceRect& target, int holeSize,
                   const SurfaceRect* picture = nullptr);
