#pragma once
// A drawing surface that only notes which pixels a shape covers, so that the
// metafile canvas can combine them with the picture one by one (raster
// operations, pattern brushes, clip regions).
#include "image/DrawSurface.h"
#include "image/ShapeRasterizer.h"

#include <algorithm>
#include <cstring>
#include <vector>

// Collects the pixels a shape covers (within the clip box), so that they can
// be combined with the picture one by one afterwards.
class CCoverageRecorder : public CDrawSurface {
public:
    CCoverageRecorder(int width, int height)
        : width_(width), height_(height), cover_(static_cast<std::size_t>(width) * height, 0) {}

    void Begin(const SurfaceRect& clip) {
        clip_ = clip;
        dirty_ = SurfaceRect{};
    }
    const SurfaceRect& Dirty() const { return dirty_; }
    bool Covered(int x, int y) const { return cover_[static_cast<std::size_t>(y) * width_ + x] != 0; }
    void ClearDirty() {
        for (int y = dirty_.top; y < dirty_.bottom; ++y)
            std::memset(cover_.data() + static_cast<std::size_t>(y) * width_ + dirty_.left, 0, dirty_.width());
        dirty_ = SurfaceRect{};
    }

    int Width() const override { return width_; }
    int Height() const override { return height_; }
    SurfaceRect GetClipBox() const override { return clip_; }
    SurfaceRect IntersectClip(const SurfaceRect& r) override {
        const SurfaceRect previous = clip_;
        clip_ = clip_.intersected(r);
        return previous;
    }
    void SetClip(const SurfaceRect& r) override { clip_ = r.intersected(SurfaceRect{0, 0, width_, height_}); }
    bool ReadPixels(const SurfaceRect&, std::uint8_t*, std::ptrdiff_t) const override { return false; }
    void WritePixels(int, int, const PixelBlock&) override {}
    void StretchPixels(const SurfaceRect&, const PixelBlock&) override {}
    void StretchPixelsMasked(const SurfaceRect&, const PixelBlock&, const std::uint8_t*, std::ptrdiff_t) override {}
    void SetPen(const Pen& pen) override { pen_ = pen; }
    void SetBrush(const Brush& brush) override { brush_ = brush; }
    void Rectangle(int l, int t, int r, int b) override { CShapeRasterizer(*this, pen_, brush_).Rectangle(l, t, r, b); }
    void Ellipse(int l, int t, int r, int b) override { CShapeRasterizer(*this, pen_, brush_).Ellipse(l, t, r, b); }
    void Polygon(const std::vector<SurfacePoint>& points) override {
        CShapeRasterizer(*this, pen_, brush_).PolyPolygon({points});
    }
    void PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings) override {
        CShapeRasterizer(*this, pen_, brush_).PolyPolygon(rings);
    }
    void Line(int x1, int y1, int x2, int y2) override {
        CShapeRasterizer(*this, pen_, brush_).Path({{x1, y1}, {x2, y2}}, false);
    }
    void Polyline(const std::vector<SurfacePoint>& points) override {
        CShapeRasterizer(*this, pen_, brush_).Path(points, false);
    }
    void FillRect(const SurfaceRect& r, Rgb) override {
        const SurfaceRect box = r.intersected(clip_).intersected(SurfaceRect{0, 0, width_, height_});
        if (box.empty())
            return;
        for (int y = box.top; y < box.bottom; ++y)
            std::memset(cover_.data() + static_cast<std::size_t>(y) * width_ + box.left, 1, box.width());
        dirty_ = dirty_.empty() ? box
                                : SurfaceRect{std::min(dirty_.left, box.left), std::min(dirty_.top, box.top),
                                              std::max(dirty_.right, box.right), std::max(dirty_.bottom, box.bottom)};
    }
    void SetPixel(int x, int y, Rgb c) override { FillRect(SurfaceRect{x, y, x + 1, y + 1}, c); }
    Rgb BackgroundColor() const override { return Rgb{255, 255, 255}; }
    void SetBackgroundColor(Rgb) override {}

private:
    int width_, height_;
    std::vector<std::uint8_t> cover_;
    SurfaceRect clip_, dirty_;
    Pen pen_;
    Brush brush_;
};

