// JPEG and PNG: what the codecs around libjpeg and libpng decide.
#include "image/RasterImage.h"

#include "ColourPictures.h"
#include "TestEncoders.h"
#include "TestImages.h"

#include <png.h>

#include <gtest/gtest.h>
#include <lcms2.h>

#include <cstdlib>

namespace {
JpegRecipe Flat(int w, int h, int components, std::vector<std::uint8_t> value) {
    JpegRecipe s;
    s.width = w;
    s.height = h;
    s.components = components;
    for (int i = 0; i < w * h; ++i)
        s.pixels.insert(s.pixels.end(), value.begin(), value.end());
    return s;
}

bool Near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

PngRecipe Png(int w, int h, int colorType, int bitDepth, std::vector<std::vector<std::uint8_t>> rows) {
    PngRecipe s;
    s.width = w;
    s.height = h;
    s.colorType = colorType;
    s.bitDepth = bitDepth;
    s.rows = std::move(rows);
    return s;
}
}  // namespace

TEST(JpegCodec, ColourGreyAndCmyk) {
    CRasterImage rgb;
    ASSERT_TRUE(DecodeBytes(rgb, EncodeJpeg(Flat(16, 8, 3, {200, 40, 90})), IMAGE_JPG)) << rgb.GetLastError();
    EXPECT_EQ(rgb.GetBpp(), 24);
    EXPECT_EQ(rgb.GetType(), IMAGE_JPG);
    EXPECT_TRUE(Near(rgb.GetPixelColor(5, 5), Rgb{200, 40, 90}, 3));

    CRasterImage grey;
    ASSERT_TRUE(DecodeBytes(grey, EncodeJpeg(Flat(8, 8, 1, {77})), IMAGE_JPG));
    EXPECT_EQ(grey.GetBpp(), 8);
    EXPECT_NEAR(grey.GetPixelIndex(3, 3), 77, 1);
    EXPECT_EQ(grey.GetPaletteColor(77), (Rgb{77, 77, 77}));

    // CMYK with Adobe's marker (inverted inks) and no profile: through the
    // system's standard CMYK profile, as LittleCMS converts it.
    CRasterImage cmyk;
    ASSERT_TRUE(DecodeBytes(cmyk, EncodeJpeg(Flat(8, 8, 4, {200, 100, 50, 128})), IMAGE_JPG));
    EXPECT_EQ(cmyk.GetBpp(), 24);
    const std::vector<std::uint8_t> standard = ReadBytes("/usr/share/color/icc/ghostscript/default_cmyk.icc");
    ASSERT_FALSE(standard.empty()) << "libgs-common is needed";
    const std::vector<std::uint8_t> want = colourtest::LittleCmsToSrgb(standard, {200, 100, 50, 128}, TYPE_CMYK_8_REV, 4);
    EXPECT_TRUE(Near(cmyk.GetPixelColor(1, 1), Rgb{want[0], want[1], want[2]}, 2));
}

TEST(JpegCodec, ResolutionFromExifThenJfif) {
    JpegRecipe s = Flat(8, 8, 3, {1, 2, 3});
    s.jfifDensityUnit = 1;
    s.jfifX = 150;
    s.jfifY = 150;
    CRasterImage jfif;
    ASSERT_TRUE(DecodeBytes(jfif, EncodeJpeg(s), IMAGE_JPG));
    EXPECT_EQ(jfif.GetXDpi(), 150);
    s.exif = ExifWithResolution(300, 600, 2);
    CRasterImage exif;
    ASSERT_TRUE(DecodeBytes(exif, EncodeJpeg(s), IMAGE_JPG));
    EXPECT_EQ(exif.GetXDpi(), 300);
    EXPECT_EQ(exif.GetYDpi(), 600);
    // A damaged Exif block does not stop the decode.
    s.exif.resize(20);
    CRasterImage damaged;
    ASSERT_TRUE(DecodeBytes(damaged, EncodeJpeg(s), IMAGE_JPG));
    EXPECT_EQ(damaged.GetXDpi(), 150);
}

TEST(JpegCodec, LibraryErrorsBecomeTheMessage) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(3, 3, 24, IMAGE_BMP));
    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_FALSE(DecodeBytes(img, text, IMAGE_JPG));
    EXPECT_EQ(img.GetLastError(), "Not a JPEG file: starts with 0x68 0x65");
    EXPECT_EQ(img.GetWidth(), 3);  // the target keeps its picture
    std::vector<std::uint8_t> jpeg = EncodeJpeg(Flat(8, 8, 3, {1, 2, 3}));
    jpeg.resize(20);  // cut inside the headers
    EXPECT_FALSE(DecodeBytes(img, jpeg, IMAGE_JPG));
    EXPECT_FALSE(img.GetLastError().empty());
}

