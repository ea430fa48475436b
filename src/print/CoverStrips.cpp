#include "print/CoverStrips.h"

#include <algorithm>

namespace {
// DrawRegion reads a negative or zero target size as "natural size"; a strip
// of no size must draw nothing instead.
void DrawStrip(CDrawContext& s, const CRasterImage& image, int x, int y, int cx, int cy, int srcX, int srcY,
               int srcWidth, int srcHeight) {
    if (cx <= 0 || cy <= 0 || srcWidth <= 0 || srcHeight <= 0)
        return;
    image.DrawRegion(&s, x, y, cx, cy, srcX, srcY, srcWidth, srcHeight);
}

// A picture reduced with its JPEG data is drawn from that data where the
// device keeps it, unless the cover is drawn in strips of its pixels.
bool NeedsMorePixels(const CRasterImage& image, const std::string& type, bool deviceKeepsJpeg) {
    const bool strips = type == "PHOTO_ZOOMED" || type == "PLAYSTATION" || type == "SLIMLINE_DVD";
    return image.IsReduced() && image.HasJpegData() && (!deviceKeepsJpeg || strips);
}
}  // namespace

bool FullPixelsWhereNeeded(CRasterImage& image, const std::string& type, bool deviceKeepsJpeg) {
    return !NeedsMorePixels(image, type, deviceKeepsJpeg) || image.DecodeInFull();
}

const CRasterImage& PagePicture(CScaledPicture& decodes, const CRasterImage& image, const std::string& type,
                                bool deviceKeepsJpeg, bool preview, int boxWidth, int boxHeight) {
    if (!NeedsMorePixels(image, type, deviceKeepsJpeg)) {
        decodes.Release();
        return image;
    }
    return preview ? decodes.For(image, boxWidth, boxHeight) : decodes.For(image, 0, 0);
}

bool DrawCoverStrips(CDrawContext& s, const CRasterImage& image, const std::string& type, int left, int top,
                     int W, int H, int slimPanel, int slimSpine) {
    const int w = image.GetWidth(), h = image.GetHeight();
    if (type == "PHOTO_ZOOMED") {
        // One eighteenth of the picture is cut away at the top and at the bottom.
        const int first = static_cast<int>(h * 0.05555555555555555);
        const int rows = std::max(1, static_cast<int>(h * 0.8888888888888888));
        DrawStrip(s, image, left, top, W, H, 0, first, w, std::min(rows, h - first));
        return true;
    }
    if (type == "PLAYSTATION") {
        // The picture's two spine strips, 8 % of its width each, narrowed to
        // 4.3 % of the cover's width.
        const int sw = static_cast<int>(w * 0.08);
        const int dw = static_cast<int>(W * 0.043);
        DrawStrip(s, image, left, top, dw, H, 0, 0, sw, h);
        DrawStrip(s, image, left + dw, top, W - 2 * dw, H, sw, 0, w - 2 * sw, h);
        DrawStrip(s, image, left + W - dw, top, dw, H, w - sw, 0, sw, h);
        return true;
    }
    if (type == "SLIMLINE_DVD") {
        // The sleeve's spine band resized to the spine; the two panels
        // share what is left.
        const int a = static_cast<int>(h * 0.4738);
        const int b = static_cast<int>(h * 0.0527);
        DrawStrip(s, image, left, top, W, slimPanel, 0, 0, w, a);
        DrawStrip(s, image, left, top + slimPanel, W, slimSpine, 0, a, w, b);
        // The three source bands together are 100.03 % of the picture: the
        // last one stops at the picture's bottom row.
        DrawStrip(s, image, left, top + slimPanel + slimSpine, W, slimPanel, 0, a + b, w, std::min(a, h - (a + b)));
        return true;
    }
    return false;
}

void DrawCutMarkWalk(CDrawContext& s, const CoverFormat& format, const SurfaceRect& cover, const CutMarkStyle& style) {
    const int left = cover.left, top = cover.top;
    const SurfaceRect& e = style.extent;
    for (const CutLine& line : format.lines) {
        s.SetPen(line.solid == 1 ? style.solid : style.dotted);
        if (line.x1 == EDGE_TOP)
            s.Line(e.left, top, e.right, top);
        else if (line.x1 == EDGE_BOTTOM)
            s.Line(e.left, cover.bottom, e.right, cover.bottom);
        else if (line.x1 == EDGE_LEFT)
            s.Line(left, e.top, left, e.bottom);
        else if (line.x1 == EDGE_RIGHT)
            s.Line(cover.right, e.top, cover.right, e.bottom);
        else
            s.Line(left + style.mmX(line.x1), top + style.mmY(line.y1), left + style.mmX(line.x2),
                   top + style.mmY(line.y2));
    }
    for (const CutRect& rect : format.rects) {
        s.SetPen(rect.solid == 1 ? style.solid : style.dotted);
        const int l = left + style.mmX(rect.x), t = top + style.mmY(rect.y);
        s.Rectangle(l, t, l + style.mmX(rect.width) + 1, t + style.mmY(rect.height) + 1);
    }
}
