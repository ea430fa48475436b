// Enhanced metafile records onto the metafile canvas. Every record is
// type (32-bit), size (32-bit, a multiple of 4), parameters.
#include "image/CodecUtil.h"
#include "image/MetafileBitmaps.h"
#include "image/EmfRecords.h"
#include "image/FontEngine.h"
#include "image/MetafileCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {
class EmfParams {
public:
    EmfParams(const std::uint8_t* record, std::size_t bytes) : p_(record), bytes_(bytes) {}
    // Fields by byte offset from the start of the record.
    std::int32_t I(std::size_t at) const { return at + 4 <= bytes_ ? LoadLE32s(p_ + at) : 0; }
    std::uint32_t U(std::size_t at) const { return at + 4 <= bytes_ ? LoadLE32(p_ + at) : 0; }
    std::int16_t S(std::size_t at) const { return at + 2 <= bytes_ ? static_cast<std::int16_t>(LoadLE16(p_ + at)) : 0; }
    float F(std::size_t at) const {
        const std::uint32_t v = U(at);
        float f;
        std::memcpy(&f, &v, sizeof f);
        return f == f ? f : 0.0f;  // NaN reads as 0
    }
    bool Has(std::size_t at, std::size_t count) const { return at <= bytes_ && count <= bytes_ - at; }
    const std::uint8_t* At(std::size_t at) const { return p_ + at; }

private:
    const std::uint8_t* p_;
    std::size_t bytes_;
};

Rgb ColorRef(std::uint32_t c) {
    return Rgb{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16)};
}

// `count` points from byte `at`: 32-bit pairs, or 16-bit pairs when `small`.
std::vector<MetaPoint> Points(const EmfParams& r, std::size_t at, std::uint64_t count, bool small) {
    std::vector<MetaPoint> pts;
    const std::size_t each = small ? 4 : 8;
    if (count > (1u << 24) || !r.Has(at, static_cast<std::size_t>(count) * each))
        return pts;
    pts.reserve(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t p = at + i * each;
        if (small)
            pts.push_back(MetaPoint{double(r.S(p)), double(r.S(p + 2))});
        else
            pts.push_back(MetaPoint{double(r.I(p)), double(r.I(p + 4))});
    }
    return pts;
}

// Poly-poly records: bounds, number of polys, total points, counts, points.
std::vector<std::vector<MetaPoint>> Rings(const EmfParams& r, bool small) {
    std::vector<std::vector<MetaPoint>> rings;
    const std::uint32_t polys = r.U(24), total = r.U(28);
    if (polys > (1u << 20) || !r.Has(32, std::size_t{polys} * 4))
        return rings;
    std::size_t at = 32 + std::size_t{polys} * 4;
    std::uint64_t used = 0;
    for (std::uint32_t i = 0; i < polys; ++i) {
        const std::uint32_t n = r.U(32 + std::size_t{i} * 4);
        used += n;
        if (used > total)
            break;
        std::vector<MetaPoint> ring = Points(r, at, n, small);
        if (ring.size() != n)
            break;
        rings.push_back(std::move(ring));
        at += std::size_t{n} * (small ? 4 : 8);
    }
    return rings;
}

// A bitmap given by its own header and bits offsets and sizes inside the
// record (the header block may hold more than header and palette).
bool DibFrom(const EmfParams& r, std::uint32_t offBmi, std::uint32_t cbBmi, std::uint32_t offBits,
             std::uint32_t cbBits, CRasterImage& out) {
    if (cbBmi < 12 || !r.Has(offBmi, cbBmi) || !r.Has(offBits, cbBits))
        return false;
    return ImageFromDib(r.At(offBmi), cbBmi, r.At(offBits), cbBits, out);
}

