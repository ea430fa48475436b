// Metafile world transforms (turned and sheared shapes, text, bitmaps and
// clip rectangles) and styled pens: GDI's dash patterns, user styles, and
// the background in the gaps.
#include "image/RasterImage.h"

#include "MetafileWriter.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {
const Rgb kWhite{255, 255, 255}, kRed{255, 0, 0}, kBlue{0, 0, 255}, kBlack{0, 0, 0};

Rgb At(const CRasterImage& img, int x, int fromTop) { return img.GetPixelColor(x, img.GetHeight() - 1 - fromTop); }

std::int32_t F(float f) {
    std::int32_t v;
    std::memcpy(&v, &f, sizeof v);
    return v;
}

// A 100 x 100 pixel enhanced metafile, one unit per pixel, with a red
// brush and the null pen.
Emf Canvas() {
    Emf e;
    e.Record(39, {1, 0, 0x0000FF, 0});  // red brush
    e.Record(37, {1});
    e.Record(37, {static_cast<std::int32_t>(0x80000008)});  // NULL_PEN
    return e;
}

CRasterImage Play(const Emf& e) {
    CRasterImage img;
    EXPECT_TRUE(DecodeBytes(img, e.File(2646, 2646), IMAGE_WMF)) << img.GetLastError();
    return img;
}

// A quarter turn: (x, y) -> (60 - y, 10 + x), built as a move set first
// and a turn multiplied in from the left (applied before the move).
void QuarterTurn(Emf& e) {
    e.Record(35, {F(1), F(0), F(0), F(1), F(60), F(10)});
    e.Record(36, {F(0), F(1), F(-1), F(0), F(0), F(0), 2});  // MWT_LEFTMULTIPLY
}

// Columns of the row `y` from the top that are dark.
std::string Runs(const CRasterImage& img, int y, int from, int to) {
    std::string s;
    for (int x = from; x < to; ++x) {
        const Rgb c = At(img, x, y);
        s += c == kBlack ? '#' : c == kBlue ? 'b' : c == kWhite ? '.' : '?';
    }
    return s;
}
}  // namespace

TEST(MetafileTransform, TurnedRectangleEllipseAndClipFollowTheWorld) {
    Emf e = Canvas();
    QuarterTurn(e);
    e.Record(43, {0, 0, 40, 10});  // becomes x 50..60, y 10..50
    const CRasterImage img = Play(e);
    EXPECT_EQ(At(img, 55, 15), kRed);
    EXPECT_EQ(At(img, 55, 45), kRed);
    EXPECT_EQ(At(img, 30, 5), kWhite);  // where it would be unturned
    EXPECT_EQ(At(img, 45, 30), kWhite);

    // A shear x' = x + y: the circle in (0, 0, 20, 20) leans to the right.
    Emf s = Canvas();
    s.Record(35, {F(1), F(0), F(1), F(1), F(0), F(0)});
    s.Record(42, {0, 0, 20, 20});
    const CRasterImage sheared = Play(s);
    EXPECT_EQ(At(sheared, 20, 10), kRed);    // the centre (10, 10)
    EXPECT_EQ(At(sheared, 27, 17), kRed);    // (10, 17)
    EXPECT_EQ(At(sheared, 5, 17), kWhite);   // inside the unsheared circle only
    EXPECT_EQ(At(sheared, 10, 3), kRed);     // (7, 3)... near the top, moved little
    EXPECT_EQ(At(sheared, 3, 10), kWhite);

    // A clip rectangle turns with the world: (0, 0, 20, 10) clips to x 50..60, y 10..30.
    Emf c = Canvas();
    QuarterTurn(c);
    c.Record(30, {0, 0, 20, 10});  // INTERSECTCLIPRECT
    c.Record(43, {-100, -100, 100, 100});
    const CRasterImage clipped = Play(c);
    EXPECT_EQ(At(clipped, 55, 20), kRed);
    EXPECT_EQ(At(clipped, 55, 40), kWhite);
    EXPECT_EQ(At(clipped, 30, 20), kWhite);
    EXPECT_EQ(At(clipped, 45, 20), kWhite);
}

TEST(MetafileTransform, TurnedBitmapAndPieKeepTheirOrientation) {
    // STRETCHDIBITS of a 2 x 1 bitmap (red, blue) onto (0, 0, 40, 20):
    // turned, red comes on top (y 10..30) and blue below (y 30..50).
    Emf e = Canvas();
    QuarterTurn(e);
    std::vector<std::uint8_t> info;
    for (std::uint32_t v : {40u, 2u, 1u})
        PutLE32(info, v);
    PutLE16(info, 1);
    PutLE16(info, 24);
    for (int i = 0; i < 6; ++i)
        PutLE32(info, 0);
    const std::vector<std::uint8_t> bits = {0, 0, 255, 255, 0, 0, 0, 0};  // BGR red, BGR blue, padding
    std::vector<std::uint8_t> tail = info;
    tail.insert(tail.end(), bits.begin(), bits.end());
    e.Record(81, {0, 0, 0, 0, 0, 0, 0, 0, 2, 1, 80, 40, 120, 8, 0, 0x00CC0020, 40, 20}, tail);
    const CRasterImage img = Play(e);
    EXPECT_EQ(At(img, 50, 20), kRed);
    EXPECT_EQ(At(img, 50, 40), kBlue);
    EXPECT_EQ(At(img, 30, 10), kWhite);

    // A pie of the box (-20, -20, 20, 20) from the right end to the top
    // end, counter-clockwise as seen: the upper right quarter before the
    // turn, the lower right one after it (centre at (60, 10)).
    Emf p = Canvas();
    QuarterTurn(p);
    p.Record(47, {-20, -20, 20, 20, 20, 0, 0, -20});
    const CRasterImage pie = Play(p);
    EXPECT_EQ(At(pie, 66, 16), kRed);
    EXPECT_EQ(At(pie, 54, 16), kWhite);
    EXPECT_EQ(At(pie, 66, 4), kWhite);
}

