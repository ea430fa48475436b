// Pictures with embedded profiles show as LittleCMS converts them to sRGB;
// untagged and sRGB pictures keep their pixels exactly; damaged and huge
// profiles count as none.
#include "image/ColourProfile.h"
#include "image/RasterImage.h"

#include "ColourPictures.h"
#include "TestImages.h"

#include <gtest/gtest.h>
#include <lcms2.h>

#include <cstdlib>

using namespace colourtest;

namespace {
// Largest difference of a sample between the picture (bottom-up, 24-bit)
// and top-down RGB.
int Difference(const CRasterImage& img, const std::vector<std::uint8_t>& rgb) {
    int worst = 0;
    for (int y = 0; y < img.GetHeight(); ++y)
        for (int x = 0; x < img.GetWidth(); ++x) {
            const Rgb c = img.GetPixelColor(x, img.GetHeight() - 1 - y);
            const std::uint8_t* e = rgb.data() + (static_cast<std::size_t>(y) * img.GetWidth() + x) * 3;
            worst = std::max({worst, std::abs(c.r - e[0]), std::abs(c.g - e[1]), std::abs(c.b - e[2])});
        }
    return worst;
}

CRasterImage Decoded(const std::vector<std::uint8_t>& file, int type) {
    CRasterImage img;
    EXPECT_TRUE(DecodeBytes(img, file, type)) << img.GetLastError();
    return img;
}
}  // namespace

TEST(ColourProfiles, TaggedPicturesShowAsLittleCmsConvertsThem) {
    const std::vector<std::uint8_t> adobe = ReadBytes(kAdobeRgbProfile), cmyk = ReadBytes(kCmykProfile);
    ASSERT_FALSE(adobe.empty()) << "icc-profiles-free is needed";
    ASSERT_FALSE(cmyk.empty()) << "libgs-common is needed";

    // Adobe RGB PNG: the patches through the profile, the file's samples kept.
    const CRasterImage png = Decoded(PngWithProfile(adobe), IMAGE_PNG);
    const std::vector<std::uint8_t> samples = PatchPixels(RgbPatches(), 3);
    EXPECT_LE(Difference(png, LittleCmsToSrgb(adobe, samples, TYPE_RGB_8, 3)), 1);
    const Rgb green = png.GetPixelColor(kPatch / 2, kPatch / 2);
    EXPECT_NEAR(green.r, 0, 1);  // (60, 160, 90) in Adobe RGB
    EXPECT_NEAR(green.g, 161, 1);
    EXPECT_NEAR(green.b, 85, 1);
    ASSERT_TRUE(png.GetColour());
    EXPECT_EQ(png.GetColour()->profile, adobe);
    EXPECT_EQ(png.GetColour()->samples, samples);

    // Adobe RGB JPEG (the profile in three APP2 chunks): what the data
    // decodes to, through the profile.
    const std::vector<std::uint8_t> jpeg = JpegWithProfile(adobe, 3, 200);
    int components = 0;
    const std::vector<std::uint8_t> jpegSamples = JpegSamples(jpeg, components);
    const CRasterImage photo = Decoded(jpeg, IMAGE_JPG);
    EXPECT_LE(Difference(photo, LittleCmsToSrgb(adobe, jpegSamples, TYPE_RGB_8, 3)), 1);
    ASSERT_TRUE(photo.GetColour());
    EXPECT_EQ(photo.GetColour()->profile, adobe);
    EXPECT_TRUE(photo.HasJpegData());

    // Adobe's inverted CMYK with a real profile.
    const std::vector<std::uint8_t> cmykJpeg = JpegWithProfile(cmyk, 4);
    const std::vector<std::uint8_t> inks = JpegSamples(cmykJpeg, components);
    ASSERT_EQ(components, 4);
    const CRasterImage print = Decoded(cmykJpeg, IMAGE_JPG);
    EXPECT_LE(Difference(print, LittleCmsToSrgb(cmyk, inks, TYPE_CMYK_8_REV, 4)), 1);
    ASSERT_TRUE(print.GetColour());
    EXPECT_EQ(print.GetColour()->channels, 4);
    EXPECT_TRUE(print.GetColour()->inverted);
    EXPECT_EQ(print.GetColour()->profile, cmyk);
    EXPECT_TRUE(print.HasJpegData());  // passes through to a PDF

    // Turned upright, the picture keeps its colour record beside the turn.
    CRasterImage turned = png;
    ASSERT_TRUE(turned.Rotate(90));
    EXPECT_EQ(turned.GetColour(), png.GetColour());
    EXPECT_EQ(turned.GetJpegTurn().turns, 1);
    turned.SetPixelColor(0, 0, Rgb{1, 2, 3});
    EXPECT_FALSE(turned.GetColour()) << "changed pixels are no longer the file's";
}