// The fourth bytes of a 32-bit uncompressed bitmap's rows, top-down: its
// alpha; empty for any other bitmap.
std::vector<std::uint8_t> DibAlpha(const EmfParams& r, std::uint32_t offBmi, std::uint32_t cbBmi, std::uint32_t offBits,
                                   std::uint32_t cbBits) {
    if (cbBmi < 40 || !r.Has(offBmi, 40) || !r.Has(offBits, cbBits))
        return {};
    const EmfParams h(r.At(offBmi), cbBmi);
    const std::int32_t w = h.I(4), height = h.I(8);
    const std::uint32_t bits = h.U(12) >> 16, compression = h.U(16);
    if (bits != 32 || (compression != 0 && compression != 3) || w <= 0 || height == 0 || w > (1 << 15) ||
        std::abs(height) > (1 << 15))
        return {};
    const std::size_t rows = static_cast<std::size_t>(std::abs(height)), cols = static_cast<std::size_t>(w);
    if (rows * cols * 4 > cbBits)
        return {};
    std::vector<std::uint8_t> alpha(rows * cols);
    const std::uint8_t* p = r.At(offBits);
    for (std::size_t y = 0; y < rows; ++y) {
        const std::size_t from = height > 0 ? rows - 1 - y : y;  // bottom-up unless the height is negative
        for (std::size_t x = 0; x < cols; ++x)
            alpha[y * cols + x] = p[(from * cols + x) * 4 + 3];
    }
    return alpha;
}

CMetafileCanvas::Object BrushObject(int style, Rgb color, int hatch = 0) {
    CMetafileCanvas::Object o;
    o.kind = CMetafileCanvas::kBrush;
    o.brush = MetaBrush(style, color, hatch);
    return o;
}

// EXTCREATEFONTINDIRECTW: index, then a LOGFONTW.
CMetafileCanvas::Object Font(const EmfParams& r) {
    CMetafileCanvas::Object o;
    o.kind = CMetafileCanvas::kFont;
    MetaFont& f = o.font;
    f.height = r.I(12);
    f.width = std::abs(static_cast<double>(r.I(16)));
    f.escapement = static_cast<int>(r.I(20) % 3600);
    f.weight = r.I(28);
    if (r.Has(32, 4)) {
        f.italic = r.At(32)[0] != 0;
        f.underline = r.At(33)[0] != 0;
        f.strikeOut = r.At(34)[0] != 0;
        f.charset = r.At(35)[0];
    }
    for (std::size_t i = 0; i < 32 && r.Has(40 + i * 2, 2); ++i) {
        const std::uint16_t c = static_cast<std::uint16_t>(r.S(40 + i * 2));
        if (c == 0)
            break;
        f.family.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return o;
}

// Region data: header (size, type, count, bytes, bounds), then rectangles.
std::vector<MetaPoint> Region(const EmfParams& r, std::size_t at, std::uint32_t bytes) {
    std::vector<MetaPoint> rects;
    if (bytes < 32 || !r.Has(at, bytes))
        return rects;
    const std::uint32_t count = r.U(at + 8);
    for (std::uint32_t i = 0; i < count && 32 + (std::size_t{i} + 1) * 16 <= bytes; ++i) {
        const std::size_t p = at + 32 + std::size_t{i} * 16;
        rects.push_back(MetaPoint{double(r.I(p)), double(r.I(p + 4))});
        rects.push_back(MetaPoint{double(r.I(p + 8)), double(r.I(p + 12))});
    }
    return rects;
}

// One EMRTEXT at `at`: reference point, count, string offset, options,
// rectangle, spacing offset; offsets count from the record's start.
void TextAt(CMetafileCanvas& canvas, const EmfParams& r, std::size_t at, bool wide) {
    MetaText t;
    t.x = r.I(at);
    t.y = r.I(at + 4);
    const std::uint32_t count = std::min<std::uint32_t>(r.U(at + 8), 1u << 16);
    const std::uint32_t offString = r.U(at + 12);
    t.options = static_cast<int>(r.U(at + 16));
    t.rectLeft = r.I(at + 20);
    t.rectTop = r.I(at + 24);
    t.rectRight = r.I(at + 28);
    t.rectBottom = r.I(at + 32);
    const std::uint32_t offDx = r.U(at + 36);
    const std::size_t unit = wide ? 2 : 1;
    // Glyph indices name glyphs of the font, not characters: they are drawn
    // by index from the face that stands in for it.
    const bool glyphIndices = (t.options & 0x10) != 0;
    if (count > 0 && r.Has(offString, std::size_t{count} * unit)) {
        if (glyphIndices) {
            t.glyphIndices = true;
            for (std::uint32_t i = 0; i < count; ++i)
                t.chars.push_back(kGlyphIndexBit | (wide ? LoadLE16(r.At(offString + i * 2)) : r.At(offString)[i]));
        } else {
            t.chars = wide ? canvas.DecodeWideText(r.At(offString), count) : canvas.DecodeText(r.At(offString), count);
        }
        // With ETO_PDY the spacing holds x and y pairs.
        const std::size_t step = (t.options & 0x2000) ? 8 : 4;
        if (offDx != 0 && r.Has(offDx, std::size_t{count} * step))
            for (std::uint32_t i = 0; i < count; ++i)
                t.advances.push_back(r.I(offDx + i * step));
    }
    canvas.Text(t);
}
}  // namespace

