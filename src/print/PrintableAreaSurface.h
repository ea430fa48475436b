#pragma once
// A window onto a whole-sheet surface that behaves like a printer's page:
// its origin is the printable area's top-left corner and nothing is drawn
// outside the printable area. Used to draw pages on raster sheets.
#include "image/DrawSurface.h"

class CPrintableAreaSurface : public CDrawSurface {
public:
    // The area (offsetX, offsetY, width, height) of `sheet`, in sheet pixels.
    CPrintableAreaSurface(CDrawSurface& sheet, int offsetX, int offsetY, int width, int height);
    ~CPrintableAreaSurface() override;

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    SurfaceRect GetClipBox() const override;
    SurfaceRect IntersectClip(const SurfaceRect& r) override;
    void SetClip(const SurfaceRect& r) override;
    bool ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const override;
    void WritePixels(int x, int y, const PixelBlock& src) override;
    void StretchPixels(const SurfaceRect& dst, const PixelBlock& src) override;
    void StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src,
                             const std::uint8_t* mask, std::ptrdiff_t maskStride) override;
    bool KeepsJpegData() const override { return sheet_.KeepsJpegData(); }
    bool StretchJpeg(const SurfaceRect& dst, const std::shared_ptr<const std::vector<std::uint8_t>>& jpeg, int width,
                     int height) override {
        return sheet_.StretchJpeg(ToSheet(dst), jpeg, width, height);
    }
    bool BeginDiscClip(const SurfaceRect& outer, const SurfaceRect& hole) override {
        return sheet_.BeginDiscClip(ToSheet(outer), ToSheet(hole));
    }
    void EndDiscClip() override { sheet_.EndDiscClip(); }
    void SetPen(const Pen& pen) override { sheet_.SetPen(pen); }
    void SetBrush(const Brush& brush) override { sheet_.SetBrush(brush); }
    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Polygon(const std::vector<SurfacePoint>& points) override;
    void Line(int x1, int y1, int x2, int y2) override;
    void Polyline(const std::vector<SurfacePoint>& points) override;
    void FillRect(const SurfaceRect& r, Rgb color) override;
    void SetPixel(int x, int y, Rgb color) override;
    Rgb BackgroundColor() const override { return sheet_.BackgroundColor(); }
    void SetBackgroundColor(Rgb c) override { sheet_.SetBackgroundColor(c); }

private:
    SurfaceRect ToSheet(const SurfaceRect& r) const;
    SurfaceRect FromSheet(const SurfaceRect& r) const;
    std::vector<SurfacePoint> ToSheet(const std::vector<SurfacePoint>& points) const;

    CDrawSurface& sheet_;
    int offsetX_;
    int offsetY_;
    int width_;
    int height_;
    SurfaceRect savedClip_;  // the sheet's clip before this window narrowed it
};
