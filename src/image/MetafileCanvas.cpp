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

// Raster operation codes of the blits we carry out.
constexpr std::uint32_t kSrcCopy = 0x00CC0020, kSrcPaint = 0x00EE0086, kSrcAnd = 0x008800C6,
                        kSrcInvert = 0x00660046, kSrcErase = 0x00440328, kNotSrcCopy = 0x00330008,
                        kMergePaint = 0x00BB0226, kPatCopy = 0x00F00021, kBlackness = 0x00000042,
                        kWhiteness = 0x00FF0062, kDstInvert = 0x00550009;
}  // namespace

CMetafileCanvas::CMetafileCanvas(CRasterSurface& surface, double originX, double originY, double scaleX,
                                 double scaleY, bool windowMapsToPicture)
    : surface_(surface), originX_(originX), originY_(originY), scaleX_(scaleX), scaleY_(scaleY),
      windowMapsToPicture_(windowMapsToPicture) {
    state_.pen = MetaPen{0, 0, Rgb{0, 0, 0}};
    state_.brush = MetaBrush{0, Rgb{255, 255, 255}};
}

// --- mapping ----------------------------------------------------------------------

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

void CMetafileCanvas::SaveState() {
    if (saved_.size() < 1024)
        saved_.push_back(state_);
}

