#include "image/ui/QtPainterSurface.h"

#include "image/ShapeRasterizer.h"
#include "image/StretchSampler.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {

QColor ToQColor(Rgb c)
{
    return QColor(c.r, c.g, c.b);
}

// The rows of a pixel block as a QImage (copied when the rows run upwards).
QImage BlockImage(const PixelBlock& src)
{
    if (src.stride > 0)
        return QImage(src.first, src.width, src.height, src.stride, QImage::Format_BGR888);
    QImage copy(src.width, src.height, QImage::Format_BGR888);
    for (int y = 0; y < src.height; ++y)
        std::memcpy(copy.scanLine(y), src.first + y * src.stride, static_cast<std::size_t>(src.width) * 3);
    return copy;
}

}  // namespace

CQtPainterSurface::CQtPainterSurface(QPainter& painter, int width, int height)
    : painter_(painter), width_(std::max(0, width)), height_(std::max(0, height))
{
    if (painter_.device() && painter_.device()->devType() == QInternal::Image)
        image_ = static_cast<QImage*>(painter_.device());
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    clip_ = SurfaceRect{0, 0, width_, height_};
    painter_.setClipRect(QRect(0, 0, width_, height_));
    // As a fresh device context: black one-pixel pen, solid white brush.
    pen_ = Pen{};
    brush_ = Brush{Rgb{255, 255, 255}, false};
}

CQtPainterSurface::~CQtPainterSurface()
{
    painter_.restore();
}

SurfaceRect CQtPainterSurface::IntersectClip(const SurfaceRect& r)
{
    const SurfaceRect previous = clip_;
    SetClip(clip_.intersected(r));
    return previous;
}

void CQtPainterSurface::SetClip(const SurfaceRect& r)
{
    clip_ = r.intersected(SurfaceRect{0, 0, width_, height_});
    if (clip_.empty())
        clip_ = SurfaceRect{0, 0, 0, 0};
    painter_.setClipRect(QRect(clip_.left, clip_.top, clip_.width(), clip_.height()));
}

// --- pixels --------------------------------------------------------------------

void CQtPainterSurface::FillRect(const SurfaceRect& r, Rgb color)
{
    const SurfaceRect box = r.intersected(clip_);
    if (box.empty())
        return;
    painter_.fillRect(QRect(box.left, box.top, box.width(), box.height()), ToQColor(color));
}

void CQtPainterSurface::SetPixel(int x, int y, Rgb color)
{
    if (x < clip_.left || y < clip_.top || x >= clip_.right || y >= clip_.bottom)
        return;
    painter_.fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

bool CQtPainterSurface::ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const
{
    if (!image_)
        return false;
    const QImage& img = *image_;
    for (int y = r.top; y < r.bottom; ++y) {
        std::uint8_t* out = bgr + (y - r.top) * stride;
        for (int x = r.left; x < r.right; ++x, out += 3) {
            if (x < 0 || y < 0 || x >= width_ || y >= height_ || x >= img.width() || y >= img.height()) {
                out[0] = out[1] = out[2] = 255;
                continue;
            }
            const QRgb c = img.pixel(x, y);
            out[0] = static_cast<std::uint8_t>(qBlue(c));
            out[1] = static_cast<std::uint8_t>(qGreen(c));
            out[2] = static_cast<std::uint8_t>(qRed(c));
        }
    }
    return true;
}

void CQtPainterSurface::WritePixels(int x, int y, const PixelBlock& src)
{
    if (!src.first || src.width <= 0 || src.height <= 0)
        return;
    const SurfaceRect r = SurfaceRect{x, y, x + src.width, y + src.height}.intersected(clip_);
    if (r.empty())
        return;
    // Only the visible part is handed over.
    const PixelBlock part{src.first + (r.top - y) * src.stride + (r.left - x) * 3, src.stride, r.width(), r.height()};
    painter_.drawImage(r.left, r.top, BlockImage(part));
}

void CQtPainterSurface::StretchPixels(const SurfaceRect& dst, const PixelBlock& src)
{
    Stretch(dst, src, nullptr, 0);
}

void CQtPainterSurface::StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                            std::ptrdiff_t maskStride)
{
    Stretch(dst, src, mask, maskStride);
}