TEST(MetafileTransform, TurnedTextRunsDownThePage) {
    Emf e;
    std::vector<std::int32_t> font = {1, -20, 0, 0, 0, 400, 0, 0};
    std::vector<std::uint8_t> name = Utf16(u"Arial");
    name.resize(64, 0);
    e.Record(82, font, name);
    e.Record(37, {1});
    e.Record(18, {1});
    e.Record(22, {24});  // baseline
    QuarterTurn(e);
    const std::u16string s = u"HHHH";
    e.Record(84, {0, 0, 0, 0, 1, 0, 0, 0, 0, static_cast<std::int32_t>(s.size()), 76, 0, 0, 0, 0, 0, 0}, Utf16(s));
    const CRasterImage img = Play(e);
    int left = 1000, right = -1, top = 1000, bottom = -1;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const Rgb c = At(img, x, y);
            if (c.r + c.g + c.b < 384) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    ASSERT_GE(right, 0);
    // Baseline from (60, 10) downwards; the letters stand to its right
    // (their tops point along +x after the turn... of the page's y-down
    // world: up (-y) turns into +x).
    EXPECT_GT(bottom - top, 2 * (right - left));
    EXPECT_GE(top, 9);
    EXPECT_LE(top, 14);
    EXPECT_GE(left, 59);
    EXPECT_LE(right, 76);
}

TEST(MetafileDashes, StylesDrawGdiPatterns) {
    // Cosmetic pens, one per row, transparent background: dash 18/6,
    // dot 3/3, dash-dot 9/6/3/6, dash-dot-dot 9/3/3/3/3/3.
    Emf e;
    e.Record(18, {1});
    for (int style = 1; style <= 4; ++style) {
        e.Record(38, {style, style, 0, 0, 0});
        e.Record(37, {style});
        e.Record(27, {0, style * 10});
        e.Record(54, {96, style * 10});
    }
    const CRasterImage img = Play(e);
    EXPECT_EQ(Runs(img, 10, 0, 48), "##################......##################......");
    EXPECT_EQ(Runs(img, 20, 0, 12), "###...###...");
    EXPECT_EQ(Runs(img, 30, 0, 48), "#########......###......#########......###......");
    EXPECT_EQ(Runs(img, 40, 0, 48), "#########...###...###...#########...###...###...");

    // Opaque background: the gaps take the background colour.
    Emf o;
    o.Record(25, {0xFF0000});  // blue background
    o.Record(38, {1, 1, 0, 0, 0});
    o.Record(37, {1});
    o.Record(27, {0, 10});
    o.Record(54, {96, 10});
    EXPECT_EQ(Runs(Play(o), 10, 0, 30), "##################bbbbbb######");

    // A pen from CREATEPEN wider than one unit is drawn solid whatever its style.
    Emf w;
    w.Record(18, {1});
    w.Record(38, {1, 1, 3, 0, 0, 0});
    w.Record(37, {1});
    w.Record(27, {0, 10});
    w.Record(54, {96, 10});
    EXPECT_EQ(Runs(Play(w), 10, 0, 40), std::string(40, '#'));
}

TEST(MetafileDashes, UserStyleAndAlternatePens) {
    // EXTCREATEPEN: index, bitmap offsets and sizes, style, width, brush
    // style, colour, hatch, entries.
    Emf e;
    e.Record(18, {1});
    e.Record(95, {1, 0, 0, 0, 0, 0x00010007, 1, 0, 0, 0, 4, 5, 2, 1, 2});  // geometric user style 5, 2, 1, 2
    e.Record(37, {1});
    e.Record(27, {0, 10});
    e.Record(54, {96, 10});
    e.Record(95, {2, 0, 0, 0, 0, 0x00000007, 1, 0, 0, 0, 3, 4, 1, 2});  // cosmetic, odd list: runs twice, drawn and skipped swap
    e.Record(37, {2});
    e.Record(27, {0, 20});
    e.Record(54, {96, 20});
    e.Record(95, {3, 0, 0, 0, 0, 0x00000008, 1, 0, 0, 0, 0});  // PS_ALTERNATE
    e.Record(37, {3});
    e.Record(27, {0, 30});
    e.Record(54, {96, 30});
    e.Record(95, {4, 0, 0, 0, 0, 0x00010001, 2, 0, 0, 0, 0});  // geometric dash, 2 wide: 6 on, 2 off
    e.Record(37, {4});
    e.Record(27, {0, 40});
    e.Record(54, {96, 40});
    const CRasterImage img = Play(e);
    EXPECT_EQ(Runs(img, 10, 0, 20), "#####..#..#####..#..");
    EXPECT_EQ(Runs(img, 20, 0, 14), "####.##....#..");
    EXPECT_EQ(Runs(img, 30, 0, 8), "#.#.#.#.");
    EXPECT_EQ(Runs(img, 40, 0, 16), "######.#######.#");  // the square stamp widens each dash by one
}
