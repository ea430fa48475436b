#include "print/PaperDrawing.h"

#include "print/CoverLayout.h"
#include "print/CoverStrips.h"
#include "print/DiscLabel.h"
#include "print/PageMetrics.h"

#include <algorithm>
#include <cmath>

namespace {
const Pen kBlackPen{Rgb{0, 0, 0}, 0, PenStyle::Solid};
const Pen kGreyDottedPen{kPaperDottedColor, 0, PenStyle::Dotted};
const Brush kHollow{Rgb{255, 255, 255}, true};

bool UsableLength(double mm) { return std::isfinite(mm) && mm > 0; }

// A paper of no (or no finite) size is shown as A4 rather than not at all.
void PaperSize(const PaperView& paper, double& width, double& height) {
    const bool usable = UsableLength(paper.paperWidth) && UsableLength(paper.paperHeight);
    width = usable ? paper.paperWidth : 210.0;
    height = usable ? paper.paperHeight : 297.0;
}

int Trunc(double v) { return TruncatePixels(v); }

void DrawLabel(CDrawContext& s, const CRasterImage& image, int ox, int oy, int cw, int ch, int holeW, int holeH) {
    image.Draw(&s, ox, oy, cw, ch);
    // A label many times the paper's size (a broken format) is shown without
    // its mask rather than building a giant bitmap.
    if (static_cast<long long>(cw) * ch > (1LL << 24))
        return;
    ApplyLabelMask(s, SurfaceRect{ox, oy, ox + cw, oy + ch}, holeW, holeH);
}
}  // namespace

SurfaceRect PaperRect(const PaperView& paper, int clientWidth, int clientHeight) {
    SurfaceRect r{0, 0, clientWidth, clientHeight};
    if (paper.trayMode) {
        double pw, ph;
        PaperSize(paper, pw, ph);
        const int d = std::clamp(Trunc(297.0 / ph * pw * clientWidth / 210.0), 0, kMaxLayoutPixels);
        r.left = (clientWidth - d) / 2;
        r.right = r.left + d;
    }
    return r;
}

void DrawPaperCover(CDrawContext& s, const PaperView& paper, const SurfaceRect& rect, const CRasterImage* image,
                    SlotFormat cover) {
    const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
    double pw, ph;
    PaperSize(paper, pw, ph);
    const double sx = (R - L) / pw, sy = (B - T) / ph;
    const bool second = cover.right();
    const int f = cover.format;
    Pen pen = kGreyDottedPen;
    s.SetPen(pen);
    s.SetBrush(kHollow);
    if (!paper.formats || f < 0 || f >= paper.formats->count())
        return;
    const CoverFormatList& formats = *paper.formats;
    const CoverFormat& format = formats.at(f);
    const int which = second ? 1 : 0;
    // As on the printed page: a PlayStation back takes the second format's
    // geometry, but whether it is placed automatically is its own choice.
    const bool automatic = formats.position(f, which, false).x == AUTO_POSITION;
    const FormatPosition pos = formats.position(GeometryFormatIndex(formats, f), which, false);
    const bool hasImage = image && image->IsValid() && image->GetWidth() > 0 && image->GetHeight() > 0;

    const int cw = std::max(0, Trunc(pos.width * sx));
    const int ch = std::max(0, Trunc(pos.height * sy));
    const int holeW = std::max(0, Trunc(pos.holeSize * sx));
    const int holeH = std::max(0, Trunc(pos.holeSize * sy));

    int ox, oy;
    if (automatic) {
        ox = L + (R - L - cw) / 2;  // centred on the paper (also in tray mode)
        if (format.type == "CD_FRONT") {
            oy = (B - T) / 2 - ch;
            if (second && paper.singlePage)
                oy = (B - T) / 2;
        } else {
            oy = (B - T - 2 * ch) / 4;
            if (oy < 0)
                oy = (B - T - ch) / 2;
            else if (second)
                oy += (B - T) / 2;
        }
    } else {
        // A negative coordinate places the cover from the right or bottom edge.
        ox = pos.x < 0 ? Trunc((pos.x + pw - pos.width) / 210.0 * (R - L)) : L + Trunc(pos.x * sx);
        oy = pos.y < 0 ? Trunc((pos.y + 297.0 - pos.height) / 297.0 * (B - T)) : Trunc(pos.y / ph * (B - T));
    }

    // Cut marks go first, so only their parts outside the cover stay visible.
    if (hasImage && paper.drawCutLines) {
        const CutMarkStyle marks{[sx](double mm) { return Trunc(mm * sx); }, [sy](double mm) { return Trunc(mm * sy); },
                                 SurfaceRect{L, T, R, B}, kBlackPen, kGreyDottedPen};
        DrawCutMarkWalk(s, format, SurfaceRect{ox, oy, ox + cw, oy + ch}, marks);
        pen = s.GetPen();
    }

    if (hasImage) {
        const CRasterImage& img = *image;
        bool outline = true;
        if (format.label != 0) {
            if (cw > 0 && ch > 0)
                DrawLabel(s, img, ox, oy, cw, ch, holeW, holeH);
            outline = false;
        } else if (format.type == "SLIMLINE_DVD") {
            // The preview's own rule: the panels in whole millimetres.
            const double spine = format.spine == NO_SPINE ? 13.0 : format.spine;
            // A spine wider than the cover leaves panels of no height.
            const int pMm = std::max(0, Trunc((pos.height - spine) * 0.5));
            const int sMm = std::max(0, Trunc(pos.height - 2.0 * pMm));
            DrawCoverStrips(s, img, format.type, ox, oy, cw, ch, Trunc(pMm * sy), Trunc(sy * sMm));
            pen = kBlackPen;
        } else if (DrawCoverStrips(s, img, format.type, ox, oy, cw, ch, 0, 0)) {
            // A zoomed photo is outlined with whichever pen the cut marks
            // left selected.
            if (format.type != "PHOTO_ZOOMED")
                pen = kBlackPen;
        } else {
            if (cw > 0 && ch > 0)
                img.Draw(&s, ox, oy, cw, ch);
            pen = kBlackPen;
        }
        if (outline) {
            s.SetPen(pen);
            s.SetBrush(kHollow);
            s.Rectangle(ox, oy, ox + cw + 1, oy + ch + 1);
        }
        return;
    }

    if (paper.trayMode) {
        // The empty disc tray at the format's first position, unscaled rules.
        const FormatPosition first = formats.position(GeometryFormatIndex(formats, f), 0, false);
        const int dx = L + Trunc(first.x * sx), dy = Trunc(first.y * sy);
        s.SetPen(pen);
        s.SetBrush(Brush{kPaperEmptyTrayColor, false});
        s.Ellipse(dx, dy, dx + cw, dy + ch);
        s.SetPen(Pen{paper.paperColor, 0, PenStyle::Solid});
        s.SetBrush(Brush{paper.paperColor, false});
        s.Ellipse(dx + cw / 2 - holeW / 2, dy + ch / 2 - holeH / 2, dx + cw / 2 + holeW / 2, dy + ch / 2 + holeH / 2);
    } else if (paper.placeholder && paper.placeholder->IsValid()) {
        paper.placeholder->Draw(&s, (R - paper.placeholder->GetWidth() - L) / 2,
                                (B - T - paper.placeholder->GetHeight()) / 2);
    }
}

