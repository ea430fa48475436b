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

// A skin picture's size on a paper drawn at `scale` device pixels per pixel.
int ScaledPictureSize(int size, double scale) {
    if (!(scale > 1.0) || !std::isfinite(scale))
        return size;
    return std::max(1, static_cast<int>(std::lround(size * std::min(scale, 8.0))));
}

void DrawLabel(CDrawContext& s, const CRasterImage& image, const PictureBox& box, int holeW, int holeH) {
    const SurfaceRect& disc = box.clip;
    if (!(box.picture == disc))
        s.FillRect(disc, Rgb{255, 255, 255});
    DrawPlacedPicture(s, image, box, false);
    // A label many times the paper's size (a broken format) is shown without
    // its mask rather than building a giant bitmap.
    if (static_cast<long long>(disc.width()) * disc.height() > (1LL << 24))
        return;
    ApplyLabelMask(s, disc, holeW, holeH);
}

// Where the cover of format value f goes on the paper rectangle, and
// whether it is the format's second position.
struct PaperCover {
    int f = -1;
    bool second = false;
    FormatPosition pos;
    int ox = 0, oy = 0, cw = 0, ch = 0, holeW = 0, holeH = 0;
    double sx = 0, sy = 0;
};
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

namespace {
PaperCover LocateCover(const PaperView& paper, const SurfaceRect& rect, SlotFormat cover) {
    PaperCover c;
    const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
    double pw, ph;
    PaperSize(paper, pw, ph);
    c.sx = (R - L) / pw;
    c.sy = (B - T) / ph;
    const double sx = c.sx, sy = c.sy;
    c.second = cover.right();
    const int f = cover.format;
    if (!paper.formats || f < 0 || f >= paper.formats->count())
        return c;
    c.f = f;
    const CoverFormatList& formats = *paper.formats;
    const CoverFormat& format = formats.at(f);
    const int which = c.second ? 1 : 0;
    // As on the printed page: a PlayStation back takes the second format's
    // geometry, but whether it is placed automatically is its own choice.
    const bool automatic = formats.position(f, which, false).x == AUTO_POSITION;
    const FormatPosition pos = formats.position(GeometryFormatIndex(formats, f), which, false);
    c.pos = pos;

    const int cw = c.cw = std::max(0, Trunc(pos.width * sx));
    const int ch = c.ch = std::max(0, Trunc(pos.height * sy));
    c.holeW = std::max(0, Trunc(pos.holeSize * sx));
    c.holeH = std::max(0, Trunc(pos.holeSize * sy));

    int ox, oy;
    if (automatic) {
        ox = L + (R - L - cw) / 2;  // centred on the paper (also in tray mode)
        if (format.type == "CD_FRONT") {
            oy = (B - T) / 2 - ch;
            if (c.second && paper.singlePage)
                oy = (B - T) / 2;
        } else {
            oy = (B - T - 2 * ch) / 4;
            if (oy < 0)
                oy = (B - T - ch) / 2;
            else if (c.second)
                oy += (B - T) / 2;
        }
    } else {
        // A negative coordinate places the cover from the right or bottom edge.
        ox = pos.x < 0 ? Trunc((pos.x + pw - pos.width) / 210.0 * (R - L)) : L + Trunc(pos.x * sx);
        oy = pos.y < 0 ? Trunc((pos.y + 297.0 - pos.height) / 297.0 * (B - T)) : Trunc(pos.y / ph * (B - T));
    }
    c.ox = ox;
    c.oy = oy;
    return c;
}

// The picture's box on the paper: the slot's fit and the bleed at the
// paper's scale, for the covers that take them.
PictureBox PaperPictureBox(const PaperView& paper, const PaperCover& c, const CRasterImage& image,
                           const PictureFill& fill) {
    const bool placed = TypeTakesPictureFill(paper.formats->at(c.f).type.c_str());
    const int bx = placed ? BleedPixels(paper.bleedMm, c.sx) : 0;
    const int by = placed ? BleedPixels(paper.bleedMm, c.sy) : 0;
    return PlacePicture(SurfaceRect{c.ox, c.oy, c.ox + c.cw, c.oy + c.ch}, bx, by, image.GetFileWidth(),
                        image.GetFileHeight(), placed ? fill : PictureFill{});
}
}  // namespace

