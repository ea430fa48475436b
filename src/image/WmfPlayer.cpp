// Windows metafile records onto the metafile canvas. Every record is
// size (32-bit, in 16-bit words), function (16-bit), parameters.
#include "image/CodecUtil.h"
#include "image/MetafileBitmaps.h"
#include "image/MetafileCanvas.h"
#include "image/WmfRecords.h"

#include <cstdlib>
#include <memory>

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
    return n >= 12 && ImageFromPackedDib(a.Bytes(firstWord), n, out);
}

// An old device bitmap (type, width, height, bytes per row, planes, bits
// per pixel, rows top-down from word `bitsWord`): one-bit and 24-bit ones
// become images.
bool Bitmap16From(const WmfParams& a, std::size_t firstWord, CRasterImage& out, std::size_t bitsWord = 5) {
    if (firstWord + bitsWord > a.Words())
        return false;
    const int w = a.S(firstWord + 1), h = a.S(firstWord + 2), rowBytes = a.S(firstWord + 3);
    const std::uint8_t* head = a.Bytes(firstWord);
    const int bits = head[9];
    const std::size_t size = a.BytesFrom(firstWord + bitsWord);
    const std::uint8_t* rows = a.Bytes(firstWord + bitsWord);
    if (w <= 0 || h <= 0 || rowBytes <= 0 || head[8] != 1 || (bits != 1 && bits != 24) ||
        static_cast<std::size_t>(rowBytes) * h > size || static_cast<std::int64_t>(w) * bits > rowBytes * 8LL)
        return false;
    if (!out.Create(w, h, 24, IMAGE_BMP))
        return false;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = rows + static_cast<std::size_t>(y) * rowBytes;
        std::uint8_t* o = out.GetRow(h - 1 - y);
        for (int x = 0; x < w; ++x, o += 3) {
            if (bits == 24) {
                o[0] = in[x * 3];
                o[1] = in[x * 3 + 1];
                o[2] = in[x * 3 + 2];
            } else {
                o[0] = o[1] = o[2] = (in[x >> 3] >> (7 - (x & 7))) & 1 ? 255 : 0;
            }
        }
    }
    return true;
}

CMetafileCanvas::Object BrushObject(int style, Rgb color, int hatch = 0) {
    CMetafileCanvas::Object o;
    o.kind = CMetafileCanvas::kBrush;
    o.brush = MetaBrush(style, color, hatch);
    return o;
}

// A font record: height, width, escapement, orientation, weight, then the
// bytes italic, underline, strike-out, charset, four more, and the face name.
CMetafileCanvas::Object Font(const WmfParams& a) {
    CMetafileCanvas::Object o;
    o.kind = CMetafileCanvas::kFont;
    MetaFont& f = o.font;
    f.height = a.S(0);
    f.width = std::abs(a.S(1));
    f.escapement = a.S(2);
    f.weight = a.S(4);
    const std::size_t bytes = a.BytesFrom(5);
    const std::uint8_t* b = a.Bytes(5);
    if (bytes >= 4) {
        f.italic = b[0] != 0;
        f.underline = b[1] != 0;
        f.strikeOut = b[2] != 0;
        f.charset = b[3];
    }
    for (std::size_t i = 8; i < bytes && i < 8 + 32 && b[i] != 0; ++i)
        f.family.push_back(static_cast<char>(b[i]));
    return o;
}

// A region record: header words, bounding box, then scans of (count, top,
// bottom, count / 2 pairs of left and right, count). Rectangles as corner pairs.
std::vector<MetaPoint> Region(const WmfParams& a) {
    std::vector<MetaPoint> rects;
    const std::size_t scans = static_cast<std::uint16_t>(a.S(5));
    std::size_t at = 11;
    for (std::size_t i = 0; i < scans && at + 3 <= a.Words(); ++i) {
        const std::size_t count = static_cast<std::uint16_t>(a.S(at));
        const int top = a.S(at + 1), bottom = a.S(at + 2);
        if (at + 3 + count + 1 > a.Words())
            break;
        for (std::size_t k = 0; k + 1 < count; k += 2) {
            rects.push_back(MetaPoint{double(a.S(at + 3 + k)), double(top)});
            rects.push_back(MetaPoint{double(a.S(at + 4 + k)), double(bottom)});
        }
        at += 3 + count + 1;
    }
    if (scans == 0 && a.Words() >= 11) {  // no scans: the bounding box
        rects.push_back(MetaPoint{double(a.S(7)), double(a.S(8))});
        rects.push_back(MetaPoint{double(a.S(9)), double(a.S(10))});
    }
    return rects;
}

