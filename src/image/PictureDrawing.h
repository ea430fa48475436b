#pragma once
// Drawing a picture onto a drawing context (surface coordinates, y down;
// -1 sizes = natural size). CRasterImage's Draw, DrawMasked and DrawRegion
// hand over to these.
#include "image/DrawSurface.h"

class CDrawContext;
class CRasterImage;

// Nearest-neighbour, only the visible part computed; honours the
// transparent index or colour, the alpha plane, alpha maximum and palette
// alpha. 1 when drawn, 0 when not.
int DrawPicture(const CRasterImage& image, CDrawContext* surface, int x, int y, int cx, int cy,
                const SurfaceRect* clip);
// For printing: one scaled write; the transparent index or colour leaves
// the target unchanged; alpha is ignored. A page that keeps files' data
// takes the file's own JPEG data or colour samples, and a device that turns
// pictures itself the planes as stored.
int DrawPictureMasked(const CRasterImage& image, CDrawContext* surface, int x, int y, int cx, int cy);
// The source rectangle (srcY rows below the picture's top) scaled into
// (x, y, cx, cy); negative sizes mean the source rectangle's own size.
// Transparency is ignored.
int DrawPictureRegion(const CRasterImage& image, CDrawContext* surface, int x, int y, int cx, int cy, int srcX,
                      int srcY, int srcWidth, int srcHeight);