void DrawPaperCover(CDrawContext& s, const PaperView& paper, const SurfaceRect& rect, const CRasterImage* image,
                    SlotFormat value, const PictureFill& fill) {
    const int L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
    const PaperCover c = LocateCover(paper, rect, value);
    const double sx = c.sx, sy = c.sy;
    Pen pen = kGreyDottedPen;
    s.SetPen(pen);
    s.SetBrush(kHollow);
    if (c.f < 0)
        return;
    const int f = c.f;
    const CoverFormatList& formats = *paper.formats;
    const CoverFormat& format = formats.at(f);
    const FormatPosition& pos = c.pos;
    const bool hasImage = image && image->IsValid() && image->GetWidth() > 0 && image->GetHeight() > 0;
    const int cw = c.cw, ch = c.ch, holeW = c.holeW, holeH = c.holeH, ox = c.ox, oy = c.oy;

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
            if (cw > 0 && ch > 0) {
                const PictureBox box = PaperPictureBox(paper, c, img, fill);
                const int bleed = (box.clip.width() - cw) / 2;
                DrawLabel(s, img, box, std::max(0, holeW - 2 * bleed), std::max(0, holeH - 2 * bleed));
            }
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
                DrawPlacedPicture(s, img, PaperPictureBox(paper, c, img, fill), false);
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
        const int w = ScaledPictureSize(paper.placeholder->GetWidth(), paper.pictureScale);
        const int h = ScaledPictureSize(paper.placeholder->GetHeight(), paper.pictureScale);
        paper.placeholder->Draw(&s, (R - w - L) / 2, (B - T - h) / 2, w, h);
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
        DrawPaperCover(s, paper, rect, paper.firstImage, paper.firstFormat, paper.firstFill);
    if (paper.leftSide && paper.singlePage && paper.secondImage)
        DrawPaperCover(s, paper, rect, paper.secondImage, paper.secondFormat, paper.secondFill);
    const int R = rect.right;
    s.SetPixel(0, 0, paper.backgroundColor);
    s.SetPixel(R - 1, 0, paper.backgroundColor);
    s.SetPixel(R - 1, Hc - 1, paper.backgroundColor);
    s.SetPixel(0, Hc - 1, paper.backgroundColor);
    if (paper.overlay && paper.overlay->IsValid()) {
        CRasterImage& overlay = *paper.overlay;
        overlay.SetTransparentIndex(overlay.GetPixelIndex(0, overlay.GetHeight() - 1));
        overlay.Draw(&s, paper.overlayX, paper.overlayY, ScaledPictureSize(overlay.GetWidth(), paper.pictureScale),
                     ScaledPictureSize(overlay.GetHeight(), paper.pictureScale));
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

PaperCoverBoxes FirstCoverBoxes(const PaperView& paper, int clientWidth, int clientHeight) {
    PaperCoverBoxes boxes;
    const CRasterImage* image = paper.firstImage;
    if (!image || !image->IsValid() || image->GetWidth() <= 0 || image->GetHeight() <= 0)
        return boxes;
    const PaperCover c = LocateCover(paper, PaperRect(paper, clientWidth, clientHeight), paper.firstFormat);
    if (c.f < 0)
        return boxes;
    boxes.cover = SurfaceRect{c.ox, c.oy, c.ox + c.cw, c.oy + c.ch};
    boxes.picture = PaperPictureBox(paper, c, *image, paper.firstFill);
    return boxes;
}

PaperView WithPicturesForSize(const PaperView& paper, int clientWidth, int clientHeight,
                              CScaledPicture (&decodes)[2]) {
    PaperView shown = paper;
    if (paper.firstImage) {
        const SurfaceRect box = FirstCoverBoxes(paper, clientWidth, clientHeight).picture.picture;
        if (!box.empty())
            shown.firstImage = &decodes[0].For(*paper.firstImage, box.width(), box.height());
    }
    if (paper.secondImage) {
        // The second cover's box, found as a first one.
        PaperView second = paper;
        second.firstImage = paper.secondImage;
        second.firstFormat = paper.secondFormat;
        second.firstFill = paper.secondFill;
        const SurfaceRect box = FirstCoverBoxes(second, clientWidth, clientHeight).picture.picture;
        if (!box.empty())
            shown.secondImage = &decodes[1].For(*paper.secondImage, box.width(), box.height());
    }
    return shown;
}
