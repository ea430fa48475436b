// Pasting: device-independent bitmap blocks as the clipboard hands them over.
#include "image/RasterImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

namespace {
// A 40-byte information header.
std::vector<std::uint8_t> InfoHeader(int w, int h, int bits, std::uint32_t compression, std::uint32_t colorsUsed = 0,
                                     std::int32_t ppm = 0) {
    std::vector<std::uint8_t> v;
    PutLE32(v, 40);
    PutLE32(v, static_cast<std::uint32_t>(w));
    PutLE32(v, static_cast<std::uint32_t>(h));
    PutLE16(v, 1);
    PutLE16(v, static_cast<unsigned>(bits));
    PutLE32(v, compression);
    PutLE32(v, 0);
    PutLE32(v, static_cast<std::uint32_t>(ppm));
    PutLE32(v, static_cast<std::uint32_t>(ppm));
    PutLE32(v, colorsUsed);
    PutLE32(v, 0);
    return v;
}
}  // namespace

TEST(ClipboardImport, SixteenBitWithoutBitFieldsUsesFiveFiveFive) {
    std::vector<std::uint8_t> b = InfoHeader(2, 1, 16, 0, 0, 11811);
    PutLE16(b, 0x7C00);  // red
    PutLE16(b, 0x03E0 | 0x001F);
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromClipboard(b.data(), b.size()));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetXDpi(), 300);
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(img.GetPixelColor(1, 0), (Rgb{0, 255, 255}));
}

TEST(ClipboardImport, SixteenBitWithBitFieldsUsesTheMasks) {
    std::vector<std::uint8_t> b = InfoHeader(1, 2, 16, 3);
    PutLE32(b, 0xF800);
    PutLE32(b, 0x07E0);
    PutLE32(b, 0x001F);
    PutLE16(b, 0x07E0);  // bottom row: full green in 5-6-5
    PutLE16(b, 0);       // padding to four bytes
    PutLE16(b, 0xF81F);  // top row: magenta
    PutLE16(b, 0);
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromClipboard(b.data(), b.size()));
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(img.GetPixelColor(0, 1), (Rgb{255, 0, 255}));
}

TEST(ClipboardImport, ThirtyTwoBitRowsFollowTheHeaderAndDropTheFourthByte) {
    std::vector<std::uint8_t> b = InfoHeader(2, 1, 32, 0);
    for (std::uint8_t v : {10, 20, 30, 99, 40, 50, 60, 0})
        b.push_back(v);
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromClipboard(b.data(), b.size()));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_FALSE(img.HasAlpha());
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{30, 20, 10}));
    EXPECT_EQ(img.GetPixelColor(1, 0), (Rgb{60, 50, 40}));
}

TEST(ClipboardImport, RunLengthEightExpandsWithEscapes) {
    std::vector<std::uint8_t> b = InfoHeader(4, 3, 8, 1, 2);
    PutLE32(b, 0x000000FF);  // 0: blue
    PutLE32(b, 0x00FF0000);  // 1: red
    for (std::uint8_t v : {3, 1, 0, 0,        // bottom row: three red, end of line
                           0, 2, 1, 1,        // move one right, one up
                           0, 3, 1, 0, 1, 0,  // literal 1 0 1 (padded)
                           0, 1})             // end of bitmap
        b.push_back(v);
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromClipboard(b.data(), b.size()));
    EXPECT_EQ(img.GetBpp(), 8);
    const int expected[3][4] = {{1, 1, 1, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 0), expected[0][x]) << x;
    // after the move: x = 1, y = 2 (the escape came after end of line at y = 1)
    EXPECT_EQ(img.GetPixelIndex(1, 2), 1);
    EXPECT_EQ(img.GetPixelIndex(2, 2), 0);
    EXPECT_EQ(img.GetPixelIndex(3, 2), 1);
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{255, 0, 0}));
}

TEST(ClipboardImport, RunLengthFourAlternatesNibbles) {
    std::vector<std::uint8_t> b = InfoHeader(5, 1, 4, 2, 16);
    for (int i = 0; i < 16; ++i)
        PutLE32(b, static_cast<std::uint32_t>(i * 0x111111));
    for (std::uint8_t v : {5, 0x3A, 0, 1})
        b.push_back(v);
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromClipboard(b.data(), b.size()));
    const int expected[] = {3, 10, 3, 10, 3};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(img.GetPixelIndex(x, 0), expected[x]);
}

TEST(ClipboardImport, UncompressedRowsAreCopiedAsTheyAre) {
    std::vector<std::uint8_t> b = InfoHeader(3, 2, 24, 0);
    for (int i = 0; i < 24; ++i)
        b.push_back(static_cast<std::uint8_t>(i));
    CRasterImage img;
    ASSERT_TRUE(img.CreateFromClipboard(b.data(), b.size()));
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{2, 1, 0}));
    EXPECT_EQ(img.GetPixelColor(0, 1), (Rgb{14, 13, 12}));
}

TEST(ClipboardImport, RefusesWhatItCannotRead) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(2, 2, 24, IMAGE_BMP));
    EXPECT_FALSE(img.CreateFromClipboard(nullptr, 0));
    EXPECT_FALSE(img.IsValid());  // released first, left empty

    std::vector<std::uint8_t> b = InfoHeader(2, 2, 8, 4, 2);  // compression 4: JPEG
    b.resize(b.size() + 8 + 8);
    EXPECT_FALSE(img.CreateFromClipboard(b.data(), b.size()));
    EXPECT_EQ(img.GetLastError(), "compression type not supported");
    EXPECT_FALSE(img.IsValid());

    std::vector<std::uint8_t> c = InfoHeader(2, 2, 32, 1);
    c.resize(c.size() + 16);
    EXPECT_FALSE(img.CreateFromClipboard(c.data(), c.size()));
    EXPECT_EQ(img.GetLastError(), "unknown compression");

    // A header claiming 20000 x 20000 pixels in a block of a few bytes
    // (found by fuzzing) is refused without allocating gigabytes.
    std::vector<std::uint8_t> huge = InfoHeader(20000, -20000, 24, 0);
    huge.resize(huge.size() + 64);
    EXPECT_FALSE(img.CreateFromClipboard(huge.data(), huge.size()));
    EXPECT_EQ(img.GetLastError(), "CRasterImage::Create can't allocate memory");

    std::vector<std::uint8_t> d = InfoHeader(2, 2, 24, 0);
    d.resize(20);  // header cut short
    EXPECT_FALSE(img.CreateFromClipboard(d.data(), d.size()));
    EXPECT_FALSE(img.IsValid());
}
