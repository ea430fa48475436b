// Decoding for a small view: a large JPEG comes out at a reduced scale that
// still covers the view, the file's own size stays readable, and nothing
// decoded that way can reach a printed page as the file's data.
#include "image/RasterImage.h"

#include "TestEncoders.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {
// Four flat quarters, so that any scale gives the same colours inside them.
std::vector<std::uint8_t> Quarters(int w, int h, int components) {
    JpegRecipe s;
    s.width = w;
    s.height = h;
    s.components = components;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int q = (x < w / 2 ? 0 : 1) + (y < h / 2 ? 0 : 2);
            static const std::uint8_t colours[4][3] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {220, 220, 40}};
            for (int c = 0; c < components; ++c)
                s.pixels.push_back(components == 1 ? static_cast<std::uint8_t>(40 + q * 50) : colours[q][c]);
        }
    s.quality = 92;
    return EncodeJpeg(s);
}

// The colour a quarter shows in the image, read at its centre.
Rgb QuarterColour(const CRasterImage& image, int q) {
    const int x = (q % 2 ? 3 : 1) * image.GetWidth() / 4;
    const int yFromTop = (q / 2 ? 3 : 1) * image.GetHeight() / 4;
    return image.GetPixelColor(x, image.GetHeight() - 1 - yFromTop);
}

bool Near(Rgb a, Rgb b) { return std::abs(a.r - b.r) <= 6 && std::abs(a.g - b.g) <= 6 && std::abs(a.b - b.b) <= 6; }
}  // namespace

TEST(ReducedDecode, ALargeJpegComesOutSmallerButCoversTheView) {
    for (int components : {3, 1}) {
        const std::vector<std::uint8_t> file = Quarters(1000, 600, components);
        CRasterImage full;
        ASSERT_TRUE(DecodeBytes(full, file, IMAGE_JPG));

        CRasterImage view;
        view.SetDecodeLimit(100, 100);
        ASSERT_TRUE(DecodeBytes(view, file, IMAGE_JPG));
        // Fitted into 100 x 100 the picture is 100 x 60; 1/8 gives 125 x 75.
        EXPECT_EQ(view.GetWidth(), 125);
        EXPECT_EQ(view.GetHeight(), 75);
        EXPECT_EQ(view.GetFileWidth(), 1000);
        EXPECT_EQ(view.GetFileHeight(), 600);
        EXPECT_TRUE(view.IsReduced());
        EXPECT_EQ(view.GetBpp(), full.GetBpp());
        // Never printed as the file: these pixels are not its full decoding.
        EXPECT_FALSE(view.GetJpegData());
        EXPECT_TRUE(full.GetJpegData());
        for (int q = 0; q < 4; ++q)
            EXPECT_TRUE(Near(QuarterColour(view, q), QuarterColour(full, q))) << components << " quarter " << q;
    }
}

TEST(ReducedDecode, TheScaleNeverDropsBelowTheView) {
    const std::vector<std::uint8_t> file = Quarters(1001, 999, 3);
    struct Case {
        int limitW, limitH, width, height;
    };
    // 1/2 gives 501 x 500, 1/4 251 x 250, 1/8 126 x 125.
    for (const Case& c : {Case{126, 400, 251, 250}, Case{125, 125, 126, 125}, Case{300, 300, 501, 500},
                          Case{250, 250, 251, 250}, Case{600, 600, 1001, 999}}) {
        CRasterImage view;
        view.SetDecodeLimit(c.limitW, c.limitH);
        ASSERT_TRUE(DecodeBytes(view, file, IMAGE_JPG));
        EXPECT_EQ(view.GetWidth(), c.width) << c.limitW << "x" << c.limitH;
        EXPECT_EQ(view.GetHeight(), c.height) << c.limitW << "x" << c.limitH;
        EXPECT_EQ(view.GetFileWidth(), 1001);
        EXPECT_EQ(view.GetFileHeight(), 999);
        EXPECT_EQ(view.IsReduced(), c.width != 1001);
        // A full decode is a full decode: it keeps the data for printing.
        EXPECT_EQ(static_cast<bool>(view.GetJpegData()), c.width == 1001);
    }
}

TEST(ReducedDecode, TheFileSizeTravelsWithTheImageAndEndsWithIt) {
    CRasterImage view;
    view.SetDecodeLimit(64, 64);
    ASSERT_TRUE(DecodeBytes(view, Quarters(800, 800, 3), IMAGE_JPG));
    ASSERT_EQ(view.GetWidth(), 100);

    CRasterImage copy(view);
    EXPECT_EQ(copy.GetFileWidth(), 800);
    CRasterImage moved(std::move(copy));
    EXPECT_EQ(moved.GetFileHeight(), 800);
    EXPECT_TRUE(moved.IsReduced());

    // Turned and greyed, it is still the same file's picture.
    CRasterImage tall;
    tall.SetDecodeLimit(64, 64);
    ASSERT_TRUE(DecodeBytes(tall, Quarters(800, 1600, 3), IMAGE_JPG));
    ASSERT_EQ(tall.GetWidth(), 100);
    ASSERT_TRUE(tall.Rotate(90));
    EXPECT_EQ(tall.GetFileWidth(), 1600);
    EXPECT_EQ(tall.GetFileHeight(), 800);
    ASSERT_TRUE(tall.ConvertToGray());
    EXPECT_EQ(tall.GetFileWidth(), 1600);
    EXPECT_TRUE(tall.IsReduced());

    // Pictures other decoders give are full size whatever the limit, and a
    // new picture in the same image forgets the old one's file size.
    PngRecipe png;
    png.width = 300;
    png.height = 200;
    png.rows.assign(200, std::vector<std::uint8_t>(300 * 3, 90));
    ASSERT_TRUE(DecodeBytes(view, EncodePng(png), IMAGE_PNG));
    EXPECT_EQ(view.GetWidth(), 300);
    EXPECT_EQ(view.GetFileWidth(), 300);
    EXPECT_FALSE(view.IsReduced());
    view.Create(10, 10, 24, IMAGE_BMP);
    EXPECT_EQ(view.GetFileWidth(), 10);
}

TEST(ReducedDecode, DamagedDataIsRefusedAsInAFullDecode) {
    std::vector<std::uint8_t> file = Quarters(640, 480, 3);
    // Cut inside the header: neither decode may produce a picture.
    file.resize(100);
    CRasterImage full, view;
    view.SetDecodeLimit(64, 64);
    EXPECT_EQ(DecodeBytes(full, file, IMAGE_JPG), DecodeBytes(view, file, IMAGE_JPG));
    EXPECT_FALSE(view.GetJpegData());
}
