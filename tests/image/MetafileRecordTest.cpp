// Enhanced metafile records beyond the basic ones: glyph-index and small
// text, the solid hatches, and the blits with alpha, a transparent colour,
// a mask and a parallelogram. Each file is written record by record and its
// pixels compared with what the records mean.
#include "image/FontEngine.h"
#include "image/RasterImage.h"
#include "image/TextCharsets.h"

#include "MetafileWriter.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {
const Rgb kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kGreen{0, 255, 0};

Rgb At(const CRasterImage& img, int x, int fromTop) { return img.GetPixelColor(x, img.GetHeight() - 1 - fromTop); }

CRasterImage Play(const Emf& e) {
    CRasterImage img;
    EXPECT_TRUE(DecodeBytes(img, e.File(2646, 2646), IMAGE_WMF)) << img.GetLastError();
    return img;
}

Emf ArialEmf() {
    Emf e;
    std::vector<std::int32_t> font = {1, -24, 0, 0, 0, 400, 0, 0};
    std::vector<std::uint8_t> name = Utf16(u"Arial");
    name.resize(64, 0);
    e.Record(82, font, name);
    e.Record(37, {1});
    e.Record(18, {1});
    e.Record(22, {24});  // baseline
    return e;
}

void ExtTextOutW(Emf& e, int x, int y, const std::vector<std::uint16_t>& units, int options) {
    std::vector<std::uint8_t> tail;
    for (std::uint16_t u : units)
        PutLE16(tail, u);
    e.Record(84, {0, 0, 0, 0, 1, 0, 0, x, y, static_cast<std::int32_t>(units.size()), 76, options, 0, 0, 0, 0, 0},
             tail);
}

// The pixels of the picture's box (x0..x1, 0..100) against those of the
// same box moved right by `dx`: equal when both hold the same drawing.
int DifferingPixels(const CRasterImage& img, int x0, int x1, int dx) {
    int differ = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = x0; x < x1; ++x)
            if (!(At(img, x, y) == At(img, x + dx, y)))
                ++differ;
    return differ;
}

int DarkPixels(const CRasterImage& img, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = x0; x < x1; ++x) {
            const Rgb c = At(img, x, y);
            n += c.r + c.g + c.b < 384;
        }
    return n;
}

// A 40-byte header of a bottom-up DIB.
std::vector<std::uint8_t> Header(int w, int h, int bits, std::uint32_t colors = 0) {
    std::vector<std::uint8_t> d;
    PutLE32(d, 40);
    PutLE32(d, static_cast<std::uint32_t>(w));
    PutLE32(d, static_cast<std::uint32_t>(h));
    PutLE16(d, 1);
    PutLE16(d, static_cast<unsigned>(bits));
    for (std::uint32_t v : {0u, 0u, 0u, 0u, colors, 0u})
        PutLE32(d, v);
    return d;
}

// A blit record of the STRETCHBLT layout (ALPHABLEND, TRANSPARENTBLT):
// destination, the rop or its stand-in, source origin, bitmap, source size.
void StretchLike(Emf& e, std::uint32_t type, int x, int y, int w, int h, std::uint32_t op,
                 const std::vector<std::uint8_t>& info, const std::vector<std::uint8_t>& bits, int srcW, int srcH) {
    std::vector<std::int32_t> v = {0, 0, 0, 0, x, y, w, h, static_cast<std::int32_t>(op), 0, 0};
    for (int i = 0; i < 6; ++i)
        v.push_back(0);  // source transform
    const std::int32_t offInfo = 108, offBits = offInfo + static_cast<std::int32_t>(info.size());
    for (std::int32_t a : {0, 0, offInfo, static_cast<std::int32_t>(info.size()), offBits,
                           static_cast<std::int32_t>(bits.size()), srcW, srcH})
        v.push_back(a);
    std::vector<std::uint8_t> tail = info;
    tail.insert(tail.end(), bits.begin(), bits.end());
    e.Record(type, v, tail);
}

