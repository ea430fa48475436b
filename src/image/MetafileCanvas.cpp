// CMetafileCanvas: mapping, state, objects and the line and polygon
// drawing of the metafile player. Shapes go through DrawShape, which takes
// the fast road straight onto the surface when the pen copies, the brush is
// plain and the clip is a rectangle, and otherwise records the shape's
// pixels and combines them one by one.
#include "image/MetafileCanvas.h"

#include "image/CoverageRecorder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr double kCoordLimit = 1e8;  // device coordinates are kept well inside int

int ToPixel(double v) {
    if (!(v == v))  // NaN
        return 0;
    return static_cast<int>(std::floor(std::clamp(v, -kCoordLimit, kCoordLimit) + 0.5));
}

// A binary raster operation (R2_BLACK = 1 ... R2_WHITE = 16) on one byte of
// pen and destination: its code less one is the truth table over (pen, dst).
std::uint8_t Rop2(int rop, std::uint8_t pen, std::uint8_t dst) {
    const int t = rop - 1;
    std::uint8_t out = 0;
    if (t & 1)
        out |= static_cast<std::uint8_t>(~pen & ~dst);
    if (t & 2)
        out |= static_cast<std::uint8_t>(~pen & dst);
    if (t & 4)
        out |= static_cast<std::uint8_t>(pen & ~dst);
    if (t & 8)
        out |= static_cast<std::uint8_t>(pen & dst);
    return out;
}

// GDI's eight-by-eight hatch patterns: true where the line is.
bool HatchAt(int hatch, int x, int y) {
    const int hx = x & 7, hy = y & 7;
    switch (hatch) {
    case 0: return hy == 7;                   // HS_HORIZONTAL
    case 1: return hx == 7;                   // HS_VERTICAL
    case 2: return hx == hy;                  // HS_FDIAGONAL, "\"
    case 3: return hx + hy == 7;              // HS_BDIAGONAL, "/"
    case 4: return hx == 7 || hy == 7;        // HS_CROSS
    case 5: return hx == hy || hx + hy == 7;  // HS_DIAGCROSS
    default: return false;
    }
}
}  // namespace


CMetafileCanvas::CMetafileCanvas(CRasterSurface& surface, double originX, double originY, double scaleX,
                                 double scaleY, bool windowMapsToPicture)
    : surface_(surface), originX_(originX), originY_(originY), scaleX_(scaleX), scaleY_(scaleY),
      windowMapsToPicture_(windowMapsToPicture) {
    state_.pen = MetaPen{0, 0, Rgb{0, 0, 0}};
    state_.brush = MetaBrush{0, Rgb{255, 255, 255}};
    state_.clipBox = SurfaceRect{0, 0, surface.Width(), surface.Height()};
}

CMetafileCanvas::~CMetafileCanvas() = default;

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
    ApplyClip();
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

int CMetafileCanvas::AddObjectFirstFree(Object object) {
    std::size_t i = 0;
    while (i < objects_.size() && objects_[i].kind != kNone)
        ++i;
    if (i == objects_.size()) {
        if (objects_.size() >= 65536)
            return -1;
        objects_.emplace_back();
    }
    objects_[i] = std::move(object);
    return static_cast<int>(i);
}

void CMetafileCanvas::SetObject(std::uint32_t index, Object object) {
    if (index >= 65536)
        return;
    if (index >= objects_.size())
        objects_.resize(index + 1);
    objects_[index] = std::move(object);
}

const CMetafileCanvas::Object* CMetafileCanvas::ObjectAt(std::uint32_t index) const {
    return index < objects_.size() && objects_[index].kind != kNone ? &objects_[index] : nullptr;
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
        case 10: case 11: case 12: case 13: case 14: case 16: case 17:  // stock fonts
            state_.font = MetaFont{};
            state_.font.family = (index & 0x7FFFFFFFu) == 11 ? "Courier New" : "Arial";
            break;
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
    else if (o.kind == kFont)
        state_.font = o.font;
    else if (o.kind == kRegion)
        SelectClipRegion(o.region, false, 5);
}