TEST(JpegCodec, TruncatedDataKeepsTheDecodedPart) {
    JpegRecipe s;
    s.width = 64;
    s.height = 64;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 3; ++c)
                s.pixels.push_back(static_cast<std::uint8_t>(c == 0 ? x * 4 : c == 1 ? y * 4 : (x * y) % 97));
    std::vector<std::uint8_t> jpeg = EncodeJpeg(s);
    jpeg.resize(jpeg.size() * 3 / 4);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, jpeg, IMAGE_JPG)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 64);
    // The top rows arrived; JPEG is lossy, so only roughly.
    int close = 0;
    for (int x = 0; x < 64; ++x) {
        const Rgb c = img.GetPixelColor(x, 63);
        close += std::abs(c.r - x * 4) < 16;
    }
    EXPECT_GT(close, 48);
    // ... and the picture says that the rest is made up.
    EXPECT_EQ(img.GetDecodeWarning(), "Truncated data: the JPEG file ends early");
    // A whole file has nothing to say, and a later good decode forgets the warning.
    jpeg = EncodeJpeg(s);
    ASSERT_TRUE(DecodeBytes(img, jpeg, IMAGE_JPG));
    EXPECT_EQ(img.GetDecodeWarning(), "");
}

TEST(JpegCodec, ScanDataCutShortByAMarkerIsSaid) {
    JpegRecipe s;
    s.width = s.height = 64;
    for (int i = 0; i < 64 * 64 * 3; ++i)
        s.pixels.push_back(static_cast<std::uint8_t>((i * 37) % 251));  // noise: mostly scan data
    std::vector<std::uint8_t> jpeg = EncodeJpeg(s);
    // An end-of-image marker halfway through the scan data.
    const std::size_t half = jpeg.size() * 2 / 3;
    jpeg.resize(half);
    jpeg.push_back(0xFF);
    jpeg.push_back(0xD9);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, jpeg, IMAGE_JPG)) << img.GetLastError();
    EXPECT_FALSE(img.GetDecodeWarning().empty());
    // The warning travels with the picture when it is copied.
    CRasterImage copy(img);
    EXPECT_EQ(copy.GetDecodeWarning(), img.GetDecodeWarning());
}

TEST(PngCodec, AlphaChannelsGoToTheAlphaPlane) {
    PngRecipe rgba = Png(2, 1, PNG_COLOR_TYPE_RGBA, 8, {{10, 20, 30, 255, 40, 50, 60, 7}});
    rgba.background[0] = 9;
    rgba.background[1] = 8;
    rgba.background[2] = 7;
    CRasterImage a;
    ASSERT_TRUE(DecodeBytes(a, EncodePng(rgba), IMAGE_PNG)) << a.GetLastError();
    EXPECT_EQ(a.GetBpp(), 24);
    ASSERT_TRUE(a.HasAlpha());
    EXPECT_EQ(a.GetPixelColor(1, 0), (Rgb{40, 50, 60}));
    EXPECT_EQ(a.GetAlpha(1, 0), 7);
    EXPECT_EQ(a.GetTransparentColor(), (Rgb{9, 8, 7}));
    EXPECT_EQ(a.GetTransparentIndex(), -1);

    // 16-bit grey with alpha is expanded to colour and keeps its alpha.
    CRasterImage ga;
    ASSERT_TRUE(DecodeBytes(ga, EncodePng(Png(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {{0x80, 0x00, 0x40, 0x00}})),
                            IMAGE_PNG));
    EXPECT_EQ(ga.GetBpp(), 24);
    EXPECT_EQ(ga.GetPixelColor(0, 0), (Rgb{128, 128, 128}));
    EXPECT_EQ(ga.GetAlpha(0, 0), 64);
}

