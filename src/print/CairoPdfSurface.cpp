#include "print/CairoPdfSurface.h"

#include "image/AreaAverage.h"
#include "print/PdfColourPictures.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void SetColor(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

// The ellipse inscribed in the box, as a closed sub-path.
void EllipsePath(cairo_t* cr, const SurfaceRect& box) {
    const double rx = (box.right - box.left) / 2.0, ry = (box.bottom - box.top) / 2.0;
    if (rx <= 0 || ry <= 0)
        return;
    cairo_save(cr);
    cairo_translate(cr, box.left + rx, box.top + ry);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
}

// The pixels a picture is embedded with: the block at its own size, or
// reduced by area averaging where it has more pixels than `dst` shows.
// Transparent (masked) pixels make an image with alpha.
cairo_surface_t* PixelPicture(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                              std::ptrdiff_t maskStride, PictureTurn turn) {
    // A picture stored on its side spans dst the other way round.
    const bool across = turn.turns % 2 != 0;
    const int w = std::min(src.width, across ? dst.height() : dst.width());
    const int h = std::min(src.height, across ? dst.width() : dst.height());
    cairo_surface_t* picture = cairo_image_surface_create(mask ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, w, h);
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS)
        return picture;
    cairo_surface_flush(picture);
    std::uint8_t* data = cairo_image_surface_get_data(picture);
    const int stride = cairo_image_surface_get_stride(picture);
    if (w < src.width || h < src.height) {
        AreaAverage(src, mask, maskStride, w, h, data, stride);
    } else {
        for (int y = 0; y < h; ++y) {
            const std::uint8_t* in = src.first + y * src.stride;
            const std::uint8_t* m = mask ? mask + y * maskStride : nullptr;
            auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
            for (int x = 0; x < w; ++x, in += 3)
                out[x] = (m && m[x]) ? 0u
                                     : 0xFF000000u | (std::uint32_t{in[2]} << 16) | (std::uint32_t{in[1]} << 8) | in[0];
        }
    }
    cairo_surface_mark_dirty(picture);
    return picture;
}

// Paints `picture` stretched into dst, sampled nearest-neighbour (the PDF
// image says "do not interpolate"). The edges are pulled in by a hair:
// rasterisers such as poppler's paint a picture whose edge falls on a pixel
// boundary (give or take the rounding of the PDF's numbers) into the pixel
// beyond it as well.
// A turned picture is painted through a turned transform: the picture's own
// pixels (or data) go in as they are stored.
void PaintPicture(cairo_t* cr, cairo_surface_t* picture, const SurfaceRect& dst, int width, int height,
                  PictureTurn turn = {}) {
    constexpr double kHair = 1.0 / 64;
    // Where the stored picture's unit square lands in the shown one:
    // p = a*u + b*v + c, q = d*u + e*v + f.
    double a = 1, b = 0, c = 0, d = 0, e = 1, f = 0;
    if (turn.mirrored) {  // p -> 1 - p
        a = -a, b = -b, c = 1 - c;
    }
    for (int i = 0; i < (turn.turns % 4 + 4) % 4; ++i) {  // clockwise: (p, q) -> (1 - q, p)
        const double na = -d, nb = -e, nc = 1 - f;
        d = a, e = b, f = c;
        a = na, b = nb, c = nc;
    }
    const double w = dst.width() - 2 * kHair, h = dst.height() - 2 * kHair;
    cairo_save(cr);
    cairo_matrix_t m;
    cairo_matrix_init(&m, a * w / width, d * h / width, b * w / height, e * h / height, dst.left + kHair + c * w,
                      dst.top + kHair + f * h);
    cairo_transform(cr, &m);
    cairo_set_source_surface(cr, picture, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
}

void ReleaseJpeg(void* data) { delete static_cast<std::shared_ptr<const std::vector<std::uint8_t>>*>(data); }

}  // namespace

CCairoPdfSurface::CCairoPdfSurface(cairo_t* cr, int width, int height, CPdfColourPictures* colours)
    : cr_(cr), colours_(colours), width_(std::max(0, width)), height_(std::max(0, height)) {
    cairo_save(cr_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
    clip_ = SurfaceRect{0, 0, width_, height_};
    ApplyClip();
}

CCairoPdfSurface::~CCairoPdfSurface() {
    cairo_restore(cr_);
    for (cairo_surface_t* picture : pictures_)
        cairo_surface_destroy(picture);
}

void CCairoPdfSurface::ApplyClip() {
    // Box clips are set with antialiasing on: without it cairo snaps them
    // to whole units of the PDF's own space, points, which would move a
    // fill's crop by up to half a point (4 pixels at 600 dpi).
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_DEFAULT);
    cairo_reset_clip(cr_);
    cairo_rectangle(cr_, clip_.left, clip_.top, clip_.width(), clip_.height());
    cairo_clip(cr_);
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
}

void CCairoPdfSurface::ClipChanged(const SurfaceRect& clip) {
    const SurfaceRect c = clip.empty() ? SurfaceRect{0, 0, 0, 0} : clip;
    if (c == clip_)
        return;
    clip_ = c;
    ApplyClip();
}

// --- pictures ----------------------------------------------------------------

