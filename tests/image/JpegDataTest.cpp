// A decoded JPEG keeps its file's data as long as the pixels are that data's
// clean decoding, so that printing can embed the file instead of re-encoding.
#include "image/RasterImage.h"

#include "TestEncoders.h"
#include "TestImages.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
std::vector<std::uint8_t> Gradient(int w, int h, int components) {
    JpegRecipe s;
    s.width = w;
    s.height = h;
    s.components = components;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < components; ++c)
                s.pixels.push_back(static_cast<std::uint8_t>((x * 3 + y * 5 + c * 70) & 0xFF));
    s.quality = 90;
    return EncodeJpeg(s);
}
}  // namespace

TEST(JpegData, CleanDecodeKeepsExactlyTheFileBytes) {
    for (int components : {3, 1}) {
        const std::vector<std::uint8_t> file = Gradient(61, 37, components);
        // Bytes after the end of the image are not part of the picture.
        std::vector<std::uint8_t> padded = file;
        padded.insert(padded.end(), {'t', 'a', 'i', 'l'});
        CRasterImage image;
        ASSERT_TRUE(DecodeBytes(image, padded, IMAGE_JPG));
        ASSERT_TRUE(image.GetJpegData()) << components;
        EXPECT_EQ(*image.GetJpegData(), file) << components;
        // Copies keep it; a copy without the pixels does not.
        EXPECT_EQ(CRasterImage(image).GetJpegData(), image.GetJpegData());
        CRasterImage blank;
        blank.CopyFrom(image, false);
        EXPECT_FALSE(blank.GetJpegData());
    }
}

TEST(JpegData, AnyChangeOfThePixelsDropsIt) {
    const std::vector<std::uint8_t> file = Gradient(40, 30, 3);
    const std::vector<std::function<void(CRasterImage&)>> changes = {
        // 30 rows are no whole block row of 4:2:0 data: this turn is not exact.
        [](CRasterImage& i) { i.Rotate(90); },
        [](CRasterImage& i) { i.Rotate(180); },
        [](CRasterImage& i) { i.ConvertToGray(); },
        [](CRasterImage& i) { i.Mirror(); },
        [](CRasterImage& i) { i.Flip(); },
        [](CRasterImage& i) { i.SetPixelColor(1, 1, Rgb{1, 2, 3}); },
        [](CRasterImage& i) { i.Create(4, 4, 24, IMAGE_JPG); },
    };
    for (std::size_t n = 0; n < changes.size(); ++n) {
        CRasterImage image;
        ASSERT_TRUE(DecodeBytes(image, file, IMAGE_JPG));
        changes[n](image);
        EXPECT_FALSE(image.GetJpegData()) << "change " << n;
    }
}

TEST(JpegData, DamagedOrForeignDataIsNotKept) {
    // Cut short: the decoder still shows what it got, but the data is not clean.
    std::vector<std::uint8_t> file = Gradient(64, 64, 3);
    file.resize(file.size() * 2 / 3);
    CRasterImage cut;
    ASSERT_TRUE(DecodeBytes(cut, file, IMAGE_JPG));
    EXPECT_FALSE(cut.GetJpegData());
    // CMYK is kept: the page gets its colour space and, for Adobe's
    // inverted inks, the decode array that makes every reader agree.
    CRasterImage cmyk;
    ASSERT_TRUE(DecodeBytes(cmyk, Gradient(16, 16, 4), IMAGE_JPG));
    EXPECT_TRUE(cmyk.HasJpegData());
    ASSERT_TRUE(cmyk.GetColour());
    EXPECT_EQ(cmyk.GetColour()->channels, 4);
    // Other codecs never have any.
    CRasterImage png;
    PngRecipe picture;
    picture.width = picture.height = 2;
    picture.rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    ASSERT_TRUE(DecodeBytes(png, EncodePng(picture), IMAGE_PNG));
    EXPECT_FALSE(png.GetJpegData());
}
