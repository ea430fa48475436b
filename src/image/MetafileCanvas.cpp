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

// Dash runs (drawn, skipped, ...) of `runs` times `unit` pixels; a list of
// odd length runs twice, so that its drawn and skipped runs swap. Empty
// when nothing would be skipped or drawn.
std::vector<std::uint32_t> Dashes(const std::vector<double>& runs, double unit) {
    std::vector<std::uint32_t> out;
    for (int pass = 0; pass < 2 && out.size() < 32; ++pass) {
        for (double r : runs) {
            if (out.size() >= 32)
                break;
            const double px = std::isfinite(r * unit) ? std::clamp(r * unit + 0.5, 0.0, 1e6) : 1.0;
            out.push_back(static_cast<std::uint32_t>(px));
        }
        if (out.size() % 2 == 0)
            break;
    }
    std::uint64_t drawn = 0, skipped = 0;
    for (std::size_t i = 0; i < out.size(); ++i)
        (i % 2 ? skipped : drawn) += out[i];
    if (drawn == 0 || skipped == 0 || out.size() % 2)
        return {};
    return out;
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

std::vector<MetaPoint> CMetafileCanvas::EllipseRing(double l, double t, double r, double b) const {
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
    pen.style = (p.style & 0x0F) == 5 ? PenStyle::Null : PenStyle::Solid;
    // Pen widths are logical units: scale them like horizontal distances.
    pen.width = std::clamp(static_cast<int>(MappedLength(p.width, 0) + 0.5), 1, 256);
    return pen;
}

std::vector<std::uint32_t> CMetafileCanvas::DashRuns() const {
    const MetaPen& p = state_.pen;
    const int style = p.style & 0x0F;
    const bool geometric = p.extended && (p.style & 0x000F0000) == 0x00010000;
    // GDI draws a pen from CREATEPEN that is wider than one logical unit
    // solid whatever its style; some renderers dash it anyway.
    if (style < 1 || style > 8 || style == 5 || style == 6 || (!p.extended && p.width > 1 && style <= 4))
        return {};
    if (style == 8)  // PS_ALTERNATE: every other pixel
        return {1, 1};
    if (style == 7)  // PS_USERSTYLE: logical units for geometric pens, pixels for cosmetic ones
        return Dashes(p.userStyle, geometric ? MappedLength(1, 0) : 1);
    // GDI's own patterns: a cosmetic pen's in pixels, a geometric pen's in
    // multiples of its width.
    const double unit = geometric ? DevicePen().width : 1;
    switch (style) {
    case 1: return Dashes(geometric ? std::vector<double>{3, 1} : std::vector<double>{18, 6}, unit);
    case 2: return Dashes(geometric ? std::vector<double>{1, 1} : std::vector<double>{3, 3}, unit);
    case 3: return Dashes(geometric ? std::vector<double>{3, 1, 1, 1} : std::vector<double>{9, 6, 3, 6}, unit);
    default:
        return Dashes(geometric ? std::vector<double>{3, 1, 1, 1, 1, 1} : std::vector<double>{9, 3, 3, 3, 3, 3}, unit);
    }
}

// The drawn runs of a dashed outline as lines: the steps of each segment
// are counted along its longer axis, and the pattern runs on from one
// segment to the next.
std::vector<std::pair<SurfacePoint, SurfacePoint>> CMetafileCanvas::DashLines(const Outlines& outlines,
                                                                              const std::vector<std::uint32_t>& runs) {
    std::vector<std::pair<SurfacePoint, SurfacePoint>> lines;
    std::uint64_t period = 0;
    for (std::uint32_t r : runs)
        period += r;
    if (period == 0)
        return lines;
    constexpr std::size_t kMaxLines = 1u << 20;
    for (const auto& [points, closed] : outlines) {
        std::uint64_t step = 0;
        const std::size_t n = points.size();
        const std::size_t segments = closed ? n : (n ? n - 1 : 0);
        for (std::size_t i = 0; i < segments && lines.size() < kMaxLines; ++i) {
            const SurfacePoint a = points[i], b = points[(i + 1) % n];
            const std::int64_t dx = std::int64_t{b.x} - a.x, dy = std::int64_t{b.y} - a.y;
            const std::int64_t len = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
            auto at = [&](std::int64_t k) {
                return SurfacePoint{static_cast<int>(a.x + (dx * k + (dx >= 0 ? len / 2 : -len / 2)) / std::max<std::int64_t>(len, 1)),
                                    static_cast<int>(a.y + (dy * k + (dy >= 0 ? len / 2 : -len / 2)) / std::max<std::int64_t>(len, 1))};
            };
            std::int64_t k = 0;
            while (k < len && lines.size() < kMaxLines) {
                // Where in the pattern this step falls, and how far its run goes on.
                std::uint64_t phase = step % period;
                std::size_t run = 0;
                while (phase >= runs[run]) {
                    phase -= runs[run];
                    ++run;
                }
                const std::int64_t left = static_cast<std::int64_t>(runs[run] - phase);
                const std::int64_t end = std::min(len, k + left);
                if (run % 2 == 0)
                    lines.emplace_back(at(k), at(end));
                step += static_cast<std::uint64_t>(end - k);
                k = end;
            }
        }
    }
    return lines;
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
        // The solid "hatches" of enhanced metafiles: the brush colour, the
        // text colour or the background colour all over (dithered ones
        // solid too, as on a true-colour device).
        if (brush.hatch == 6 || brush.hatch == 7) {
            out = brush.color;
            return true;
        }
        if (brush.hatch == 8 || brush.hatch == 9) {
            out = state_.textColor;
            return true;
        }
        if (brush.hatch == 10 || brush.hatch == 11) {
            out = state_.bkColor;
            return true;
        }
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

void CMetafileCanvas::DrawShape(const ShapeFn& shape, bool fill, bool outline, const Outlines* outlines) {
    const MetaBrush& b = state_.brush;
    const bool hollow = !fill || b.style == 1;
    const Pen pen = penOverride_ ? *penOverride_ : DevicePen();
    const bool stroke = outline && pen.style != PenStyle::Null;
    if (stroke && outlines && !penOverride_) {
        const std::vector<std::uint32_t> runs = DashRuns();
        if (!runs.empty()) {
            // A styled pen: the fill, then in opaque mode the whole outline in
            // the background colour (the gaps show it), then the dashes.
            if (!hollow)
                DrawShape(shape, true, false);
            const MetaBrush keep = state_.brush;
            state_.brush.style = 1;
            const auto lines = DashLines(*outlines, runs);
            if (state_.bkMode == 2) {
                const Pen gaps{state_.bkColor, pen.width, PenStyle::Solid};
                penOverride_ = &gaps;
                DrawShape([outlines](CDrawContext& s, const Pen&, const Brush&) {
                    for (const auto& [points, closed] : *outlines) {
                        std::vector<SurfacePoint> path = points;
                        if (closed && !path.empty())
                            path.push_back(path.front());
                        s.Polyline(path);
                    }
                }, false, true);
            }
            penOverride_ = &pen;
            DrawShape([&lines](CDrawContext& s, const Pen&, const Brush&) {
                for (const auto& [from, to] : lines)
                    s.Line(from.x, from.y, to.x, to.y);
            }, false, true);
            penOverride_ = nullptr;
            state_.brush = keep;
            return;
        }
    }
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
    Pen pen = penOverride_ ? *penOverride_ : DevicePen();
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
    Outlines lines;
    if (outline)
        for (const std::vector<SurfacePoint>& ring : rings)
            lines.emplace_back(ring, true);
    DrawShape([&rings, winding](CDrawContext& s, const Pen&, const Brush&) { s.PolyPolygon(rings, winding); }, true,
              outline, &lines);
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
    const Outlines lines{{mapped, false}};
    DrawShape([&mapped](CDrawContext& s, const Pen&, const Brush&) { s.Polyline(mapped); }, false, true, &lines);
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
        const Outlines lines{{mapped, false}};
        DrawShape([&mapped](CDrawContext& s, const Pen&, const Brush&) { s.Polyline(mapped); }, false, true, &lines);
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
    if (inPath_ || Skewed()) {
        Polygon({{l, t}, {r, t}, {r, b}, {l, b}});
        return;
    }
    const SurfacePoint p = Map(l, t), q = Map(r, b);
    const SurfaceRect box{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    // The outline runs along the rectangle's outer pixels.
    const Outlines lines{{{{box.left, box.top}, {box.right - 1, box.top}, {box.right - 1, box.bottom - 1},
                           {box.left, box.bottom - 1}}, true}};
    DrawShape([box](CDrawContext& s, const Pen&, const Brush&) { s.Rectangle(box.left, box.top, box.right, box.bottom); },
              true, true, &lines);
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
    if (Skewed()) {
        Polygon(EllipseRing(l, t, r, b));
        return;
    }
    const SurfacePoint p = Map(l, t), q = Map(r, b);
    const SurfaceRect box{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    Outlines lines;
    if (!DashRuns().empty()) {  // the ellipse inside its box, as a ring of pixels
        const double cx = (box.left + box.right - 1) / 2.0, cy = (box.top + box.bottom - 1) / 2.0;
        const double rx = (box.width() - 1) / 2.0, ry = (box.height() - 1) / 2.0;
        const int n = static_cast<int>(std::clamp((rx + ry) * 3.2, 16.0, 4096.0));
        std::vector<SurfacePoint> ring;
        for (int i = 0; i < n; ++i) {
            const double a = 2 * 3.14159265358979323846 * i / n;
            ring.push_back(SurfacePoint{ToPixel(cx + rx * std::cos(a)), ToPixel(cy - ry * std::sin(a))});
        }
        lines.emplace_back(std::move(ring), true);
    }
    DrawShape([box](CDrawContext& s, const Pen&, const Brush&) { s.Ellipse(box.left, box.top, box.right, box.bottom); },
              true, true, &lines);
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
            const Outlines lines{{figure, false}};
            DrawShape(
                [&figure, open](CDrawContext& s, const Pen& pen, const Brush&) {
                    if (open && pen.style != PenStyle::Null)
                        s.SetPixel(figure.back().x, figure.back().y, pen.color);
                    s.Polyline(figure);
                },
                false, true, &lines);
        }
    }
    pathFigures_.clear();
    pathClosed_.clear();
}
