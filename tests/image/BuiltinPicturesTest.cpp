// The built-in pictures are compiled in and decode with the type code that
// goes with their resource type.
#include "image/BuiltinPictures.h"
#include "image/RasterImage.h"

#include <gtest/gtest.h>

#include <string>

namespace {
struct Named {
    const char* name;
    const char* resourceType;
    int type;
};
const Named kPictures[] = {
    {"IDJ_ANIME_GIRL", "JPG", IMAGE_JPG},          {"IDJ_ANOTHER_ANIME_GIRL", "JPG", IMAGE_JPG},
    {"IDJ_SAMPLE_DVD_COVER", "JPG", IMAGE_JPG},    {"IDJ_SPLASHSCREEN", "JPG", IMAGE_JPG},
    {"IDJ_WHEELS", "JPG", IMAGE_JPG},              {"IDG_ANOTHER_LEFTOVERLAY", "GIF", IMAGE_GIF},
    {"IDG_GENESIS", "GIF", IMAGE_GIF},             {"IDG_LEFTOVERLAY", "GIF", IMAGE_GIF},
    {"IDG_TILE", "GIF", IMAGE_GIF},                {"IDP_OPTIONS", "PNG_IMAGES", IMAGE_PNG},
    {"IDP_PHOTOSVIDEOS", "PNG_IMAGES", IMAGE_PNG},
};
}  // namespace

TEST(BuiltinPictures, EveryNamedPictureDecodesWithItsType) {
    for (const Named& p : kPictures) {
        const BuiltinPicture* found = FindBuiltinPicture(p.name, p.resourceType);
        ASSERT_NE(found, nullptr) << p.name;
        EXPECT_LT(found->size, 64u * 1024) << p.name << " should stay small";
        CRasterImage img;
        ASSERT_TRUE(img.LoadFromResource(p.name, p.resourceType, p.type)) << p.name << ": " << img.GetLastError();
        EXPECT_EQ(img.GetType(), p.type) << p.name;
    }
    // The resource type is part of the key.
    EXPECT_EQ(FindBuiltinPicture("IDJ_SPLASHSCREEN", "GIF"), nullptr);
}

TEST(BuiltinPictures, SizesFitWhereTheyAreShown) {
    CRasterImage splash;
    ASSERT_TRUE(splash.LoadFromResource("IDJ_SPLASHSCREEN", "JPG", IMAGE_JPG));
    EXPECT_EQ(splash.GetWidth(), 480);
    EXPECT_EQ(splash.GetHeight(), 300);
    // The skin pictures stay inside the 614 x 374 client from their positions.
    CRasterImage main;
    ASSERT_TRUE(main.LoadFromResource("IDJ_ANIME_GIRL", "JPG", IMAGE_JPG));
    EXPECT_LE(170 + main.GetWidth(), 614);
    EXPECT_LE(30 + main.GetHeight(), 374);
    // The sample cover has DVD proportions, 183 x 273 mm upright.
    CRasterImage dvd;
    ASSERT_TRUE(dvd.LoadFromResource("IDJ_SAMPLE_DVD_COVER", "JPG", IMAGE_JPG));
    EXPECT_NEAR(static_cast<double>(dvd.GetHeight()) / dvd.GetWidth(), 273.0 / 183.0, 0.01);
}

TEST(BuiltinPictures, OverlaysHaveAFlatTransparentCorner) {
    for (const char* name : {"IDG_LEFTOVERLAY", "IDG_ANOTHER_LEFTOVERLAY"}) {
        CRasterImage overlay;
        ASSERT_TRUE(overlay.LoadFromResource(name, "GIF", IMAGE_GIF)) << name;
        ASSERT_LE(overlay.GetBpp(), 8);
        EXPECT_LE(overlay.GetWidth(), 64);
        // The paper makes the top-left pixel's index transparent: the whole
        // border must carry it, and the centre must not.
        const int top = overlay.GetHeight() - 1;
        const int corner = overlay.GetPixelIndex(0, top);
        EXPECT_EQ(overlay.GetPixelIndex(overlay.GetWidth() - 1, top), corner) << name;
        EXPECT_EQ(overlay.GetPixelIndex(0, 0), corner) << name;
        EXPECT_NE(overlay.GetPixelIndex(overlay.GetWidth() / 2, overlay.GetHeight() / 2), corner) << name;
    }
}

TEST(BuiltinPictures, PngPicturesCarryAlpha) {
    CRasterImage photos;
    ASSERT_TRUE(photos.LoadFromResource("IDP_PHOTOSVIDEOS", "PNG_IMAGES", IMAGE_PNG));
    ASSERT_TRUE(photos.HasAlpha());
    EXPECT_EQ(photos.GetAlpha(0, 0), 0);
}

TEST(BuiltinPictures, ThePlaceholderHasNoWordsOfItsOwn) {
    // The paper writes its words in the current language into the picture's
    // white foot; words drawn into the picture would show in every language.
    CRasterImage wheels;
    ASSERT_TRUE(wheels.LoadFromResource("IDJ_WHEELS", "JPG", IMAGE_JPG));
    ASSERT_EQ(wheels.GetHeight(), 160);
    int dark = 0;
    for (int y = 0; y < 22; ++y)  // bottom-up rows: the lowest 22
        for (int x = 0; x < wheels.GetWidth(); ++x)
            dark += wheels.GetPixelColor(x, y).r < 235 ? 1 : 0;
    EXPECT_EQ(dark, 0);
}