void DrawPaper(CDrawContext& s, const PaperView& paper) {
    const int Wc = s.Width(), Hc = s.Height();
    const SurfaceRect rect = PaperRect(paper, Wc, Hc);
    if (paper.trayMode)
        s.FillRect(SurfaceRect{0, 0, Wc, Hc}, paper.backgroundColor);
    s.FillRect(rect, paper.paperColor);
    if (paper.drawBorder) {
        s.SetPen(kBlackPen);
        s.Polyline({{rect.left, 0}, {rect.right - 1, 0}, {rect.right - 1, Hc - 1}, {rect.left, Hc - 1}, {rect.left, 0}});
    }
    if (paper.leftSide || !paper.singlePage)
        DrawPaperCover(s, paper, rect, paper.firstImage, paper.firstFormat);
    if (paper.leftSide && paper.singlePage && paper.secondImage)
        DrawPaperCover(s, paper, rect, paper.secondImage, paper.secondFormat);
    const int R = rect.right;
    s.SetPixel(0, 0, paper.backgroundColor);
    s.SetPixel(R - 1, 0, paper.backgroundColor);
    s.SetPixel(R - 1, Hc - 1, paper.backgroundColor);
    s.SetPixel(0, Hc - 1, paper.backgroundColor);
    if (paper.overlay && paper.overlay->IsValid()) {
        CRasterImage& overlay = *paper.overlay;
        overlay.SetTransparentIndex(overlay.GetPixelIndex(0, overlay.GetHeight() - 1));
        overlay.Draw(&s, paper.overlayX, paper.overlayY);
    }
}

SurfaceRect PlaceholderRect(const PaperView& paper, int clientWidth, int clientHeight) {
    const CRasterImage* picture = paper.placeholder;
    if (!picture || !picture->IsValid() || paper.trayMode)
        return {};
    // As DrawPaperCover decides: a format of the list and no image to show.
    const auto emptyCover = [&](const CRasterImage* image, SlotFormat cover) {
        const int f = cover.format;
        const bool hasImage = image && image->IsValid() && image->GetWidth() > 0 && image->GetHeight() > 0;
        return paper.formats && f >= 0 && f < paper.formats->count() && !hasImage;
    };
    const bool shown = ((paper.leftSide || !paper.singlePage) && emptyCover(paper.firstImage, paper.firstFormat)) ||
                       (paper.leftSide && paper.singlePage && paper.secondImage &&
                        emptyCover(paper.secondImage, paper.secondFormat));
    if (!shown)
        return {};
    const SurfaceRect r = PaperRect(paper, clientWidth, clientHeight);
    const int x = (r.right - picture->GetWidth() - r.left) / 2, y = (r.bottom - r.top - picture->GetHeight()) / 2;
    return SurfaceRect{x, y, x + picture->GetWidth(), y + picture->GetHeight()};
}

CRasterSurface RenderPaper(const PaperView& paper, int clientWidth, int clientHeight) {
    CRasterSurface s(std::max(0, clientWidth), std::max(0, clientHeight), paper.backgroundColor);
    CDrawContext context(s);
    DrawPaper(context, paper);
    return s;
}
