// CRasterImage: storage rules, pixel access, copies, quarter turns and grey.
#include "image/RasterImage.h"

#include <gtest/gtest.h>

namespace {
// A 24-bit image whose pixel (x, y) (bottom-up) has colour (x, y, 7).
CRasterImage Gradient(int w, int h) {
    CRasterImage img;
    EXPECT_TRUE(img.Create(w, h, 24, IMAGE_BMP));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelColor(x, y, Rgb{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 7});
    return img;
}
}  // namespace

TEST(RasterImageCreate, NormalisesDepthAndStride) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(640, 480, 32, IMAGE_BMP));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetStride(), 1920);
    EXPECT_EQ(img.GetPaletteSize(), 0);
    ASSERT_TRUE(img.Create(3, 1, 1, IMAGE_BMP));
    EXPECT_EQ(img.GetStride(), 4);
    EXPECT_EQ(img.GetPaletteSize(), 2);
    const int expected[][2] = {{0, 1}, {1, 1}, {2, 4}, {4, 4}, {5, 8}, {8, 8}, {15, 24}, {16, 24}, {24, 24}};
    for (const auto& e : expected) {
        ASSERT_TRUE(img.Create(5, 5, e[0], IMAGE_GIF));
        EXPECT_EQ(img.GetBpp(), e[1]) << "requested " << e[0];
        EXPECT_EQ(img.GetType(), IMAGE_GIF);
    }
    ASSERT_TRUE(img.Create(5, 5, 4, IMAGE_BMP));
    EXPECT_EQ(img.GetPaletteSize(), 16);
    EXPECT_EQ(img.GetPalette()[3].red, 0);
}

TEST(RasterImageCreate, RefusesZeroSidesAndOversizedImages) {
    CRasterImage img;
    EXPECT_FALSE(img.Create(0, 10, 24, IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(), "CRasterImage::Create : width and height must be greater than zero");
    EXPECT_FALSE(img.IsValid());
    // Above 200 megapixels at any depth.
    EXPECT_FALSE(img.Create(100000, 100000, 1, IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(),
              "The picture is too large: 100000 x 100000 pixels (10000 megapixels); the limit is 200 megapixels.");
    EXPECT_FALSE(img.Create(2147483647, 2147483647, 24, IMAGE_BMP));
    EXPECT_TRUE(IsPictureTooLargeText(img.GetLastError()));
}

TEST(RasterImageCreate, DropsAlphaPlane) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(4, 4, 24, IMAGE_PNG));
    img.CreateAlpha();
    EXPECT_TRUE(img.HasAlpha());
    ASSERT_TRUE(img.Create(4, 4, 24, IMAGE_PNG));
    EXPECT_FALSE(img.HasAlpha());
}

TEST(RasterImagePixels, PackedIndicesRoundTrip) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(9, 2, 1, IMAGE_BMP));
    for (int x = 0; x < 9; ++x)
        img.SetPixelIndex(x, 1, static_cast<std::uint8_t>(x % 3 == 0));
    for (int x = 0; x < 9; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 1), x % 3 == 0 ? 1 : 0);
    EXPECT_EQ(img.GetRow(1)[0], 0x92);  // 1001 0010: most significant bit first
    ASSERT_TRUE(img.Create(3, 1, 4, IMAGE_BMP));
    img.SetPixelIndex(0, 0, 0xA);
    img.SetPixelIndex(1, 0, 0x5);
    img.SetPixelIndex(2, 0, 0x1F);  // only the low four bits are kept
    EXPECT_EQ(img.GetRow(0)[0], 0xA5);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 0xF);
}

TEST(RasterImagePixels, OutOfRangeReadsFollowTheRules) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(2, 2, 8, IMAGE_GIF));
    img.SetPaletteEntry(4, 10, 20, 30);
    img.SetPaletteEntry(9, 90, 80, 70);
    img.SetPixelIndex(0, 0, 4);
    img.SetPixelIndex(1, 0, 4);
    img.SetPixelIndex(0, 1, 9);
    img.SetPixelIndex(1, 1, 9);
    // No transparent index: the first byte of the rows, pixel (0, 0)'s colour.
    EXPECT_EQ(img.GetPixelIndex(-1, 0), 4);
    EXPECT_EQ(img.GetPixelColor(5, 5), (Rgb{10, 20, 30}));
    EXPECT_EQ(img.GetAlpha(2, 0), 0);
    EXPECT_EQ(img.GetAlpha(1, 1), 255);
    img.SetTransparentIndex(9);
    EXPECT_EQ(img.GetPixelIndex(-1, 0), 9);
    EXPECT_EQ(img.GetPixelColor(0, 7), (Rgb{90, 80, 70}));
    img.SetPixelIndex(7, 7, 1);  // ignored
    EXPECT_EQ(img.GetPixelIndex(0, 0), 4);

    CRasterImage rgb = Gradient(3, 3);
    EXPECT_EQ(rgb.GetPixelIndex(1, 1), 0);
    EXPECT_EQ(rgb.GetPixelColor(-1, -1), (Rgb{0, 0, 7}));
    rgb.SetTransparentIndex(0);
    rgb.SetTransparentColor(Rgb{1, 2, 3});
    EXPECT_EQ(rgb.GetPixelColor(3, 0), (Rgb{1, 2, 3}));
}

