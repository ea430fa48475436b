#include "image/ui/QtPainterSurface.h"

#include "image/StretchSampler.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPolygon>

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
    painter_.setClipRect(QRect(0, 0, width_, height_));
}

CQtPainterSurface::~CQtPainterSurface()
{
    painter_.restore();
}

void CQtPainterSurface::ClipChanged(const SurfaceRect& clip)
{
    const SurfaceRect c = clip.empty() ? SurfaceRect{0, 0, 0, 0} : clip;
    painter_.setClipRect(QRect(c.left, c.top, c.width(), c.height()));
}

// --- pixels --------------------------------------------------------------------

void CQtPainterSurface::FillRect(const SurfaceRect& box, Rgb color)
{
    painter_.fillRect(QRect(box.left, box.top, box.width(), box.height()), ToQColor(color));
}

bool CQtPainterSurface::ReadRows(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const
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

void CQtPainterSurface::WriteRows(int x, int y, const PixelBlock& src, const SurfaceRect& clip)
{
    if (!src.first || src.width <= 0 || src.height <= 0)
        return;
    const SurfaceRect r = SurfaceRect{x, y, x + src.width, y + src.height}.intersected(clip);
    if (r.empty())
        return;
    // Only the visible part is handed over.
    const PixelBlock part{src.first + (r.top - y) * src.stride + (r.left - x) * 3, src.stride, r.width(), r.height()};
    painter_.drawImage(r.left, r.top, BlockImage(part));
}

void CQtPainterSurface::Stretch(const SurfaceRect& dst, const PixelBlock& src, const SurfaceRect& clip)
{
    StretchAny(dst, src, nullptr, 0, clip);
}

void CQtPainterSurface::StretchMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                      std::ptrdiff_t maskStride, const SurfaceRect& clip)
{
    StretchAny(dst, src, mask, maskStride, clip);
}

void CQtPainterSurface::StretchAny(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                   std::ptrdiff_t maskStride, const SurfaceRect& clip)
{
    if (!src.first || src.width <= 0 || src.height <= 0 || dst.empty())
        return;
    const SurfaceRect vis = dst.intersected(clip);
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

// --- the preview's outlines ------------------------------------------------------

// A cosmetic pen of the pen's colour and at least one screen pixel; the
// brush, or none.
void CQtPainterSurface::UseCosmeticPen(const Pen& pen, const Brush* brush)
{
    if (pen.style == PenStyle::Null) {
        painter_.setPen(Qt::NoPen);
    } else {
        QPen cosmetic(QColor(pen.color.r, pen.color.g, pen.color.b), std::max(1, pen.width));
        cosmetic.setCosmetic(true);
        cosmetic.setStyle(pen.style == PenStyle::Dotted ? Qt::DotLine : Qt::SolidLine);
        painter_.setPen(cosmetic);
    }
    if (brush && !brush->hollow)
        painter_.setBrush(QColor(brush->color.r, brush->color.g, brush->color.b));
    else
        painter_.setBrush(Qt::NoBrush);
}

void CQtPainterSurface::DrawOutline(OutlineShape shape, const std::vector<SurfacePoint>& points, const Pen& pen,
                                    const Brush& brush)
{
    switch (shape) {
    case OutlineShape::Rectangle:
    case OutlineShape::Ellipse: {
        const SurfacePoint a = points[0], b = points[1];
        const QRectF box(a.x + 0.5, a.y + 0.5, b.x - a.x - 1, b.y - a.y - 1);
        UseCosmeticPen(pen, &brush);
        if (shape == OutlineShape::Rectangle)
            painter_.drawRect(box);
        else
            painter_.drawEllipse(box);
        return;
    }
    case OutlineShape::Polygon: {
        QPolygon polygon;
        for (const SurfacePoint& p : points)
            polygon << QPoint(p.x, p.y);
        UseCosmeticPen(pen, &brush);
        painter_.drawPolygon(polygon);
        return;
    }
    case OutlineShape::Line:
        UseCosmeticPen(pen, nullptr);
        painter_.drawLine(QPointF(points[0].x + 0.5, points[0].y + 0.5), QPointF(points[1].x + 0.5, points[1].y + 0.5));
        return;
    case OutlineShape::Polyline: {
        QPolygonF line;
        for (const SurfacePoint& p : points)
            line << QPointF(p.x + 0.5, p.y + 0.5);
        UseCosmeticPen(pen, nullptr);
        painter_.drawPolyline(line);
        return;
    }
    }
}
