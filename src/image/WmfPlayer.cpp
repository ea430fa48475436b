// Windows metafile records onto the metafile canvas. Every record is
// size (32-bit, in 16-bit words), function (16-bit), parameters.
#include "image/CodecUtil.h"
#include "image/MetafileCanvas.h"

namespace {
// The parameters of one record, read as signed 16-bit words, never past
// its end.
class WmfParams {
public:
    WmfParams(const std::uint8_t* p, std::size_t bytes) : p_(p), bytes_(bytes) {}
    std::size_t Words() const { return bytes_ / 2; }
    int S(std::size_t i) const { return i * 2 + 1 < bytes_ ? static_cast<std::int16_t>(LoadLE16(p_ + i * 2)) : 0; }
    std::uint32_t U32(std::size_t i) const {
        return i * 2 + 3 < bytes_ ? LoadLE32(p_ + i * 2) : 0;
    }
    const std::uint8_t* Bytes(std::size_t i) const { return p_ + i * 2; }
    std::size_t BytesFrom(std::size_t i) const { return i * 2 < bytes_ ? bytes_ - i * 2 : 0; }

private:
    const std::uint8_t* p_;
    std::size_t bytes_;
};

Rgb ColorRef(std::uint32_t c) {
    return Rgb{static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c >> 16)};
}

// Points stored as x, y pairs from word `first` on.
std::vector<MetaPoint> Points(const WmfParams& a, std::size_t first, std::size_t count) {
    std::vector<MetaPoint> pts;
    if (first + count * 2 > a.Words())
        return pts;
    pts.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        pts.push_back(MetaPoint{double(a.S(first + i * 2)), double(a.S(first + i * 2 + 1))});
    return pts;
}

// A device-independent bitmap inside a record, as an image.
bool DibFrom(const WmfParams& a, std::size_t firstWord, CRasterImage& out) {
    const std::size_t n = a.BytesFrom(firstWord);
    return n >= 40 && out.CreateFromClipboard(a.Bytes(firstWord), n);
}
}  // namespace

