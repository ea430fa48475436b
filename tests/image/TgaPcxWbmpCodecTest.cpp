// The formats reached through the fall-back: TGA, PCX and WBMP.
#include "image/RasterImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::uint8_t> TgaHeader(int type, int w, int h, int depth, int descriptor, int mapLength = 0,
                                    int mapBits = 0) {
    std::vector<std::uint8_t> t = {0, static_cast<std::uint8_t>(mapLength ? 1 : 0), static_cast<std::uint8_t>(type)};
    PutLE16(t, 0);
    PutLE16(t, static_cast<unsigned>(mapLength));
    t.push_back(static_cast<std::uint8_t>(mapBits));
    PutLE16(t, 0);
    PutLE16(t, 0);
    PutLE16(t, static_cast<unsigned>(w));
    PutLE16(t, static_cast<unsigned>(h));
    t.push_back(static_cast<std::uint8_t>(depth));
    t.push_back(static_cast<std::uint8_t>(descriptor));
    return t;
}

std::vector<std::uint8_t> Cat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::uint8_t> PcxHeader(int bits, int planes, int w, int h, int bytesPerLine) {
    std::vector<std::uint8_t> p(128, 0);
    p[0] = 10;
    p[1] = 5;
    p[2] = 1;
    p[3] = static_cast<std::uint8_t>(bits);
    p[8] = static_cast<std::uint8_t>(w - 1);
    p[10] = static_cast<std::uint8_t>(h - 1);
    p[12] = 72;
    p[14] = 72;
    p[65] = static_cast<std::uint8_t>(planes);
    p[66] = static_cast<std::uint8_t>(bytesPerLine);
    return p;
}
}  // namespace

TEST(TgaCodec, TrueColourBottomUpAndTopDown) {
    const std::vector<std::uint8_t> px = {1, 2, 3, 4, 5, 6};  // two BGR pixels: bottom row, top row
    CRasterImage up;
    ASSERT_TRUE(DecodeBytes(up, Cat(TgaHeader(2, 1, 2, 24, 0), px), IMAGE_TGA)) << up.GetLastError();
    EXPECT_EQ(up.GetPixelColor(0, 0), (Rgb{3, 2, 1}));
    CRasterImage down;
    ASSERT_TRUE(DecodeBytes(down, Cat(TgaHeader(2, 1, 2, 24, 0x20), px), IMAGE_TGA));
    EXPECT_EQ(down.GetPixelColor(0, 1), (Rgb{3, 2, 1}));
    CRasterImage mirrored;
    ASSERT_TRUE(DecodeBytes(mirrored, Cat(TgaHeader(2, 2, 1, 24, 0x10), px), IMAGE_TGA));
    EXPECT_EQ(mirrored.GetPixelColor(0, 0), (Rgb{6, 5, 4}));
}

TEST(TgaCodec, RunLengthPacketsMayCrossRowsAndAlphaIsKept) {
    // 32-bit, 3 x 2: one run of 4 pixels, then 2 raw pixels.
    std::vector<std::uint8_t> data = {0x83, 10, 20, 30, 200, 0x01, 1, 1, 1, 255, 2, 2, 2, 0};
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Cat(TgaHeader(10, 3, 2, 32, 8), data), IMAGE_TGA));
    ASSERT_TRUE(img.HasAlpha());
    EXPECT_EQ(img.GetPixelColor(2, 0), (Rgb{30, 20, 10}));
    EXPECT_EQ(img.GetPixelColor(0, 1), (Rgb{30, 20, 10}));  // the run went on into row 1
    EXPECT_EQ(img.GetAlpha(0, 1), 200);
    EXPECT_EQ(img.GetPixelColor(2, 1), (Rgb{2, 2, 2}));
    EXPECT_EQ(img.GetAlpha(2, 1), 0);
}