TEST(RasterImageResolution, PelsPerMetreRoundsToNearest) {
    CRasterImage img;
    EXPECT_EQ(img.GetXDpi(), 96);
    EXPECT_EQ(img.GetXPelsPerMeter(), 3780);
    img.SetYDpi(300);
    EXPECT_EQ(img.GetYPelsPerMeter(), 11811);
}

TEST(RasterImageCopy, CopyIsDeepAndTransferEmptiesTheSource) {
    CRasterImage a = Gradient(4, 3);
    a.CreateAlpha();
    a.SetAlpha(1, 1, 77);
    a.SetTransparentIndex(0);
    a.SetXDpi(300);
    CRasterImage b;
    ASSERT_TRUE(b.CopyFrom(a));
    a.SetPixelColor(0, 0, Rgb{99, 99, 99});
    a.SetAlpha(1, 1, 1);
    EXPECT_EQ(b.GetPixelColor(0, 0), (Rgb{0, 0, 7}));
    EXPECT_EQ(b.GetAlpha(1, 1), 77);
    EXPECT_EQ(b.GetTransparentIndex(), 0);
    EXPECT_EQ(b.GetXDpi(), 300);

    CRasterImage noAlpha;
    ASSERT_TRUE(noAlpha.CopyFrom(a, true, false));
    EXPECT_FALSE(noAlpha.HasAlpha());

    CRasterImage c;
    ASSERT_TRUE(c.Transfer(b));
    EXPECT_FALSE(b.IsValid());
    EXPECT_FALSE(b.HasAlpha());
    EXPECT_EQ(c.GetWidth(), 4);
    EXPECT_EQ(c.GetAlpha(1, 1), 77);

    CRasterImage d = c;  // assignment is a deep copy too
    EXPECT_TRUE(c.IsValid());
    EXPECT_EQ(d.GetPixelColor(3, 2), (Rgb{3, 2, 7}));
}

TEST(RasterImageRotate, QuarterTurnsAreExact) {
    CRasterImage img = Gradient(4, 3);
    img.CreateAlpha();
    img.SetAlpha(3, 2, 11);  // top-right corner as displayed
    ASSERT_TRUE(img.Rotate(90));
    ASSERT_EQ(img.GetWidth(), 3);
    ASSERT_EQ(img.GetHeight(), 4);
    // Clockwise: the displayed top-right corner becomes the bottom-right one.
    EXPECT_EQ(img.GetPixelColor(2, 0), (Rgb{3, 2, 7}));
    EXPECT_EQ(img.GetAlpha(2, 0), 11);
    // The displayed top-left corner of the result was the bottom-left one.
    EXPECT_EQ(img.GetPixelColor(0, 3), (Rgb{0, 0, 7}));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(img.GetPixelColor(x, y), (Rgb{static_cast<std::uint8_t>(3 - y), static_cast<std::uint8_t>(x), 7}));
    ASSERT_TRUE(img.Rotate(-90));
    const CRasterImage original = Gradient(4, 3);
    ASSERT_EQ(img.GetWidth(), 4);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(img.GetPixelColor(x, y), original.GetPixelColor(x, y));
    EXPECT_EQ(img.GetAlpha(3, 2), 11);
}

TEST(RasterImageRotate, FourTurnsGiveTheSamePicture) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(37, 5, 4, IMAGE_GIF));  // odd widths exercise the packing
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37; ++x)
            img.SetPixelIndex(x, y, static_cast<std::uint8_t>((x * 7 + y * 3) % 16));
    img.SetTransparentIndex(5);
    CRasterImage turned;
    ASSERT_TRUE(img.Rotate(90, &turned));
    EXPECT_EQ(img.GetWidth(), 37);  // the source stays as it was
    EXPECT_EQ(turned.GetWidth(), 5);
    EXPECT_EQ(turned.GetTransparentIndex(), 5);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(turned.Rotate(90));
    ASSERT_EQ(turned.GetWidth(), 37);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 37; ++x)
            ASSERT_EQ(turned.GetPixelIndex(x, y), img.GetPixelIndex(x, y));
}

