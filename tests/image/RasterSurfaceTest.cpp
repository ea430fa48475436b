// The in-memory surface follows the platform's drawing conventions exactly:
// the layout and the paper preview are measured against them.
#include "image/RasterSurface.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const Rgb kWhite{255, 255, 255};
const Rgb kBlack{0, 0, 0};
const Rgb kRed{255, 0, 0};

// The surface as text, one character per pixel: '#' for `ink`, '.' for
// white, '?' for anything else; rows separated by '|'.
std::string Picture(const CRasterSurface& s, Rgb ink = kBlack) {
    std::string out;
    for (int y = 0; y < s.Height(); ++y) {
        if (y)
            out += '|';
        for (int x = 0; x < s.Width(); ++x) {
            const Rgb c = s.GetPixel(x, y);
            out += c == ink ? '#' : c == kWhite ? '.' : '?';
        }
    }
    return out;
}

int Count(const CRasterSurface& s, Rgb c) {
    int n = 0;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x)
            n += s.GetPixel(x, y) == c;
    return n;
}
}  // namespace

TEST(RasterSurfaceRectangle, OutlineCoversLeftToRightMinusOne) {
    CRasterSurface s(6, 5);
    CDrawContext sDraw(s);
    sDraw.SetBrush(Brush{kWhite, true});
    sDraw.Rectangle(1, 1, 5, 4);
    EXPECT_EQ(Picture(s), "......|.####.|.#..#.|.####.|......");
}

TEST(RasterSurfaceRectangle, BrushFillsInsideTheOutline) {
    CRasterSurface s(5, 5);
    CDrawContext sDraw(s);
    sDraw.SetBrush(Brush{kRed, false});
    sDraw.Rectangle(0, 0, 5, 5);
    EXPECT_EQ(s.GetPixel(0, 0), kBlack);
    EXPECT_EQ(s.GetPixel(4, 4), kBlack);
    EXPECT_EQ(s.GetPixel(2, 2), kRed);
    EXPECT_EQ(Count(s, kRed), 9);
    // Without a pen the brush covers the whole box, right and bottom exclusive.
    CRasterSurface t(5, 5);
    CDrawContext tDraw(t);
    tDraw.SetPen(Pen{kBlack, 1, PenStyle::Null});
    tDraw.SetBrush(Brush{kRed, false});
    tDraw.Rectangle(1, 1, 4, 3);
    EXPECT_EQ(Picture(t, kRed), ".....|.###.|.###.|.....|.....");
}

TEST(RasterSurfaceRectangle, EmptyAndSinglePixelBoxes) {
    CRasterSurface s(4, 4);
    CDrawContext sDraw(s);
    sDraw.Rectangle(2, 2, 2, 3);
    sDraw.Rectangle(3, 3, 1, 1);
    EXPECT_EQ(Count(s, kBlack), 0);
    sDraw.Rectangle(1, 1, 2, 2);
    EXPECT_EQ(Picture(s), "....|.#..|....|....");
}

TEST(RasterSurfaceLine, EndPointIsNotDrawn) {
    CRasterSurface s(12, 3);
    CDrawContext sDraw(s);
    sDraw.Line(0, 1, 10, 1);
    EXPECT_EQ(Picture(s), "............|##########..|............");
    CRasterSurface v(3, 5);
    CDrawContext vDraw(v);
    vDraw.Line(1, 4, 1, 0);  // upwards: rows 4..1
    EXPECT_EQ(Picture(v), "...|.#.|.#.|.#.|.#.");
}

TEST(RasterSurfaceLine, DiagonalAndShallowLinesStepLikeBresenham) {
    CRasterSurface s(5, 5);
    CDrawContext sDraw(s);
    sDraw.Line(0, 0, 4, 4);
    EXPECT_EQ(Picture(s), "#....|.#...|..#..|...#.|.....");
    CRasterSurface t(7, 3);
    CDrawContext tDraw(t);
    tDraw.Line(0, 0, 6, 2);  // slope 1/3: the minor step at half a pixel
    EXPECT_EQ(Picture(t), "##.....|..###..|.....#.");
}

