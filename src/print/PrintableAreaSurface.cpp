#include "print/PrintableAreaSurface.h"

CPrintableAreaSurface::CPrintableAreaSurface(CDrawSurface& sheet, int offsetX, int offsetY, int width, int height)
    : sheet_(sheet), offsetX_(offsetX), offsetY_(offsetY), width_(width), height_(height) {
    savedClip_ = sheet_.IntersectClip(SurfaceRect{offsetX, offsetY, offsetX + width, offsetY + height});
}

CPrintableAreaSurface::~CPrintableAreaSurface() { sheet_.SetClip(savedClip_); }

SurfaceRect CPrintableAreaSurface::ToSheet(const SurfaceRect& r) const {
    return SurfaceRect{r.left + offsetX_, r.top + offsetY_, r.right + offsetX_, r.bottom + offsetY_};
}

SurfaceRect CPrintableAreaSurface::FromSheet(const SurfaceRect& r) const {
    return SurfaceRect{r.left - offsetX_, r.top - offsetY_, r.right - offsetX_, r.bottom - offsetY_};
}

std::vector<SurfacePoint> CPrintableAreaSurface::ToSheet(const std::vector<SurfacePoint>& points) const {
    std::vector<SurfacePoint> out(points);
    for (SurfacePoint& p : out) {
        p.x += offsetX_;
        p.y += offsetY_;
    }
    return out;
}

SurfaceRect CPrintableAreaSurface::GetClipBox() const { return FromSheet(sheet_.GetClipBox()); }

SurfaceRect CPrintableAreaSurface::IntersectClip(const SurfaceRect& r) {
    return FromSheet(sheet_.IntersectClip(ToSheet(r)));
}

void CPrintableAreaSurface::SetClip(const SurfaceRect& r) {
    // Never wider than the printable area, as on a printer.
    sheet_.SetClip(ToSheet(r).intersected(SurfaceRect{offsetX_, offsetY_, offsetX_ + width_, offsetY_ + height_}));
}

bool CPrintableAreaSurface::ReadPixels(const SurfaceRect& r, std::uint8_t* bgr, std::ptrdiff_t stride) const {
    return sheet_.ReadPixels(ToSheet(r), bgr, stride);
}

void CPrintableAreaSurface::WritePixels(int x, int y, const PixelBlock& src) {
    sheet_.WritePixels(x + offsetX_, y + offsetY_, src);
}

void CPrintableAreaSurface::StretchPixels(const SurfaceRect& dst, const PixelBlock& src) {
    sheet_.StretchPixels(ToSheet(dst), src);
}

void CPrintableAreaSurface::StretchPixelsMasked(const SurfaceRect& dst, const PixelBlock& src,
                                                const std::uint8_t* mask, std::ptrdiff_t maskStride) {
    sheet_.StretchPixelsMasked(ToSheet(dst), src, mask, maskStride);
}

void CPrintableAreaSurface::Rectangle(int left, int top, int right, int bottom) {
    sheet_.Rectangle(left + offsetX_, top + offsetY_, right + offsetX_, bottom + offsetY_);
}

void CPrintableAreaSurface::Ellipse(int left, int top, int right, int bottom) {
    sheet_.Ellipse(left + offsetX_, top + offsetY_, right + offsetX_, bottom + offsetY_);
}

void CPrintableAreaSurface::Polygon(const std::vector<SurfacePoint>& points) { sheet_.Polygon(ToSheet(points)); }

void CPrintableAreaSurface::Line(int x1, int y1, int x2, int y2) {
    sheet_.Line(x1 + offsetX_, y1 + offsetY_, x2 + offsetX_, y2 + offsetY_);
}

void CPrintableAreaSurface::Polyline(const std::vector<SurfacePoint>& points) { sheet_.Polyline(ToSheet(points)); }

void CPrintableAreaSurface::FillRect(const SurfaceRect& r, Rgb color) { sheet_.FillRect(ToSheet(r), color); }

void CPrintableAreaSurface::SetPixel(int x, int y, Rgb color) { sheet_.SetPixel(x + offsetX_, y + offsetY_, color); }
