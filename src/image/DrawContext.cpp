// CDrawContext: the drawing state over a pixel device, and every shape
// turned into the device's pixel operations (rules in DrawContext.h).
#include "image/DrawContext.h"

#include "image/ShapeRasterizer.h"

#include <algorithm>

SurfaceRect SurfaceRect::intersected(const SurfaceRect& o) const {
    SurfaceRect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    if (r.right < r.left)
        r.right = r.left;
    if (r.bottom < r.top)
        r.bottom = r.top;
    return r;
}

CDrawContext::CDrawContext(IPixelBackend& backend)
    : CDrawContext(backend, SurfaceRect{0, 0, backend.Width(), backend.Height()}) {}

CDrawContext::CDrawContext(IPixelBackend& backend, const SurfaceRect& area)
    : backend_(&backend), originX_(area.left), originY_(area.top), width_(std::max(0, area.width())),
      height_(std::max(0, area.height())) {
    limit_ = area.intersected(SurfaceRect{0, 0, std::max(0, backend.Width()), std::max(0, backend.Height())});
    clip_ = limit_;
    backend_->ClipChanged(clip_);
}

SurfaceRect CDrawContext::ToDevice(const SurfaceRect& r) const {
    return SurfaceRect{r.left + originX_, r.top + originY_, r.right + originX_, r.bottom + originY_};
}

SurfaceRect CDrawContext::FromDevice(const SurfaceRect& r) const {
    return SurfaceRect{r.left - originX_, r.top - originY_, r.right - originX_, r.bottom - originY_};
}

std::vector<SurfacePoint> CDrawContext::ToDevice(const std::vector<SurfacePoint>& points) const {
    std::vector<SurfacePoint> out(points);
    for (SurfacePoint& p : out) {
        p.x += originX_;
        p.y += originY_;
    }
    return out;
}

// --- clip ------------------------------------------------------------------------------

SurfaceRect CDrawContext::IntersectClip(const SurfaceRect& r) {
    const SurfaceRect previous = GetClipBox();
    clip_ = clip_.intersected(ToDevice(r));
    backend_->ClipChanged(clip_);
    return previous;
}

void CDrawContext::SetClip(const SurfaceRect& r) {
    clip_ = ToDevice(r).intersected(limit_);
    backend_->ClipChanged(clip_);
}

// --- pixels ----------------------------------------------------------------------------

bool CDrawContext::ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const {
    return backend_->ReadRows(ToDevice(r), bgr, stride);
}

void CDrawContext::WritePixels(int x, int y, const PixelBlock& src) {
    backend_->WriteRows(x + originX_, y + originY_, src, clip_);
}

void CDrawContext::StretchPixels(const SurfaceRect& dst, const PixelBlock& src) {
    backend_->Stretch(ToDevice(dst), src, clip_);
}

void CDrawContext::StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                       std::ptrdiff_t maskStride) {
    backend_->StretchMasked(ToDevice(dst), src, mask, maskStride, clip_);
}

bool CDrawContext::StretchPixelsTurned(const SurfaceRect& dst, const PixelBlock& src, const std::uint8_t* mask,
                                       std::ptrdiff_t maskStride, PictureTurn turn) {
    return backend_->StretchTurned(ToDevice(dst), src, mask, maskStride, turn, clip_);
}

bool CDrawContext::StretchJpeg(const SurfaceRect& dst, const std::shared_ptr<const std::vector<std::uint8_t>>& jpeg,
                               PictureTurn turn, const std::shared_ptr<const PictureColour>& colour) {
    return backend_->StretchJpeg(ToDevice(dst), jpeg, turn, colour, clip_);
}

bool CDrawContext::StretchColourSamples(const SurfaceRect& dst, const std::shared_ptr<const PictureColour>& colour,
                                        PictureTurn turn) {
    return backend_->StretchColourSamples(ToDevice(dst), colour, turn, clip_);
}

bool CDrawContext::BeginDiscClip(const SurfaceRect& outer, const SurfaceRect& hole) {
    return backend_->BeginDiscClip(ToDevice(outer), ToDevice(hole));
}

void CDrawContext::FillRect(const SurfaceRect& r, Rgb color) {
    const SurfaceRect box = ToDevice(r).intersected(clip_);
    if (!box.empty())
        backend_->FillRect(box, color);
}

void CDrawContext::SetPixel(int x, int y, Rgb color) {
    x += originX_;
    y += originY_;
    if (x < clip_.left || y < clip_.top || x >= clip_.right || y >= clip_.bottom)
        return;
    backend_->SetPixel(x, y, color);
}

// --- shapes ----------------------------------------------------------------------------
// The rasteriser hands every shape to the device as clipped boxes for
// FillRect, so a long straight line is one filled rectangle.

void CDrawContext::Outline(OutlineShape shape, const std::vector<SurfacePoint>& points) {
    backend_->DrawOutline(shape, ToDevice(points), pen_, brush_);
}

void CDrawContext::Line(int x1, int y1, int x2, int y2) {
    if (backend_->DrawsOutlines())
        return Outline(OutlineShape::Line, {{x1, y1}, {x2, y2}});
    CShapeRasterizer(*backend_, clip_, pen_, brush_)
        .Path({{x1 + originX_, y1 + originY_}, {x2 + originX_, y2 + originY_}}, false);
}

void CDrawContext::Polyline(const std::vector<SurfacePoint>& points) {
    if (backend_->DrawsOutlines())
        return Outline(OutlineShape::Polyline, points);
    CShapeRasterizer(*backend_, clip_, pen_, brush_).Path(ToDevice(points), false);
}

void CDrawContext::Rectangle(int left, int top, int right, int bottom) {
    if (backend_->DrawsOutlines()) {
        if (right > left && bottom > top)
            Outline(OutlineShape::Rectangle, {{left, top}, {right, bottom}});
        return;
    }
    CShapeRasterizer(*backend_, clip_, pen_, brush_)
        .Rectangle(left + originX_, top + originY_, right + originX_, bottom + originY_);
}

void CDrawContext::Ellipse(int left, int top, int right, int bottom) {
    if (backend_->DrawsOutlines()) {
        if (right > left && bottom > top)
            Outline(OutlineShape::Ellipse, {{left, top}, {right, bottom}});
        return;
    }
    CShapeRasterizer(*backend_, clip_, pen_, brush_)
        .Ellipse(left + originX_, top + originY_, right + originX_, bottom + originY_);
}

void CDrawContext::Polygon(const std::vector<SurfacePoint>& points) {
    if (backend_->DrawsOutlines())
        return Outline(OutlineShape::Polygon, points);
    if (points.empty())
        return;
    CShapeRasterizer(*backend_, clip_, pen_, brush_).PolyPolygon({ToDevice(points)});
}

void CDrawContext::PolyPolygon(const std::vector<std::vector<SurfacePoint>>& rings, bool winding) {
    if (backend_->DrawsOutlines()) {
        for (const std::vector<SurfacePoint>& ring : rings)
            Outline(OutlineShape::Polygon, ring);
        return;
    }
    if (originX_ == 0 && originY_ == 0)
        return CShapeRasterizer(*backend_, clip_, pen_, brush_).PolyPolygon(rings, winding);
    std::vector<std::vector<SurfacePoint>> moved;
    moved.reserve(rings.size());
    for (const std::vector<SurfacePoint>& ring : rings)
        moved.push_back(ToDevice(ring));
    CShapeRasterizer(*backend_, clip_, pen_, brush_).PolyPolygon(moved, winding);
}