void CMetafileCanvas::DeleteObject(std::uint32_t index) {
    if (index < objects_.size())
        objects_[index] = Object{};
}

// --- painting ---------------------------------------------------------------------------

Pen CMetafileCanvas::DevicePen() const {
    const MetaPen& p = state_.pen;
    Pen pen;
    pen.color = p.color;
    const int style = p.style & 0x0F;
    pen.style = style == 5 ? PenStyle::Null : (style >= 1 && style <= 4) ? PenStyle::Dotted : PenStyle::Solid;
    // Pen widths are logical units: scale them like horizontal distances.
    pen.width = std::clamp(static_cast<int>(MappedLength(p.width, 0) + 0.5), 1, 256);
    return pen;
}

bool CMetafileCanvas::Visible(int x, int y) const {
    const SurfaceRect& c = state_.clipBox;
    if (x < c.left || y < c.top || x >= c.right || y >= c.bottom)
        return false;
    return !state_.clipMask || (*state_.clipMask)[static_cast<std::size_t>(y) * surface_.Width() + x] != 0;
}

bool CMetafileCanvas::BrushColorAt(const MetaBrush& brush, int x, int y, Rgb& out) const {
    switch (brush.style) {
    case 2:  // hatched: the gaps show the background colour unless transparent
        if (HatchAt(brush.hatch, x, y)) {
            out = brush.color;
            return true;
        }
        out = state_.bkColor;
        return state_.bkMode != 1;
    case 3:
    case 5:
    case 6:  // pattern and DIB pattern brushes: the bitmap tiled from the origin
        if (brush.pattern && brush.pattern->IsValid()) {
            const int w = brush.pattern->GetWidth(), h = brush.pattern->GetHeight();
            const int px = ((x % w) + w) % w, py = ((y % h) + h) % h;
            out = brush.pattern->GetPixelColor(px, h - 1 - py);
            return true;
        }
        out = brush.color;
        return true;
    default:
        out = brush.color;
        return true;
    }
}

void CMetafileCanvas::DrawShape(const ShapeFn& shape, bool fill, bool outline) {
    const MetaBrush& b = state_.brush;
    const bool hollow = !fill || b.style == 1;
    const Pen pen = DevicePen();
    const bool stroke = outline && pen.style != PenStyle::Null;
    if (state_.rop2 == 13 && ClipIsRectangle() && (hollow || b.style == 0)) {
        Pen usedPen = pen;
        if (!outline)
            usedPen.style = PenStyle::Null;
        const Brush brush{b.color, hollow};
        surface_.SetPen(usedPen);
        surface_.SetBrush(brush);
        shape(surface_, usedPen, brush);
        return;
    }
    if (!hollow)
        DrawShapeWith(shape, &b, false, false);
    if (stroke)
        DrawShapeWith(shape, nullptr, true, false);
}

// One part of a shape (its fill with `brush`, or its outline with the pen)
// recorded, then combined with the picture under the pen's raster operation.
void CMetafileCanvas::DrawShapeWith(const ShapeFn& shape, const MetaBrush* brush, bool outline, bool invert) {
    if (state_.clipBox.empty())
        return;
    if (!recorder_)
        recorder_ = std::make_unique<CCoverageRecorder>(surface_.Width(), surface_.Height());
    CCoverageRecorder& rec = *recorder_;
    rec.Begin();
    Pen pen = DevicePen();
    if (!outline)
        pen.style = PenStyle::Null;
    const Brush marker{Rgb{}, brush == nullptr};
    CDrawContext marks(rec);
    marks.SetClip(state_.clipBox);
    marks.SetPen(pen);
    marks.SetBrush(marker);
    shape(marks, pen, marker);
    const SurfaceRect box = rec.Dirty();
    if (box.empty())
        return;
    const int bw = box.width(), bh = box.height();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bw) * bh * 3);
    surface_.ReadPixels(box, pixels.data(), bw * 3);
    const int rop = state_.rop2;
    for (int y = box.top; y < box.bottom; ++y) {
        std::uint8_t* d = pixels.data() + static_cast<std::size_t>(y - box.top) * bw * 3;
        for (int x = box.left; x < box.right; ++x, d += 3) {
            if (!rec.Covered(x, y) || !Visible(x, y))
                continue;
            if (invert) {
                d[0] = static_cast<std::uint8_t>(~d[0]);
                d[1] = static_cast<std::uint8_t>(~d[1]);
                d[2] = static_cast<std::uint8_t>(~d[2]);
                continue;
            }
            Rgb c = pen.color;
            if (brush && !BrushColorAt(*brush, x, y, c))
                continue;
            d[0] = Rop2(rop, c.b, d[0]);
            d[1] = Rop2(rop, c.g, d[1]);
            d[2] = Rop2(rop, c.r, d[2]);
        }
    }
    rec.ClearDirty();
    surface_.WritePixels(box.left, box.top, PixelBlock{pixels.data(), bw * 3, bw, bh});
}