void CQtPainterSurface::Stretch(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                std::ptrdiff_t maskStride)
{
    if (!src.first || src.width <= 0 || src.height <= 0 || dst.empty())
        return;
    const SurfaceRect vis = dst.intersected(clip_);
    if (vis.empty())
        return;

    if (!image_) {
        // Printer and PDF: the device scales the picture; no smoothing.
        QImage picture;
        if (mask) {
            picture = QImage(src.width, src.height, QImage::Format_ARGB32);
            for (int y = 0; y < src.height; ++y) {
                const std::uint8_t* in = src.first + y * src.stride;
                const std::uint8_t* m = mask + y * maskStride;
                QRgb* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
                for (int x = 0; x < src.width; ++x, in += 3)
                    out[x] = m[x] ? qRgba(0, 0, 0, 0) : qRgb(in[2], in[1], in[0]);
            }
        } else {
            picture = BlockImage(src);
        }
        painter_.drawImage(QRect(dst.left, dst.top, dst.width(), dst.height()), picture);
        return;
    }

    // On a QImage the visible part is sampled here, nearest neighbour, as the
    // raster surface samples it.
    if (WritesStraightIntoImage()) {
        const SurfaceRect box = vis.intersected(SurfaceRect{0, 0, image_->width(), image_->height()});
        if (!box.empty())
            StretchIntoImage(dst, box, src, mask, maskStride);
        return;
    }
    // Other images and painter states: the box is built apart and drawn
    // unscaled, so that the painter applies its own state to it.
    const CStretchSampler sampler(dst, vis, src.width, src.height, CStretchSampler::Target::Argb32);
    const int w = vis.width();
    const int h = vis.height();
    QImage out(w, h, mask ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int j = 0; j < h; ++j) {
        const int sy = sampler.SourceRow(vis.top + j);
        const std::uint8_t* in = src.first + sy * src.stride;
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(j));
        sampler.Gather32(in, line);
        if (mask) {
            const std::uint8_t* m = mask + sy * maskStride;
            for (int i = 0; i < w; ++i)
                if (m[sampler.SourceColumn(i)])
                    line[i] = qRgba(0, 0, 0, 0);
        }
    }
    painter_.drawImage(vis.left, vis.top, out);
}

bool CQtPainterSurface::WritesStraightIntoImage() const
{
    if (!image_)
        return false;
    const QImage::Format f = image_->format();
    if (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied)
        return false;
    // Surface pixels must be image pixels (no scaling, no device pixel ratio,
    // no offset), and an opaque pixel must land unchanged.
    return painter_.deviceTransform().type() == QTransform::TxNone && painter_.opacity() == 1.0 &&
           painter_.compositionMode() == QPainter::CompositionMode_SourceOver;
}

// The sampled pixels go straight into the image's rows inside the box (the
// visible part of dst on the image); masked pixels leave the image as it is,
// as an alpha of 0 would.
void CQtPainterSurface::StretchIntoImage(const SurfaceRect& dst, const SurfaceRect& box, const PixelBlock& src,
                                         const std::uint8_t* mask, std::ptrdiff_t maskStride)
{
    const CStretchSampler sampler(dst, box, src.width, src.height, CStretchSampler::Target::Argb32);
    const int w = box.width();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    std::vector<QRgb> line(mask ? static_cast<std::size_t>(w) : 0);
    uchar* const bits = image_->bits();
    const qsizetype bytesPerLine = image_->bytesPerLine();
    const QRgb* previousOut = nullptr;
    int previousRow = -1;
    for (int y = box.top; y < box.bottom; ++y) {
        const int sy = sampler.SourceRow(y);
        const std::uint8_t* in = src.first + sy * src.stride;
        QRgb* out = reinterpret_cast<QRgb*>(bits + y * bytesPerLine) + box.left;
        if (!mask) {
            if (sy == previousRow) {
                std::memcpy(out, previousOut, rowBytes);
            } else {
                StretchRowsAhead ahead;
                if (y + 1 < box.bottom)
                    ahead = {src.first + sampler.SourceRow(y + 1) * src.stride, out + bytesPerLine / 4};
                sampler.Gather32(in, out, ahead);
            }
            previousRow = sy;
            previousOut = out;
            continue;
        }
        const std::uint8_t* m = mask + sy * maskStride;
        sampler.Gather32(in, line.data());
        for (int i = 0; i < w; ++i)
            if (!m[sampler.SourceColumn(i)])
                out[i] = line[i];
    }
}

// --- pen and shapes ------------------------------------------------------------
// The geometry is the raster surface's (ShapeRasterizer.h); it comes back as
// clipped boxes for FillRect, so a long line is one filled rectangle on the
// device.

void CQtPainterSurface::Line(int x1, int y1, int x2, int y2)
{
    CShapeRasterizer(*this, pen_, brush_).Path({{x1, y1}, {x2, y2}}, false);
}

void CQtPainterSurface::Polyline(const std::vector<SurfacePoint>& points)
{
    CShapeRasterizer(*this, pen_, brush_).Path(points, false);
}

void CQtPainterSurface::Rectangle(int left, int top, int right, int bottom)
{
    CShapeRasterizer(*this, pen_, brush_).Rectangle(left, top, right, bottom);
}

void CQtPainterSurface::Ellipse(int left, int top, int right, int bottom)
{
    CShapeRasterizer(*this, pen_, brush_).Ellipse(left, top, right, bottom);
}

void CQtPainterSurface::Polygon(const std::vector<SurfacePoint>& points)
{
    if (points.empty())
        return;
    CShapeRasterizer(*this, pen_, brush_).PolyPolygon({points});
}

void CQtPainterSurface::PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings)
{
    CShapeRasterizer(*this, pen_, brush_).PolyPolygon(rings);
}
