// CMetafileCanvas: arcs, chords, pies, rounded rectangles, single pixels,
// gradient fills and regions, and the clipping that rectangles, regions and
// paths make. A clip that is one rectangle stays the surface's clip box (the
// fast case); anything else becomes a mask with one byte per picture pixel,
// shared between saved states until it changes.
#include "image/MetafileCanvas.h"

#include "image/CoverageRecorder.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPi = 3.14159265358979323846;

SurfaceRect Box(const SurfacePoint& a, const SurfacePoint& b) {
    return SurfaceRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

SurfacePoint Round(const MetaPoint& p) {
    const double x = std::clamp(p.x, -1e8, 1e8), y = std::clamp(p.y, -1e8, 1e8);
    return SurfacePoint{static_cast<int>(std::floor(x + 0.5)), static_cast<int>(std::floor(y + 0.5))};
}

std::vector<SurfacePoint> RoundAll(const std::vector<MetaPoint>& points) {
    std::vector<SurfacePoint> out;
    out.reserve(points.size());
    for (const MetaPoint& p : points)
        out.push_back(Round(p));
    return out;
}

// Steps for a curve of that sweep and radius: about two pixels each.
int ArcSteps(double sweep, double radius) {
    const double n = std::abs(sweep) * std::max(radius, 1.0) / 2.0;
    return static_cast<int>(std::clamp(n, 8.0, 4096.0));
}

// Reads the box's pixels, lets `shade` colour each one (blue, green, red; it
// returns false to leave a pixel as it was) and writes the box back.
template <class Shade>
void ShadeBox(CDrawContext& surface, const SurfaceRect& box, Shade shade) {
    const int bw = box.width(), bh = box.height();
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(bw) * bh * 3);
    surface.ReadPixels(box, pixels.data(), bw * 3);
    for (int y = box.top; y < box.bottom; ++y) {
        std::uint8_t* d = pixels.data() + static_cast<std::size_t>(y - box.top) * bw * 3;
        for (int x = box.left; x < box.right; ++x, d += 3)
            shade(x, y, d);
    }
    surface.WritePixels(box.left, box.top, PixelBlock{pixels.data(), bw * 3, bw, bh});
}
}  // namespace

std::vector<MetaPoint> CMetafileCanvas::ArcPoints(double l, double t, double r, double b, double x1, double y1,
                                                  double x2, double y2) const {
    const CMetaMapper mapper = Mapper();
    if (mapper.Skewed()) {
        // A turned or sheared world: the arc is worked out in record
        // coordinates and each point mapped. Counter-clockwise is still what
        // one sees, so a mirroring mapping turns the direction round.
        const MetaLinear m = mapper.LinearPart();
        const bool mirrored = m.xx * m.yy - m.xy * m.yx < 0;
        const double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::abs(r - l) / 2, ry = std::abs(b - t) / 2;
        if (!(rx > 0) || !(ry > 0) || !std::isfinite(cx) || !std::isfinite(cy))
            return {};
        const double ts = std::atan2((cy - y1) / ry, (x1 - cx) / rx);
        const double te = std::atan2((cy - y2) / ry, (x2 - cx) / rx);
        double sweep = te - ts;
        if ((state_.arcDirection == 2) != mirrored) {
            while (sweep >= 0)
                sweep -= 2 * kPi;
        } else {
            while (sweep <= 0)
                sweep += 2 * kPi;
        }
        const int n = ArcSteps(sweep, std::max(mapper.MappedLength(rx, 0), mapper.MappedLength(0, ry)));
        std::vector<MetaPoint> out;
        out.reserve(static_cast<std::size_t>(n) + 1);
        for (int i = 0; i <= n; ++i) {
            const double a = ts + sweep * i / n;
            out.push_back(mapper.MapExact(cx + rx * std::cos(a), cy - ry * std::sin(a)));
        }
        return out;
    }
    // Worked out on the picture, where counter-clockwise is what one sees.
    const MetaPoint p = mapper.MapExact(l, t), q = mapper.MapExact(r, b);
    const double cx = (p.x + q.x) / 2, cy = (p.y + q.y) / 2;
    const double rx = std::abs(q.x - p.x) / 2, ry = std::abs(q.y - p.y) / 2;
    if (!(rx > 0) || !(ry > 0) || !std::isfinite(cx) || !std::isfinite(cy))
        return {};
    const MetaPoint s = mapper.MapExact(x1, y1), e = mapper.MapExact(x2, y2);
    const double ts = std::atan2((cy - s.y) / ry, (s.x - cx) / rx);
    const double te = std::atan2((cy - e.y) / ry, (e.x - cx) / rx);
    double sweep = te - ts;
    if (state_.arcDirection == 2) {  // clockwise
        while (sweep >= 0)
            sweep -= 2 * kPi;
    } else {
        while (sweep <= 0)
            sweep += 2 * kPi;
    }
    const int n = ArcSteps(sweep, std::max(rx, ry));
    std::vector<MetaPoint> out;
    out.reserve(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const double a = ts + sweep * i / n;
        out.push_back(MetaPoint{cx + rx * std::cos(a), cy - ry * std::sin(a)});
    }
    return out;
}