void CCairoPdfSurface::WriteRows(int x, int y, const PixelBlock& src, const SurfaceRect& clip) {
    StretchAny(SurfaceRect{x, y, x + src.width, y + src.height}, src, nullptr, 0, clip);
}

void CCairoPdfSurface::Stretch(const SurfaceRect& dst, const PixelBlock& src, const SurfaceRect& clip) {
    StretchAny(dst, src, nullptr, 0, clip);
}

void CCairoPdfSurface::StretchMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                     std::ptrdiff_t maskStride, const SurfaceRect& clip) {
    StretchAny(dst, src, mask, maskStride, clip);
}

void CCairoPdfSurface::StretchAny(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                  std::ptrdiff_t maskStride, const SurfaceRect& clip, PictureTurn turn) {
    if (!src.first || src.width <= 0 || src.height <= 0 || dst.empty() || dst.intersected(clip).empty())
        return;
    cairo_surface_t* picture = PixelPicture(dst, src, mask, maskStride, turn);
    if (cairo_surface_status(picture) == CAIRO_STATUS_SUCCESS)
        PaintPicture(cr_, picture, dst, cairo_image_surface_get_width(picture),
                     cairo_image_surface_get_height(picture), turn);
    pictures_.push_back(picture);
}

bool CCairoPdfSurface::StretchTurned(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                     std::ptrdiff_t maskStride, PictureTurn turn, const SurfaceRect& clip) {
    // The stored pixels go in as they are; the page's transform turns them.
    StretchAny(dst, src, mask, maskStride, clip, turn);
    return true;
}

bool CCairoPdfSurface::StretchJpeg(const SurfaceRect& dst, const std::shared_ptr<const std::vector<std::uint8_t>>& jpeg,
                                   PictureTurn turn, const std::shared_ptr<const PictureColour>& colour,
                                   const SurfaceRect& clip) {
    if (!jpeg || jpeg->empty())
        return false;
    if (dst.empty() || dst.intersected(clip).empty())
        return true;
    if (colour && colours_)
        colours_->AddJpeg(jpeg, colour);
    // The PDF takes the JPEG data attached to the picture and draws it into
    // the picture's unit square, whatever the picture's own pixels: one pixel
    // stands in for them, so no picture-sized memory is ever made.
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
    auto* keep = new std::shared_ptr<const std::vector<std::uint8_t>>(jpeg);
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_mime_data(picture, CAIRO_MIME_TYPE_JPEG, jpeg->data(), jpeg->size(), ReleaseJpeg, keep) !=
            CAIRO_STATUS_SUCCESS) {
        delete keep;
        cairo_surface_destroy(picture);
        return false;
    }
    PaintPicture(cr_, picture, dst, 1, 1, turn);
    pictures_.push_back(picture);
    return true;
}

bool CCairoPdfSurface::StretchColourSamples(const SurfaceRect& dst, const std::shared_ptr<const PictureColour>& colour,
                                            PictureTurn turn, const SurfaceRect& clip) {
    if (!colours_ || !colour || colour->samples.empty())
        return false;
    if (dst.empty() || dst.intersected(clip).empty())
        return true;
    // A marked stand-in, whose image object gets the samples once cairo is done.
    constexpr int kWidth = CPdfColourPictures::kStandInWidth;
    cairo_surface_t* picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, 1);
    if (cairo_surface_status(picture) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(picture);
        return false;
    }
    cairo_surface_flush(picture);
    const auto pixels = CPdfColourPictures::StandInPixels(colours_->AddSamples(colour));
    std::memcpy(cairo_image_surface_get_data(picture), pixels.data(), sizeof pixels);
    cairo_surface_mark_dirty(picture);
    PaintPicture(cr_, picture, dst, kWidth, 1, turn);
    pictures_.push_back(picture);
    return true;
}

// --- the disc --------------------------------------------------------------------

bool CCairoPdfSurface::BeginDiscClip(const SurfaceRect& outer, const SurfaceRect& hole) {
    if (discClip_)
        return false;
    discClip_ = true;
    disc_ = outer;
    hole_ = hole;
    return true;
}

void CCairoPdfSurface::EndDiscClip() {
    if (!discClip_)
        return;
    discClip_ = false;
    // White around the disc and in the hole, painted over what was drawn:
    // the box, the disc and the hole filled together by the even-odd rule.
    // (A clipping path would do the same, but cairo bounds it by a box
    // rounded to whole points, which cut into the disc's edge.)
    cairo_new_path(cr_);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
    cairo_rectangle(cr_, disc_.left, disc_.top, disc_.width(), disc_.height());
    EllipsePath(cr_, disc_);
    EllipsePath(cr_, hole_);
    SetColor(cr_, Rgb{255, 255, 255});
    cairo_fill(cr_);
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
}

// --- boxes -----------------------------------------------------------------------
// The shapes reach the page from the drawing context as clipped boxes, each a
// filled rectangle of whole device pixels.

void CCairoPdfSurface::FillRect(const SurfaceRect& box, Rgb color) {
    SetColor(cr_, color);
    cairo_rectangle(cr_, box.left, box.top, box.width(), box.height());
    cairo_fill(cr_);
}
