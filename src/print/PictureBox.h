#pragma once
// Where a slot's picture goes on its cover: stretched to the cover (as
// always), fitted inside it with its proportions kept, or filling it with
// its proportions kept and the rest cropped. A bleed grows the area the
// picture covers beyond the cover's cut lines; the cut marks stay. The
// printed page, the print preview, the PDF and the paper all place the
// picture with PlacePicture, each in its own pixels.
#include "image/DrawSurface.h"

enum class CoverFit { Stretch = 0, Fit = 1, Fill = 2 };

// A slot's choice. For a fill, cropX and cropY say where the crop lies in
// the part of the picture that does not show: 0 its left (top) edge, 1 its
// right (bottom) edge, 0.5 centred.
struct PictureFill {
    CoverFit fit = CoverFit::Stretch;
    double cropX = 0.5;
    double cropY = 0.5;
    bool operator==(const PictureFill&) const = default;
};

// Bleed in millimetres: the setting's range.
inline constexpr double kMaxBleedMm = 3.0;
double ClampBleedMm(double mm);

// The whole picture is drawn into `picture`; only its part inside `clip`
// shows. `clipped` is false when the picture lies inside the clip anyway
// (a stretch without bleed: the cover exactly as before).
struct PictureBox {
    SurfaceRect picture;
    SurfaceRect clip;
    bool clipped = false;
};

// The picture box for a cover box, grown by bleedX / bleedY pixels on each
// side, for a picture of pictureWidth x pictureHeight (its proportions).
PictureBox PlacePicture(const SurfaceRect& cover, int bleedX, int bleedY, int pictureWidth, int pictureHeight,
                        const PictureFill& fill);

// Bleed pixels at `dpi` (whole pixels, rounded to the nearest).
int BleedPixels(double bleedMm, double pixelsPerMm);

// The crop a drag moves: dragging the shown picture by (dx, dy) pixels of a
// view where the fill's picture box is pictureW x pictureH over a clip of
// clipW x clipH moves the crop so the picture follows the pointer.
PictureFill DragCrop(const PictureFill& fill, int dx, int dy, int pictureW, int pictureH, int clipW, int clipH);

class CDrawContext;
class CRasterImage;
// The picture drawn into its box, clipped to the box's clip: `masked` for a
// printed page (one scaled write), else as the paper draws it.
void DrawPlacedPicture(CDrawContext& surface, const CRasterImage& image, const PictureBox& box, bool masked);

// Whether a cover of this format type takes a fit, fill or bleed: plain
// covers and disc labels; the shaped covers (zoomed photo, PlayStation
// back, slim sleeve) map parts of the picture to parts of the cover and
// keep that.
bool TypeTakesPictureFill(const char* type);