// A polyline or polygon already in picture pixels, drawn or added to the path.
void CMetafileCanvas::DrawDevicePolygon(const std::vector<MetaPoint>& points, bool closed, bool startsFigure) {
    if (points.empty())
        return;
    std::vector<SurfacePoint> mapped = RoundAll(points);
    if (inPath_) {
        if (startsFigure || pathFigures_.empty()) {
            pathFigures_.emplace_back();
            pathClosed_.push_back(false);
        }
        pathFigures_.back().insert(pathFigures_.back().end(), mapped.begin(), mapped.end());
        if (closed)
            pathClosed_.back() = true;
        return;
    }
    if (closed) {
        FillRings({mapped}, true);
        return;
    }
    const Outlines lines{{mapped, false}};
    DrawShape([&mapped](CDrawContext& s, const Pen&, const Brush&) { s.Polyline(mapped); }, false, true, &lines);
}

void CMetafileCanvas::Arc(ArcKind kind, double l, double t, double r, double b, double x1, double y1, double x2,
                          double y2) {
    const CMetaMapper mapper = Mapper();
    std::vector<MetaPoint> points = ArcPoints(l, t, r, b, x1, y1, x2, y2);
    if (points.empty())
        return;
    switch (kind) {
    case ArcKind::Arc:
        DrawDevicePolygon(points, false, true);
        break;
    case ArcKind::ArcTo: {
        const MetaPoint from = mapper.MapExact(state_.position.x, state_.position.y);
        points.insert(points.begin(), from);
        DrawDevicePolygon(points, false, false);
        // The current position moves to the arc's end on the ellipse.
        const double lcx = (l + r) / 2, lcy = (t + b) / 2, lrx = (r - l) / 2, lry = (b - t) / 2;
        const double dx = x2 - lcx, dy = y2 - lcy;
        const double k = std::hypot(dx / lrx, dy / lry);
        if (k > 0 && std::isfinite(k))
            state_.position = MetaPoint{lcx + dx / k, lcy + dy / k};
        break;
    }
    case ArcKind::Chord:
        DrawDevicePolygon(points, true, true);
        break;
    case ArcKind::Pie: {
        points.insert(points.begin(), mapper.MapExact((l + r) / 2, (t + b) / 2));
        DrawDevicePolygon(points, true, true);
        break;
    }
    }
}

void CMetafileCanvas::AngleArc(double cx, double cy, double radius, double startDeg, double sweepDeg) {
    const CMetaMapper mapper = Mapper();
    if (!(radius > 0) || !std::isfinite(startDeg) || !std::isfinite(sweepDeg))
        return;
    const MetaPoint c = mapper.MapExact(cx, cy);
    const double rx = mapper.MappedLength(radius, 0), ry = mapper.MappedLength(0, radius);
    const double a0 = startDeg * kPi / 180, sweep = std::clamp(sweepDeg, -3600.0, 3600.0) * kPi / 180;
    const int n = ArcSteps(sweep, std::max(rx, ry));
    std::vector<MetaPoint> points{mapper.MapExact(state_.position.x, state_.position.y)};
    for (int i = 0; i <= n; ++i) {
        const double a = a0 + sweep * i / n;
        points.push_back(MetaPoint{c.x + rx * std::cos(a), c.y - ry * std::sin(a)});
    }
    DrawDevicePolygon(points, false, false);
    const double a1 = a0 + sweep;
    state_.position = MetaPoint{cx + radius * std::cos(a1), cy - radius * std::sin(a1)};
}

