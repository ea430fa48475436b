#include "print/CoverRenderer.h"

#include "print/CoverLayout.h"
#include "print/DiscLabel.h"

#include <algorithm>

namespace {
const Pen kSolidPen{kCutLineColor, 0, PenStyle::Solid};
const Pen kDottedPen{kCutLineColor, 0, PenStyle::Dotted};
const Brush kNoFill{Rgb{255, 255, 255}, true};

// DrawRegion reads a negative or zero target size as "natural size"; a strip
// of no size must draw nothing instead.
void DrawStrip(CDrawContext& surface, const CRasterImage& image, int x, int y, int cx, int cy,
               int srcX, int srcY, int srcWidth, int srcHeight) {
    if (cx <= 0 || cy <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return;
    image.DrawRegion(&surface, x, y, cx, cy, srcX, srcY, srcWidth, srcHeight);
}

// One eighteenth of the picture is cut away at the top and at the bottom.
void DrawZoomedPhoto(CDrawContext& s, const CRasterImage& image, int left, int top, int W, int H) {
    const int w = image.GetWidth(), h = image.GetHeight();
    const int first = static_cast<int>(h * 0.05555555555555555);
    const int rows = std::max(1, static_cast<int>(h * 0.8888888888888888));
    DrawStrip(s, image, left, top, W, H, 0, first, w, std::min(rows, h - first));
}

// The picture's two spine strips, 8 % of its width each, narrowed to 4.3 % of
// the cover's width.
void DrawPlayStation(CDrawContext& s, const CRasterImage& image, int left, int top, int W, int H) {
    const int w = image.GetWidth(), h = image.GetHeight();
    const int sw = static_cast<int>(w * 0.08);
    const int dw = static_cast<int>(W * 0.043);
    DrawStrip(s, image, left, top, dw, H, 0, 0, sw, h);
    DrawStrip(s, image, left + dw, top, W - 2 * dw, H, sw, 0, w - 2 * sw, h);
    DrawStrip(s, image, left + W - dw, top, dw, H, w - sw, 0, sw, h);
}

// The sleeve's spine band resized to the format's spine width; the two
// panels share what is left of the cover's height.
void DrawSlimline(CDrawContext& s, const CRasterImage& image, double spineMm, int dpiY, int left, int top,
                  int W, int H) {
    const int w = image.GetWidth(), h = image.GetHeight();
    const int sp = std::clamp(MarkMmToPixels(spineMm, dpiY), 0, H);
    const int panel = (H - sp) / 2;
    const int a = static_cast<int>(h * 0.4738);
    const int b = static_cast<int>(h * 0.0527);
    DrawStrip(s, image, left, top, W, panel, 0, 0, w, a);
    DrawStrip(s, image, left, top + panel, W, sp, 0, a, w, b);
    // The three source bands together are 100.03 % of the picture: the last
    // one stops at the picture's bottom row.
    DrawStrip(s, image, left, top + panel + sp, W, panel, 0, a + b, w, std::min(a, h - (a + b)));
}

void DrawCutMarks(CDrawContext& s, const PageMetrics& page, const CoverFormat& format, int left, int top,
                  int W, int H) {
    for (const CutLine& line : format.lines) {
        s.SetPen(line.solid == 1 ? kSolidPen : kDottedPen);
        if (line.x1 == EDGE_TOP) {
            s.Line(0, top, page.printableWidth, top);
        } else if (line.x1 == EDGE_BOTTOM) {
            s.Line(0, top + H, page.printableWidth, top + H);
        } else if (line.x1 == EDGE_LEFT) {
            s.Line(left, 0, left, page.printableHeight);
        } else if (line.x1 == EDGE_RIGHT) {
            s.Line(left + W, 0, left + W, page.printableHeight);
        } else {
            s.Line(left + MarkMmToPixels(line.x1, page.dpiX), top + MarkMmToPixels(line.y1, page.dpiY),
                   left + MarkMmToPixels(line.x2, page.dpiX), top + MarkMmToPixels(line.y2, page.dpiY));
        }
    }
    for (const CutRect& rect : format.rects) {
        s.SetPen(rect.solid == 1 ? kSolidPen : kDottedPen);
        const int l = left + MarkMmToPixels(rect.x, page.dpiX);
        const int t = top + MarkMmToPixels(rect.y, page.dpiY);
        s.Rectangle(l, t, l + MarkMmToPixels(rect.width, page.dpiX) + 1,
                    t + MarkMmToPixels(rect.height, page.dpiY) + 1);
    }
}

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

void RenderCover(CDrawContext& surface, const PageMetrics& page, const CoverPlacement& placement,
                 const CRasterImage& image, const CoverFormatList& formats, int f, const RenderOptions& options) {
    if (!image.IsValid() || image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return;
    if (f >= kRightSlotFormat)
        f -= kRightSlotFormat;
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
    if (label) {
        DrawDiscLabel(surface, image, SurfaceRect{left, top, left + W, top + H}, placement.holeSize);
    } else {
        surface.Rectangle(left - 1, top - 1, left + W + 1, top + H + 1);
        bool special = true;
        if (format.type == "PHOTO_ZOOMED")
            DrawZoomedPhoto(surface, image, left, top, W, H);
        else if (format.type == "PLAYSTATION")
            DrawPlayStation(surface, image, left, top, W, H);
        else if (format.type == "SLIMLINE_DVD")
            DrawSlimline(surface, image, format.spine == NO_SPINE ? 13.0 : format.spine, page.dpiY, left, top, W, H);
        else {
            special = false;
            image.DrawMasked(&surface, left, top, W, H);
        }
        if (special) {
            surface.SetPen(kSolidPen);
            surface.SetBrush(kNoFill);
            surface.Rectangle(left, top, left + W + 1, top + H + 1);
        }
    }

    if (options.drawCutLines) {
        DrawCutMarks(surface, page, format, left, top, W, H);
    }
    if (options.printBorder && !label) {
        surface.SetPen(kSolidPen);
        surface.SetBrush(kNoFill);
        surface.Rectangle(left, top, left + W + 1, top + H + 1);
    }
    if (options.preview)
        DrawPreviewMarks(surface, page, placement, format, left, top);
}
