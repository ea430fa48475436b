#pragma once
// The drawing surface of one PDF page, drawn with cairo. Marks (lines,
// rectangles, ellipses, polygons) come from the shared shape rasteriser as
// boxes of device pixels, so they stand exactly where they stand on the
// raster surface. Pictures go in without loss: a picture that is still the
// clean decoding of a JPEG file as that file's own data, every other one as
// lossless pixels at its own size, scaled by the page's transform; only a
// picture finer than the page's resolution is first reduced to it, by area
// averaging. A disc label's outline and hole are clipping curves.
#include "image/DrawSurface.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

class CCairoPdfSurface : public CDrawSurface {
public:
    // Draws through `cr` (not owned), whose user space is already the page's
    // device pixels with the origin at the top-left corner of a width x
    // height area; nothing is drawn outside that area. The pictures drawn
    // are held until the surface goes, after the page is shown.
    CCairoPdfSurface(cairo_t* cr, int width, int height);
    ~CCairoPdfSurface() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    SurfaceRect GetClipBox() const override { return clip_; }
    SurfaceRect IntersectClip(const SurfaceRect& r) override;
    void SetClip(const SurfaceRect& r) override;

    bool ReadPixels(const SurfaceRect&, std::uint8_t*, std::ptrdiff_t) const override { return false; }
    void WritePixels(int x, int y, const PixelBlock& src) override;
    void StretchPixels(const SurfaceRect& dst, const PixelBlock& src) override;
    void StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                             std::ptrdiff_t maskStride) override;
    bool KeepsJpegData() const override { return true; }
    bool StretchJpeg(const SurfaceRect& dst, const std::shared_ptr<const std::vector<std::uint8_t>>& jpeg, int width,
                     int height) override;
    bool BeginDiscClip(const SurfaceRect& outer, const SurfaceRect& hole) override;
    void EndDiscClip() override;

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

private:
    void ApplyClip();
    void Stretch(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask, std::ptrdiff_t maskStride);

    cairo_t* cr_;
    std::vector<cairo_surface_t*> pictures_;
    int width_;
    int height_;
    SurfaceRect clip_;
    bool discClip_ = false;
    SurfaceRect disc_, hole_;
    Pen pen_;
    Brush brush_;
    Rgb background_{255, 255, 255};
};