void CMetafileCanvas::RoundRect(double l, double t, double r, double b, double cornerW, double cornerH) {
    const CMetaMapper mapper = Mapper();
    if (mapper.Skewed()) {
        // Corners worked out in record coordinates, each point mapped.
        const double left = std::min(l, r), right = std::max(l, r), top = std::min(t, b), bottom = std::max(t, b);
        const double rx = std::min(std::abs(cornerW), right - left) / 2, ry = std::min(std::abs(cornerH), bottom - top) / 2;
        if (!(rx > 0) || !(ry > 0)) {
            Rectangle(l, t, r, b);
            return;
        }
        const int n = ArcSteps(kPi / 2, std::max(mapper.MappedLength(rx, 0), mapper.MappedLength(0, ry)));
        const struct {
            double cx, cy, from;
        } corners[4] = {{right - rx, top + ry, 0}, {left + rx, top + ry, kPi / 2}, {left + rx, bottom - ry, kPi},
                        {right - rx, bottom - ry, 1.5 * kPi}};
        std::vector<MetaPoint> ring;
        for (const auto& c : corners)
            for (int i = 0; i <= n; ++i) {
                const double a = c.from + (kPi / 2) * i / n;
                ring.push_back(MetaPoint{c.cx + rx * std::cos(a), c.cy - ry * std::sin(a)});
            }
        Polygon(ring);
        return;
    }
    const MetaPoint p = mapper.MapExact(l, t), q = mapper.MapExact(r, b);
    const double left = std::min(p.x, q.x), right = std::max(p.x, q.x);
    const double top = std::min(p.y, q.y), bottom = std::max(p.y, q.y);
    // Corner ellipses, no larger than the box.
    const double rx = std::min(mapper.MappedLength(cornerW, 0), right - left) / 2;
    const double ry = std::min(mapper.MappedLength(0, cornerH), bottom - top) / 2;
    if (!(rx > 0.5) || !(ry > 0.5)) {
        Rectangle(l, t, r, b);
        return;
    }
    // The box is exclusive on the right and bottom, as a rectangle's is.
    const double x0 = left, x1 = right - 1, y0 = top, y1 = bottom - 1;
    std::vector<MetaPoint> points;
    const int n = ArcSteps(kPi / 2, std::max(rx, ry));
    const struct {
        double cx, cy, from;
    } corners[4] = {{x1 - rx, y0 + ry, 0}, {x0 + rx, y0 + ry, kPi / 2}, {x0 + rx, y1 - ry, kPi}, {x1 - rx, y1 - ry, 1.5 * kPi}};
    for (const auto& c : corners)
        for (int i = 0; i <= n; ++i) {
            const double a = c.from + (kPi / 2) * i / n;
            points.push_back(MetaPoint{c.cx + rx * std::cos(a), c.cy - ry * std::sin(a)});
        }
    DrawDevicePolygon(points, true, true);
}

void CMetafileCanvas::SetPixel(double x, double y, Rgb color) {
    const SurfacePoint p = Mapper().Map(x, y);
    if (Visible(p.x, p.y))
        surface_.SetPixel(p.x, p.y, color);
}

// --- gradients --------------------------------------------------------------------------

