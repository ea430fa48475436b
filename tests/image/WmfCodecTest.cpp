// Metafiles: the sizes from their headers and what our player draws.
#include "image/RasterImage.h"

#include "MetafileWriter.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace {
const Rgb kWhite{255, 255, 255};
Rgb At(const CRasterImage& img, int x, int fromTop) { return img.GetPixelColor(x, img.GetHeight() - 1 - fromTop); }
}  // namespace

TEST(WmfCodec, PlaceableSizeAtScreenResolution) {
    Wmf w;
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, w.File(1440, 720, 1440), IMAGE_WMF)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 96);
    EXPECT_EQ(img.GetHeight(), 48);
    EXPECT_EQ(img.GetBpp(), 24);
    EXPECT_EQ(img.GetType(), IMAGE_WMF);
    EXPECT_EQ(At(img, 10, 10), kWhite);  // cleared to white
}

TEST(WmfCodec, PlaysPensBrushesAndShapes) {
    Wmf w;
    w.Record(0x020C, {100, 100});                // SetWindowExt (y, x)
    w.Record(0x02FC, {0, 0x00FF, 0x0000, 0});    // solid red brush: colour 0x000000FF
    w.Record(0x012D, {0});
    w.Record(0x02FA, {5, 0, 0, 0, 0});           // null pen
    w.Record(0x012D, {1});
    w.Record(0x041B, {50, 50, 10, 10});          // Rectangle (bottom, right, top, left)
    w.Record(0x01F0, {1});                       // delete the pen: slot 1 free again
    w.Record(0x02FA, {0, 1, 0, 0xFF00, 0});      // solid green pen takes slot 1
    w.Record(0x012D, {1});
    w.Record(0x0214, {80, 60});                  // MoveTo (y, x)
    w.Record(0x0213, {80, 90});                  // LineTo
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, w.File(100, 100, 96), IMAGE_WMF));
    EXPECT_EQ(At(img, 30, 30), (Rgb{255, 0, 0}));
    EXPECT_EQ(At(img, 5, 30), kWhite);
    EXPECT_EQ(At(img, 70, 80), (Rgb{0, 255, 0}));
    EXPECT_EQ(At(img, 70, 70), kWhite);
}

TEST(WmfCodec, WindowMapsOntoThePicture) {
    Wmf w;
    w.Record(0x020B, {-100, -100});  // SetWindowOrg: (-100, -100)
    w.Record(0x020C, {200, 200});    // extent 200: the picture shows -100..100
    w.Record(0x02FC, {0, 0x0000, 0x00FF, 0});  // blue brush
    w.Record(0x012D, {0});
    w.Record(0x0418, {50, 50, -50, -50});  // Ellipse around the origin
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, w.File(400, 400, 960), IMAGE_WMF));
    ASSERT_EQ(img.GetWidth(), 40);
    EXPECT_EQ(At(img, 20, 20), (Rgb{0, 0, 255}));
    EXPECT_EQ(At(img, 2, 2), kWhite);
}

TEST(WmfCodec, BitmapBlitsAreDrawn) {
    // StretchDIBits of a 1 x 1 24-bit DIB (red) onto 10 x 10 units.
    std::vector<std::uint8_t> dib;
    PutLE32(dib, 40);
    PutLE32(dib, 1);
    PutLE32(dib, 1);
    PutLE16(dib, 1);
    PutLE16(dib, 24);
    for (int i = 0; i < 6; ++i)
        PutLE32(dib, 0);
    for (std::uint8_t b : {0, 0, 255, 0})
        dib.push_back(b);
    Wmf w;
    // rop (low, high), usage, hSrc, wSrc, ySrc, xSrc, hDst, wDst, yDst, xDst
    w.Record(0x0F43, {0x0020, 0x00CC, 0, 1, 1, 0, 0, 10, 10, 5, 5}, dib);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, w.File(20, 20, 96), IMAGE_WMF));
    EXPECT_EQ(At(img, 7, 7), (Rgb{255, 0, 0}));
    EXPECT_EQ(At(img, 16, 16), kWhite);
}