TEST(PngCodec, TransparentColourIsCompositedAgainstTheBackground) {
    PngRecipe s = Png(2, 1, PNG_COLOR_TYPE_RGB, 8, {{1, 2, 3, 50, 60, 70}});
    s.transparentRgb[0] = 1;
    s.transparentRgb[1] = 2;
    s.transparentRgb[2] = 3;
    CRasterImage black;
    ASSERT_TRUE(DecodeBytes(black, EncodePng(s), IMAGE_PNG));
    EXPECT_FALSE(black.HasAlpha());
    EXPECT_EQ(black.GetPixelColor(0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(black.GetPixelColor(1, 0), (Rgb{50, 60, 70}));
    s.background[0] = 200;
    s.background[1] = 100;
    s.background[2] = 0;
    CRasterImage withBackground;
    ASSERT_TRUE(DecodeBytes(withBackground, EncodePng(s), IMAGE_PNG));
    EXPECT_EQ(withBackground.GetPixelColor(0, 0), (Rgb{200, 100, 0}));
}

TEST(PngCodec, PaletteTransparencyRules) {
    PngRecipe s = Png(3, 1, PNG_COLOR_TYPE_PALETTE, 8, {{0, 1, 2}});
    s.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    s.paletteAlpha = {0};
    CRasterImage single;
    ASSERT_TRUE(DecodeBytes(single, EncodePng(s), IMAGE_PNG));
    EXPECT_EQ(single.GetBpp(), 8);
    EXPECT_EQ(single.GetTransparentIndex(), 0);
    EXPECT_FALSE(single.IsPaletteAlphaEnabled());

    s.paletteAlpha = {255, 100};
    CRasterImage perEntry;
    ASSERT_TRUE(DecodeBytes(perEntry, EncodePng(s), IMAGE_PNG));
    EXPECT_EQ(perEntry.GetTransparentIndex(), -1);
    ASSERT_TRUE(perEntry.IsPaletteAlphaEnabled());
    EXPECT_EQ(perEntry.GetPalette()[1].alpha, 100);
    EXPECT_EQ(perEntry.GetPalette()[2].alpha, 255);  // beyond the chunk: opaque
}

TEST(PngCodec, GreyDepthsAndPalettes) {
    CRasterImage two;
    ASSERT_TRUE(DecodeBytes(two, EncodePng(Png(4, 1, PNG_COLOR_TYPE_GRAY, 2, {{0x1B}})), IMAGE_PNG));
    EXPECT_EQ(two.GetBpp(), 4);
    EXPECT_EQ(two.GetPixelIndex(1, 0), 1);
    EXPECT_EQ(two.GetPixelColor(1, 0), (Rgb{85, 85, 85}));
    EXPECT_EQ(two.GetPixelColor(3, 0), (Rgb{255, 255, 255}));

    CRasterImage sixteen;
    ASSERT_TRUE(DecodeBytes(sixteen, EncodePng(Png(1, 1, PNG_COLOR_TYPE_GRAY, 16, {{0xAB, 0xCD}})), IMAGE_PNG));
    EXPECT_EQ(sixteen.GetBpp(), 8);
    EXPECT_EQ(sixteen.GetPixelIndex(0, 0), 0xAB);

    CRasterImage one;
    ASSERT_TRUE(DecodeBytes(one, EncodePng(Png(8, 1, PNG_COLOR_TYPE_GRAY, 1, {{0x80}})), IMAGE_PNG));
    EXPECT_EQ(one.GetBpp(), 1);
    EXPECT_EQ(one.GetPixelColor(0, 0), (Rgb{255, 255, 255}));

    // Grey of 4 bits with a transparent value: replaced by the background.
    PngRecipe t = Png(2, 1, PNG_COLOR_TYPE_GRAY, 4, {{0x3F}});
    t.transparentGray = 3;
    t.background[0] = 9;
    CRasterImage trans;
    ASSERT_TRUE(DecodeBytes(trans, EncodePng(t), IMAGE_PNG));
    EXPECT_EQ(trans.GetPixelIndex(0, 0), 9);
    EXPECT_EQ(trans.GetPixelIndex(1, 0), 15);
}

TEST(PngCodec, InterlacedAndSixteenBitColour) {
    PngRecipe s = Png(5, 4, PNG_COLOR_TYPE_RGB, 16, {});
    for (int y = 0; y < 4; ++y) {
        std::vector<std::uint8_t> row;
        for (int x = 0; x < 5; ++x)
            for (int c = 0; c < 3; ++c) {
                row.push_back(static_cast<std::uint8_t>(x * 40 + y * 10 + c));
                row.push_back(0xFF);
            }
        s.rows.push_back(row);
    }
    s.interlaced = true;
    s.pixelsPerMeter = 11811;
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, EncodePng(s), IMAGE_PNG));
    EXPECT_EQ(img.GetXDpi(), 300);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) {
            const Rgb c = img.GetPixelColor(x, 3 - y);
            EXPECT_EQ(c.r, x * 40 + y * 10) << x << "," << y;
            EXPECT_EQ(c.b, x * 40 + y * 10 + 2);
        }
}

TEST(PngCodec, HugeTextChunksAreSkippedUnread) {
    // A text chunk claiming almost 2 GB before the image data (found by
    // fuzzing): skipped without allocating, the file ends early.
    std::vector<std::uint8_t> png = EncodePng(Png(1, 1, PNG_COLOR_TYPE_GRAY, 8, {{5}}));
    const std::vector<std::uint8_t> chunk = {0x74, 0x00, 0x00, 0x00, 't', 'E', 'X', 't', 'k', 'e', 'y', 0};
    png.insert(png.begin() + 33, chunk.begin(), chunk.end());
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, png, IMAGE_PNG));
    EXPECT_EQ(img.GetLastError(), "Truncated data: the PNG file ends early");
}

TEST(PngCodec, ErrorsCarryMessages) {
    std::vector<std::uint8_t> png = EncodePng(Png(1, 1, PNG_COLOR_TYPE_GRAY, 8, {{5}}));
    std::vector<std::uint8_t> cut(png.begin(), png.begin() + 30);
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, cut, IMAGE_PNG));
    EXPECT_EQ(img.GetLastError(), "Truncated data: the PNG file ends early");
    png[20] ^= 0xFF;  // inside the header: checksum no longer matches
    EXPECT_FALSE(DecodeBytes(img, png, IMAGE_PNG));
    EXPECT_FALSE(img.GetLastError().empty());
}
