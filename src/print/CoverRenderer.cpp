#include "print/CoverRenderer.h"

#include "print/CoverLayout.h"
#include "print/CoverStrips.h"
#include "print/DiscLabel.h"

#include <algorithm>

namespace {
const Pen kSolidPen{kCutLineColor, 0, PenStyle::Solid};
const Pen kDottedPen{kCutLineColor, 0, PenStyle::Dotted};
const Brush kNoFill{Rgb{255, 255, 255}, true};

void DrawPreviewMarks(CDrawContext& s, const PageMetrics& page, const CoverPlacement& p, const CoverFormat& format,
                      int left, int top) {
    s.SetPen(Pen{kPreviewMarkColor, 2, PenStyle::Solid});
    s.SetBrush(kNoFill);
    const int W = p.width, H = p.height, hole = p.holeSize;
    if (format.type == "CD_TRAY") {
        s.Ellipse(left, top, left + W, top + H);
        s.Ellipse(left + W / 2 - hole / 2, top + H / 2 - hole / 2, left + hole / 2 + W / 2, top + hole / 2 + H / 2);
    } else {
        s.Rectangle(0, 0, page.printableWidth, page.printableHeight);
        s.Line(0, page.halfHeight - page.offsetY, page.printableWidth, page.halfHeight - page.offsetY);
    }
}
}  // namespace

PictureBox CoverPictureBox(const PageMetrics& page, const CoverPlacement& placement, const CRasterImage& image,
                           const CoverFormat& format, const RenderOptions& options) {
    const int left = placement.x - page.offsetX, top = placement.y - page.offsetY;
    const SurfaceRect cover{left, top, left + placement.width, top + placement.height};
    const bool placed = TypeTakesPictureFill(format.type.c_str());
    const int bleedX = placed ? BleedPixels(options.bleedMm, page.dpiX / 25.4) : 0;
    const int bleedY = placed ? BleedPixels(options.bleedMm, page.dpiY / 25.4) : 0;
    return PlacePicture(cover, bleedX, bleedY, image.GetFileWidth(), image.GetFileHeight(),
                        placed ? options.fill : PictureFill{});
}

void RenderCover(CDrawContext& surface, const PageMetrics& page, const CoverPlacement& placement,
                 const CRasterImage& image, const CoverFormatList& formats, SlotFormat slotFormat,
                 const RenderOptions& options) {
    if (!image.IsValid() || image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return;
    const int f = slotFormat.format;
    if (f < 0 || f >= formats.count())
        return;
    const int left = placement.x - page.offsetX;
    const int top = placement.y - page.offsetY;
    const int W = placement.width, H = placement.height;
    if (W <= 0 || H <= 0)
        return;
    const CoverFormat& format = formats.at(f);
    const bool label = format.label != 0;

    surface.SetPen(kSolidPen);
    surface.SetBrush(kNoFill);
    const bool placed = TypeTakesPictureFill(format.type.c_str());
    const int bleedX = placed ? BleedPixels(options.bleedMm, page.dpiX / 25.4) : 0;
    const PictureBox box = CoverPictureBox(page, placement, image, format, options);
    if (label) {
        // A label's bleed grows the disc and shrinks its hole.
        DrawDiscLabel(surface, image, box.clip, std::max(0, placement.holeSize - 2 * bleedX), &box.picture);
    } else {
        surface.Rectangle(left - 1, top - 1, left + W + 1, top + H + 1);
        // A slim sleeve's spine at the printer's resolution; the two panels
        // share what is left of the cover's height.
        const int spine = std::clamp(MarkMmToPixels(format.spine == NO_SPINE ? 13.0 : format.spine, page.dpiY), 0, H);
        const bool special = DrawCoverStrips(surface, image, format.type, left, top, W, H, (H - spine) / 2, spine);
        if (!special)
            DrawPlacedPicture(surface, image, box, true);
        if (special) {
            surface.SetPen(kSolidPen);
            surface.SetBrush(kNoFill);
            surface.Rectangle(left, top, left + W + 1, top + H + 1);
        }
    }

    if (options.drawCutLines) {
        const CutMarkStyle marks{[&page](double mm) { return MarkMmToPixels(mm, page.dpiX); },
                                 [&page](double mm) { return MarkMmToPixels(mm, page.dpiY); },
                                 SurfaceRect{0, 0, page.printableWidth, page.printableHeight}, kSolidPen, kDottedPen};
        DrawCutMarkWalk(surface, format, SurfaceRect{left, top, left + W, top + H}, marks);
    }
    if (options.printBorder && !label) {
        surface.SetPen(kSolidPen);
        surface.SetBrush(kNoFill);
        surface.Rectangle(left, top, left + W + 1, top + H + 1);
    }
    if (options.preview)
        DrawPreviewMarks(surface, page, placement, format, left, top);
}