void PlayEmfRecords(CMetafileCanvas& canvas, const std::uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    while (pos + 8 <= size) {
        const auto type = static_cast<EmfRecord>(LoadLE32(data + pos));
        const std::uint32_t bytes = LoadLE32(data + pos + 4);
        if (bytes < 8 || bytes % 4 != 0 || bytes > size - pos)
            return;
        const EmfParams r(data + pos, bytes);
        pos += bytes;
        MetaMapping& map = canvas.Mapping();
        switch (type) {
        case EmfRecord::Eof:
            return;
        case EmfRecord::SetWindowExtEx:
            map.windowExtX = r.I(8);
            map.windowExtY = r.I(12);
            break;
        case EmfRecord::SetWindowOrgEx:
            map.windowOrgX = r.I(8);
            map.windowOrgY = r.I(12);
            break;
        case EmfRecord::SetViewportExtEx:
            map.viewportExtX = r.I(8);
            map.viewportExtY = r.I(12);
            break;
        case EmfRecord::SetViewportOrgEx:
            map.viewportOrgX = r.I(8);
            map.viewportOrgY = r.I(12);
            break;
        case EmfRecord::SetMapMode:
            map.mapMode = r.I(8);
            break;
        case EmfRecord::SaveDc:
            canvas.SaveState();
            break;
        case EmfRecord::RestoreDc:
            canvas.RestoreState(r.I(8));
            break;
        case EmfRecord::SetWorldTransform:
            canvas.SetWorldTransform(r.F(8), r.F(12), r.F(16), r.F(20), r.F(24), r.F(28));
            break;
        case EmfRecord::ModifyWorldTransform:
            canvas.ModifyWorldTransform(r.F(8), r.F(12), r.F(16), r.F(20), r.F(24), r.F(28), r.I(32));
            break;
        case EmfRecord::CreatePen: {  // index, style, width (x, y), colour
            CMetafileCanvas::Object o;
            o.kind = CMetafileCanvas::kPen;
            o.pen = MetaPen{r.I(12), double(r.I(16)), ColorRef(r.U(24))};
            canvas.SetObject(r.U(8), std::move(o));
            break;
        }
        case EmfRecord::ExtCreatePen: {  // index, bitmap offsets, style, width, brush style, colour, hatch,
                                         // number of style entries, entries
            CMetafileCanvas::Object o;
            o.kind = CMetafileCanvas::kPen;
            o.pen = MetaPen{r.I(28), double(r.U(32)), ColorRef(r.U(40))};
            o.pen.extended = true;
            if (r.U(36) == 1)  // BS_NULL: the pen draws nothing
                o.pen.style = 5;
            const std::uint32_t entries = r.U(48);
            if ((o.pen.style & 0x0F) == 7 && entries <= 16 && r.Has(52, std::size_t{entries} * 4))
                for (std::uint32_t i = 0; i < entries; ++i)
                    o.pen.userStyle.push_back(r.U(52 + std::size_t{i} * 4));
            canvas.SetObject(r.U(8), std::move(o));
            break;
        }
        case EmfRecord::CreateBrushIndirect:  // index, style, colour, hatch
            canvas.SetObject(r.U(8), BrushObject(static_cast<int>(r.U(12)), ColorRef(r.U(16)), r.I(20)));
            break;
        case EmfRecord::CreateMonoBrush:  // index, usage, bitmap offsets and sizes
        case EmfRecord::CreateDibPatternBrushPt: {
            auto pattern = std::make_shared<CRasterImage>();
            CMetafileCanvas::Object o = BrushObject(5, Rgb{128, 128, 128});
            if (DibFrom(r, r.U(16), r.U(20), r.U(24), r.U(28), *pattern))
                o.brush.pattern = std::move(pattern);
            else
                o.brush.style = 0;
            canvas.SetObject(r.U(8), std::move(o));
            break;
        }
        case EmfRecord::ExtCreateFontIndirectW:
            canvas.SetObject(r.U(8), Font(r));
            break;
        case EmfRecord::ExtTextOutA:  // bounds, mode, scales, one EMRTEXT
        case EmfRecord::ExtTextOutW:
            TextAt(canvas, r, 36, type == EmfRecord::ExtTextOutW);
            break;
        case EmfRecord::PolyTextOutA:  // bounds, mode, scales, count, EMRTEXTs
        case EmfRecord::PolyTextOutW: {
            const std::uint32_t n = r.U(36);
            for (std::uint32_t i = 0; i < n && r.Has(40 + std::size_t{i} * 40, 40); ++i)
                TextAt(canvas, r, 40 + std::size_t{i} * 40, type == EmfRecord::PolyTextOutW);
            break;
        }
        case EmfRecord::SetBkMode:
            canvas.SetBackgroundMode(r.I(8));
            break;
        case EmfRecord::SetPolyFillMode:
            canvas.SetPolyFillMode(r.I(8));
            break;
        case EmfRecord::SetRop2:
            canvas.SetRop2(r.I(8));
            break;
        case EmfRecord::SetTextAlign:
            canvas.SetTextAlign(r.I(8));
            break;
        case EmfRecord::SetTextColor:
            canvas.SetTextColor(ColorRef(r.U(8)));
            break;
        case EmfRecord::SetBkColor:
            canvas.SetBackgroundColor(ColorRef(r.U(8)));
            break;
        case EmfRecord::SetArcDirection:
            canvas.SetArcDirection(r.I(8));
            break;
        case EmfRecord::ExcludeClipRect:
            canvas.ExcludeClipRect(r.I(8), r.I(12), r.I(16), r.I(20));
            break;
        case EmfRecord::IntersectClipRect:
            canvas.IntersectClipRect(r.I(8), r.I(12), r.I(16), r.I(20));
            break;
        case EmfRecord::OffsetClipRgn:
            canvas.OffsetClip(r.I(8), r.I(12));
            break;
        case EmfRecord::SelectClipPath:
            canvas.SelectClipPath(r.I(8));
            break;
        case EmfRecord::ExtSelectClipRgn:  // data size, mode, region data
            canvas.SelectClipRegion(Region(r, 16, r.U(8)), true, r.I(12));
            break;
        case EmfRecord::FillRgn: {  // bounds, data size, brush, region data
            const CMetafileCanvas::Object* brush = canvas.ObjectAt(r.U(28));
            if (brush && brush->kind == CMetafileCanvas::kBrush)
                canvas.FillRegion(Region(r, 32, r.U(24)), brush->brush, true);
            break;
        }
        case EmfRecord::InvertRgn:  // bounds, data size, region data
            canvas.InvertRegion(Region(r, 28, r.U(24)), true);
            break;
        case EmfRecord::PaintRgn:
            canvas.PaintRegion(Region(r, 28, r.U(24)), true);
            break;
        case EmfRecord::AbortPath:
            canvas.AbortPath();
            break;
        case EmfRecord::SetPixelV:  // point, colour
            canvas.SetPixel(r.I(8), r.I(12), ColorRef(r.U(16)));
            break;
        case EmfRecord::AngleArc:  // centre, radius, start and sweep angles
            canvas.AngleArc(r.I(8), r.I(12), r.U(16), r.F(20), r.F(24));
            break;
        case EmfRecord::Arc:  // box, start, end
        case EmfRecord::Chord:
        case EmfRecord::Pie:
        case EmfRecord::ArcTo: {
            const CMetafileCanvas::ArcKind kind = type == EmfRecord::Arc     ? CMetafileCanvas::ArcKind::Arc
                                                  : type == EmfRecord::Chord ? CMetafileCanvas::ArcKind::Chord
                                                  : type == EmfRecord::Pie   ? CMetafileCanvas::ArcKind::Pie
                                                                             : CMetafileCanvas::ArcKind::ArcTo;
            canvas.Arc(kind, r.I(8), r.I(12), r.I(16), r.I(20), r.I(24), r.I(28), r.I(32), r.I(36));
            break;
        }
        case EmfRecord::GradientFill: {  // bounds, vertex count, item count, mode, vertices, items
            const std::uint32_t nv = r.U(24), ni = r.U(28), mode = r.U(32);
            if (nv > (1u << 20) || ni > (1u << 20) || !r.Has(36, std::size_t{nv} * 16))
                break;
            std::vector<CMetafileCanvas::GradientVertex> v(nv);
            for (std::uint32_t i = 0; i < nv; ++i) {
                const std::size_t p = 36 + std::size_t{i} * 16;
                v[i] = {double(r.I(p)), double(r.I(p + 4)), (r.U(p + 8) & 0xFFFF) / 256.0,
                        (r.U(p + 8) >> 16) / 256.0, (r.U(p + 12) & 0xFFFF) / 256.0};
            }
            const std::size_t items = 36 + std::size_t{nv} * 16, each = mode == 2 ? 12 : 8;
            for (std::uint32_t i = 0; i < ni && r.Has(items + i * each, each); ++i) {
                const std::size_t p = items + i * each;
                const std::uint32_t a = r.U(p), b = r.U(p + 4), c = mode == 2 ? r.U(p + 8) : 0;
                if (a >= nv || b >= nv || c >= nv)
                    continue;
                if (mode == 2)
                    canvas.GradientTriangle(v[a], v[b], v[c]);
                else
                    canvas.GradientRect(v[a], v[b], mode == 1);
            }
            break;
        }
        case EmfRecord::SelectObject:
            canvas.SelectObject(r.U(8));
            break;
        case EmfRecord::DeleteObject:
            canvas.DeleteObject(r.U(8));
            break;
        case EmfRecord::MoveToEx:
            canvas.MoveTo(r.I(8), r.I(12));
            break;
        case EmfRecord::LineTo:
            canvas.LineTo(r.I(8), r.I(12));
            break;
        case EmfRecord::PolyBezier:
        case EmfRecord::PolyBezier16:
            canvas.PolyBezier(Points(r, 28, r.U(24), type == EmfRecord::PolyBezier16));
            break;
        case EmfRecord::Polygon:
        case EmfRecord::Polygon16:
            canvas.Polygon(Points(r, 28, r.U(24), type == EmfRecord::Polygon16));
            break;
        case EmfRecord::Polyline:
        case EmfRecord::Polyline16:
            canvas.Polyline(Points(r, 28, r.U(24), type == EmfRecord::Polyline16));
            break;
        case EmfRecord::PolyBezierTo:
        case EmfRecord::PolyBezierTo16:
            canvas.PolyBezierTo(Points(r, 28, r.U(24), type == EmfRecord::PolyBezierTo16));
            break;
        case EmfRecord::PolylineTo:
        case EmfRecord::PolylineTo16:
            canvas.PolylineTo(Points(r, 28, r.U(24), type == EmfRecord::PolylineTo16));
            break;
        case EmfRecord::PolyPolyline:
        case EmfRecord::PolyPolyline16:
            for (const std::vector<MetaPoint>& line : Rings(r, type == EmfRecord::PolyPolyline16))
                canvas.Polyline(line);
            break;
        case EmfRecord::PolyPolygon:
        case EmfRecord::PolyPolygon16:
            canvas.PolyPolygon(Rings(r, type == EmfRecord::PolyPolygon16));
            break;
        case EmfRecord::Ellipse:  // box
            canvas.Ellipse(r.I(8), r.I(12), r.I(16), r.I(20));
            break;
        case EmfRecord::Rectangle:
            canvas.Rectangle(r.I(8), r.I(12), r.I(16), r.I(20));
            break;
        case EmfRecord::RoundRect:  // box, corner size
            canvas.RoundRect(r.I(8), r.I(12), r.I(16), r.I(20), r.I(24), r.I(28));
            break;
        case EmfRecord::BeginPath:
            canvas.BeginPath();
            break;
        case EmfRecord::EndPath:
            canvas.EndPath();
            break;
        case EmfRecord::CloseFigure:
            canvas.CloseFigure();
            break;
        case EmfRecord::FillPath:
            canvas.DrawPath(true, false);
            break;
        case EmfRecord::StrokeAndFillPath:
            canvas.DrawPath(true, true);
            break;
        case EmfRecord::StrokePath:
            canvas.DrawPath(false, true);
            break;
        case EmfRecord::BitBlt:  // dest x, y, w, h, rop, src x, y, xform, bk, usage, bitmap
        case EmfRecord::StretchBlt: {  // as BITBLT plus source w, h
            CRasterImage dib;
            const bool bitmap = DibFrom(r, r.U(84), r.U(88), r.U(92), r.U(96), dib);
            const int srcW = type == EmfRecord::StretchBlt ? r.I(100) : r.I(32), srcH = type == EmfRecord::StretchBlt ? r.I(104) : r.I(36);
            canvas.Blit(r.I(24), r.I(28), r.I(32), r.I(36), bitmap ? &dib : nullptr, r.I(44), r.I(48), srcW, srcH,
                        r.U(40));
            break;
        }
        case EmfRecord::SetDiBitsToDevice: {  // dest x, y, src x, y, w, h, bitmap
            CRasterImage dib;
            if (DibFrom(r, r.U(48), r.U(52), r.U(56), r.U(60), dib)) {
                const int w = r.I(40), h = r.I(44);
                canvas.Blit(r.I(24), r.I(28), w, h, &dib, r.I(32), dib.GetHeight() - r.I(36) - h, w, h, 0x00CC0020);
            }
            break;
        }
        case EmfRecord::StretchDiBits: {  // dest x, y, src x, y, w, h, bitmap, usage, rop, dest w, h
            CRasterImage dib;
            if (DibFrom(r, r.U(48), r.U(52), r.U(56), r.U(60), dib)) {
                // The source y counts from the bottom of the bitmap.
                const int srcH = r.I(44);
                canvas.Blit(r.I(24), r.I(28), r.I(72), r.I(76), &dib, r.I(32), dib.GetHeight() - r.I(36) - srcH,
                            r.I(40), srcH, r.U(68));
            }
            break;
        }
        case EmfRecord::AlphaBlend:       // as STRETCHBLT, the blend function for the rop
        case EmfRecord::TransparentBlt: {  // as STRETCHBLT, the transparent colour for the rop
            CRasterImage dib;
            std::vector<std::uint8_t> alpha;
            if (!DibFrom(r, r.U(84), r.U(88), r.U(92), r.U(96), dib))
                break;
            CMetafileCanvas::Transfer extra;
            if (type == EmfRecord::AlphaBlend) {
                const std::uint32_t blend = r.U(40);
                extra.blend = true;
                extra.constantAlpha = static_cast<int>((blend >> 16) & 0xFF);
                // AC_SRC_ALPHA: the bitmap's fourth bytes are premultiplied alpha.
                if ((blend >> 24) & 1) {
                    alpha = DibAlpha(r, r.U(84), r.U(88), r.U(92), r.U(96));
                    if (!alpha.empty())
                        extra.alpha = &alpha;
                } else {
                    dib.DeleteAlpha();
                }
            } else {
                extra.transparent = true;
                extra.key = ColorRef(r.U(40));
            }
            const double x = r.I(24), y = r.I(28), w = r.I(32), h = r.I(36);
            canvas.BlitQuad(MetaPoint{x, y}, MetaPoint{x + w, y}, MetaPoint{x, y + h}, false, &dib, r.I(44), r.I(48),
                            r.I(100), r.I(104), 0x00CC0020, extra);
            break;
        }
        case EmfRecord::MaskBlt: {  // as BITBLT with a ROP4, then mask x, y, usage, offsets and sizes
            CRasterImage dib, mask;
            const bool bitmap = DibFrom(r, r.U(84), r.U(88), r.U(92), r.U(96), dib);
            CMetafileCanvas::Transfer extra;
            if (DibFrom(r, r.U(112), r.U(116), r.U(120), r.U(124), mask)) {
                extra.mask = &mask;
                extra.maskX = r.I(100);
                extra.maskY = r.I(104);
            }
            std::uint32_t rop = r.U(40);
            if (!extra.mask)  // without a mask the foreground operation alone
                rop = (rop & 0x00FFFFFFu) | ((rop & 0x00FF0000u) << 8);
            const double x = r.I(24), y = r.I(28), w = r.I(32), h = r.I(36);
            canvas.BlitQuad(MetaPoint{x, y}, MetaPoint{x + w, y}, MetaPoint{x, y + h}, false, bitmap ? &dib : nullptr,
                            r.I(44), r.I(48), r.I(32), r.I(36), rop, extra);
            break;
        }
        case EmfRecord::PlgBlt: {  // bounds, three corners, source box, xform, colour, usage, bitmap, mask
            CRasterImage dib, mask;
            if (!DibFrom(r, r.U(96), r.U(100), r.U(104), r.U(108), dib))
                break;
            CMetafileCanvas::Transfer extra;
            // Where the mask is clear the target stays (SRCCOPY over DSTCOPY).
            std::uint32_t rop = 0xCCCC0020u;
            if (DibFrom(r, r.U(124), r.U(128), r.U(132), r.U(136), mask)) {
                extra.mask = &mask;
                extra.maskX = r.I(112);
                extra.maskY = r.I(116);
                rop = 0xAACC0020u;
            }
            canvas.BlitQuad(MetaPoint{double(r.I(24)), double(r.I(28))}, MetaPoint{double(r.I(32)), double(r.I(36))},
                            MetaPoint{double(r.I(40)), double(r.I(44))}, false, &dib, r.I(48), r.I(52), r.I(56),
                            r.I(60), rop, extra);
            break;
        }
        case EmfRecord::SmallTextOut: {  // x, y, count, options, mode, scales, [bounds], characters
            MetaText t;
            t.x = r.I(8);
            t.y = r.I(12);
            const std::uint32_t count = std::min<std::uint32_t>(r.U(16), 1u << 16);
            t.options = static_cast<int>(r.U(20));
            std::size_t at = 36;
            if (!(t.options & 0x100)) {  // without ETO_NO_RECT the clipping rectangle comes first
                t.rectLeft = r.I(36);
                t.rectTop = r.I(40);
                t.rectRight = r.I(44);
                t.rectBottom = r.I(48);
                at = 52;
            }
            // ETO_SMALL_CHARS: one byte per character (the low byte of its UTF-16 unit).
            const bool small = (t.options & 0x200) != 0;
            if (r.Has(at, std::size_t{count} * (small ? 1 : 2))) {
                if (t.options & 0x10) {
                    t.glyphIndices = true;
                    for (std::uint32_t i = 0; i < count; ++i)
                        t.chars.push_back(kGlyphIndexBit | (small ? r.At(at)[i] : LoadLE16(r.At(at + i * 2))));
                } else if (small) {
                    std::vector<std::uint8_t> units;
                    for (std::uint32_t i = 0; i < count; ++i) {
                        units.push_back(r.At(at)[i]);
                        units.push_back(0);
                    }
                    t.chars = canvas.DecodeWideText(units.data(), count);
                } else {
                    t.chars = canvas.DecodeWideText(r.At(at), count);
                }
            }
            canvas.Text(t);
            break;
        }
        default:  // palettes, frames of regions...: not drawn
            break;
        }
    }
}
