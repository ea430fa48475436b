// CMetafileCanvas: clipping. A clip that is one rectangle stays the
// surface's clip box (the fast case); anything else becomes a mask with one
// byte per picture pixel, shared between saved states until it changes.
#include "image/MetafileCanvas.h"

#include "image/CoverageRecorder.h"

#include <algorithm>
#include <cmath>

namespace {
SurfaceRect Box(const SurfacePoint& a, const SurfacePoint& b) {
    return SurfaceRect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}
}  // namespace

void CMetafileCanvas::ApplyClip() { surface_.SetClip(state_.clipBox); }

std::vector<std::uint8_t> CMetafileCanvas::MaskOfRects(const std::vector<SurfaceRect>& rects) const {
    const int w = surface_.Width(), h = surface_.Height();
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(w) * h, 0);
    for (const SurfaceRect& r : rects) {
        const SurfaceRect box = r.intersected(SurfaceRect{0, 0, w, h});
        for (int y = box.top; y < box.bottom; ++y)
            std::fill_n(mask.begin() + static_cast<std::ptrdiff_t>(y) * w + box.left, box.width(), 1);
    }
    return mask;
}

void CMetafileCanvas::CombineClip(const std::vector<std::uint8_t>& area, int mode) {
    const int w = surface_.Width(), h = surface_.Height();
    std::vector<std::uint8_t> clip = state_.clipMask ? *state_.clipMask : MaskOfRects({state_.clipBox});
    // The clip is empty outside its box: "and" and "diff" only change the box.
    const SurfaceRect span = (mode == 1 || mode == 4) ? state_.clipBox : SurfaceRect{0, 0, w, h};
    int left = w, top = h, right = 0, bottom = 0;
    std::size_t inside = 0;
    for (int y = span.top; y < span.bottom; ++y) {
        std::uint8_t* row = clip.data() + static_cast<std::size_t>(y) * w;
        const std::uint8_t* add = area.data() + static_cast<std::size_t>(y) * w;
        for (int x = span.left; x < span.right; ++x) {
            const bool c = row[x] != 0, a = add[x] != 0;
            bool out = c;
            switch (mode) {
            case 1: out = c && a; break;   // RGN_AND
            case 2: out = c || a; break;   // RGN_OR
            case 3: out = c != a; break;   // RGN_XOR
            case 4: out = c && !a; break;  // RGN_DIFF
            case 5: out = a; break;        // RGN_COPY
            default: break;
            }
            row[x] = out ? 1 : 0;
            if (!out)
                continue;
            // The bounding box becomes the clip box.
            ++inside;
            left = std::min(left, x);
            right = std::max(right, x + 1);
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        }
    }
    if (inside == 0) {
        state_.clipBox = SurfaceRect{0, 0, 0, 0};
        state_.clipMask.reset();
    } else {
        state_.clipBox = SurfaceRect{left, top, right, bottom};
        // A full box needs no mask.
        if (inside == static_cast<std::size_t>(right - left) * static_cast<std::size_t>(bottom - top))
            state_.clipMask.reset();
        else
            state_.clipMask = std::make_shared<const std::vector<std::uint8_t>>(std::move(clip));
    }
    ApplyClip();
}

// A ring in record coordinates combined with the clip (turned or sheared
// clip rectangles).
void CMetafileCanvas::PolygonClip(const std::vector<MetaPoint>& ring, int mode) {
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
    marks.PolyPolygon({Mapper().MapAll(ring)});
    std::vector<std::uint8_t> area(static_cast<std::size_t>(w) * h, 0);
    const SurfaceRect box = rec.Dirty();
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            area[static_cast<std::size_t>(y) * w + x] = rec.Covered(x, y) ? 1 : 0;
    rec.ClearDirty();
    CombineClip(area, mode);
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
    const int w = surface_.Width(), h = surface_.Height();
    if (!recorder_)
        recorder_ = std::make_unique<CCoverageRecorder>(w, h);
    // The path's inside, recorded as a fill, becomes the area.
    CCoverageRecorder& rec = *recorder_;
    rec.Begin();
    Pen none;
    none.style = PenStyle::Null;
    CDrawContext marks(rec);
    marks.SetPen(none);
    marks.SetBrush(Brush{Rgb{}, false});
    marks.PolyPolygon(pathFigures_, state_.polyFillMode == 2);
    std::vector<std::uint8_t> area(static_cast<std::size_t>(w) * h, 0);
    const SurfaceRect box = rec.Dirty();
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            area[static_cast<std::size_t>(y) * w + x] = rec.Covered(x, y) ? 1 : 0;
    rec.ClearDirty();
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
