// Fitting a picture into the area it is drawn in: colour by area averaging,
// palette pictures by the nearest pixel with their indices and transparency.
#include "image/PictureFit.h"

#include <gtest/gtest.h>

TEST(PictureFit, FittedSizeKeepsProportionsAndLeavesPicturesThatFit) {
    int w = 0, h = 0;
    FittedSize(14000, 14000, 614, 374, w, h);
    EXPECT_EQ(w, 374);
    EXPECT_EQ(h, 374);
    FittedSize(1200, 200, 600, 400, w, h);
    EXPECT_EQ(w, 600);
    EXPECT_EQ(h, 100);
    FittedSize(100000, 3, 600, 400, w, h);
    EXPECT_EQ(w, 600);
    EXPECT_EQ(h, 1) << "never below one pixel";
    FittedSize(600, 400, 600, 400, w, h);
    EXPECT_EQ(w, 600);
    FittedSize(900, 900, 0, 0, w, h);
    EXPECT_EQ(w, 900) << "no area: natural size";
}

TEST(PictureFit, ColourIsAveragedOverTheAreaEachPixelCovers) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(40, 20, 24, IMAGE_PNG));
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            img.SetPixelColor(x, y, x < 20 ? Rgb{255, 0, 0} : ((x + y) % 2 ? Rgb{0, 0, 0} : Rgb{0, 0, 254}));
    ASSERT_TRUE(ReduceToFit(img, 10, 10));
    EXPECT_EQ(img.GetWidth(), 10);
    EXPECT_EQ(img.GetHeight(), 5);
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetPixelColor(1, 2), (Rgb{255, 0, 0}));
    EXPECT_EQ(img.GetPixelColor(8, 2), (Rgb{0, 0, 127}));  // a checkerboard becomes its mean
    EXPECT_FALSE(ReduceToFit(img, 10, 10)) << "fits already";
}

TEST(PictureFit, AlphaBecomesCoverage) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(4, 4, 24, IMAGE_PNG));
    img.CreateAlpha();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            img.SetPixelColor(x, y, Rgb{10, 200, 30});
            img.SetAlpha(x, y, x < 2 ? 0 : 255);
        }
    ASSERT_TRUE(ReduceToFit(img, 2, 2));
    ASSERT_TRUE(img.HasAlpha());
    EXPECT_EQ(img.GetAlpha(0, 0), 0);
    EXPECT_EQ(img.GetAlpha(1, 1), 255);
    EXPECT_EQ(img.GetPixelColor(1, 1), (Rgb{10, 200, 30}));
}

TEST(PictureFit, PalettePicturesKeepIndicesAndTheirTransparentIndex) {
    CRasterImage img;
    ASSERT_TRUE(img.Create(300, 300, 8, IMAGE_GIF));
    img.SetPaletteEntry(0, 255, 255, 255);
    img.SetPaletteEntry(7, 0, 128, 0);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            img.SetPixelIndex(x, y, x < 150 ? 0 : 7);
    img.SetTransparentIndex(0);
    ASSERT_TRUE(ReduceToFit(img, 100, 200));
    EXPECT_EQ(img.GetWidth(), 100);
    EXPECT_EQ(img.GetHeight(), 100);
    EXPECT_EQ(img.GetBpp(), 8);
    EXPECT_EQ(img.GetTransparentIndex(), 0);
    EXPECT_EQ(img.GetPixelIndex(10, 50), 0);
    EXPECT_EQ(img.GetPixelIndex(90, 50), 7);
    EXPECT_EQ(img.GetPixelColor(90, 50), (Rgb{0, 128, 0}));
}
