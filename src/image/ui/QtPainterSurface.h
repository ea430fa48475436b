#pragma once
// The drawing surface over a QPainter: the screen (through an off-screen
// QImage), the printer and PDF. Lines, rectangles, ellipses and polygons are
// rasterised by the same code as on CRasterSurface (ShapeRasterizer.h) and
// handed to the painter as runs of filled pixels, so a preview painted here
// matches the raster surface exactly and printed marks are device pixels,
// never smoothed. On a QImage the scaled blits are sampled here too and
// pixels can be read back; on other devices (printer, PDF) the painter
// scales the pictures itself, without smoothing.
#include "image/DrawSurface.h"

#include <cstdint>
#include <vector>

class QPainter;
class QImage;

class CQtPainterSurface : public CDrawSurface {
public:
    // Draws through `painter` (active, not owned) onto a device area of
    // width x height pixels with its top-left corner at the painter's origin.
    CQtPainterSurface(QPainter& painter, int width, int height);
    ~CQtPainterSurface() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }

    SurfaceRect GetClipBox() const override { return clip_; }
    SurfaceRect IntersectClip(const SurfaceRect& r) override;
    void SetClip(const SurfaceRect& r) override;

    bool ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const override;
    void WritePixels(int x, int y, const PixelBlock& src) override;
    void StretchPixels(const SurfaceRect& dst, const PixelBlock& src) override;
    void StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src,
                             const std::uint8_t* mask, std::ptrdiff_t maskStride) override;

    void SetPen(const Pen& pen) override { pen_ = pen; }
    void SetBrush(const Brush& brush) override { brush_ = brush; }
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Polygon(const std::vector<SurfacePoint>& points) override;
    void PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void Polyline(const std::vector<SurfacePoint>& points) override;
    void FillRect(const SurfaceRect& r, Rgb color) override;
    void SetPixel(int x, int y, Rgb color) override;

    Rgb BackgroundColor() const override { return background_; }
    void SetBackgroundColor(Rgb c) override { background_ = c; }

    // True when the painter draws onto a QImage (exact blits, read-back).
    bool IsRaster() const { return image_ != nullptr; }

private:
    void Stretch(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask, std::ptrdiff_t maskStride);
    bool WritesStraightIntoImage() const;
    void StretchIntoImage(const SurfaceRect& dst, const SurfaceRect& box, const PixelBlock& src,
                          const std::uint8_t* mask, std::ptrdiff_t maskStride);

    QPainter& painter_;
    QImage* image_ = nullptr;
    int width_;
    int height_;
    SurfaceRect clip_;
    Pen pen_;
    Brush brush_;
    Rgb background_{255, 255, 255};
};
