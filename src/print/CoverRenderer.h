#pragma once
// Drawing one cover on a printer page: the image (or the special drawing of
// labels, zoomed photos, PlayStation backs and slimline sleeves), cut and
// fold lines, cut rectangles, the border and, in the preview, red guides.
#include "base/CoverSlot.h"
#include "formats/CoverFormatList.h"
#include "image/DrawContext.h"
#include "image/RasterImage.h"
#include "print/CoverPlacement.h"
#include "print/PageMetrics.h"
#include "print/PictureBox.h"

struct RenderOptions {
    RenderOptions(int cutLines = 1, int border = 1, int forPreview = 0)
        : drawCutLines(cutLines), printBorder(border), preview(forPreview) {}
    int drawCutLines = 1;  // the view's "Draw Cut / Fold lines"
    int printBorder = 1;   // setting "Print Border"
    int preview = 0;       // drawn for the print preview: red guide marks
    PictureFill fill;      // the slot's stretch, fit or fill
    double bleedMm = 0.0;  // the picture reaches this far beyond the cut lines
};

// The surface's origin is the printable area's top-left corner (as on a
// printer). The cover is drawn in its slot's position of the format. An empty image,
// an index outside the list or a cover of no size draws nothing.
void RenderCover(CDrawContext& surface, const PageMetrics& page, const CoverPlacement& placement,
                 const CRasterImage& image, const CoverFormatList& formats, SlotFormat cover,
                 const RenderOptions& options);

// Where RenderCover puts the whole picture of a cover (and the clip of it
// that shows), in the surface's pixels.
PictureBox CoverPictureBox(const PageMetrics& page, const CoverPlacement& placement, const CRasterImage& image,
                           const CoverFormat& format, const RenderOptions& options);

// Pen colours of the page.
inline constexpr Rgb kCutLineColor{0, 0, 0};
inline constexpr Rgb kPreviewMarkColor{255, 0, 0};
