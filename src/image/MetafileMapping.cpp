// CMetafileCanvas: the mapping from record coordinates to picture pixels,
// the world transform of enhanced metafiles and what it does to lengths.
#include "image/MetafileCanvas.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kCoordLimit = 1e8;  // device coordinates are kept well inside int

int ToPixel(double v) {
    if (!(v == v))  // NaN
        return 0;
    return static_cast<int>(std::floor(std::clamp(v, -kCoordLimit, kCoordLimit) + 0.5));
}
}  // namespace

MetaPoint CMetafileCanvas::MapExact(double x, double y) const {
    const MetaMapping& m = state_.map;
    if (windowMapsToPicture_) {
        // A placeable metafile: its window is the whole picture.
        const double ex = m.windowExtX != 0 ? m.windowExtX : 1, ey = m.windowExtY != 0 ? m.windowExtY : 1;
        return MetaPoint{(x - m.windowOrgX) * scaleX_ / ex, (y - m.windowOrgY) * scaleY_ / ey};
    }
    // World transform, then page to device by the mapping mode.
    const double px = m.m11 * x + m.m21 * y + m.dx;
    const double py = m.m12 * x + m.m22 * y + m.dy;
    double dx = px, dy = py;
    switch (m.mapMode) {
    case 7:  // MM_ISOTROPIC
    case 8:  // MM_ANISOTROPIC
        if (m.windowExtX != 0 && m.windowExtY != 0) {
            dx = (px - m.windowOrgX) * m.viewportExtX / m.windowExtX + m.viewportOrgX;
            dy = (py - m.windowOrgY) * m.viewportExtY / m.windowExtY + m.viewportOrgY;
        }
        break;
    case 2: case 3: case 4: case 5: case 6: {  // metric and English units, y upwards
        static const double kMmPerUnit[] = {0, 0, 0.1, 0.01, 0.254, 0.0254, 25.4 / 1440};
        const double u = kMmPerUnit[m.mapMode];
        dx = (px - m.windowOrgX) * u * pxPerMmX_ + m.viewportOrgX;
        dy = -(py - m.windowOrgY) * u * pxPerMmY_ + m.viewportOrgY;
        break;
    }
    default:  // MM_TEXT
        dx = px - m.windowOrgX + m.viewportOrgX;
        dy = py - m.windowOrgY + m.viewportOrgY;
        break;
    }
    return MetaPoint{(dx - originX_) * scaleX_, (dy - originY_) * scaleY_};
}

CMetafileCanvas::Linear CMetafileCanvas::LinearPart() const {
    const MetaPoint o = MapExact(0, 0), a = MapExact(1, 0), b = MapExact(0, 1);
    return Linear{a.x - o.x, b.x - o.x, a.y - o.y, b.y - o.y};
}

bool CMetafileCanvas::Skewed() const {
    const Linear l = LinearPart();
    const double size = std::abs(l.xx) + std::abs(l.xy) + std::abs(l.yx) + std::abs(l.yy);
    return std::abs(l.xy) > 1e-9 * size || std::abs(l.yx) > 1e-9 * size;
}

CMetafileCanvas::Linear CMetafileCanvas::WorldInPicture() const {
    const MetaMapping& m = state_.map;
    if (windowMapsToPicture_ || (m.m11 == 1 && m.m12 == 0 && m.m21 == 0 && m.m22 == 1))
        return Linear{};
    // The whole is P W with P the page-to-picture scale (axis-aligned);
    // the world seen in the picture is P W P^-1.
    double px = 1, py = 1;
    PageScale(px, py);
    if (!(std::abs(px) > 1e-12) || !(std::abs(py) > 1e-12) || !std::isfinite(px / py))
        return Linear{};
    return Linear{m.m11, m.m21 * px / py, m.m12 * py / px, m.m22};
}

void CMetafileCanvas::PageScale(double& px, double& py) const {
    const MetaMapping& m = state_.map;
    const Linear l = LinearPart();
    px = l.xx;
    py = l.yy;
    if (windowMapsToPicture_)
        return;
    px = std::abs(m.m11) >= std::abs(m.m21) ? (m.m11 != 0 ? l.xx / m.m11 : 0) : l.xy / m.m21;
    py = std::abs(m.m22) >= std::abs(m.m12) ? (m.m22 != 0 ? l.yy / m.m22 : 0) : l.yx / m.m12;
}

MetaPoint CMetafileCanvas::DeviceToPicture(double x, double y) const {
    if (windowMapsToPicture_)
        return MapExact(x, y);
    return MetaPoint{(x - originX_) * scaleX_, (y - originY_) * scaleY_};
}

// The length in pixels of a logical distance.
double CMetafileCanvas::MappedLength(double dx, double dy) const {
    const MetaPoint a = MapExact(0, 0), b = MapExact(dx, dy);
    return std::hypot(b.x - a.x, b.y - a.y);
}

SurfacePoint CMetafileCanvas::Map(double x, double y) const {
    const MetaPoint p = MapExact(x, y);
    return SurfacePoint{ToPixel(p.x), ToPixel(p.y)};
}

std::vector<SurfacePoint> CMetafileCanvas::MapAll(const std::vector<MetaPoint>& points) const {
    std::vector<SurfacePoint> out;
    out.reserve(points.size());
    for (const MetaPoint& p : points)
        out.push_back(Map(p.x, p.y));
    return out;
}

void CMetafileCanvas::SetWorldTransform(double m11, double m12, double m21, double m22, double dx, double dy) {
    MetaMapping& m = state_.map;
    m.m11 = m11;
    m.m12 = m12;
    m.m21 = m21;
    m.m22 = m22;
    m.dx = dx;
    m.dy = dy;
}

void CMetafileCanvas::ModifyWorldTransform(double a11, double a12, double a21, double a22, double adx, double ady,
                                           int mode) {
    MetaMapping& m = state_.map;
    if (mode == 1) {  // identity
        SetWorldTransform(1, 0, 0, 1, 0, 0);
        return;
    }
    if (mode == 4) {  // set
        SetWorldTransform(a11, a12, a21, a22, adx, ady);
        return;
    }
    // Row-vector convention: left multiply applies the new transform first.
    struct X {
        double m11, m12, m21, m22, dx, dy;
    };
    const X cur{m.m11, m.m12, m.m21, m.m22, m.dx, m.dy};
    const X add{a11, a12, a21, a22, adx, ady};
    const X& a = mode == 2 ? add : cur;
    const X& b = mode == 2 ? cur : add;
    if (mode != 2 && mode != 3)
        return;
    SetWorldTransform(a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22, a.m21 * b.m11 + a.m22 * b.m21,
                      a.m21 * b.m12 + a.m22 * b.m22, a.dx * b.m11 + a.dy * b.m21 + b.dx,
                      a.dx * b.m12 + a.dy * b.m22 + b.dy);
}
