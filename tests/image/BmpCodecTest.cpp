// BMP files as written by many programs: header sizes, depths, run-length
// data, bit fields, top-down rows, and the messages of refused files.
#include "image/RasterImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

namespace {
// A BMP file: file header (unless bare), information header of `headerSize`
// bytes, palette entries, masks, then rows as given.
std::vector<std::uint8_t> Bmp(int w, int h, int bits, std::uint32_t compression, const std::vector<std::uint32_t>& palette,
                              const std::vector<std::uint8_t>& rows, std::uint32_t headerSize = 40,
                              const std::vector<std::uint32_t>& masks = {}, bool bare = false) {
    std::vector<std::uint8_t> info;
    if (headerSize == 12) {
        PutLE32(info, 12);
        PutLE16(info, static_cast<unsigned>(w));
        PutLE16(info, static_cast<unsigned>(h));
        PutLE16(info, 1);
        PutLE16(info, static_cast<unsigned>(bits));
    } else {
        PutLE32(info, headerSize);
        PutLE32(info, static_cast<std::uint32_t>(w));
        PutLE32(info, static_cast<std::uint32_t>(h));
        PutLE16(info, 1);
        PutLE16(info, static_cast<unsigned>(bits));
        PutLE32(info, compression);
        PutLE32(info, static_cast<std::uint32_t>(rows.size()));
        PutLE32(info, 3780);
        PutLE32(info, 3780);
        PutLE32(info, static_cast<std::uint32_t>(palette.size()));
        PutLE32(info, 0);
        if (headerSize > 40 && !masks.empty())
            for (std::uint32_t m : masks)
                PutLE32(info, m);
        info.resize(headerSize, 0);
    }
    std::vector<std::uint8_t> extra;
    if (headerSize == 40)
        for (std::uint32_t m : masks)
            PutLE32(extra, m);
    for (std::uint32_t p : palette) {
        if (headerSize == 12) {
            extra.push_back(static_cast<std::uint8_t>(p));
            extra.push_back(static_cast<std::uint8_t>(p >> 8));
            extra.push_back(static_cast<std::uint8_t>(p >> 16));
        } else {
            PutLE32(extra, p);
        }
    }
    std::vector<std::uint8_t> file;
    if (!bare) {
        file = {'B', 'M'};
        PutLE32(file, static_cast<std::uint32_t>(14 + info.size() + extra.size() + rows.size()));
        PutLE32(file, 0);
        PutLE32(file, static_cast<std::uint32_t>(14 + info.size() + extra.size()));
    }
    file.insert(file.end(), info.begin(), info.end());
    file.insert(file.end(), extra.begin(), extra.end());
    file.insert(file.end(), rows.begin(), rows.end());
    return file;
}

Rgb Px(const CRasterImage& img, int x, int fromTop) { return img.GetPixelColor(x, img.GetHeight() - 1 - fromTop); }
}  // namespace

TEST(BmpCodec, TwentyFourBitRowsAreBottomUpAndPadded) {
    // 2 x 2: bottom row red, green; top row blue, white. Rows padded to 8 bytes.
    const std::vector<std::uint8_t> rows = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Bmp(2, 2, 24, 0, {}, rows), IMAGE_BMP)) << img.GetLastError();
    EXPECT_EQ(img.GetType(), IMAGE_BMP);
    EXPECT_EQ(Px(img, 0, 1), (Rgb{255, 0, 0}));
    EXPECT_EQ(Px(img, 1, 1), (Rgb{0, 255, 0}));
    EXPECT_EQ(Px(img, 0, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(img.GetXDpi(), 96);
}

TEST(BmpCodec, NegativeHeightMeansTopDown) {
    const std::vector<std::uint8_t> rows = {0, 0, 255, 0, 0, 255, 0, 0};
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Bmp(1, -2, 24, 0, {}, rows), IMAGE_BMP));
    EXPECT_EQ(img.GetHeight(), 2);
    EXPECT_EQ(Px(img, 0, 0), (Rgb{255, 0, 0}));  // first stored row is the top
    EXPECT_EQ(Px(img, 0, 1), (Rgb{0, 255, 0}));
}