void CMetafileCanvas::GradientRect(const GradientVertex& a, const GradientVertex& b, bool vertical) {
    const CMetaMapper mapper = Mapper();
    const MetaPoint p = mapper.MapExact(a.x, a.y), q = mapper.MapExact(b.x, b.y);
    const SurfaceRect box = SurfaceRect{Round(MetaPoint{std::min(p.x, q.x), 0}).x, Round(MetaPoint{0, std::min(p.y, q.y)}).y,
                                        Round(MetaPoint{std::max(p.x, q.x), 0}).x, Round(MetaPoint{0, std::max(p.y, q.y)}).y}
                                .intersected(state_.clipBox);
    if (box.empty())
        return;
    // Colours run from the first vertex's side to the second's.
    const double from = vertical ? p.y : p.x, to = vertical ? q.y : q.x;
    const double span = to - from;
    ShadeBox(surface_, box, [&](int x, int y, std::uint8_t* d) {
        if (!Visible(x, y))
            return;
        const double pos = (vertical ? y : x) + 0.5;
        const double f = span != 0 ? std::clamp((pos - from) / span, 0.0, 1.0) : 0.0;
        d[0] = static_cast<std::uint8_t>(a.b + (b.b - a.b) * f + 0.5);
        d[1] = static_cast<std::uint8_t>(a.g + (b.g - a.g) * f + 0.5);
        d[2] = static_cast<std::uint8_t>(a.r + (b.r - a.r) * f + 0.5);
    });
}

void CMetafileCanvas::GradientTriangle(const GradientVertex& a, const GradientVertex& b, const GradientVertex& c) {
    const CMetaMapper mapper = Mapper();
    const MetaPoint p = mapper.MapExact(a.x, a.y), q = mapper.MapExact(b.x, b.y), r = mapper.MapExact(c.x, c.y);
    const double det = (q.y - r.y) * (p.x - r.x) + (r.x - q.x) * (p.y - r.y);
    if (!(std::abs(det) > 1e-9) || !std::isfinite(det))
        return;
    const SurfaceRect box =
        SurfaceRect{static_cast<int>(std::floor(std::clamp(std::min({p.x, q.x, r.x}), -1e8, 1e8))),
                    static_cast<int>(std::floor(std::clamp(std::min({p.y, q.y, r.y}), -1e8, 1e8))),
                    static_cast<int>(std::ceil(std::clamp(std::max({p.x, q.x, r.x}), -1e8, 1e8))),
                    static_cast<int>(std::ceil(std::clamp(std::max({p.y, q.y, r.y}), -1e8, 1e8)))}
            .intersected(state_.clipBox);
    if (box.empty())
        return;
    ShadeBox(surface_, box, [&](int x, int y, std::uint8_t* d) {
        const double px = x + 0.5, py = y + 0.5;
        const double w1 = ((q.y - r.y) * (px - r.x) + (r.x - q.x) * (py - r.y)) / det;
        const double w2 = ((r.y - p.y) * (px - r.x) + (p.x - r.x) * (py - r.y)) / det;
        const double w3 = 1 - w1 - w2;
        if (w1 < 0 || w2 < 0 || w3 < 0 || !Visible(x, y))
            return;
        d[0] = static_cast<std::uint8_t>(std::clamp(a.b * w1 + b.b * w2 + c.b * w3 + 0.5, 0.0, 255.0));
        d[1] = static_cast<std::uint8_t>(std::clamp(a.g * w1 + b.g * w2 + c.g * w3 + 0.5, 0.0, 255.0));
        d[2] = static_cast<std::uint8_t>(std::clamp(a.r * w1 + b.r * w2 + c.r * w3 + 0.5, 0.0, 255.0));
    });
}

// --- regions ------------------------------------------------------------------------------

namespace {
std::vector<SurfaceRect> RectsOf(const std::vector<MetaPoint>& corners,
                                 const std::function<MetaPoint(double, double)>& map) {
    std::vector<SurfaceRect> rects;
    for (std::size_t i = 0; i + 1 < corners.size(); i += 2) {
        const SurfacePoint a = Round(map(corners[i].x, corners[i].y));
        const SurfacePoint b = Round(map(corners[i + 1].x, corners[i + 1].y));
        rects.push_back(SurfaceRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)});
    }
    return rects;
}
}  // namespace