TEST(TgaCodec, ThirtyTwoBitWithoutDeclaredAlphaIsOpaque) {
    const std::vector<std::uint8_t> px = {10, 20, 30, 0};
    CRasterImage none;
    ASSERT_TRUE(DecodeBytes(none, Cat(TgaHeader(2, 1, 1, 32, 0), px), IMAGE_TGA));
    EXPECT_FALSE(none.HasAlpha());
    EXPECT_EQ(none.GetPixelColor(0, 0), (Rgb{30, 20, 10}));
    // TGA 2.0: eight alpha bits declared, but the extension area's attributes
    // byte (offset 494) says they are undefined.
    std::vector<std::uint8_t> file = Cat(TgaHeader(2, 1, 1, 32, 8), px);
    const std::size_t ext = file.size();
    file.resize(ext + 495, 0);
    file[ext] = 0xEF;  // extension size 495
    file[ext + 1] = 0x01;
    file[ext + 494] = 1;
    PutLE32(file, static_cast<std::uint32_t>(ext));
    PutLE32(file, 0);
    for (char c : std::string("TRUEVISION-XFILE."))
        file.push_back(static_cast<std::uint8_t>(c));
    file.push_back(0);
    CRasterImage undefined;
    ASSERT_TRUE(DecodeBytes(undefined, file, IMAGE_TGA)) << undefined.GetLastError();
    EXPECT_FALSE(undefined.HasAlpha());
    file[ext + 494] = 3;  // useful alpha
    CRasterImage useful;
    ASSERT_TRUE(DecodeBytes(useful, file, IMAGE_TGA));
    EXPECT_TRUE(useful.HasAlpha());
}

TEST(TgaCodec, FifteenBitColoursWidenToFullIntensity) {
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Cat(TgaHeader(2, 2, 1, 16, 0), {0xFF, 0x7F, 0x10, 0x42}), IMAGE_TGA));
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(img.GetPixelColor(1, 0), (Rgb{132, 132, 132}));  // 16 -> (16 << 3) | (16 >> 2)
}

TEST(TgaCodec, ColourMappedAndGrey) {
    std::vector<std::uint8_t> map = {0, 0, 255, 0, 255, 0};  // BGR entries: red, green
    CRasterImage mapped;
    ASSERT_TRUE(DecodeBytes(mapped, Cat(Cat(TgaHeader(1, 2, 1, 8, 0, 2, 24), map), {1, 0}), IMAGE_TGA));
    EXPECT_EQ(mapped.GetBpp(), 8);
    EXPECT_EQ(mapped.GetPixelColor(0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(mapped.GetPixelColor(1, 0), (Rgb{255, 0, 0}));
    CRasterImage grey;
    ASSERT_TRUE(DecodeBytes(grey, Cat(TgaHeader(3, 2, 1, 8, 0), {0, 200}), IMAGE_TGA));
    EXPECT_EQ(grey.GetPixelColor(1, 0), (Rgb{200, 200, 200}));
}

TEST(TgaCodec, ColourMappedWithoutAMapIsBlack) {
    // The header announces map entries but no map (found by fuzzing).
    std::vector<std::uint8_t> h = TgaHeader(1, 2, 1, 8, 0, 2, 24);
    h[1] = 0;  // no colour map present
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, Cat(h, {1, 0}), IMAGE_TGA));
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{0, 0, 0}));
}

TEST(TgaCodec, Messages) {
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, {0, 0, 2}, IMAGE_TGA));
    EXPECT_EQ(img.GetLastError(), "Not a TGA");
    EXPECT_FALSE(DecodeBytes(img, TgaHeader(4, 1, 1, 24, 0), IMAGE_TGA));
    EXPECT_EQ(img.GetLastError(), "Unknown TGA image type");
    EXPECT_FALSE(DecodeBytes(img, TgaHeader(2, 0, 1, 24, 0), IMAGE_TGA));
    EXPECT_EQ(img.GetLastError(), "bad TGA header");
    EXPECT_FALSE(DecodeBytes(img, TgaHeader(2, 1, 1, 12, 0), IMAGE_TGA));
    EXPECT_EQ(img.GetLastError(), "bad TGA header");
    // True colour of 8 bits per pixel would read past each pixel (found by fuzzing).
    EXPECT_FALSE(DecodeBytes(img, Cat(TgaHeader(10, 2, 2, 8, 0), std::vector<std::uint8_t>(40, 0xFF)), IMAGE_TGA));
    EXPECT_EQ(img.GetLastError(), "bad TGA header");
    EXPECT_FALSE(DecodeBytes(img, Cat(TgaHeader(2, 2, 2, 24, 0), {1, 2, 3}), IMAGE_TGA));
    EXPECT_EQ(img.GetLastError(), "corrupted TGA");
    EXPECT_FALSE(DecodeBytes(img, TgaHeader(2, 40000, 40000, 24, 0), IMAGE_TGA));
    EXPECT_TRUE(IsPictureTooLargeText(img.GetLastError())) << img.GetLastError();
    EXPECT_FALSE(DecodeBytes(img, TgaHeader(2, 4000, 4000, 24, 0), IMAGE_TGA));
    EXPECT_EQ(img.GetLastError(), "TGA data is truncated: its header gives 4000 x 4000 pixels, far more than its 18 bytes can hold");
}

