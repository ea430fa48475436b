// Drawing images onto a surface: the three paths of Draw, DrawMasked for
// printing and DrawRegion for partial stretches.
#include "image/RasterImage.h"
#include "image/RasterSurface.h"

#include <gtest/gtest.h>

namespace {
const Rgb kWhite{255, 255, 255};
const Rgb kGreen{0, 255, 0};

// 4 x 2 image, distinct colours: pixel (x, row from top) = (40x, 100 + row, 9).
CRasterImage Sample24() {
    CRasterImage img;
    EXPECT_TRUE(img.Create(4, 2, 24, IMAGE_BMP));
    for (int top = 0; top < 2; ++top)
        for (int x = 0; x < 4; ++x)
            img.SetPixelColor(x, 1 - top, Rgb{static_cast<std::uint8_t>(40 * x), static_cast<std::uint8_t>(100 + top), 9});
    return img;
}

Rgb At(int x, int top) { return Rgb{static_cast<std::uint8_t>(40 * x), static_cast<std::uint8_t>(100 + top), 9}; }

// 3 x 1 paletted image: indices 0, 1, 2 = red, green, blue.
CRasterImage SamplePaletted() {
    CRasterImage img;
    EXPECT_TRUE(img.Create(3, 1, 8, IMAGE_GIF));
    img.SetPaletteEntry(0, 255, 0, 0, 255);
    img.SetPaletteEntry(1, 0, 255, 0, 128);
    img.SetPaletteEntry(2, 0, 0, 255, 0);
    for (int x = 0; x < 3; ++x)
        img.SetPixelIndex(x, 0, static_cast<std::uint8_t>(x));
    return img;
}
}  // namespace

TEST(RasterImageDraw, NaturalSizeDrawsEveryPixelInPlace) {  // path B
    const CRasterImage img = Sample24();
    CRasterSurface s(8, 6, kGreen);
    CDrawContext sDraw(s);
    EXPECT_EQ(img.Draw(&sDraw, 2, 3), 1);
    for (int top = 0; top < 2; ++top)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(s.GetPixel(2 + x, 3 + top), At(x, top));
    EXPECT_EQ(s.GetPixel(1, 3), kGreen);
    EXPECT_EQ(s.GetPixel(6, 3), kGreen);
    EXPECT_EQ(s.GetPixel(2, 5), kGreen);
}

TEST(RasterImageDraw, StretchTakesNearestColumnsWithoutBlending) {  // path C
    const CRasterImage img = Sample24();
    CRasterSurface s(8, 4, kGreen);
    CDrawContext sDraw(s);
    EXPECT_EQ(img.Draw(&sDraw, 0, 0, 8, 4), 1);
    const int columns[] = {0, 0, 1, 1, 2, 2, 3, 3};
    const int rows[] = {0, 0, 1, 1};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(s.GetPixel(x, y), At(columns[x], rows[y])) << x << "," << y;
    // Shrinking to half takes every second column.
    CRasterSurface t(2, 1, kGreen);
    CDrawContext tDraw(t);
    img.Draw(&tDraw, 0, 0, 2, 1);
    EXPECT_EQ(t.GetPixel(0, 0), At(0, 1));
    EXPECT_EQ(t.GetPixel(1, 0), At(2, 1));
}

TEST(RasterImageDraw, OnlyTheClipIsWrittenAndTheClipComesBack) {
    const CRasterImage img = Sample24();
    CRasterSurface s(8, 4, kGreen);
    CDrawContext sDraw(s);
    const SurfaceRect clip{1, 0, 3, 4};
    EXPECT_EQ(img.Draw(&sDraw, 0, 0, 8, 4, &clip), 1);
    EXPECT_EQ(s.GetPixel(0, 0), kGreen);
    EXPECT_EQ(s.GetPixel(1, 0), At(0, 0));
    EXPECT_EQ(s.GetPixel(2, 0), At(1, 0));
    EXPECT_EQ(s.GetPixel(3, 0), kGreen);
    EXPECT_EQ(sDraw.GetClipBox(), (SurfaceRect{0, 0, 8, 4}));
    // Entirely off the surface: nothing drawn, still reported as drawn.
    EXPECT_EQ(img.Draw(&sDraw, 100, 100), 1);
}