// Blue all over, to blit onto.
Emf BlueGround() {
    Emf e;
    e.Record(39, {1, 0, 0xFF0000, 0});
    e.Record(37, {1});
    e.Record(37, {static_cast<std::int32_t>(0x80000008)});
    e.Record(43, {0, 0, 100, 100});
    return e;
}
}  // namespace

TEST(MetafileRecords, GlyphIndexTextDrawsTheFacesGlyphs) {
    // The glyph ids of "Hi" in the face that stands in for Arial.
    std::vector<std::uint16_t> ids;
    {
        CFontEngine& engine = CFontEngine::Instance();
        const auto lock = engine.Lock();
        const int face = engine.FindFace(FontRequest{"Arial", 400, false});
        ASSERT_GE(face, 0);
        for (char32_t c : {U'H', U'i'})
            ids.push_back(static_cast<std::uint16_t>(engine.CharGlyphIndex(face, c)));
    }
    ASSERT_NE(ids[0], 0);
    Emf e = ArialEmf();
    ExtTextOutW(e, 5, 50, {u'H', u'i'}, 0);
    ExtTextOutW(e, 55, 50, ids, 0x10);  // ETO_GLYPH_INDEX
    const CRasterImage img = Play(e);
    EXPECT_GT(DarkPixels(img, 0, 50), 40);
    EXPECT_EQ(DifferingPixels(img, 0, 50, 50), 0);
}

TEST(MetafileRecords, SmallTextOutDrawsBytesAndUnits) {
    // SMALLTEXTOUT: x, y, count, options, mode, scales, [bounds], text.
    Emf e = ArialEmf();
    ExtTextOutW(e, 5, 30, {u'H', u'k'}, 0);
    e.Record(108, {55, 30, 2, 0x100 | 0x200, 1, 0, 0}, Bytes("Hk"));  // ETO_NO_RECT, ETO_SMALL_CHARS
    ExtTextOutW(e, 5, 80, {u'H', u'k'}, 0);
    e.Record(108, {55, 80, 2, 0, 1, 0, 0, 0, 0, 100, 100}, Utf16(u"Hk"));  // with bounds, UTF-16
    const CRasterImage img = Play(e);
    EXPECT_GT(DarkPixels(img, 0, 50), 80);
    EXPECT_EQ(DifferingPixels(img, 0, 50, 50), 0);
}

TEST(MetafileRecords, SolidHatchesTakeBrushTextAndBackgroundColours) {
    Emf e;
    e.Record(24, {0x00FF00});  // green text colour
    e.Record(25, {0xFF0000});  // blue background
    e.Record(37, {static_cast<std::int32_t>(0x80000008)});
    for (int hatch = 6; hatch <= 11; ++hatch) {
        e.Record(39, {hatch, 2, 0x0000FF, hatch});  // hatched, red
        e.Record(37, {hatch});
        e.Record(43, {(hatch - 6) * 16, 0, (hatch - 6) * 16 + 16, 16});
    }
    const CRasterImage img = Play(e);
    for (int y : {1, 7, 14}) {
        EXPECT_EQ(At(img, 3, y), kRed);      // HS_SOLIDCLR
        EXPECT_EQ(At(img, 21, y), kRed);     // HS_DITHEREDCLR
        EXPECT_EQ(At(img, 37, y), kGreen);   // HS_SOLIDTEXTCLR
        EXPECT_EQ(At(img, 53, y), kGreen);   // HS_DITHEREDTEXTCLR
        EXPECT_EQ(At(img, 69, y), kBlue);    // HS_SOLIDBKCLR
        EXPECT_EQ(At(img, 85, y), kBlue);    // HS_DITHEREDBKCLR
    }
}

