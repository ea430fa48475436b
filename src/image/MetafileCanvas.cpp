// CMetafileCanvas: state, objects and the line and polygon drawing of the
// metafile player, and the hand-over of blits and text to their painters.
// Shapes go through DrawShape, which takes the fast road straight onto the
// surface when the pen copies, the brush is plain and the clip is a
// rectangle, and otherwise records the shape's pixels and combines them one
// by one.
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

}  // namespace


CMetafileCanvas::CMetafileCanvas(CRasterSurface& surface, double originX, double originY, double scaleX,
                                 double scaleY, bool windowMapsToPicture)
    : surface_(surface) {
    device_.originX = originX;
    device_.originY = originY;
    device_.scaleX = scaleX;
    device_.scaleY = scaleY;
    device_.windowMapsToPicture = windowMapsToPicture;
    state_.pen = MetaPen{0, 0, Rgb{0, 0, 0}};
    state_.brush = MetaBrush{0, Rgb{255, 255, 255}};
    state_.clipBox = SurfaceRect{0, 0, surface.Width(), surface.Height()};
}

CMetafileCanvas::~CMetafileCanvas() = default;

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


void CMetafileCanvas::DrawShape(const ShapeFn& shape, bool fill, bool outline, const Outlines* outlines) {
    const MetaBrush& b = state_.brush;
    const bool hollow = !fill || b.style == 1;
    const Pen pen = penOverride_ ? *penOverride_ : DevicePen(state_.pen, Mapper());
    const bool stroke = outline && pen.style != PenStyle::Null;
    if (stroke && outlines && !penOverride_) {
        const std::vector<std::uint32_t> runs = DashRuns(state_.pen, Mapper());
        if (!runs.empty()) {
            // A styled pen: the fill, then in opaque mode the whole outline in
            // the background colour (the gaps show it), then the dashes.
            if (!hollow)
                DrawShape(shape, true, false);
            const MetaBrush keep = state_.brush;
            state_.brush.style = 1;
            const int reach = pen.width + 1;
            const SurfaceRect c = state_.clipBox;
            const auto lines = DashLines(*outlines, runs,
                                         SurfaceRect{c.left - reach, c.top - reach, c.right + reach, c.bottom + reach});
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
    Pen pen = penOverride_ ? *penOverride_ : DevicePen(state_.pen, Mapper());
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
    const MetaClipView clip = ClipView();
    const MetaColours colours = Colours();
    for (int y = box.top; y < box.bottom; ++y) {
        std::uint8_t* d = pixels.data() + static_cast<std::size_t>(y - box.top) * bw * 3;
        for (int x = box.left; x < box.right; ++x, d += 3) {
            if (!rec.Covered(x, y) || !clip.Visible(x, y))
                continue;
            if (invert) {
                d[0] = static_cast<std::uint8_t>(~d[0]);
                d[1] = static_cast<std::uint8_t>(~d[1]);
                d[2] = static_cast<std::uint8_t>(~d[2]);
                continue;
            }
            Rgb c = pen.color;
            if (brush && !BrushColorAt(*brush, colours, x, y, c))
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
        pathFigures_.push_back({Mapper().Map(x, y)});
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
        pathFigures_.back().push_back(Mapper().Map(p.x, p.y));
}

void CMetafileCanvas::Polyline(const std::vector<MetaPoint>& points) {
    if (points.empty())
        return;
    if (inPath_) {
        AddToPath(points, true);
        return;
    }
    const std::vector<SurfacePoint> mapped = Mapper().MapAll(points);
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
        const std::vector<SurfacePoint> mapped = Mapper().MapAll(all);
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
        mapped.push_back(Mapper().MapAll(ring));
    FillRings(mapped, true);
}

void CMetafileCanvas::Rectangle(double l, double t, double r, double b) {
    const CMetaMapper mapper = Mapper();
    if (inPath_ || mapper.Skewed()) {
        Polygon({{l, t}, {r, t}, {r, b}, {l, b}});
        return;
    }
    const SurfacePoint p = mapper.Map(l, t), q = mapper.Map(r, b);
    const SurfaceRect box{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    // The outline runs along the rectangle's outer pixels.
    const Outlines lines{{{{box.left, box.top}, {box.right - 1, box.top}, {box.right - 1, box.bottom - 1},
                           {box.left, box.bottom - 1}}, true}};
    DrawShape([box](CDrawContext& s, const Pen&, const Brush&) { s.Rectangle(box.left, box.top, box.right, box.bottom); },
              true, true, &lines);
}

void CMetafileCanvas::Ellipse(double l, double t, double r, double b) {
    const CMetaMapper mapper = Mapper();
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
    if (mapper.Skewed()) {
        Polygon(mapper.EllipseRing(l, t, r, b));
        return;
    }
    const SurfacePoint p = mapper.Map(l, t), q = mapper.Map(r, b);
    const SurfaceRect box{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)};
    Outlines lines;
    if (!DashRuns(state_.pen, Mapper()).empty()) {  // the ellipse inside its box, as a ring of pixels
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

// --- blits --------------------------------------------------------------------------

void CMetafileCanvas::Blit(double x, double y, double w, double h, const CRasterImage* bitmap, int srcX, int srcY,
                           int srcW, int srcH, std::uint32_t rop) {
    const CMetaMapper mapper = Mapper();
    if (mapper.Skewed()) {
        BlitQuad(MetaPoint{x, y}, MetaPoint{x + w, y}, MetaPoint{x, y + h}, false, bitmap, srcX, srcY, srcW, srcH, rop,
                 Transfer{});
        return;
    }
    const SurfacePoint p = mapper.Map(x, y), q = mapper.Map(x + w, y + h);
    MetaBlitTarget target = BlitTarget();
    BlitOntoBox(target, SurfaceRect{std::min(p.x, q.x), std::min(p.y, q.y), std::max(p.x, q.x), std::max(p.y, q.y)},
                bitmap, srcX, srcY, srcW, srcH, rop);
}

void CMetafileCanvas::BlitQuad(MetaPoint p0, MetaPoint p1, MetaPoint p2, bool mapped, const CRasterImage* bitmap,
                               int srcX, int srcY, int srcW, int srcH, std::uint32_t rop, const Transfer& extra) {
    if (!mapped) {
        const CMetaMapper mapper = Mapper();
        p0 = mapper.MapExact(p0.x, p0.y);
        p1 = mapper.MapExact(p1.x, p1.y);
        p2 = mapper.MapExact(p2.x, p2.y);
    }
    MetaBlitTarget target = BlitTarget();
    BlitOntoQuad(target, p0, p1, p2, bitmap, srcX, srcY, srcW, srcH, rop, extra);
}

// --- text ---------------------------------------------------------------------------

void CMetafileCanvas::Text(const MetaText& text) {
    const MetaTextTarget target{surface_, [this] { return ClipView(); },
                                [this](const SurfaceRect& box) {
                                    state_.clipBox = box;
                                    ApplyClip();
                                },
                                [this](const std::vector<MetaPoint>& quad, Rgb color) { FillDeviceQuad(quad, color); }};
    const MetaTextState now{state_.font, state_.textAlign, state_.position, state_.clipBox, Colours(),
                            state_.charExtra, state_.breakExtra};
    state_.position = DrawMetaText(text, now, Mapper(), target);
}