TEST(ColourProfiles, UntaggedSrgbDamagedAndHugeProfilesLeaveThePixels) {
    const std::vector<std::uint8_t> adobe = ReadBytes(kAdobeRgbProfile), srgb = ReadBytes(kSrgbProfile);
    ASSERT_FALSE(srgb.empty());
    const CRasterImage plain = Decoded(PngWithProfile({}), IMAGE_PNG);
    const std::vector<std::uint8_t> samples = PatchPixels(RgbPatches(), 3);
    EXPECT_EQ(Difference(plain, samples), 0);
    EXPECT_FALSE(plain.GetColour());

    std::vector<std::uint8_t> damaged = adobe;
    damaged.resize(200);  // the tag table points past the end
    std::vector<std::uint8_t> huge = adobe;
    huge.resize(kMaxProfileBytes + 1, 0);  // a real profile, padded past the bound
    std::vector<std::uint8_t> noise(4000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::uint8_t>(i * 7919 >> 3);
    const CRasterImage png = Decoded(PngWithProfile(srgb), IMAGE_PNG);
    EXPECT_EQ(Difference(png, samples), 0);
    EXPECT_FALSE(png.GetColour());
    // (libpng writes no damaged iCCP: JPEG's APP2 carries any bytes.)
    for (const auto& icc : {srgb, damaged, huge, noise}) {
        const std::vector<std::uint8_t> jpeg = JpegWithProfile(icc, 3);
        int components = 0;
        const CRasterImage photo = Decoded(jpeg, IMAGE_JPG);
        EXPECT_EQ(Difference(photo, JpegSamples(jpeg, components)), 0) << icc.size();
        EXPECT_FALSE(photo.GetColour());
    }
    EXPECT_TRUE(IsSrgbProfile(srgb.data(), srgb.size()));
    EXPECT_FALSE(IsSrgbProfile(adobe.data(), adobe.size()));

    // PNG: cHRM with gAMA describes a colour space (here Adobe RGB's
    // primaries in linear light); gAMA alone, or sRGB's values, count as sRGB.
    const std::uint32_t adobePoints[8] = {31270, 32900, 64000, 33000, 21000, 71000, 15000, 6000};
    EXPECT_TRUE(ProfileFromPngChunks(true, 45455, true, std::vector<std::uint32_t>{31270, 32900, 64000, 33000, 30000,
                                                                                     60000, 15000, 6000}.data())
                    .empty());
    const std::vector<std::uint8_t> wide = ProfileFromPngChunks(true, 100000, true, adobePoints);
    ASSERT_FALSE(wide.empty());
    PngRecipe s;
    s.width = PatchCount(3) * kPatch;
    s.height = kPatch;
    for (int y = 0; y < s.height; ++y)
        s.rows.emplace_back(samples.begin() + y * s.width * 3, samples.begin() + (y + 1) * s.width * 3);
    s.gamma = 100000;
    EXPECT_EQ(Difference(Decoded(EncodePng(s), IMAGE_PNG), samples), 0) << "gAMA alone";
    for (std::uint32_t v : adobePoints)
        s.chromaticities.push_back(v / 100000.0);
    EXPECT_LE(Difference(Decoded(EncodePng(s), IMAGE_PNG), LittleCmsToSrgb(wide, samples, TYPE_RGB_8, 3)), 1);
}