void PlayWmfRecords(CMetafileCanvas& canvas, const std::uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    while (pos + 6 <= size) {
        const std::uint64_t words = LoadLE32(data + pos);
        const unsigned function = LoadLE16(data + pos + 4);
        if (words < 3 || words * 2 > size - pos)
            return;
        const WmfParams a(data + pos + 6, static_cast<std::size_t>(words * 2 - 6));
        pos += static_cast<std::size_t>(words * 2);
        MetaMapping& map = canvas.Mapping();
        switch (function) {
        case 0x0000:  // EOF
            return;
        case 0x020B:  // SetWindowOrg (y, x)
            map.windowOrgX = a.S(1);
            map.windowOrgY = a.S(0);
            break;
        case 0x020C:  // SetWindowExt (y, x)
            map.windowExtX = a.S(1);
            map.windowExtY = a.S(0);
            break;
        case 0x0103:  // SetMapMode
            map.mapMode = a.S(0);
            break;
        case 0x001E:  // SaveDC
            canvas.SaveState();
            break;
        case 0x0127:  // RestoreDC
            canvas.RestoreState(a.S(0));
            break;
        case 0x02FA: {  // CreatePenIndirect: style, width (x, y), colour
            const MetaPen pen{a.S(0), static_cast<double>(a.S(1)), ColorRef(a.U32(3))};
            canvas.AddObjectFirstFree(CMetafileCanvas::kPen, pen, MetaBrush{});
            break;
        }
        case 0x02FC: {  // CreateBrushIndirect: style, colour, hatch
            const MetaBrush brush{static_cast<std::uint16_t>(a.S(0)), ColorRef(a.U32(1))};
            canvas.AddObjectFirstFree(CMetafileCanvas::kBrush, MetaPen{}, brush);
            break;
        }
        case 0x0142:  // DIBCreatePatternBrush: shown as a grey fill
        case 0x01F9:  // CreatePatternBrush
            canvas.AddObjectFirstFree(CMetafileCanvas::kBrush, MetaPen{}, MetaBrush{0, Rgb{128, 128, 128}});
            break;
        case 0x02FB:  // CreateFontIndirect
        case 0x00F7:  // CreatePalette
        case 0x06FF:  // CreateRegion
            canvas.AddObjectFirstFree(CMetafileCanvas::kOther, MetaPen{}, MetaBrush{});
            break;
        case 0x012D:  // SelectObject
            canvas.SelectObject(static_cast<std::uint16_t>(a.S(0)));
            break;
        case 0x01F0:  // DeleteObject
            canvas.DeleteObject(static_cast<std::uint16_t>(a.S(0)));
            break;
        case 0x0214:  // MoveTo (y, x)
            canvas.MoveTo(a.S(1), a.S(0));
            break;
        case 0x0213:  // LineTo (y, x)
            canvas.LineTo(a.S(1), a.S(0));
            break;
        case 0x0325:  // Polyline
            canvas.Polyline(Points(a, 1, static_cast<std::uint16_t>(a.S(0))));
            break;
        case 0x0324:  // Polygon
            canvas.Polygon(Points(a, 1, static_cast<std::uint16_t>(a.S(0))));
            break;
        case 0x0538: {  // PolyPolygon: count, point counts, points
            const std::size_t polys = static_cast<std::uint16_t>(a.S(0));
            if (1 + polys > a.Words())
                break;
            std::vector<std::vector<MetaPoint>> rings;
            std::size_t at = 1 + polys;
            for (std::size_t i = 0; i < polys; ++i) {
                const std::size_t n = static_cast<std::uint16_t>(a.S(1 + i));
                if (at + n * 2 > a.Words())
                    break;
                rings.push_back(Points(a, at, n));
                at += n * 2;
            }
            canvas.PolyPolygon(rings);
            break;
        }
        case 0x041B:  // Rectangle (bottom, right, top, left)
        case 0x061C:  // RoundRect (h, w, bottom, right, top, left): drawn square
        {
            const std::size_t o = function == 0x061C ? 2 : 0;
            canvas.Rectangle(a.S(o + 3), a.S(o + 2), a.S(o + 1), a.S(o));
            break;
        }
        case 0x0418:  // Ellipse (bottom, right, top, left)
            canvas.Ellipse(a.S(3), a.S(2), a.S(1), a.S(0));
            break;
        case 0x041D:  // PatBlt: rop, height, width, y, x
            canvas.Blit(a.S(5), a.S(4), a.S(3), a.S(2), nullptr, 0, 0, 0, 0, a.U32(0));
            break;
        case 0x0940: {  // DIBBitBlt: rop, ySrc, xSrc, h, w, yDst, xDst, DIB
            CRasterImage dib;
            if (a.Words() > 9 && DibFrom(a, 8, dib))
                canvas.Blit(a.S(7), a.S(6), a.S(5), a.S(4), &dib, a.S(3), a.S(2), a.S(5), a.S(4), a.U32(0));
            else if (a.Words() >= 9)  // no bitmap: a pattern operation
                canvas.Blit(a.S(8), a.S(7), a.S(6), a.S(5), nullptr, 0, 0, 0, 0, a.U32(0));
            break;
        }
        case 0x0B41: {  // DIBStretchBlt: rop, hSrc, wSrc, ySrc, xSrc, hDst, wDst, yDst, xDst, DIB
            CRasterImage dib;
            if (a.Words() > 11 && DibFrom(a, 10, dib))
                canvas.Blit(a.S(9), a.S(8), a.S(7), a.S(6), &dib, a.S(5), a.S(4), a.S(3), a.S(2), a.U32(0));
            else if (a.Words() >= 11)
                canvas.Blit(a.S(10), a.S(9), a.S(8), a.S(7), nullptr, 0, 0, 0, 0, a.U32(0));
            break;
        }
        case 0x0F43: {  // StretchDIBits: rop, usage, hSrc, wSrc, ySrc, xSrc, hDst, wDst, yDst, xDst, DIB
            CRasterImage dib;
            if (DibFrom(a, 11, dib)) {
                // The source y counts from the bottom of the bitmap.
                const int hSrc = a.S(3), ySrc = a.S(5);
                canvas.Blit(a.S(10), a.S(9), a.S(8), a.S(7), &dib, a.S(6), dib.GetHeight() - ySrc - hSrc, a.S(4),
                            hSrc, a.U32(0));
            }
            break;
        }
        case 0x0D33: {  // SetDIBitsToDevice: usage, scans, start, ySrc, xSrc, h, w, yDst, xDst, DIB
            CRasterImage dib;
            if (DibFrom(a, 9, dib)) {
                const int h = a.S(5), ySrc = a.S(3);
                canvas.Blit(a.S(8), a.S(7), a.S(6), h, &dib, a.S(4), dib.GetHeight() - ySrc - h, a.S(6), h,
                            0x00CC0020);
            }
            break;
        }
        default:  // text, arcs, regions, palettes...: not drawn
            break;
        }
    }
}