TEST(RasterImageDraw, NothingToDrawReturnsZero) {
    const CRasterImage img = Sample24();
    CRasterSurface s(4, 4);
    CDrawContext sDraw(s);
    EXPECT_EQ(img.Draw(nullptr, 0, 0), 0);
    EXPECT_EQ(img.Draw(&sDraw, 0, 0, 0, 5), 0);
    EXPECT_EQ(CRasterImage().Draw(&sDraw, 0, 0), 0);
    EXPECT_EQ(img.DrawMasked(&sDraw, 0, 0, 3, 0), 0);
    EXPECT_EQ(CRasterImage().DrawRegion(&sDraw, 0, 0, 2, 2, 0, 0, 1, 1), 0);
}

TEST(RasterImageDraw, TransparentIndexLeavesTheSurface) {  // path A
    CRasterImage img = SamplePaletted();
    img.SetTransparentIndex(1);
    CRasterSurface s(3, 1, kWhite);
    CDrawContext sDraw(s);
    img.Draw(&sDraw, 0, 0);
    EXPECT_EQ(s.GetPixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.GetPixel(1, 0), kWhite);
    EXPECT_EQ(s.GetPixel(2, 0), (Rgb{0, 0, 255}));
}

TEST(RasterImageDraw, TransparentColourOfTwentyFourBitImages) {
    CRasterImage img = Sample24();
    img.SetTransparentIndex(0);
    img.SetTransparentColor(At(1, 0));
    CRasterSurface s(4, 2, kGreen);
    CDrawContext sDraw(s);
    img.Draw(&sDraw, 0, 0);
    EXPECT_EQ(s.GetPixel(1, 0), kGreen);
    EXPECT_EQ(s.GetPixel(1, 1), At(1, 1));
}

TEST(RasterImageDraw, AlphaPlaneAndAlphaMaximumBlend) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(3, 1, 24, IMAGE_PNG));
    for (int x = 0; x < 3; ++x)
        img.SetPixelColor(x, 0, Rgb{200, 0, 100});
    img.CreateAlpha();
    img.SetAlpha(0, 0, 255);
    img.SetAlpha(1, 0, 128);
    img.SetAlpha(2, 0, 0);
    CRasterSurface s(3, 1, Rgb{0, 100, 0});
    CDrawContext sDraw(s);
    img.Draw(&sDraw, 0, 0);
    EXPECT_EQ(s.GetPixel(0, 0), (Rgb{200, 0, 100}));
    // (200 * 128 + 0 * 127) >> 8 = 100; (0 * 128 + 100 * 127) >> 8 = 49
    EXPECT_EQ(s.GetPixel(1, 0), (Rgb{100, 49, 50}));
    EXPECT_EQ(s.GetPixel(2, 0), (Rgb{0, 100, 0}));

    img.SetAlphaMax(127);  // a = 255 * 128 >> 8 = 127
    CRasterSurface t(3, 1, Rgb{0, 0, 0});
    CDrawContext tDraw(t);
    img.Draw(&tDraw, 0, 0);
    EXPECT_EQ(t.GetPixel(0, 0), (Rgb{99, 0, 49}));
}

TEST(RasterImageDraw, PaletteAlphaScalesEachEntry) {
    CRasterImage img = SamplePaletted();
    img.EnablePaletteAlpha(true);
    CRasterSurface s(3, 1, Rgb{0, 0, 0});
    CDrawContext sDraw(s);
    img.Draw(&sDraw, 0, 0);
    EXPECT_EQ(s.GetPixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.GetPixel(1, 0), (Rgb{0, 127, 0}));  // a = 255 * 129 >> 8 = 128, then 255 * 128 >> 8
    EXPECT_EQ(s.GetPixel(2, 0), (Rgb{0, 0, 0}));
}