TEST(RasterImageRotate, RefusesOtherAnglesAndKeepsTheImage) {
    CRasterImage img = Gradient(4, 3);
    EXPECT_FALSE(img.Rotate(45));
    EXPECT_FALSE(img.GetLastError().empty());
    EXPECT_EQ(img.GetWidth(), 4);
    CRasterImage one = Gradient(1, 1);
    ASSERT_TRUE(one.Rotate(-90));
    EXPECT_EQ(one.GetWidth(), 1);
    EXPECT_EQ(one.GetHeight(), 1);
}

TEST(RasterImageGray, TwentyFourBitBecomesEightBitGrey) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(2, 1, 24, IMAGE_JPG));
    img.SetPixelColor(0, 0, Rgb{255, 0, 0});
    img.SetPixelColor(1, 0, Rgb{255, 255, 255});
    img.CreateAlpha();
    img.SetAlpha(1, 0, 9);
    ASSERT_TRUE(img.ConvertToGray());
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_EQ(img.GetPaletteSize(), 256);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 76);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 255);
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{76, 76, 76}));
    EXPECT_EQ(img.GetAlpha(1, 0), 9);
    EXPECT_EQ(img.GetType(), IMAGE_JPG);
}

TEST(RasterImageGray, PalettedImagesKeepTheirTransparentEntry) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(3, 1, 1, IMAGE_GIF));
    img.SetPaletteEntry(0, 0, 0, 255);  // blue: grey 29
    img.SetPaletteEntry(1, 0, 255, 0);  // green: grey 149
    img.SetPixelIndex(0, 0, 0);
    img.SetPixelIndex(1, 0, 1);
    img.SetPixelIndex(2, 0, 0);
    img.SetTransparentIndex(1);
    ASSERT_TRUE(img.ConvertToGray());
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_EQ(img.GetPixelIndex(0, 0), 29);
    EXPECT_EQ(img.GetPixelIndex(1, 0), 149);
    EXPECT_EQ(img.GetTransparentIndex(), 149);
    EXPECT_TRUE(img.IsTransparent(1, 0));
    EXPECT_FALSE(img.IsTransparent(0, 0));
}

TEST(RasterImageGray, PaletteAlphaSurvivesInTheAlphaPlane) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(2, 1, 8, IMAGE_PNG));
    img.SetPaletteEntry(0, 200, 0, 0, 255);
    img.SetPaletteEntry(1, 0, 0, 200, 0);
    img.EnablePaletteAlpha(true);
    img.SetPixelIndex(0, 0, 0);
    img.SetPixelIndex(1, 0, 1);
    ASSERT_TRUE(img.ConvertToGray());
    EXPECT_FALSE(img.IsPaletteAlphaEnabled());
    ASSERT_TRUE(img.HasAlpha());
    EXPECT_EQ(img.GetAlpha(0, 0), 255);
    EXPECT_EQ(img.GetAlpha(1, 0), 0);
}

TEST(RasterImageExtension, MapsTheFourCoverTypes) {
    EXPECT_EQ(ImageTypeFromExtension("a/b/Cover.JPG"), IMAGE_JPG);
    EXPECT_EQ(ImageTypeFromExtension("x.jpeg"), IMAGE_JPG);
    EXPECT_EQ(ImageTypeFromExtension("x.Gif"), IMAGE_GIF);
    EXPECT_EQ(ImageTypeFromExtension("x.bmp"), IMAGE_BMP);
    EXPECT_EQ(ImageTypeFromExtension("x.png"), IMAGE_PNG);
    EXPECT_EQ(ImageTypeFromExtension("x.tga"), -1);
    EXPECT_EQ(ImageTypeFromExtension("noext"), -1);
    EXPECT_EQ(ImageTypeFromExtension("dir.png/file"), -1);
}

TEST(RasterImageResource, MissingResourceSaysSo) {
    CRasterImage img = Gradient(2, 2);
    EXPECT_FALSE(img.LoadFromResource("IDJ_NO_SUCH_PICTURE", "JPG", IMAGE_JPG));
    EXPECT_EQ(img.GetLastError(), "Unable to load resource!");
    EXPECT_EQ(img.GetWidth(), 2);
}
