#pragma once
// The print preview's page. The preview shows the printer's page shrunk to
// the screen, where lines one printer pixel wide would all but vanish; here
// lines and outlines are drawn with cosmetic pens (at least one screen pixel,
// as a print preview shows them), everything else as on the printer.
#include "image/DrawSurface.h"

class QPainter;

class CPreviewSurface : public CDrawSurface {
public:
    // `page` draws the pictures and fills onto `painter`'s page; both outlive this.
    CPreviewSurface(QPainter& painter, CDrawSurface& page);

    int Width() const override { return page_.Width(); }
    int Height() const override { return page_.Height(); }
    SurfaceRect GetClipBox() const override { return page_.GetClipBox(); }
    SurfaceRect IntersectClip(const SurfaceRect& r) override { return page_.IntersectClip(r); }
    void SetClip(const SurfaceRect& r) override { page_.SetClip(r); }
    bool ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const override {
        return page_.ReadPixels(r, bgr, stride);
    }
    void WritePixels(int x, int y, const PixelBlock& src) override { page_.WritePixels(x, y, src); }
    void StretchPixels(const SurfaceRect& dst, const PixelBlock& src) override { page_.StretchPixels(dst, src); }
    void StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                             std::ptrdiff_t maskStride) override {
        page_.StretchPixelsMasked(dst, src, mask, maskStride);
    }
    void SetPen(const Pen& pen) override;
    void SetBrush(const Brush& brush) override;
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Polygon(const std::vector<SurfacePoint>& points) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void Polyline(const std::vector<SurfacePoint>& points) override;
    void FillRect(const SurfaceRect& r, Rgb color) override { page_.FillRect(r, color); }
    void SetPixel(int x, int y, Rgb color) override { page_.SetPixel(x, y, color); }
    Rgb BackgroundColor() const override { return page_.BackgroundColor(); }
    void SetBackgroundColor(Rgb c) override { page_.SetBackgroundColor(c); }

private:
    void UsePen(bool fill);

    QPainter& painter_;
    CDrawSurface& page_;
    Pen pen_;
    Brush brush_;
};