// TEXTOUT: count, string (padded to words), y, x.
void TextOut(CMetafileCanvas& canvas, const WmfParams& a) {
    const std::size_t count = static_cast<std::uint16_t>(a.S(0));
    const std::size_t words = (count + 1) / 2;
    if (1 + words + 2 > a.Words())
        return;
    MetaText t;
    t.chars = canvas.DecodeText(a.Bytes(1), count);
    t.y = a.S(1 + words);
    t.x = a.S(2 + words);
    canvas.Text(t);
}

// EXTTEXTOUT: y, x, count, options, [rectangle], string (padded), [spacing].
void ExtTextOut(CMetafileCanvas& canvas, const WmfParams& a) {
    if (a.Words() < 4)
        return;
    MetaText t;
    t.y = a.S(0);
    t.x = a.S(1);
    const std::size_t count = static_cast<std::uint16_t>(a.S(2));
    t.options = static_cast<std::uint16_t>(a.S(3));
    std::size_t at = 4;
    if (t.options & 6) {
        t.rectLeft = a.S(4);
        t.rectTop = a.S(5);
        t.rectRight = a.S(6);
        t.rectBottom = a.S(7);
        at = 8;
    }
    if (at + (count + 1) / 2 > a.Words()) {
        t.chars.clear();
        canvas.Text(t);
        return;
    }
    t.chars = canvas.DecodeText(a.Bytes(at), count);
    at += (count + 1) / 2;
    if (at + count <= a.Words())
        for (std::size_t i = 0; i < count; ++i)
            t.advances.push_back(a.S(at + i));
    canvas.Text(t);
}
}  // namespace