void CMetafileCanvas::RestoreState(int which) {
    if (saved_.empty())
        return;
    std::size_t keep;
    if (which < 0) {
        const std::size_t back = static_cast<std::size_t>(-static_cast<long long>(which));
        if (back > saved_.size())
            return;
        keep = saved_.size() - back;
    } else {
        if (which == 0 || static_cast<std::size_t>(which) > saved_.size())
            return;
        keep = static_cast<std::size_t>(which) - 1;
    }
    state_ = saved_[keep];
    saved_.resize(keep);
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

// --- objects -------------------------------------------------------------------------

int CMetafileCanvas::AddObjectFirstFree(int kind, const MetaPen& pen, const MetaBrush& brush) {
    std::size_t i = 0;
    while (i < objects_.size() && objects_[i].kind != kNone)
        ++i;
    if (i == objects_.size()) {
        if (objects_.size() >= 65536)
            return -1;
        objects_.emplace_back();
    }
    objects_[i] = Object{kind, pen, brush};
    return static_cast<int>(i);
}

void CMetafileCanvas::SetObject(std::uint32_t index, int kind, const MetaPen& pen, const MetaBrush& brush) {
    if (index >= 65536)
        return;
    if (index >= objects_.size())
        objects_.resize(index + 1);
    objects_[index] = Object{kind, pen, brush};
}

void CMetafileCanvas::SelectObject(std::uint32_t index) {
    if (index & 0x80000000u) {
        // Stock objects of enhanced metafiles.
        switch (index & 0x7FFFFFFFu) {
        case 0: state_.brush = MetaBrush{0, Rgb{255, 255, 255}}; break;
        case 1: state_.brush = MetaBrush{0, Rgb{192, 192, 192}}; break;
        case 2: state_.brush = MetaBrush{0, Rgb{128, 128, 128}}; break;
        case 3: state_.brush = MetaBrush{0, Rgb{64, 64, 64}}; break;
        case 4: state_.brush = MetaBrush{0, Rgb{0, 0, 0}}; break;
        case 5: state_.brush = MetaBrush{1, Rgb{}}; break;
        case 6: state_.pen = MetaPen{0, 0, Rgb{255, 255, 255}}; break;
        case 7: state_.pen = MetaPen{0, 0, Rgb{0, 0, 0}}; break;
        case 8: state_.pen = MetaPen{5, 0, Rgb{}}; break;
        case 18: state_.brush = MetaBrush{0, Rgb{255, 255, 255}}; break;  // DC_BRUSH
        case 19: state_.pen = MetaPen{0, 0, Rgb{0, 0, 0}}; break;         // DC_PEN
        default: break;
        }
        return;
    }
    if (index >= objects_.size())
        return;
    const Object& o = objects_[index];
    if (o.kind == kPen)
        state_.pen = o.pen;
    else if (o.kind == kBrush)
        state_.brush = o.brush;
}

void CMetafileCanvas::DeleteObject(std::uint32_t index) {
    if (index < objects_.size())
        objects_[index] = Object{};
}

void CMetafileCanvas::UsePen() {
    const MetaPen& p = state_.pen;
    Pen pen;
    pen.color = p.color;
    const int style = p.style & 0x0F;
    pen.style = style == 5 ? PenStyle::Null : (style >= 1 && style <= 4) ? PenStyle::Dotted : PenStyle::Solid;
    // Pen widths are logical units: scale them like horizontal distances.
    const MetaPoint a = MapExact(0, 0), b = MapExact(p.width, 0);
    const double w = std::hypot(b.x - a.x, b.y - a.y);
    pen.width = std::clamp(static_cast<int>(w + 0.5), 1, 256);
    surface_.SetPen(pen);
}

void CMetafileCanvas::UseBrush(bool fill) {
    const bool hollow = !fill || state_.brush.style == 1 || state_.brush.style == 2;
    surface_.SetBrush(Brush{state_.brush.color, hollow});
}

// --- drawing ---------------------------------------------------------------------------

void CMetafileCanvas::MoveTo(double x, double y) {
    state_.position = MetaPoint{x, y};
    if (inPath_) {
        pathFigures_.push_back({Map(x, y)});
        pathClosed_.push_back(false);
    }
}

void CMetafileCanvas::LineTo(double x, double y) { PolylineTo({MetaPoint{x, y}}); }

void CMetafileCanvas::AddToPath(const std::vector<MetaPoint>& points, bool startsFigure) {
    if (startsFigure || pathFigures_.empty()) {
        pathFigures_.emplace_back();
        pathClosed_.push_back(false);
    }
    for (const MetaPoint& p : points)
        pathFigures_.back().push_back(Map(p.x, p.y));
}

void CMetafileCanvas::Polyline(const std::vector<MetaPoint>& points) {
    if (points.empty())
        return;
    if (inPath_) {
        AddToPath(points, true);
        return;
    }
    UsePen();
    surface_.Polyline(MapAll(points));
}

void CMetafileCanvas::PolylineTo(const std::vector<MetaPoint>& points) {
    if (points.empty())
        return;
    if (inPath_) {
        if (pathFigures_.empty())
            AddToPath({state_.position}, true);
        AddToPath(points, false);
    } else {
        std::vector<MetaPoint> all;
        all.reserve(points.size() + 1);
        all.push_back(state_.position);
        all.insert(all.end(), points.begin(), points.end());
        UsePen();
        surface_.Polyline(MapAll(all));
    }
    state_.position = points.back();
}

void CMetafileCanvas::Flatten(MetaPoint p0, MetaPoint p1, MetaPoint p2, MetaPoint p3,
                              std::vector<MetaPoint>& out) {
    constexpr int kSteps = 16;
    for (int i = 1; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps, u = 1 - t;
        out.push_back(MetaPoint{u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
                                u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y});
    }
}

void CMetafileCanvas::PolyBezier(const std::vector<MetaPoint>& points) {
    if (points.empty())
        return;
    std::vector<MetaPoint> flat{points[0]};
    for (std::size_t i = 1; i + 2 < points.size(); i += 3)
        Flatten(flat.back(), points[i], points[i + 1], points[i + 2], flat);
    Polyline(flat);
}

void CMetafileCanvas::PolyBezierTo(const std::vector<MetaPoint>& points) {
    std::vector<MetaPoint> flat;
    MetaPoint from = state_.position;
    for (std::size_t i = 0; i + 2 < points.size(); i += 3) {
        Flatten(from, points[i], points[i + 1], points[i + 2], flat);
        from = points[i + 2];
    }
    PolylineTo(flat);
}

void CMetafileCanvas::Polygon(const std::vector<MetaPoint>& points) {
    if (points.empty())
        return;
    if (inPath_) {
        AddToPath(points, true);
        pathClosed_.back() = true;
        return;
    }
    UsePen();
    UseBrush(true);
    surface_.Polygon(MapAll(points));
}

void CMetafileCanvas::PolyPolygon(const std::vector<std::vector<MetaPoint>>& rings) {
    if (inPath_) {
        for (const std::vector<MetaPoint>& ring : rings) {
            AddToPath(ring, true);
            pathClosed_.back() = true;
        }
        return;
    }
    std::vector<std::vector<SurfacePoint>> mapped;
    for (const std::vector<MetaPoint>& ring : rings)
        mapped.push_back(MapAll(ring));
    UsePen();
    UseBrush(true);
    surface_.PolyPolygon(mapped);
}

void CMetafileCanvas::Rectangle(double l, double t, double r, double b) {
    if (inPath_) {
        Polygon({{l, t}, {r, t}, {r, b}, {l, b}});
        return;
    }
    SurfacePoint p = Map(l, t), q = Map(r, b);
    UsePen();
    UseBrush(true);
    surface_.Rectangle(std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y));
}