TEST(MetafileRecords, AlphaBlendOverWhite) {
    // A 32-bit pixel with premultiplied alpha: red 128 at alpha 128, blended
    // with AC_SRC_ALPHA and full constant alpha; a 24-bit blue at constant 128.
    Emf e;
    StretchLike(e, 114, 0, 0, 20, 20, 0x01FF0000u, Header(1, 1, 32), {0, 0, 128, 128}, 1, 1);
    StretchLike(e, 114, 40, 0, 20, 20, 0x00800000u, Header(1, 1, 24), {255, 0, 0, 0}, 1, 1);
    const CRasterImage img = Play(e);
    const Rgb a = At(img, 10, 10), b = At(img, 50, 10);
    EXPECT_NEAR(a.r, 255, 1);
    EXPECT_NEAR(a.g, 127, 1);
    EXPECT_NEAR(a.b, 127, 1);
    EXPECT_NEAR(b.r, 127, 1);
    EXPECT_NEAR(b.g, 127, 1);
    EXPECT_NEAR(b.b, 255, 1);
    EXPECT_EQ(At(img, 30, 10), kWhite);
}

TEST(MetafileRecords, TransparentMaskAndParallelogramBlits) {
    // TRANSPARENTBLT of red | white with white transparent.
    Emf t = BlueGround();
    StretchLike(t, 116, 0, 0, 40, 20, 0xFFFFFF, Header(2, 1, 24), {0, 0, 255, 255, 255, 255, 0, 0}, 2, 1);
    const CRasterImage ti = Play(t);
    EXPECT_EQ(At(ti, 10, 10), kRed);
    EXPECT_EQ(At(ti, 30, 10), kBlue);

    // MASKBLT of red | red through a mask 1 | 0 with SRCCOPY over DSTCOPY
    // (no stretching: the bitmap is as large as the destination):
    // destination, ROP4, source origin, transform, colour, usage, bitmap,
    // mask origin, usage, mask bitmap.
    Emf m = BlueGround();
    {
        const std::vector<std::uint8_t> info = Header(2, 1, 24), bits = {0, 0, 255, 0, 0, 255, 0, 0};
        std::vector<std::uint8_t> maskInfo = Header(2, 1, 1, 2);
        for (std::uint8_t b : {0, 0, 0, 0, 255, 255, 255, 0})  // black, white
            maskInfo.push_back(b);
        const std::vector<std::uint8_t> maskBits = {0x80, 0, 0, 0};
        std::vector<std::int32_t> v = {0, 0, 0, 0, 0, 0, 2, 1, static_cast<std::int32_t>(0xAACC0020u), 0, 0};
        for (int i = 0; i < 6; ++i)
            v.push_back(0);
        const std::int32_t offInfo = 128, offBits = offInfo + 40, offMask = offBits + 8, offMaskBits = offMask + 48;
        for (std::int32_t a : {0, 0, offInfo, 40, offBits, 8, 0, 0, 0, offMask, 48, offMaskBits, 4})
            v.push_back(a);
        std::vector<std::uint8_t> tail = info;
        tail.insert(tail.end(), bits.begin(), bits.end());
        tail.insert(tail.end(), maskInfo.begin(), maskInfo.end());
        tail.insert(tail.end(), maskBits.begin(), maskBits.end());
        m.Record(78, v, tail);
    }
    const CRasterImage mi = Play(m);
    EXPECT_EQ(At(mi, 0, 0), kRed);
    EXPECT_EQ(At(mi, 1, 0), kBlue);
    EXPECT_EQ(At(mi, 0, 1), kBlue);

    // PLGBLT of red | green onto the parallelogram with corners (60, 10),
    // (60, 50), (40, 10): a quarter turn, red on top, green below.
    Emf p;
    {
        const std::vector<std::uint8_t> info = Header(2, 1, 24), bits = {0, 0, 255, 0, 255, 0, 0, 0};
        std::vector<std::int32_t> v = {0, 0, 0, 0, 60, 10, 60, 50, 40, 10, 0, 0, 2, 1};
        for (int i = 0; i < 6; ++i)
            v.push_back(0);
        const std::int32_t offInfo = 140, offBits = offInfo + 40;
        for (std::int32_t a : {0, 0, offInfo, 40, offBits, 8, 0, 0, 0, 0, 0, 0, 0})
            v.push_back(a);
        std::vector<std::uint8_t> tail = info;
        tail.insert(tail.end(), bits.begin(), bits.end());
        p.Record(79, v, tail);
    }
    const CRasterImage pi = Play(p);
    EXPECT_EQ(At(pi, 50, 20), kRed);
    EXPECT_EQ(At(pi, 50, 40), kGreen);
    EXPECT_EQ(At(pi, 30, 20), kWhite);
    EXPECT_EQ(At(pi, 65, 20), kWhite);
}