void CMetafileCanvas::FillRegion(const std::vector<MetaPoint>& region, const MetaBrush& brush, bool deviceUnits) {
    const CMetaMapper mapper = Mapper();
    const std::vector<SurfaceRect> rects = RectsOf(region, [&mapper, deviceUnits](double x, double y) {
        return deviceUnits ? mapper.DeviceToPicture(x, y) : mapper.MapExact(x, y);
    });
    const MetaBrush saved = state_.brush;
    state_.brush = brush;
    DrawShape(
        [&rects](CDrawContext& s, const Pen&, const Brush&) {
            for (const SurfaceRect& r : rects)
                s.Rectangle(r.left, r.top, r.right, r.bottom);
        },
        true, false);
    state_.brush = saved;
}

void CMetafileCanvas::FillRegionObject(std::uint32_t regionIndex, std::uint32_t brushIndex) {
    const Object* region = ObjectAt(regionIndex);
    const Object* brush = ObjectAt(brushIndex);
    if (region && region->kind == kRegion && brush && brush->kind == kBrush)
        FillRegion(region->region, brush->brush);
}

void CMetafileCanvas::InvertRegion(const std::vector<MetaPoint>& region, bool deviceUnits) {
    const CMetaMapper mapper = Mapper();
    const std::vector<SurfaceRect> rects = RectsOf(region, [&mapper, deviceUnits](double x, double y) {
        return deviceUnits ? mapper.DeviceToPicture(x, y) : mapper.MapExact(x, y);
    });
    const MetaBrush any{};
    DrawShapeWith(
        [&rects](CDrawContext& s, const Pen&, const Brush&) {
            for (const SurfaceRect& r : rects)
                s.Rectangle(r.left, r.top, r.right, r.bottom);
        },
        &any, false, true);
}

// A filled quadrilateral in picture pixels (underlines, text backgrounds).
void CMetafileCanvas::FillDeviceQuad(const std::vector<MetaPoint>& points, Rgb color) {
    const MetaBrush saved = state_.brush;
    const int rop = state_.rop2;
    state_.brush = MetaBrush{0, color};
    state_.rop2 = 13;
    const std::vector<std::vector<SurfacePoint>> ring{RoundAll(points)};
    DrawShape(
        [&ring](CDrawContext& s, const Pen&, const Brush&) { s.PolyPolygon(ring); },
        true, false);
    state_.brush = saved;
    state_.rop2 = rop;
}

// --- clipping ---------------------------------------------------------------------------

std::vector<std::uint8_t> CMetafileCanvas::FillArea(const std::vector<std::vector<SurfacePoint>>& rings,
                                                    bool winding) {
    const int w = surface_.Width(), h = surface_.Height();
    if (!recorder_)
        recorder_ = std::make_unique<CCoverageRecorder>(w, h);
    CCoverageRecorder& rec = *recorder_;
    rec.Begin();
    Pen none;
    none.style = PenStyle::Null;
    CDrawContext marks(rec);
    marks.SetPen(none);
    marks.SetBrush(Brush{Rgb{}, false});
    marks.PolyPolygon(rings, winding);
    std::vector<std::uint8_t> area(static_cast<std::size_t>(w) * h, 0);
    const SurfaceRect box = rec.Dirty();
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            area[static_cast<std::size_t>(y) * w + x] = rec.Covered(x, y) ? 1 : 0;
    rec.ClearDirty();
    return area;
}

// A ring in record coordinates combined with the clip (turned or sheared
// clip rectangles).
void CMetafileCanvas::PolygonClip(const std::vector<MetaPoint>& ring, int mode) {
    CombineClip(FillArea({Mapper().MapAll(ring)}, false), mode);
}

void CMetafileCanvas::IntersectClipRect(double l, double t, double r, double b) {
    const CMetaMapper mapper = Mapper();
    if (mapper.Skewed()) {
        PolygonClip({{l, t}, {r, t}, {r, b}, {l, b}}, 1);
        return;
    }
    const SurfaceRect box = Box(mapper.Map(l, t), mapper.Map(r, b));
    if (!state_.clipMask) {
        state_.clipBox = state_.clipBox.intersected(box);
        ApplyClip();
        return;
    }
    CombineClip(MaskOfRects({box}), 1);
}