void CMetafileCanvas::FillRings(const std::vector<std::vector<SurfacePoint>>& rings, bool outline) {
    const bool winding = state_.polyFillMode == 2;
    DrawShape(
        [&rings, winding](CDrawContext& s, const Pen& pen, const Brush& brush) {
            s.PolyPolygon(rings, winding);
        },
        true, outline);
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
    const std::vector<SurfacePoint> mapped = MapAll(points);
    DrawShape([&mapped](CDrawContext& s, const Pen&, const Brush&) { s.Polyline(mapped); }, false, true);
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
        const std::vector<SurfacePoint> mapped = MapAll(all);
        DrawShape([&mapped](CDrawContext& s, const Pen&, const Brush&) { s.Polyline(mapped); }, false, true);
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
    PolyPolygon({points});
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
    FillRings(mapped, true);
}

void CMetafileCanvas::Rectangle(double l, double t, double r, double b) {
    if (inPath_) {
        Polygon({{l, t}, {r, t}, {r, b}, {l, b}});
        return;
    }
    const SurfacePoint p = Map(l, t), q = Map(r, b);
    const SurfaceRect box{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    DrawShape([box](CDrawContext& s, const Pen&, const Brush&) { s.Rectangle(box.left, box.top, box.right, box.bottom); },
              true, true);
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
    const SurfacePoint p = Map(l, t), q = Map(r, b);
    const SurfaceRect box{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    DrawShape([box](CDrawContext& s, const Pen&, const Brush&) { s.Ellipse(box.left, box.top, box.right, box.bottom); },
              true, true);
}

void CMetafileCanvas::BeginPath() {
    inPath_ = true;
    pathFigures_.clear();
    pathClosed_.clear();
}

void CMetafileCanvas::EndPath() { inPath_ = false; }

void CMetafileCanvas::AbortPath() {
    inPath_ = false;
    pathFigures_.clear();
    pathClosed_.clear();
}

void CMetafileCanvas::CloseFigure() {
    if (!pathClosed_.empty())
        pathClosed_.back() = true;
}

void CMetafileCanvas::DrawPath(bool fill, bool stroke) {
    inPath_ = false;
    if (fill)
        FillRings(pathFigures_, false);
    if (stroke) {
        for (std::size_t i = 0; i < pathFigures_.size(); ++i) {
            std::vector<SurfacePoint> figure = pathFigures_[i];
            if (figure.empty())
                continue;
            if (pathClosed_[i])
                figure.push_back(figure.front());
            // The end point of an open figure is drawn too, as a path's is.
            const bool open = !pathClosed_[i];
            DrawShape(
                [&figure, open](CDrawContext& s, const Pen& pen, const Brush&) {
                    if (open && pen.style != PenStyle::Null)
                        s.SetPixel(figure.back().x, figure.back().y, pen.color);
                    s.Polyline(figure);
                },
                false, true);
        }
    }
    pathFigures_.clear();
    pathClosed_.clear();
}