TEST(RasterImageDraw, TransparentPixelsSurviveAStretch) {
    CRasterImage img = SamplePaletted();
    img.SetTransparentIndex(0);
    CRasterSurface s(6, 2, kWhite);
    CDrawContext sDraw(s);
    img.Draw(&sDraw, 0, 0, 6, 2);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(s.GetPixel(0, y), kWhite);
        EXPECT_EQ(s.GetPixel(1, y), kWhite);
        EXPECT_EQ(s.GetPixel(2, y), (Rgb{0, 255, 0}));
        EXPECT_EQ(s.GetPixel(5, y), (Rgb{0, 0, 255}));
    }
}

TEST(RasterImageDrawMasked, WithoutTransparencyStretchesTheWholeImage) {
    const CRasterImage img = Sample24();
    CRasterSurface s(8, 2, kGreen);
    CDrawContext sDraw(s);
    EXPECT_EQ(img.DrawMasked(&sDraw, 0, 0, 8, 2), 1);
    EXPECT_EQ(s.GetPixel(7, 1), At(3, 1));
    EXPECT_EQ(s.GetPixel(2, 0), At(1, 0));
}

TEST(RasterImageDrawMasked, TransparentColourKeepsTheTarget) {
    CRasterImage img = SamplePaletted();
    img.SetTransparentIndex(2);
    const Rgb grey{7, 7, 7};
    CRasterSurface s(6, 1, grey);
    CDrawContext sDraw(s);
    sDraw.SetBackgroundColor(Rgb{1, 2, 3});
    EXPECT_EQ(img.DrawMasked(&sDraw, 0, 0, 6, 1), 1);
    EXPECT_EQ(s.GetPixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.GetPixel(3, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(s.GetPixel(4, 0), grey);
    EXPECT_EQ(s.GetPixel(5, 0), grey);
    EXPECT_EQ(sDraw.BackgroundColor(), kWhite);
    // Alpha has no say when printing.
    CRasterImage a = Sample24();
    a.CreateAlpha();
    a.SetAlpha(0, 0, 0);
    CRasterSurface t(4, 2, kGreen);
    CDrawContext tDraw(t);
    a.DrawMasked(&tDraw, 0, 0);
    EXPECT_EQ(t.GetPixel(0, 1), At(0, 1));
}

TEST(RasterImageDrawRegion, SourceRowsCountFromTheTop) {
    const CRasterImage img = Sample24();
    CRasterSurface s(4, 4, kGreen);
    CDrawContext sDraw(s);
    // columns 1..2 of the bottom row, stretched to 4 x 4
    EXPECT_EQ(img.DrawRegion(&sDraw, 0, 0, 4, 4, 1, 1, 2, 1), 1);
    EXPECT_EQ(s.GetPixel(0, 0), At(1, 1));
    EXPECT_EQ(s.GetPixel(1, 3), At(1, 1));
    EXPECT_EQ(s.GetPixel(2, 2), At(2, 1));
    EXPECT_EQ(s.GetPixel(3, 0), At(2, 1));
}

TEST(RasterImageDrawRegion, IgnoresTransparencyAndConvertsPalettes) {
    CRasterImage img = SamplePaletted();
    img.SetTransparentIndex(0);
    CRasterSurface s(2, 1, kWhite);
    CDrawContext sDraw(s);
    EXPECT_EQ(img.DrawRegion(&sDraw, 0, 0, -1, -1, 0, 0, 2, 1), 1);
    EXPECT_EQ(s.GetPixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(s.GetPixel(1, 0), (Rgb{0, 255, 0}));
}

TEST(RasterImageDeviceBitmap, RenderedPageBecomesAnImage) {
    CRasterSurface s(5, 3, kWhite);
    CDrawContext sDraw(s);
    sDraw.SetPixel(0, 0, Rgb{9, 8, 7});
    sDraw.SetPixel(4, 2, Rgb{1, 2, 3});
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromDeviceBitmap(s));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetWidth(), 5);
    EXPECT_EQ(img.GetPixelColor(0, 2), (Rgb{9, 8, 7}));  // top row is the last bottom-up row
    EXPECT_EQ(img.GetPixelColor(4, 0), (Rgb{1, 2, 3}));
    // And back: drawing it reproduces the page.
    CRasterSurface t(5, 3, kGreen);
    CDrawContext tDraw(t);
    img.Draw(&tDraw, 0, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(t.GetPixel(x, y), s.GetPixel(x, y));
}