TEST(RasterSurfaceLine, LongLinesAreClippedNotWalked) {
    CRasterSurface s(10, 10);
    CDrawContext sDraw(s);
    sDraw.Line(-2000000000, 5, 2000000000, 5);
    EXPECT_EQ(Count(s, kBlack), 10);
    sDraw.SetPen(Pen{kRed, 1, PenStyle::Solid});
    sDraw.Line(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(s.GetPixel(3, 3), kRed);
    EXPECT_EQ(s.GetPixel(9, 9), kRed);
}

TEST(RasterSurfacePen, DottedPenDrawsThreeSkipsThree) {
    CRasterSurface s(14, 1);
    CDrawContext sDraw(s);
    sDraw.SetPen(Pen{kBlack, 1, PenStyle::Dotted});
    sDraw.Line(0, 0, 14, 0);
    EXPECT_EQ(Picture(s), "###...###...##");
}

TEST(RasterSurfacePen, DotPatternRunsOnAcrossPolylineSegments) {
    CRasterSurface s(8, 3);
    CDrawContext sDraw(s);
    sDraw.SetPen(Pen{kBlack, 1, PenStyle::Dotted});
    sDraw.Polyline({{0, 0}, {4, 0}, {4, 2}, {0, 2}});
    // 4 points on the first segment (on, on, on, off), then off, off, on...
    EXPECT_EQ(Picture(s), "###.....|........|..###...");
}

TEST(RasterSurfacePen, WidePenIsCentredOnThePath) {
    CRasterSurface s(7, 7);
    CDrawContext sDraw(s);
    sDraw.SetPen(Pen{kBlack, 3, PenStyle::Solid});
    sDraw.Line(1, 3, 5, 3);
    EXPECT_EQ(Picture(s), ".......|.......|######.|######.|######.|.......|.......");
    CRasterSurface t(6, 6);
    CDrawContext tDraw(t);
    tDraw.SetPen(Pen{kRed, 2, PenStyle::Solid});
    tDraw.Line(2, 2, 3, 2);
    EXPECT_EQ(Picture(t, kRed), "......|.##...|.##...|......|......|......");
}

TEST(RasterSurfaceEllipse, StaysInsideItsBoxAndTouchesEachSide) {
    CRasterSurface s(12, 10);
    CDrawContext sDraw(s);
    sDraw.SetBrush(Brush{kWhite, true});
    sDraw.Ellipse(1, 1, 11, 9);
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            if (s.GetPixel(x, y) == kBlack) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    EXPECT_EQ(minX, 1);
    EXPECT_EQ(maxX, 10);
    EXPECT_EQ(minY, 1);
    EXPECT_EQ(maxY, 8);
    // Symmetric about the box's centre lines, hollow inside.
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(s.GetPixel(x, y), s.GetPixel(11 - x, y)) << x << "," << y;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x)
            EXPECT_EQ(s.GetPixel(x, y), s.GetPixel(x, 9 - y)) << x << "," << y;
    EXPECT_EQ(s.GetPixel(6, 5), kWhite);
}

TEST(RasterSurfaceEllipse, FilledDiscAndOutlineMatchACircle) {
    CRasterSurface s(101, 101);
    CDrawContext sDraw(s);
    sDraw.SetPen(Pen{kBlack, 1, PenStyle::Null});
    sDraw.SetBrush(Brush{kRed, false});
    sDraw.Ellipse(0, 0, 100, 100);
    // A disc of diameter 100 covers about pi * 50^2 pixels.
    const int area = Count(s, kRed);
    EXPECT_NEAR(area, 7854, 120);
    EXPECT_EQ(s.GetPixel(100, 50), kWhite);  // right edge exclusive
    EXPECT_EQ(s.GetPixel(99, 50), kRed);
    EXPECT_EQ(s.GetPixel(0, 50), kRed);
    EXPECT_EQ(s.GetPixel(3, 3), kWhite);
}