void CMetafileCanvas::ExcludeClipRect(double l, double t, double r, double b) {
    const CMetaMapper mapper = Mapper();
    if (mapper.Skewed()) {
        PolygonClip({{l, t}, {r, t}, {r, b}, {l, b}}, 4);
        return;
    }
    const SurfaceRect box = Box(mapper.Map(l, t), mapper.Map(r, b));
    if (box.intersected(state_.clipBox).empty())
        return;
    CombineClip(MaskOfRects({box}), 4);
}

void CMetafileCanvas::SelectClipRegion(const std::vector<MetaPoint>& corners, bool deviceUnits, int mode) {
    const CMetaMapper mapper = Mapper();
    const SurfaceRect whole{0, 0, surface_.Width(), surface_.Height()};
    if (corners.empty() && mode == 5) {  // no region: clipping ends
        state_.clipBox = whole;
        state_.clipMask.reset();
        ApplyClip();
        return;
    }
    std::vector<SurfaceRect> rects;
    for (std::size_t i = 0; i + 1 < corners.size(); i += 2) {
        const MetaPoint a = deviceUnits ? mapper.DeviceToPicture(corners[i].x, corners[i].y) : mapper.MapExact(corners[i].x, corners[i].y);
        const MetaPoint b = deviceUnits ? mapper.DeviceToPicture(corners[i + 1].x, corners[i + 1].y)
                                        : mapper.MapExact(corners[i + 1].x, corners[i + 1].y);
        auto px = [](double v) { return static_cast<int>(std::floor(std::clamp(v, -1e8, 1e8) + 0.5)); };
        rects.push_back(Box(SurfacePoint{px(a.x), px(a.y)}, SurfacePoint{px(b.x), px(b.y)}));
    }
    if (mode == 5 && rects.size() == 1) {
        state_.clipBox = rects[0].intersected(whole);
        state_.clipMask.reset();
        ApplyClip();
        return;
    }
    CombineClip(MaskOfRects(rects), mode);
}

void CMetafileCanvas::SelectClipRegionObject(std::uint32_t index) {
    const Object* o = ObjectAt(index);
    SelectClipRegion(o && o->kind == kRegion ? o->region : std::vector<MetaPoint>{}, false, 5);
}

void CMetafileCanvas::SelectClipPath(int mode) {
    inPath_ = false;
    // The path's inside, recorded as a fill, becomes the area.
    const std::vector<std::uint8_t> area = FillArea(pathFigures_, state_.polyFillMode == 2);
    pathFigures_.clear();
    pathClosed_.clear();
    CombineClip(area, mode);
}

void CMetafileCanvas::OffsetClip(double dx, double dy) {
    const CMetaMapper mapper = Mapper();
    const MetaPoint a = mapper.MapExact(0, 0), b = mapper.MapExact(dx, dy);
    const int ox = static_cast<int>(std::lround(std::clamp(b.x - a.x, -1e6, 1e6)));
    const int oy = static_cast<int>(std::lround(std::clamp(b.y - a.y, -1e6, 1e6)));
    if (ox == 0 && oy == 0)
        return;
    const SurfaceRect whole{0, 0, surface_.Width(), surface_.Height()};
    if (!state_.clipMask) {
        const SurfaceRect c = state_.clipBox;
        if (c == whole)
            return;  // the whole picture stays the whole picture
        state_.clipBox = SurfaceRect{c.left + ox, c.top + oy, c.right + ox, c.bottom + oy}.intersected(whole);
        ApplyClip();
        return;
    }
    const int w = whole.right, h = whole.bottom;
    std::vector<std::uint8_t> moved(static_cast<std::size_t>(w) * h, 0);
    const std::vector<std::uint8_t>& mask = *state_.clipMask;
    for (int y = 0; y < h; ++y) {
        const int sy = y - oy;
        if (sy < 0 || sy >= h)
            continue;
        for (int x = 0; x < w; ++x) {
            const int sx = x - ox;
            if (sx >= 0 && sx < w)
                moved[static_cast<std::size_t>(y) * w + x] = mask[static_cast<std::size_t>(sy) * w + sx];
        }
    }
    CombineClip(moved, 5);
}