void PlayWmfRecords(CMetafileCanvas& canvas, const std::uint8_t* data, std::size_t size) {
    std::size_t pos = 0;
    while (pos + 6 <= size) {
        const std::uint64_t words = LoadLE32(data + pos);
        const auto function = static_cast<WmfRecord>(LoadLE16(data + pos + 4));
        if (words < 3 || words * 2 > size - pos)
            return;
        const WmfParams a(data + pos + 6, static_cast<std::size_t>(words * 2 - 6));
        pos += static_cast<std::size_t>(words * 2);
        MetaMapping& map = canvas.Mapping();
        switch (function) {
        case WmfRecord::Eof:
            return;
        case WmfRecord::SetWindowOrg:  // (y, x)
            map.windowOrgX = a.S(1);
            map.windowOrgY = a.S(0);
            break;
        case WmfRecord::SetWindowExt:  // (y, x)
            map.windowExtX = a.S(1);
            map.windowExtY = a.S(0);
            break;
        case WmfRecord::SetMapMode:
            map.mapMode = a.S(0);
            break;
        case WmfRecord::SaveDc:
            canvas.SaveState();
            break;
        case WmfRecord::RestoreDc:
            canvas.RestoreState(a.S(0));
            break;
        case WmfRecord::SetViewportOrg:  // the viewport is not used: the window is the picture
        case WmfRecord::SetViewportExt:
            break;
        case WmfRecord::OffsetWindowOrg:  // (y, x)
            map.windowOrgX += a.S(1);
            map.windowOrgY += a.S(0);
            break;
        case WmfRecord::ScaleWindowExt:  // (yDenom, yNum, xDenom, xNum)
            if (a.S(0) != 0 && a.S(2) != 0) {
                map.windowExtX = map.windowExtX * a.S(3) / a.S(2);
                map.windowExtY = map.windowExtY * a.S(1) / a.S(0);
            }
            break;
        case WmfRecord::SetBkColor:
            canvas.SetBackgroundColor(ColorRef(a.U32(0)));
            break;
        case WmfRecord::SetBkMode:
            canvas.SetBackgroundMode(a.S(0));
            break;
        case WmfRecord::SetTextColor:
            canvas.SetTextColor(ColorRef(a.U32(0)));
            break;
        case WmfRecord::SetTextAlign:
            canvas.SetTextAlign(static_cast<std::uint16_t>(a.S(0)));
            break;
        case WmfRecord::SetTextCharExtra:
            canvas.SetCharacterExtra(a.S(0));
            break;
        case WmfRecord::SetRop2:
            canvas.SetRop2(a.S(0));
            break;
        case WmfRecord::SetPolyFillMode:
            canvas.SetPolyFillMode(a.S(0));
            break;
        case WmfRecord::CreatePenIndirect: {  // style, width (x, y), colour
            CMetafileCanvas::Object o;
            o.kind = CMetafileCanvas::kPen;
            o.pen = MetaPen{a.S(0), static_cast<double>(a.S(1)), ColorRef(a.U32(3))};
            canvas.AddObjectFirstFree(std::move(o));
            break;
        }
        case WmfRecord::CreateBrushIndirect:  // style, colour, hatch
            canvas.AddObjectFirstFree(BrushObject(static_cast<std::uint16_t>(a.S(0)), ColorRef(a.U32(1)), a.S(3)));
            break;
        case WmfRecord::DibCreatePatternBrush: {  // style, usage, bitmap
            auto pattern = std::make_shared<CRasterImage>();
            CMetafileCanvas::Object o = BrushObject(5, Rgb{128, 128, 128});
            if (DibFrom(a, 2, *pattern))
                o.brush.pattern = std::move(pattern);
            else
                o.brush.style = 0;
            canvas.AddObjectFirstFree(std::move(o));
            break;
        }
        case WmfRecord::CreatePatternBrush: {  // device bitmap header, 18 reserved bytes, bits
            auto pattern = std::make_shared<CRasterImage>();
            CMetafileCanvas::Object o = BrushObject(3, Rgb{128, 128, 128});
            if (Bitmap16From(a, 0, *pattern, 14))
                o.brush.pattern = std::move(pattern);
            else
                o.brush.style = 0;  // shown as a grey fill
            canvas.AddObjectFirstFree(std::move(o));
            break;
        }
        case WmfRecord::CreateFontIndirect:
            canvas.AddObjectFirstFree(Font(a));
            break;
        case WmfRecord::CreateRegion: {
            CMetafileCanvas::Object o;
            o.kind = CMetafileCanvas::kRegion;
            o.region = Region(a);
            canvas.AddObjectFirstFree(std::move(o));
            break;
        }
        case WmfRecord::CreatePalette: {
            CMetafileCanvas::Object o;
            o.kind = CMetafileCanvas::kOther;
            canvas.AddObjectFirstFree(std::move(o));
            break;
        }
        case WmfRecord::SelectObject:
            canvas.SelectObject(static_cast<std::uint16_t>(a.S(0)));
            break;
        case WmfRecord::SelectClipRegion:
            canvas.SelectClipRegionObject(static_cast<std::uint16_t>(a.S(0)));
            break;
        case WmfRecord::IntersectClipRect:  // (bottom, right, top, left)
            canvas.IntersectClipRect(a.S(3), a.S(2), a.S(1), a.S(0));
            break;
        case WmfRecord::ExcludeClipRect:
            canvas.ExcludeClipRect(a.S(3), a.S(2), a.S(1), a.S(0));
            break;
        case WmfRecord::OffsetClipRgn:  // (y, x)
            canvas.OffsetClip(a.S(1), a.S(0));
            break;
        case WmfRecord::FillRegion:  // (region, brush)
            canvas.FillRegionObject(static_cast<std::uint16_t>(a.S(0)), static_cast<std::uint16_t>(a.S(1)));
            break;
        case WmfRecord::PaintRegion:
        case WmfRecord::InvertRegion: {
            const CMetafileCanvas::Object* o = canvas.ObjectAt(static_cast<std::uint16_t>(a.S(0)));
            if (o && o->kind == CMetafileCanvas::kRegion) {
                if (function == WmfRecord::PaintRegion)
                    canvas.PaintRegion(o->region);
                else
                    canvas.InvertRegion(o->region);
            }
            break;
        }
        case WmfRecord::TextOut:
            TextOut(canvas, a);
            break;
        case WmfRecord::ExtTextOut:
            ExtTextOut(canvas, a);
            break;
        case WmfRecord::Arc:  // (yEnd, xEnd, yStart, xStart, bottom, right, top, left)
        case WmfRecord::Pie:
        case WmfRecord::Chord:
            if (a.Words() >= 8) {
                const CMetafileCanvas::ArcKind kind = function == WmfRecord::Arc   ? CMetafileCanvas::ArcKind::Arc
                                                      : function == WmfRecord::Pie ? CMetafileCanvas::ArcKind::Pie
                                                                                   : CMetafileCanvas::ArcKind::Chord;
                canvas.Arc(kind, a.S(7), a.S(6), a.S(5), a.S(4), a.S(3), a.S(2), a.S(1), a.S(0));
            }
            break;
        case WmfRecord::SetPixel:  // (colour, y, x)
            canvas.SetPixel(a.S(3), a.S(2), ColorRef(a.U32(0)));
            break;
        case WmfRecord::DeleteObject:
            canvas.DeleteObject(static_cast<std::uint16_t>(a.S(0)));
            break;
        case WmfRecord::MoveTo:  // (y, x)
            canvas.MoveTo(a.S(1), a.S(0));
            break;
        case WmfRecord::LineTo:  // (y, x)
            canvas.LineTo(a.S(1), a.S(0));
            break;
        case WmfRecord::Polyline:
            canvas.Polyline(Points(a, 1, static_cast<std::uint16_t>(a.S(0))));
            break;
        case WmfRecord::Polygon:
            canvas.Polygon(Points(a, 1, static_cast<std::uint16_t>(a.S(0))));
            break;
        case WmfRecord::PolyPolygon: {  // count, point counts, points
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
        case WmfRecord::Rectangle:  // (bottom, right, top, left)
            canvas.Rectangle(a.S(3), a.S(2), a.S(1), a.S(0));
            break;
        case WmfRecord::RoundRect:  // (h, w, bottom, right, top, left)
            canvas.RoundRect(a.S(5), a.S(4), a.S(3), a.S(2), a.S(1), a.S(0));
            break;
        case WmfRecord::Ellipse:  // (bottom, right, top, left)
            canvas.Ellipse(a.S(3), a.S(2), a.S(1), a.S(0));
            break;
        case WmfRecord::PatBlt:  // rop, height, width, y, x
            canvas.Blit(a.S(5), a.S(4), a.S(3), a.S(2), nullptr, 0, 0, 0, 0, a.U32(0));
            break;
        case WmfRecord::BitBlt: {  // rop, ySrc, xSrc, h, w, yDst, xDst, device bitmap
            CRasterImage bitmap;
            if (a.Words() > 9 && Bitmap16From(a, 8, bitmap))
                canvas.Blit(a.S(7), a.S(6), a.S(5), a.S(4), &bitmap, a.S(3), a.S(2), a.S(5), a.S(4), a.U32(0));
            else if (a.Words() >= 9)
                canvas.Blit(a.S(8), a.S(7), a.S(6), a.S(5), nullptr, 0, 0, 0, 0, a.U32(0));
            break;
        }
        case WmfRecord::StretchBlt: {  // rop, hSrc, wSrc, ySrc, xSrc, hDst, wDst, yDst, xDst, device bitmap
            CRasterImage bitmap;
            if (a.Words() > 11 && Bitmap16From(a, 10, bitmap))
                canvas.Blit(a.S(9), a.S(8), a.S(7), a.S(6), &bitmap, a.S(5), a.S(4), a.S(3), a.S(2), a.U32(0));
            break;
        }
        case WmfRecord::SetTextJustification:  // (break count, extra)
            canvas.SetTextJustification(a.S(1), a.S(0));
            break;
        case WmfRecord::DibBitBlt: {  // rop, ySrc, xSrc, h, w, yDst, xDst, DIB
            CRasterImage dib;
            if (a.Words() > 9 && DibFrom(a, 8, dib))
                canvas.Blit(a.S(7), a.S(6), a.S(5), a.S(4), &dib, a.S(3), a.S(2), a.S(5), a.S(4), a.U32(0));
            else if (a.Words() >= 9)  // no bitmap: a pattern operation
                canvas.Blit(a.S(8), a.S(7), a.S(6), a.S(5), nullptr, 0, 0, 0, 0, a.U32(0));
            break;
        }
        case WmfRecord::DibStretchBlt: {  // rop, hSrc, wSrc, ySrc, xSrc, hDst, wDst, yDst, xDst, DIB
            CRasterImage dib;
            if (a.Words() > 11 && DibFrom(a, 10, dib))
                canvas.Blit(a.S(9), a.S(8), a.S(7), a.S(6), &dib, a.S(5), a.S(4), a.S(3), a.S(2), a.U32(0));
            else if (a.Words() >= 11)
                canvas.Blit(a.S(10), a.S(9), a.S(8), a.S(7), nullptr, 0, 0, 0, 0, a.U32(0));
            break;
        }
        case WmfRecord::StretchDiBits: {  // rop, usage, hSrc, wSrc, ySrc, xSrc, hDst, wDst, yDst, xDst, DIB
            CRasterImage dib;
            if (DibFrom(a, 11, dib)) {
                // The source y counts from the bottom of the bitmap.
                const int hSrc = a.S(3), ySrc = a.S(5);
                canvas.Blit(a.S(10), a.S(9), a.S(8), a.S(7), &dib, a.S(6), dib.GetHeight() - ySrc - hSrc, a.S(4),
                            hSrc, a.U32(0));
            }
            break;
        }
        case WmfRecord::SetDiBitsToDevice: {  // usage, scans, start, ySrc, xSrc, h, w, yDst, xDst, DIB
            CRasterImage dib;
            if (DibFrom(a, 9, dib)) {
                const int h = a.S(5), ySrc = a.S(3);
                canvas.Blit(a.S(8), a.S(7), a.S(6), h, &dib, a.S(4), dib.GetHeight() - ySrc - h, a.S(6), h,
                            0x00CC0020);
            }
            break;
        }
        default:  // palettes, escapes, frames of regions...: not drawn
            break;
        }
    }
}