TEST(PcxCodec, EightBitWithPaletteAtTheEnd) {
    std::vector<std::uint8_t> f = PcxHeader(8, 1, 3, 1, 4);
    for (std::uint8_t b : {0xC3, 5, 0x07})  // run of three 5s, then 7 (padding)
        f.push_back(b);
    f.push_back(12);
    for (int i = 0; i < 256; ++i) {
        f.push_back(static_cast<std::uint8_t>(i));
        f.push_back(0);
        f.push_back(static_cast<std::uint8_t>(255 - i));
    }
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, f, IMAGE_PCX)) << img.GetLastError();
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_EQ(img.GetPixelIndex(2, 0), 5);
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{5, 0, 250}));
    EXPECT_EQ(img.GetXDpi(), 72);
    f[f.size() - 769] = 11;  // the signature byte before the palette
    EXPECT_FALSE(DecodeBytes(img, f, IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "bad color map signature");
}

TEST(PcxCodec, ColourPlanesAndBitPlanes) {
    // 24-bit: planes red, green, blue for one 2-pixel row.
    std::vector<std::uint8_t> rgb = PcxHeader(8, 3, 2, 1, 2);
    for (std::uint8_t b : {10, 11, 20, 21, 30, 31})
        rgb.push_back(b);
    CRasterImage a;
    ASSERT_TRUE(DecodeBytes(a, rgb, IMAGE_PCX));
    EXPECT_EQ(a.GetBpp(), 24);
    EXPECT_EQ(a.GetPixelColor(1, 0), (Rgb{11, 21, 31}));
    // Four planes of one bit: bit p of the index comes from plane p.
    std::vector<std::uint8_t> planar = PcxHeader(1, 4, 2, 1, 1);
    planar[16 + 9 * 3] = 99;  // palette entry 9
    for (std::uint8_t b : {0x40, 0x00, 0x00, 0x40})
        planar.push_back(b);
    CRasterImage b;
    ASSERT_TRUE(DecodeBytes(b, planar, IMAGE_PCX));
    EXPECT_EQ(b.GetBpp(), 4);
    EXPECT_EQ(b.GetPixelIndex(1, 0), 9);
    EXPECT_EQ(b.GetPixelColor(1, 0).r, 99);
}