TEST(BmpCodec, CoreHeaderUsesThreeBytePaletteEntries) {
    const std::vector<std::uint8_t> rows = {0x40, 0, 0, 0};  // 01.. : pixel 0 index 0, pixel 1 index 1
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Bmp(2, 1, 1, 0, {0x0000FF, 0xFF0000}, rows, 12), IMAGE_BMP));
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(Px(img, 0, 0), (Rgb{0, 0, 255}));
    EXPECT_EQ(Px(img, 1, 0), (Rgb{255, 0, 0}));
}

TEST(BmpCodec, LargerHeadersAreReadLikeTheFortyByteOne) {
    const std::vector<std::uint8_t> rows = {7, 8, 9, 0};
    for (std::uint32_t size : {64u, 108u, 124u}) {
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(img, Bmp(1, 1, 24, 0, {}, rows, size), IMAGE_BMP)) << size;
        EXPECT_EQ(Px(img, 0, 0), (Rgb{9, 8, 7}));
    }
    // An unknown size passes only for a plain uncompressed bitmap whose stated
    // image size is right (ours states 4 bytes for one padded row).
    CRasterImage plain;
    EXPECT_TRUE(DecodeBytes(plain, Bmp(1, 1, 24, 0, {}, rows, 60), IMAGE_BMP));
    CRasterImage packed;
    EXPECT_FALSE(DecodeBytes(packed, Bmp(1, 1, 24, 0, {}, {7, 8, 9, 0, 0}, 60), IMAGE_BMP));
    EXPECT_EQ(packed.GetLastError(), "Error reading BMP info");
}

TEST(BmpCodec, BareBitmapWithoutFileHeader) {
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Bmp(1, 1, 24, 0, {}, {1, 2, 3, 0}, 40, {}, true), IMAGE_BMP));
    EXPECT_EQ(Px(img, 0, 0), (Rgb{3, 2, 1}));
}

TEST(BmpCodec, RunLengthEightAndFour) {
    const std::vector<std::uint8_t> rle8 = {2, 1, 0, 3, 0, 1, 0, 0, 0, 0, 0, 1};
    CRasterImage a;
    ASSERT_TRUE(DecodeBytes(a, Bmp(5, 2, 8, 1, {0x000000, 0xFFFFFF}, rle8), IMAGE_BMP)) << a.GetLastError();
    const int bottom[] = {1, 1, 0, 1, 0};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(a.GetPixelIndex(x, 0), bottom[x]) << x;
    const std::vector<std::uint8_t> rle4 = {4, 0x21, 0, 1};
    CRasterImage b;
    ASSERT_TRUE(DecodeBytes(b, Bmp(4, 1, 4, 2, {0, 0x111111, 0x222222}, rle4), IMAGE_BMP));
    const int row[] = {2, 1, 2, 1};
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(b.GetPixelIndex(x, 0), row[x]);
}

