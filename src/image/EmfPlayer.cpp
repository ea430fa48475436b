// Enhanced metafile records onto the metafile canvas. Every record is
// type (32-bit), size (32-bit, a multiple of 4), parameters.
#include "image/CodecUtil.h"
#include "image/MetafileCanvas.h"

#include <cstring>

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

// A bitmap given by header and bits offsets inside the record.
bool DibFrom(const EmfParams& r, std::uint32_t offBmi, std::uint32_t cbBmi, std::uint32_t offBits,
             std::uint32_t cbBits, CRasterImage& out) {
    if (cbBmi < 12 || !r.Has(offBmi, cbBmi) || !r.Has(offBits, cbBits))
        return false;
    std::vector<std::uint8_t> block(std::size_t{cbBmi} + cbBits);
    std::memcpy(block.data(), r.At(offBmi), cbBmi);
    std::memcpy(block.data() + cbBmi, r.At(offBits), cbBits);
    return out.CreateFromClipboard(block.data(), block.size());
}
}  // namespace

void PlayEmfRecords(CMetafileCanvas& canvas, const std::uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    while (pos + 8 <= size) {
        const std::uint32_t type = LoadLE32(data + pos);
        const std::uint32_t bytes = LoadLE32(data + pos + 4);
        if (bytes < 8 || bytes % 4 != 0 || bytes > size - pos)
            return;
        const EmfParams r(data + pos, bytes);
        pos += bytes;
        MetaMapping& map = canvas.Mapping();
        switch (type) {
        case 14:  // EOF
            return;
        case 9:  // SETWINDOWEXTEX
            map.windowExtX = r.I(8);
            map.windowExtY = r.I(12);
            break;
        case 10:  // SETWINDOWORGEX
            map.windowOrgX = r.I(8);
            map.windowOrgY = r.I(12);
            break;
        case 11:  // SETVIEWPORTEXTEX
            map.viewportExtX = r.I(8);
            map.viewportExtY = r.I(12);
            break;
        case 12:  // SETVIEWPORTORGEX
            map.viewportOrgX = r.I(8);
            map.viewportOrgY = r.I(12);
            break;
        case 17:  // SETMAPMODE
            map.mapMode = r.I(8);
            break;
        case 33:  // SAVEDC
            canvas.SaveState();
            break;
        case 34:  // RESTOREDC
            canvas.RestoreState(r.I(8));
            break;
        case 35:  // SETWORLDTRANSFORM
            canvas.SetWorldTransform(r.F(8), r.F(12), r.F(16), r.F(20), r.F(24), r.F(28));
            break;
        case 36:  // MODIFYWORLDTRANSFORM
            canvas.ModifyWorldTransform(r.F(8), r.F(12), r.F(16), r.F(20), r.F(24), r.F(28), r.I(32));
            break;
        case 38:  // CREATEPEN: index, style, width (x, y), colour
            canvas.SetObject(r.U(8), CMetafileCanvas::kPen, MetaPen{r.I(12), double(r.I(16)), ColorRef(r.U(24))},
                             MetaBrush{});
            break;
        case 95:  // EXTCREATEPEN: index, bitmap offsets, style, width, brush style, colour
            canvas.SetObject(r.U(8), CMetafileCanvas::kPen, MetaPen{r.I(28), double(r.U(32)), ColorRef(r.U(40))},
                             MetaBrush{});
            break;
        case 39:  // CREATEBRUSHINDIRECT: index, style, colour, hatch
            canvas.SetObject(r.U(8), CMetafileCanvas::kBrush, MetaPen{},
                             MetaBrush{static_cast<int>(r.U(12)), ColorRef(r.U(16))});
            break;
        case 93:  // CREATEMONOBRUSH
        case 94:  // CREATEDIBPATTERNBRUSHPT: shown as a grey fill
            canvas.SetObject(r.U(8), CMetafileCanvas::kBrush, MetaPen{}, MetaBrush{0, Rgb{128, 128, 128}});
            break;
        case 37:  // SELECTOBJECT
            canvas.SelectObject(r.U(8));
            break;
        case 40:  // DELETEOBJECT
            canvas.DeleteObject(r.U(8));
            break;
        case 27:  // MOVETOEX
            canvas.MoveTo(r.I(8), r.I(12));
            break;
        case 54:  // LINETO
            canvas.LineTo(r.I(8), r.I(12));
            break;
        case 2:   // POLYBEZIER
        case 85:  // POLYBEZIER16
            canvas.PolyBezier(Points(r, 28, r.U(24), type == 85));
            break;
        case 3:   // POLYGON
        case 86:  // POLYGON16
            canvas.Polygon(Points(r, 28, r.U(24), type == 86));
            break;
        case 4:   // POLYLINE
        case 87:  // POLYLINE16
            canvas.Polyline(Points(r, 28, r.U(24), type == 87));
            break;
        case 5:   // POLYBEZIERTO
        case 88:  // POLYBEZIERTO16
            canvas.PolyBezierTo(Points(r, 28, r.U(24), type == 88));
            break;
        case 6:   // POLYLINETO
        case 89:  // POLYLINETO16
            canvas.PolylineTo(Points(r, 28, r.U(24), type == 89));
            break;
        case 7:   // POLYPOLYLINE
        case 90:  // POLYPOLYLINE16
            for (const std::vector<MetaPoint>& line : Rings(r, type == 90))
                canvas.Polyline(line);
            break;
        case 8:   // POLYPOLYGON
        case 91:  // POLYPOLYGON16
            canvas.PolyPolygon(Rings(r, type == 91));
            break;
        case 42:  // ELLIPSE: box
            canvas.Ellipse(r.I(8), r.I(12), r.I(16), r.I(20));
            break;
        case 43:  // RECTANGLE
        case 44:  // ROUNDRECT: drawn square
            canvas.Rectangle(r.I(8), r.I(12), r.I(16), r.I(20));
            break;
        case 59:  // BEGINPATH
            canvas.BeginPath();
            break;
        case 60:  // ENDPATH
            canvas.EndPath();
            break;
        case 61:  // CLOSEFIGURE
            canvas.CloseFigure();
            break;
        case 62:  // FILLPATH
            canvas.DrawPath(true, false);
            break;
        case 63:  // STROKEANDFILLPATH
            canvas.DrawPath(true, true);
            break;
        case 64:  // STROKEPATH
            canvas.DrawPath(false, true);
            break;
        case 76:    // BITBLT: dest x, y, w, h, rop, src x, y, xform, bk, usage, bitmap
        case 77: {  // STRETCHBLT: as BITBLT plus source w, h
            CRasterImage dib;
            const bool bitmap = DibFrom(r, r.U(84), r.U(88), r.U(92), r.U(96), dib);
            const int srcW = type == 77 ? r.I(100) : r.I(32), srcH = type == 77 ? r.I(104) : r.I(36);
            canvas.Blit(r.I(24), r.I(28), r.I(32), r.I(36), bitmap ? &dib : nullptr, r.I(44), r.I(48), srcW, srcH,
                        r.U(40));
            break;
        }
        case 80: {  // SETDIBITSTODEVICE: dest x, y, src x, y, w, h, bitmap
            CRasterImage dib;
            if (DibFrom(r, r.U(48), r.U(52), r.U(56), r.U(60), dib)) {
                const int w = r.I(40), h = r.I(44);
                canvas.Blit(r.I(24), r.I(28), w, h, &dib, r.I(32), dib.GetHeight() - r.I(36) - h, w, h, 0x00CC0020);
            }
            break;
        }
        case 81: {  // STRETCHDIBITS: dest x, y, src x, y, w, h, bitmap, usage, rop, dest w, h
            CRasterImage dib;
            if (DibFrom(r, r.U(48), r.U(52), r.U(56), r.U(60), dib)) {
                // The source y counts from the bottom of the bitmap.
                const int srcH = r.I(44);
                canvas.Blit(r.I(24), r.I(28), r.I(72), r.I(76), &dib, r.I(32), dib.GetHeight() - r.I(36) - srcH,
                            r.I(40), srcH, r.U(68));
            }
            break;
        }
        default:  // text, arcs, regions, clipping, palettes...: not drawn
            break;
        }
    }
}