TEST(PcxCodec, Messages) {
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, {10, 5, 1}, IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "Can't read PCX image");
    std::vector<std::uint8_t> h = PcxHeader(8, 1, 1, 1, 2);
    h[0] = 11;
    EXPECT_FALSE(DecodeBytes(img, h, IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "Error: Not a PCX file");
    h = PcxHeader(8, 1, 1, 1, 2);
    h[2] = 0;
    EXPECT_FALSE(DecodeBytes(img, h, IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "PCX file has unknown encoding scheme");
    EXPECT_FALSE(DecodeBytes(img, PcxHeader(8, 5, 1, 1, 2), IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "Can't handle image with more than 4 planes");
    EXPECT_FALSE(DecodeBytes(img, PcxHeader(4, 2, 1, 1, 2), IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "Can't handle packed pixels with more than 1 plane.");
    EXPECT_FALSE(DecodeBytes(img, PcxHeader(8, 2, 1, 1, 2), IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "Can't handle more than 1 bit per pixel");
    std::vector<std::uint8_t> run = PcxHeader(8, 1, 2, 1, 2);
    for (std::uint8_t b : {0xC5, 1})  // five bytes in an image of two
        run.push_back(b);
    EXPECT_FALSE(DecodeBytes(img, run, IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "repeat count spans end of image");
    std::vector<std::uint8_t> shortData = PcxHeader(8, 1, 2, 2, 2);
    shortData.push_back(1);
    EXPECT_FALSE(DecodeBytes(img, shortData, IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "corrupted PCX");
    // 60000 x 60000 is over the limit; 8000 x 8000 from a header alone is cut short.
    const auto large = [](int side) {
        std::vector<std::uint8_t> p = PcxHeader(8, 1, 1, 1, 1);
        for (int at : {8, 10, 66}) {
            const int v = at == 66 ? side : side - 1;
            p[at] = static_cast<std::uint8_t>(v & 0xFF);
            p[at + 1] = static_cast<std::uint8_t>(v >> 8);
        }
        return p;
    };
    EXPECT_FALSE(DecodeBytes(img, large(60000), IMAGE_PCX));
    EXPECT_TRUE(IsPictureTooLargeText(img.GetLastError())) << img.GetLastError();
    EXPECT_FALSE(DecodeBytes(img, large(8000), IMAGE_PCX));
    EXPECT_EQ(img.GetLastError(), "PCX data is truncated: its header gives 8000 x 8000 pixels, far more than its 128 bytes can hold");
}

TEST(WbmpCodec, RowsOfBitsWhiteIsOne) {
    const std::vector<std::uint8_t> f = {0, 0, 10, 2, 0xC0, 0x40, 0x00, 0x00};
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, f, IMAGE_WBMP)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 10);
    EXPECT_EQ(img.GetBpp(), 1);
    EXPECT_EQ(img.GetPixelColor(0, 1), (Rgb{255, 255, 255}));  // top row first
    EXPECT_EQ(img.GetPixelColor(2, 1), (Rgb{0, 0, 0}));
    EXPECT_EQ(img.GetPixelColor(0, 0), (Rgb{0, 0, 0}));
    // Multi-byte sizes: 0x81 0x00 is 128.
    std::vector<std::uint8_t> wide = {0, 0, 0x81, 0x00, 1};
    wide.resize(wide.size() + 16, 0xFF);
    CRasterImage w;
    ASSERT_TRUE(DecodeBytes(w, wide, IMAGE_WBMP));
    EXPECT_EQ(w.GetWidth(), 128);
}

TEST(WbmpCodec, Messages) {
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, {1, 0, 1, 1, 0}, IMAGE_WBMP));
    EXPECT_EQ(img.GetLastError(), "Unsupported WBMP type");
    EXPECT_FALSE(DecodeBytes(img, {0, 0, 0x81}, IMAGE_WBMP));
    EXPECT_EQ(img.GetLastError(), "Not a WBMP");
    EXPECT_FALSE(DecodeBytes(img, {0, 0, 0, 5}, IMAGE_WBMP));
    EXPECT_EQ(img.GetLastError(), "Not a WBMP");
    EXPECT_FALSE(DecodeBytes(img, {0, 0, 16, 4, 0xFF}, IMAGE_WBMP));
    EXPECT_EQ(img.GetLastError(), "Corrupted WBMP");
    EXPECT_FALSE(DecodeBytes(img, {0, 0, 0x8F, 0xFF, 0x7F, 0x8F, 0xFF, 0x7F, 0}, IMAGE_WBMP));
    EXPECT_TRUE(IsPictureTooLargeText(img.GetLastError())) << img.GetLastError();
    EXPECT_FALSE(DecodeBytes(img, {0, 0, 0xDD, 0x60, 0xDD, 0x60, 0}, IMAGE_WBMP));
    EXPECT_EQ(img.GetLastError(), "WBMP data is truncated: its header gives 12000 x 12000 pixels, far more than its 1 bytes can hold");
}

TEST(WbmpCodec, SidesNearTwoToTheThirtyTwoAreRefusedAsTooLarge) {
    // Found by fuzzing: 3762301571 x 4026530688, a product beyond 64 bits.
    const std::vector<std::uint8_t> f = {0x0, 0x7, 0x8e, 0x82, 0x80, 0xd5, 0x3, 0x8e, 0xff, 0xff, 0xf7, 0x0};
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, f, IMAGE_WBMP));
    EXPECT_TRUE(IsPictureTooLargeText(img.GetLastError())) << img.GetLastError();
}