TEST(WmfCodec, EnhancedMetafileFrameGivesTheSize) {
    Emf e;
    e.Record(39, {1, 0, 0x00FF00, 0});  // CREATEBRUSHINDIRECT: green
    e.Record(37, {1});
    e.Record(37, {static_cast<std::int32_t>(0x80000008u)});  // NULL_PEN
    e.Record(43, {10, 10, 30, 20});     // RECTANGLE
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, e.File(1270, 2540), IMAGE_WMF)) << img.GetLastError();
    EXPECT_EQ(img.GetWidth(), 48);  // 12.7 mm at 96 dpi
    EXPECT_EQ(img.GetHeight(), 96);
    EXPECT_EQ(At(img, 15, 15), (Rgb{0, 255, 0}));
    EXPECT_EQ(At(img, 35, 15), kWhite);
}

TEST(WmfCodec, CurvesAreFlattenedIntoLines) {
    // POLYBEZIER16: bounds, count, then 16-bit points; three straight curves
    // (many points, so the flattened line grows while it is built).
    Emf e;
    std::vector<std::int32_t> r = {0, 0, 100, 100, 10};
    const int pts[10][2] = {{10, 50}, {10, 50}, {40, 50}, {40, 50}, {40, 50}, {70, 50}, {70, 50}, {70, 50}, {90, 50}, {90, 50}};
    for (const auto& p : pts)
        r.push_back((p[1] << 16) | p[0]);
    e.Record(85, r);
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, e.File(2646, 2646), IMAGE_WMF));  // 100 x 100 pixels
    EXPECT_EQ(At(img, 50, 50), (Rgb{0, 0, 0}));
    EXPECT_EQ(At(img, 80, 50), (Rgb{0, 0, 0}));
    EXPECT_EQ(At(img, 50, 40), kWhite);
}

TEST(WmfCodec, LargeMetafilesShrinkToFourThousandPixels) {
    Wmf w;
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, w.File(30000, 15000, 300), IMAGE_WMF));  // 9600 x 4800
    EXPECT_EQ(img.GetWidth(), 4000);
    EXPECT_EQ(img.GetHeight(), 2000);
}

TEST(WmfCodec, Messages) {
    Wmf w;
    CRasterImage img;
    EXPECT_FALSE(DecodeBytes(img, w.File(0, 100, 96), IMAGE_WMF));
    EXPECT_EQ(img.GetLastError(), "empty WMF");
    EXPECT_FALSE(DecodeBytes(img, {1, 2, 3, 4, 5, 6, 7, 8}, IMAGE_WMF));
    EXPECT_EQ(img.GetLastError(), "corrupted WMF");
    std::vector<std::uint8_t> noUnits = w.File(100, 100, 0);
    EXPECT_FALSE(DecodeBytes(img, noUnits, IMAGE_WMF));
    EXPECT_EQ(img.GetLastError(), "corrupted WMF");
}

TEST(WmfCodec, RecordsThatDoNotFitEndThePlayback) {
    Wmf w;
    w.Record(0x02FC, {0, 0x00FF, 0, 0});
    w.Record(0x012D, {0});
    w.Record(0x041B, {50, 50, 0, 0});
    std::vector<std::uint8_t> f = w.File(100, 100, 96);
    // A polygon claiming 30000 points in a record of a few words.
    std::vector<std::uint8_t> bad;
    PutLE32(bad, 5);
    PutLE16(bad, 0x0324);
    PutLE16(bad, 30000);
    PutLE16(bad, 0);
    f.insert(f.end() - 6, bad.begin(), bad.end());
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, f, IMAGE_WMF));
    EXPECT_EQ(At(img, 10, 10), (Rgb{255, 0, 0}));
}