void CMetafileCanvas::Ellipse(double l, double t, double r, double b) {
    if (inPath_) {
        // Four quarter arcs as curves (the usual 0.5523 handle length).
        const double cx = (l + r) / 2, cy = (t + b) / 2, rx = (r - l) / 2, ry = (b - t) / 2, k = 0.5523;
        MoveTo(r, cy);
        PolyBezierTo({{r, cy + k * ry}, {cx + k * rx, b}, {cx, b},
                      {cx - k * rx, b}, {l, cy + k * ry}, {l, cy},
                      {l, cy - k * ry}, {cx - k * rx, t}, {cx, t},
                      {cx + k * rx, t}, {r, cy - k * ry}, {r, cy}});
        CloseFigure();
        return;
    }
    SurfacePoint p = Map(l, t), q = Map(r, b);
    UsePen();
    UseBrush(true);
    surface_.Ellipse(std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y));
}

void CMetafileCanvas::BeginPath() {
    inPath_ = true;
    pathFigures_.clear();
    pathClosed_.clear();
}

void CMetafileCanvas::EndPath() { inPath_ = false; }

void CMetafileCanvas::CloseFigure() {
    if (!pathClosed_.empty())
        pathClosed_.back() = true;
}

void CMetafileCanvas::DrawPath(bool fill, bool stroke) {
    inPath_ = false;
    if (fill) {
        UseBrush(true);
        Pen none;
        none.style = PenStyle::Null;
        surface_.SetPen(none);
        surface_.PolyPolygon(pathFigures_);
    }
    if (stroke) {
        UsePen();
        for (std::size_t i = 0; i < pathFigures_.size(); ++i) {
            std::vector<SurfacePoint> figure = pathFigures_[i];
            if (pathClosed_[i] && !figure.empty())
                figure.push_back(figure.front());
            // The end point of an open figure is drawn too, as a path's is.
            if (!pathClosed_[i] && !figure.empty())
                surface_.SetPixel(figure.back().x, figure.back().y, state_.pen.color);
            surface_.Polyline(figure);
        }
    }
    pathFigures_.clear();
    pathClosed_.clear();
}

// --- raster operations ---------------------------------------------------------------------

void CMetafileCanvas::Blit(double x, double y, double w, double h, const CRasterImage* bitmap, int srcX, int srcY,
                           int srcW, int srcH, std::uint32_t rop) {
    const SurfacePoint p = Map(x, y), q = Map(x + w, y + h);
    SurfaceRect dst{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    const SurfaceRect box = dst.intersected(surface_.GetClipBox());
    if (box.empty())
        return;
    const bool usesSource = rop != kPatCopy && rop != kBlackness && rop != kWhiteness && rop != kDstInvert;
    if (usesSource && (!bitmap || !bitmap->IsValid() || srcW <= 0 || srcH <= 0))
        return;
    if (rop == kSrcCopy) {
        bitmap->DrawRegion(&surface_, dst.left, dst.top, dst.width(), dst.height(), srcX, srcY, srcW, srcH);
        return;
    }
    // Other operations combine the (stretched) source with what is there.
    const int bw = box.width(), bh = box.height();
    std::vector<std::uint8_t> target(static_cast<std::size_t>(bw) * bh * 3);
    surface_.ReadPixels(box, target.data(), bw * 3);
    CRasterSurface source(bw, bh);
    if (usesSource)
        bitmap->DrawRegion(&source, dst.left - box.left, dst.top - box.top, dst.width(), dst.height(), srcX, srcY,
                           srcW, srcH);
    const Rgb brush = state_.brush.color;
    const std::uint8_t pattern[3] = {brush.b, brush.g, brush.r};
    for (int j = 0; j < bh; ++j) {
        const std::uint8_t* s = source.Bits() + j * source.Stride();
        std::uint8_t* d = target.data() + static_cast<std::size_t>(j) * bw * 3;
        for (int i = 0; i < bw * 3; ++i) {
            const std::uint8_t sv = s[i], dv = d[i];
            switch (rop) {
            case kSrcPaint: d[i] = sv | dv; break;
            case kSrcAnd: d[i] = sv & dv; break;
            case kSrcInvert: d[i] = sv ^ dv; break;
            case kSrcErase: d[i] = sv & static_cast<std::uint8_t>(~dv); break;
            case kNotSrcCopy: d[i] = static_cast<std::uint8_t>(~sv); break;
            case kMergePaint: d[i] = static_cast<std::uint8_t>(~sv) | dv; break;
            case kPatCopy: d[i] = pattern[i % 3]; break;
            case kBlackness: d[i] = 0; break;
            case kWhiteness: d[i] = 255; break;
            case kDstInvert: d[i] = static_cast<std::uint8_t>(~dv); break;
            default: d[i] = sv; break;
            }
        }
    }
    surface_.WritePixels(box.left, box.top, PixelBlock{target.data(), bw * 3, bw, bh});
}
