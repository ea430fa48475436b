#pragma once
// In-memory 24-bit drawing surface: the exact reference implementation of
// CDrawSurface (conventions in DrawSurface.h), used for tests, previews, page
// rendering and metafile playback.
#include "image/DrawSurface.h"

#include <cstdint>
#include <vector>

class CRasterSurface : public CDrawSurface {
public:
    CRasterSurface(int width, int height, Rgb fill = Rgb{255, 255, 255});

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
    const Pen& GetPen() const { return pen_; }
    const Brush& GetBrush() const { return brush_; }
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

    // Direct access for tests and for turning a page into an image.
    Rgb GetPixel(int x, int y) const;
    const std::uint8_t* Bits() const { return bits_.data(); }  // BGR, top-down
    std::ptrdiff_t Stride() const { return stride_; }
    PixelBlock Block() const { return PixelBlock{bits_.data(), stride_, width_, height_}; }

private:
    void Plot(int x, int y, Rgb c);

    int width_;
    int height_;
    std::ptrdiff_t stride_;
    std::vector<std::uint8_t> bits_;
    SurfaceRect clip_;
    Pen pen_;
    Brush brush_;
    Rgb background_{255, 255, 255};
};