TEST(BmpCodec, SixteenBitDefaultsToFiveFiveFiveAndHonoursBitFields) {
    CRasterImage a;
    ASSERT_TRUE(DecodeBytes(a, Bmp(2, 1, 16, 0, {}, {0x00, 0x7C, 0x1F, 0x00}), IMAGE_BMP));
    EXPECT_EQ(Px(a, 0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(Px(a, 1, 0), (Rgb{0, 0, 255}));
    CRasterImage b;
    ASSERT_TRUE(DecodeBytes(b, Bmp(2, 1, 16, 3, {}, {0xE0, 0x07, 0x00, 0xF8}, 40, {0xF800, 0x07E0, 0x001F}),
                            IMAGE_BMP));
    EXPECT_EQ(Px(b, 0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(Px(b, 1, 0), (Rgb{255, 0, 0}));
}

TEST(BmpCodec, FiftyTwoAndFiftySixByteHeadersCarryTheirMasks) {
    // 5-6-5 masks inside the header; white must stay white (31 -> 255).
    for (std::uint32_t size : {52u, 56u}) {
        CRasterImage img;
        ASSERT_TRUE(DecodeBytes(img, Bmp(2, 1, 16, 3, {}, {0xFF, 0xFF, 0x1F, 0x00}, size, {0xF800, 0x07E0, 0x001F}),
                                IMAGE_BMP))
            << size << img.GetLastError();
        EXPECT_EQ(Px(img, 0, 0), (Rgb{255, 255, 255}));
        EXPECT_EQ(Px(img, 1, 0), (Rgb{0, 0, 255}));
    }
}

TEST(BmpCodec, ThirtyTwoBitDropsTheFourthByte) {
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Bmp(1, 1, 32, 0, {}, {10, 20, 30, 0}), IMAGE_BMP));
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_FALSE(img.HasAlpha());
    EXPECT_EQ(Px(img, 0, 0), (Rgb{30, 20, 10}));
    // Bit fields in another order are followed.
    CRasterImage bf;
    ASSERT_TRUE(DecodeBytes(bf, Bmp(1, 1, 32, 3, {}, {0, 30, 20, 10}, 40, {0x0000FF00, 0x00FF0000, 0xFF000000}),
                            IMAGE_BMP));
    EXPECT_EQ(Px(bf, 0, 0), (Rgb{30, 20, 10}));
}

TEST(BmpCodec, RefusalsCarryTheirMessages) {
    CRasterImage img;
    const std::vector<std::uint8_t> tiny = {'B', 'M', 0};
    EXPECT_FALSE(DecodeBytes(img, tiny, IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(), "Not a BMP");
    EXPECT_FALSE(DecodeBytes(img, Bmp(1, 1, 24, 1, {}, {0, 0, 0, 0}), IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(), "unknown compression");
    EXPECT_FALSE(DecodeBytes(img, Bmp(1, 1, 8, 4, {0}, {0, 0, 0, 0}), IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(), "compression type not supported");
    EXPECT_FALSE(DecodeBytes(img, Bmp(1, 1, 32, 2, {}, {0, 0, 0, 0}), IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(), "unknown compression");
    EXPECT_FALSE(DecodeBytes(img, Bmp(0, 1, 24, 0, {}, {}), IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(), "BMP header is damaged: it gives a picture of 0 x 1 pixels");
    std::vector<std::uint8_t> header = Bmp(1, 1, 24, 0, {}, {0, 0, 0, 0});
    header[14] = 20;  // information header of 20 bytes
    EXPECT_FALSE(DecodeBytes(img, header, IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(), "Error reading BMP info");
    std::vector<std::uint8_t> odd = Bmp(1, 1, 24, 0, {}, {0, 0, 0, 0});
    odd[28] = 3;  // three bits per pixel
    EXPECT_FALSE(DecodeBytes(img, odd, IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(), "BMP with 3 bits per pixel is not supported");
    const std::vector<std::uint8_t> whole = Bmp(1, 1, 24, 0, {}, {0, 0, 0, 0});
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + 30);
    EXPECT_FALSE(DecodeBytes(img, cut, IMAGE_BMP));
    EXPECT_EQ(img.GetLastError(), "BMP data is truncated: the file ends inside its information header");
}

TEST(BmpCodec, HugeDimensionsAreRefusedBeforeAllocatingWithTheirCause) {
    // 10000 x 10000 at 24 bits (within the pixel limit) from a file of a few bytes.
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, Bmp(10000, 10000, 24, 0, {}, {0, 0, 0, 0}), IMAGE_BMP));
    EXPECT_EQ(img.GetLastError().rfind("BMP data is truncated: its header gives 10000 x 10000 pixels, far more than its ",
                                       0),
              0u)
        << img.GetLastError();
    EXPECT_FALSE(DecodeBytes(img, Bmp(20000, 20000, 24, 0, {}, {0, 0, 0, 0}), IMAGE_BMP));
    EXPECT_TRUE(IsPictureTooLargeText(img.GetLastError())) << img.GetLastError();
    EXPECT_FALSE(DecodeBytes(img, Bmp(2000000000, 2000000000, 24, 0, {}, {0, 0, 0, 0}), IMAGE_BMP));
    EXPECT_TRUE(IsPictureTooLargeText(img.GetLastError())) << img.GetLastError();
}

TEST(BmpCodec, ShortFileKeepsTheRowsItHolds) {
    // Two rows announced, one present: the missing one is black.
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Bmp(1, 2, 24, 0, {}, {50, 60, 70, 0}), IMAGE_BMP));
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{70, 60, 50}));
    EXPECT_EQ(img.GetPixelColor(0, 1), (Rgb{0, 0, 0}));
}