TEST(RasterSurfaceFill, PolygonUsesEvenOddAtPixelCentres) {
    CRasterSurface s(6, 6);
    CDrawContext sDraw(s);
    sDraw.SetPen(Pen{kBlack, 1, PenStyle::Null});
    sDraw.SetBrush(Brush{kBlack, false});
    sDraw.Polygon({{1, 1}, {5, 1}, {5, 5}, {1, 5}});
    EXPECT_EQ(Picture(s), "......|.####.|.####.|.####.|.####.|......");
}

TEST(RasterSurfaceClip, DrawingStaysInsideTheClipBoxAndRestores) {
    CRasterSurface s(6, 4);
    CDrawContext sDraw(s);
    const SurfaceRect whole = sDraw.GetClipBox();
    EXPECT_EQ(whole, (SurfaceRect{0, 0, 6, 4}));
    const SurfaceRect before = sDraw.IntersectClip(SurfaceRect{2, 0, 4, 4});
    EXPECT_EQ(before, whole);
    sDraw.FillRect(SurfaceRect{0, 0, 6, 4}, kBlack);
    sDraw.SetClip(before);
    EXPECT_EQ(Picture(s), "..##..|..##..|..##..|..##..");
    EXPECT_EQ(sDraw.GetClipBox(), whole);
}

TEST(RasterSurfaceBlit, StretchRepeatsAndDropsWithoutBlending) {
    // Two columns, black and red, stretched to five: 0,0,0,1,1 (integer sampling).
    const std::uint8_t pixels[] = {0, 0, 0, 0, 0, 255};
    CRasterSurface s(5, 2);
    CDrawContext sDraw(s);
    sDraw.StretchPixels(SurfaceRect{0, 0, 5, 2}, PixelBlock{pixels, 6, 2, 1});
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(s.GetPixel(0, y), kBlack);
        EXPECT_EQ(s.GetPixel(2, y), kBlack);
        EXPECT_EQ(s.GetPixel(3, y), kRed);
        EXPECT_EQ(s.GetPixel(4, y), kRed);
    }
    // Shrinking drops columns: four columns into two take 0 and 2.
    const std::uint8_t four[] = {0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 255};
    CRasterSurface t(2, 1);
    CDrawContext tDraw(t);
    tDraw.StretchPixels(SurfaceRect{0, 0, 2, 1}, PixelBlock{four, 12, 4, 1});
    EXPECT_EQ(t.GetPixel(0, 0), kBlack);
    EXPECT_EQ(t.GetPixel(1, 0), kRed);
}

TEST(RasterSurfaceBlit, MaskedWriteLeavesTargetUnderMaskedPixels) {
    const std::uint8_t pixels[] = {0, 0, 0, 0, 0, 255};
    const std::uint8_t mask[] = {1, 0};
    CRasterSurface s(4, 1, Rgb{0, 255, 0});
    CDrawContext sDraw(s);
    sDraw.StretchPixelsMasked(SurfaceRect{0, 0, 4, 1}, PixelBlock{pixels, 6, 2, 1}, mask, 2);
    EXPECT_EQ(s.GetPixel(0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(s.GetPixel(1, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(s.GetPixel(2, 0), kRed);
    EXPECT_EQ(s.GetPixel(3, 0), kRed);
}

TEST(RasterSurfaceBlit, ReadBackOutsideIsWhiteAndWriteIsClipped) {
    CRasterSurface s(3, 3, kBlack);
    CDrawContext sDraw(s);
    std::uint8_t buf[4 * 4 * 3];
    ASSERT_TRUE(sDraw.ReadPixels(SurfaceRect{-1, -1, 3, 3}, buf, 12));
    EXPECT_EQ(buf[0], 255);       // (-1, -1)
    EXPECT_EQ(buf[12 + 3], 0);    // (0, 0)
    const std::uint8_t red[] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 255};
    sDraw.WritePixels(2, 2, PixelBlock{red, 6, 2, 2});
    EXPECT_EQ(s.GetPixel(2, 2), kRed);
    EXPECT_EQ(s.GetPixel(1, 2), kBlack);
}
