#include "print/PictureBox.h"

#include "image/DrawContext.h"
#include "image/RasterImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

double ClampBleedMm(double mm) {
    if (!std::isfinite(mm))
        return 0.0;
    return std::clamp(mm, 0.0, kMaxBleedMm);
}

int BleedPixels(double bleedMm, double pixelsPerMm) {
    const double px = ClampBleedMm(bleedMm) * pixelsPerMm;
    return std::isfinite(px) && px > 0 ? static_cast<int>(std::lround(std::min(px, 1.0e6))) : 0;
}

namespace {
double Crop(double v) { return std::isfinite(v) ? std::clamp(v, 0.0, 1.0) : 0.5; }
}  // namespace

PictureBox PlacePicture(const SurfaceRect& cover, int bleedX, int bleedY, int pictureWidth, int pictureHeight,
                        const PictureFill& fill) {
    PictureBox box;
    bleedX = std::max(0, bleedX);
    bleedY = std::max(0, bleedY);
    box.clip = SurfaceRect{cover.left - bleedX, cover.top - bleedY, cover.right + bleedX, cover.bottom + bleedY};
    box.picture = box.clip;
    const double W = box.clip.width(), H = box.clip.height();
    if (fill.fit != CoverFit::Stretch && pictureWidth > 0 && pictureHeight > 0 && W > 0 && H > 0) {
        const double sx = W / pictureWidth, sy = H / pictureHeight;
        const double scale = fill.fit == CoverFit::Fit ? std::min(sx, sy) : std::max(sx, sy);
        // Rounded to whole pixels; the long side meets the box exactly.
        const int w = std::max(1, static_cast<int>(std::lround(std::min(pictureWidth * scale, 1.0e8))));
        const int h = std::max(1, static_cast<int>(std::lround(std::min(pictureHeight * scale, 1.0e8))));
        const int pw = std::abs(w - static_cast<int>(W)) <= 1 ? static_cast<int>(W) : w;
        const int ph = std::abs(h - static_cast<int>(H)) <= 1 ? static_cast<int>(H) : h;
        // A fit is centred; a fill's excess lies where its crop says.
        const double cx = fill.fit == CoverFit::Fit ? 0.5 : Crop(fill.cropX);
        const double cy = fill.fit == CoverFit::Fit ? 0.5 : Crop(fill.cropY);
        const int left = box.clip.left + static_cast<int>(std::lround((W - pw) * cx));
        const int top = box.clip.top + static_cast<int>(std::lround((H - ph) * cy));
        box.picture = SurfaceRect{left, top, left + pw, top + ph};
    }
    const SurfaceRect& p = box.picture;
    box.clipped = p.left < box.clip.left || p.top < box.clip.top || p.right > box.clip.right ||
                  p.bottom > box.clip.bottom;
    return box;
}

PictureFill DragCrop(const PictureFill& fill, int dx, int dy, int pictureW, int pictureH, int clipW, int clipH) {
    PictureFill moved = fill;
    // The picture follows the pointer: dragging it right shows more of its
    // left part, so the crop moves towards the left edge.
    if (pictureW > clipW)
        moved.cropX = Crop(Crop(fill.cropX) - static_cast<double>(dx) / (pictureW - clipW));
    if (pictureH > clipH)
        moved.cropY = Crop(Crop(fill.cropY) - static_cast<double>(dy) / (pictureH - clipH));
    return moved;
}

bool TypeTakesPictureFill(const char* type) {
    return std::strcmp(type, "PHOTO_ZOOMED") != 0 && std::strcmp(type, "PLAYSTATION") != 0 &&
           std::strcmp(type, "SLIMLINE_DVD") != 0;
}

void DrawPlacedPicture(CDrawContext& s, const CRasterImage& image, const PictureBox& box, bool masked) {
    const SurfaceRect& p = box.picture;
    if (p.empty())
        return;
    // A crop is a clip: the whole picture goes to the device (a PDF keeps a
    // JPEG's own bytes) and only the clip's part shows.
    SurfaceRect previous;
    if (box.clipped)
        previous = s.IntersectClip(box.clip);
    if (masked)
        image.DrawMasked(&s, p.left, p.top, p.width(), p.height());
    else
        image.Draw(&s, p.left, p.top, p.width(), p.height());
    if (box.clipped)
        s.SetClip(previous);
}