TEST(MetafileRecords, EastAsianTextIsDecodedPerCharacter) {
    // Shift-JIS "A" + HIRAGANA A (0x82 0xA0) + half-width KATAKANA A (0xB1).
    const std::uint8_t sjis[] = {0x41, 0x82, 0xA0, 0xB1};
    EXPECT_EQ(DecodeMultiByte(sjis, 4, 128), std::u32string({U'A', 0x3042, 0, 0xFF71}));
    // GB2312 / GBK: 0xC4 0xE3 is U+4F60; Big5: 0xA4 0xA4 is U+4E2D; Hangul: 0xB0 0xA1 is U+AC00.
    const std::uint8_t gb[] = {0xC4, 0xE3}, big5[] = {0xA4, 0xA4}, hangul[] = {0xB0, 0xA1};
    EXPECT_EQ(DecodeMultiByte(gb, 2, 134), std::u32string({0x4F60, 0}));
    EXPECT_EQ(DecodeMultiByte(big5, 2, 136), std::u32string({0x4E2D, 0}));
    EXPECT_EQ(DecodeMultiByte(hangul, 2, 129), std::u32string({0xAC00, 0}));
    // A lead byte at the end stands alone, unreadable.
    const std::uint8_t cut[] = {0x41, 0x82};
    EXPECT_EQ(DecodeMultiByte(cut, 2, 128), std::u32string({U'A', 0xFFFD}));
    EXPECT_TRUE(IsMultiByteCharset(128));
    EXPECT_FALSE(IsMultiByteCharset(0));
}

TEST(MetafileRecords, FontWidthCondensesAsTheDxCellsSay) {
    // Arial at an em of 20 pixels with lfWidth 6: GDI scales the face so its
    // average character (0.4416 em for Arial, the weighted lower-case
    // average) is 6 wide, so "H" (0.722 em) gets a cell of 10 pixels, as
    // the writing program wrote into the spacing array.
    Emf e;
    std::vector<std::int32_t> font = {1, -20, 6, 0, 0, 400, 0, 0};
    std::vector<std::uint8_t> name = Utf16(u"Arial");
    name.resize(64, 0);
    e.Record(82, font, name);
    e.Record(37, {1});
    e.Record(18, {1});
    e.Record(22, {24});
    // Without spacing: the font's own advances; with it, cells of 10.
    e.Record(84, {0, 0, 0, 0, 1, 0, 0, 5, 30, 4, 76, 0, 0, 0, 0, 0, 0}, Utf16(u"HHHH"));
    std::vector<std::uint8_t> tail = Utf16(u"HHHH");
    for (int i = 0; i < 4; ++i)
        PutLE32(tail, 10);
    e.Record(84, {0, 0, 0, 0, 1, 0, 0, 5, 70, 4, 76, 0, 0, 0, 0, 0, 84}, tail);
    const CRasterImage img = Play(e);
    // Columns of ink of each row band.
    auto span = [&](int y0, int y1, int& left, int& right) {
        left = 1000;
        right = -1;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < 100; ++x) {
                const Rgb c = At(img, x, y);
                if (c.r + c.g + c.b < 384) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
    };
    int l1, r1, l2, r2;
    span(0, 40, l1, r1);
    span(40, 80, l2, r2);
    ASSERT_GE(r1, 0);
    ASSERT_GE(r2, 0);
    // Both runs take the same width: the font's own advance matches the cells.
    EXPECT_NEAR(r1 - l1, r2 - l2, 2);
    EXPECT_NEAR(r2 - l2, 30 + 7, 2);  // three cells and one H's ink
}
