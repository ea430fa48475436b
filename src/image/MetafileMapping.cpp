#include "image/MetafileMapping.h"

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

MetaPoint CMetaMapper::MapExact(double x, double y) const {
    const MetaMapping& m = map_;
    if (device_.windowMapsToPicture) {
        // A placeable metafile: its window is the whole picture.
        const double ex = m.windowExtX != 0 ? m.windowExtX : 1, ey = m.windowExtY != 0 ? m.windowExtY : 1;
        return MetaPoint{(x - m.windowOrgX) * device_.scaleX / ex, (y - m.windowOrgY) * device_.scaleY / ey};
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
        dx = (px - m.windowOrgX) * u * device_.pxPerMmX + m.viewportOrgX;
        dy = -(py - m.windowOrgY) * u * device_.pxPerMmY + m.viewportOrgY;
        break;
    }
    default:  // MM_TEXT
        dx = px - m.windowOrgX + m.viewportOrgX;
        dy = py - m.windowOrgY + m.viewportOrgY;
        break;
    }
    return MetaPoint{(dx - device_.originX) * device_.scaleX, (dy - device_.originY) * device_.scaleY};
}

MetaLinear CMetaMapper::LinearPart() const {
    const MetaPoint o = MapExact(0, 0), a = MapExact(1, 0), b = MapExact(0, 1);
    return MetaLinear{a.x - o.x, b.x - o.x, a.y - o.y, b.y - o.y};
}

bool CMetaMapper::Skewed() const {
    const MetaLinear l = LinearPart();
    const double size = std::abs(l.xx) + std::abs(l.xy) + std::abs(l.yx) + std::abs(l.yy);
    return std::abs(l.xy) > 1e-9 * size || std::abs(l.yx) > 1e-9 * size;
}

MetaLinear CMetaMapper::WorldInPicture() const {
    const MetaMapping& m = map_;
    if (device_.windowMapsToPicture || (m.m11 == 1 && m.m12 == 0 && m.m21 == 0 && m.m22 == 1))
        return MetaLinear{};
    // The whole is P W with P the page-to-picture scale (axis-aligned);
    // the world seen in the picture is P W P^-1.
    double px = 1, py = 1;
    PageScale(px, py);
    if (!(std::abs(px) > 1e-12) || !(std::abs(py) > 1e-12) || !std::isfinite(px / py))
        return MetaLinear{};
    return MetaLinear{m.m11, m.m21 * px / py, m.m12 * py / px, m.m22};
}

void CMetaMapper::PageScale(double& px, double& py) const {
    const MetaMapping& m = map_;
    const MetaLinear l = LinearPart();
    px = l.xx;
    py = l.yy;
    if (device_.windowMapsToPicture)
        return;
    px = std::abs(m.m11) >= std::abs(m.m21) ? (m.m11 != 0 ? l.xx / m.m11 : 0) : l.xy / m.m21;
    py = std::abs(m.m22) >= std::abs(m.m12) ? (m.m22 != 0 ? l.yy / m.m22 : 0) : l.yx / m.m12;
}

MetaPoint CMetaMapper::DeviceToPicture(double x, double y) const {
    if (device_.windowMapsToPicture)
        return MapExact(x, y);
    return MetaPoint{(x - device_.originX) * device_.scaleX, (y - device_.originY) * device_.scaleY};
}

double CMetaMapper::MappedLength(double dx, double dy) const {
    const MetaPoint a = MapExact(0, 0), b = MapExact(dx, dy);
    return std::hypot(b.x - a.x, b.y - a.y);
}

SurfacePoint CMetaMapper::Map(double x, double y) const {
    const MetaPoint p = MapExact(x, y);
    return SurfacePoint{ToPixel(p.x), ToPixel(p.y)};
}

std::vector<SurfacePoint> CMetaMapper::MapAll(const std::vector<MetaPoint>& points) const {
    std::vector<SurfacePoint> out;
    out.reserve(points.size());
    for (const MetaPoint& p : points)
        out.push_back(Map(p.x, p.y));
    return out;
}

void MetaMapping::SetWorldTransform(double a11, double a12, double a21, double a22, double adx, double ady) {
    m11 = a11;
    m12 = a12;
    m21 = a21;
    m22 = a22;
    dx = adx;
    dy = ady;
}

void MetaMapping::ModifyWorldTransform(double a11, double a12, double a21, double a22, double adx, double ady,
                                       int mode) {
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
    const X cur{m11, m12, m21, m22, dx, dy};
    const X add{a11, a12, a21, a22, adx, ady};
    const X& a = mode == 2 ? add : cur;
    const X& b = mode == 2 ? cur : add;
    if (mode != 2 && mode != 3)
        return;
    SetWorldTransform(a.m11 * b.m11 + a.m12 * b.m21, a.m11 * b.m12 + a.m12 * b.m22, a.m21 * b.m11 + a.m22 * b.m21,
                      a.m21 * b.m12 + a.m22 * b.m22, a.dx * b.m11 + a.dy * b.m21 + b.dx,
                      a.dx * b.m12 + a.dy * b.m22 + b.dy);
}

std::vector<MetaPoint> CMetaMapper::EllipseRing(double l, double t, double r, double b) const {
    const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2;
    const double px = MappedLength(rx, 0) + MappedLength(0, ry);
    const int n = static_cast<int>(std::clamp(px * 3.2, 16.0, 4096.0));
    std::vector<MetaPoint> ring;
    ring.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double a = 2 * 3.14159265358979323846 * i / n;
        ring.push_back(MetaPoint{cx + rx * std::cos(a), cy + ry * std::sin(a)});
    }
    return ring;
}
