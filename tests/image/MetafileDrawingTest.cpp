// Metafile drawing beyond lines and plain fills: arcs, hatches, fill modes,
// clipping, raster operations, gradients and bitmaps inside records.
#include "image/RasterImage.h"

#include "MetafileWriter.h"
#include "TestEncoders.h"
#include "TestImages.h"

#include <gtest/gtest.h>

namespace {
const Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kRed{255, 0, 0}, kBlue{0, 0, 255};

Rgb At(const CRasterImage& img, int x, int fromTop) { return img.GetPixelColor(x, img.GetHeight() - 1 - fromTop); }

// A placeable metafile of `size` x `size` pixels, one unit per pixel, with
// a red brush and the null pen selected.
Wmf Canvas(int size) {
    Wmf m;
    m.Record(0x020C, {size, size});
    m.Record(0x02FC, {0, 0x00FF, 0x0000, 0});  // red brush (object 0)
    m.Record(0x012D, {0});
    m.Record(0x02FA, {5, 0, 0, 0, 0});  // null pen (object 1)
    m.Record(0x012D, {1});
    return m;
}

CRasterImage Play(const std::vector<std::uint8_t>& file) {
    CRasterImage img;
    EXPECT_TRUE(DecodeBytes(img, file, IMAGE_WMF)) << img.GetLastError();
    return img;
}

// A 40-byte DIB header.
std::vector<std::uint8_t> DibHeader(int w, int h, int bits, int compression, std::uint32_t imageBytes,
                                    std::uint32_t colorsUsed) {
    std::vector<std::uint8_t> d;
    PutLE32(d, 40);
    PutLE32(d, static_cast<std::uint32_t>(w));
    PutLE32(d, static_cast<std::uint32_t>(h));
    PutLE16(d, 1);
    PutLE16(d, static_cast<unsigned>(bits));
    PutLE32(d, static_cast<std::uint32_t>(compression));
    PutLE32(d, imageBytes);
    PutLE32(d, 0);
    PutLE32(d, 0);
    PutLE32(d, colorsUsed);
    PutLE32(d, 0);
    return d;
}

// EMF STRETCHDIBITS of `info` and `bits` onto (x, y, w, h) pixels, source srcW x srcH.
void StretchDib(Emf& e, int x, int y, int w, int h, int srcW, int srcH, const std::vector<std::uint8_t>& info,
                const std::vector<std::uint8_t>& bits) {
    const std::int32_t offInfo = 80, offBits = 80 + static_cast<std::int32_t>((info.size() + 3) / 4 * 4);
    std::vector<std::uint8_t> tail = info;
    tail.resize(static_cast<std::size_t>(offBits - 80), 0);
    tail.insert(tail.end(), bits.begin(), bits.end());
    e.Record(81, {0, 0, 0, 0, x, y, 0, 0, srcW, srcH, offInfo, static_cast<std::int32_t>(info.size()), offBits,
                  static_cast<std::int32_t>(bits.size()), 0, 0x00CC0020, w, h},
             tail);
}
}  // namespace

TEST(MetafileDrawing, PieAndChordInBothDirections) {
    // Box 0..100, from the right end (100, 50) to the top end (50, 0).
    Wmf m = Canvas(200);
    m.Record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0});      // Pie (yEnd, xEnd, yStart, xStart, b, r, t, l)
    m.Record(0x0830, {100, 150, 150, 200, 200, 200, 100, 100});  // Chord, the same shifted by 100
    const CRasterImage img = Play(m.File(200, 200, 96));
    EXPECT_EQ(At(img, 70, 30), kRed);    // the pie's quarter
    EXPECT_EQ(At(img, 55, 45), kRed);    // near the centre: in the pie...
    EXPECT_EQ(At(img, 155, 145), kWhite);  // ...not in the chord, cut off by its chord line
    EXPECT_EQ(At(img, 175, 120), kRed);
    EXPECT_EQ(At(img, 30, 70), kWhite);  // the other quarters stay empty
    EXPECT_EQ(At(img, 130, 170), kWhite);

    // Clockwise (enhanced metafiles can turn the direction): the rest of the ellipse.
    Emf e;
    e.Record(39, {1, 0, 0x0000FF, 0});  // red brush
    e.Record(37, {1});
    e.Record(37, {static_cast<std::int32_t>(0x80000008u)});  // null pen
    e.Record(57, {2});                                        // clockwise
    e.Record(47, {0, 0, 100, 100, 100, 50, 50, 0});           // PIE
    CRasterImage cw;
    ASSERT_TRUE(DecodeBytes(cw, e.File(2646, 2646), IMAGE_WMF));
    EXPECT_EQ(At(cw, 70, 30), kWhite);
    EXPECT_EQ(At(cw, 30, 70), kRed);
    EXPECT_EQ(At(cw, 70, 70), kRed);
}

TEST(MetafileDrawing, RoundRectLeavesItsCornersOpen) {
    Wmf m = Canvas(100);
    m.Record(0x061C, {40, 40, 90, 90, 10, 10});  // RoundRect (h, w, b, r, t, l)
    const CRasterImage img = Play(m.File(100, 100, 96));
    EXPECT_EQ(At(img, 12, 12), kWhite);  // outside the corner ellipse
    EXPECT_EQ(At(img, 20, 20), kRed);
    EXPECT_EQ(At(img, 50, 11), kRed);  // straight edge
}

TEST(MetafileDrawing, EachHatchDrawsItsLines) {
    // Black hatches on an opaque white background, one square each.
    Wmf m;
    m.Record(0x020C, {20, 120});
    m.Record(0x02FA, {5, 0, 0, 0, 0});
    m.Record(0x012D, {0});
    for (int hatch = 0; hatch < 6; ++hatch) {
        m.Record(0x02FC, {2, 0, 0, hatch});  // hatched black
        m.Record(0x012D, {1});
        m.Record(0x041B, {16, hatch * 20 + 16, 0, hatch * 20});
        m.Record(0x01F0, {1});
    }
    const CRasterImage img = Play(m.File(120, 20, 96));
    // Within each 16 x 16 square: which rows and columns are solid lines,
    // and which way the dark pixels continue.
    for (int hatch = 0; hatch < 6; ++hatch) {
        SCOPED_TRACE(hatch);
        auto dark = [&](int x, int y) { return At(img, hatch * 20 + x, y) == kBlack; };
        int solidRows = 0, solidColumns = 0, down = 0, up = 0, darkCount = 0;
        for (int i = 0; i < 16; ++i) {
            bool row = true, column = true;
            for (int j = 0; j < 16; ++j) {
                row = row && dark(j, i);
                column = column && dark(i, j);
            }
            solidRows += row;
            solidColumns += column;
        }
        for (int y = 1; y < 15; ++y)
            for (int x = 1; x < 15; ++x) {
                if (!dark(x, y))
                    continue;
                ++darkCount;
                down += dark(x + 1, y + 1);
                up += dark(x + 1, y - 1);
            }
        const bool horizontal = hatch == 0 || hatch == 4, vertical = hatch == 1 || hatch == 4;
        EXPECT_EQ(solidRows, horizontal ? 2 : 0);
        EXPECT_EQ(solidColumns, vertical ? 2 : 0);
        EXPECT_GT(darkCount, 0);
        if (hatch == 2) {  // "\" runs down to the right
            EXPECT_EQ(down, darkCount);
        }
        if (hatch == 3) {  // "/" runs up to the right
            EXPECT_EQ(up, darkCount);
        }
        if (hatch == 5) {
            EXPECT_GT(down, 0);
            EXPECT_GT(up, 0);
        }
    }
}

TEST(MetafileDrawing, WindingStarIsFilledSolid) {
    // A five-pointed star drawn as one self-crossing polygon.
    const std::vector<int> star = {50, 5, 79, 95, 2, 39, 98, 39, 21, 95};
    for (int mode : {1, 2}) {
        Wmf m = Canvas(100);
        m.Record(0x0106, {mode});  // SetPolyFillMode
        std::vector<int> words = {5};
        words.insert(words.end(), star.begin(), star.end());
        m.Record(0x0324, words);
        const CRasterImage img = Play(m.File(100, 100, 96));
        EXPECT_EQ(At(img, 50, 20), kRed);  // a point of the star
        EXPECT_EQ(At(img, 50, 55), mode == 2 ? kRed : kWhite) << mode;  // the centre
    }
}

TEST(MetafileDrawing, ClipRectanglesCutShapesAndSaveDcKeepsThem) {
    Wmf m = Canvas(100);
    m.Record(0x001E, {});                      // SaveDC
    m.Record(0x0416, {60, 60, 20, 20});        // IntersectClipRect (b, r, t, l)
    m.Record(0x0415, {45, 45, 35, 35});        // ExcludeClipRect: a hole
    m.Record(0x041B, {80, 80, 0, 0});          // Rectangle
    m.Record(0x0127, {-1});                    // RestoreDC: no clip again
    m.Record(0x041B, {100, 100, 90, 90});
    const CRasterImage img = Play(m.File(100, 100, 96));
    EXPECT_EQ(At(img, 30, 30), kRed);
    EXPECT_EQ(At(img, 10, 10), kWhite);  // outside the clip
    EXPECT_EQ(At(img, 70, 70), kWhite);
    EXPECT_EQ(At(img, 40, 40), kWhite);  // the hole
    EXPECT_EQ(At(img, 95, 95), kRed);    // clipping ended with the restore
}

TEST(MetafileDrawing, XorPenOverAFill) {
    Wmf m;
    m.Record(0x020C, {100, 100});
    m.Record(0x02FC, {0, 0x0000, 0x00FF, 0});  // blue brush
    m.Record(0x012D, {0});
    m.Record(0x02FA, {5, 0, 0, 0, 0});
    m.Record(0x012D, {1});
    m.Record(0x041B, {60, 60, 20, 20});
    m.Record(0x02FA, {0, 1, 0, 0xFFFF, 0x00FF});  // white pen
    m.Record(0x012D, {2});
    m.Record(0x0104, {7});  // R2_XORPEN
    m.Record(0x0214, {40, 0});
    m.Record(0x0213, {40, 100});
    m.Record(0x0104, {6});  // R2_NOT
    m.Record(0x0214, {80, 0});
    m.Record(0x0213, {80, 100});
    const CRasterImage img = Play(m.File(100, 100, 96));
    EXPECT_EQ(At(img, 40, 40), (Rgb{255, 255, 0}));  // blue ^ white
    EXPECT_EQ(At(img, 10, 40), kBlack);              // white ^ white
    EXPECT_EQ(At(img, 40, 30), kBlue);
    EXPECT_EQ(At(img, 10, 80), kBlack);  // not white
}

TEST(MetafileDrawing, GradientAndSetPixel) {
    Emf e;
    // GRADIENTFILL: bounds, 2 vertices, 1 rectangle, horizontal; black to red.
    e.Record(118, {0, 0, 0, 0, 2, 1, 0, 0, 0, 0, 0, 100, 50, 0xFF00, 0, 0, 1});
    e.Record(15, {10, 80, 0x00FF00});  // SETPIXELV green
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, e.File(2646, 2646), IMAGE_WMF));
    EXPECT_LT(At(img, 2, 20).r, 10);
    EXPECT_NEAR(At(img, 50, 20).r, 128, 3);
    EXPECT_GT(At(img, 98, 20).r, 245);
    EXPECT_EQ(At(img, 50, 60), kWhite);
    EXPECT_EQ(At(img, 10, 80), (Rgb{0, 255, 0}));
}

TEST(MetafileDrawing, EmfBitmapsJpegPngAndOwnOffsets) {
    // A JPEG inside STRETCHDIBITS (compression 4): a 16 x 16 green picture.
    JpegRecipe jpeg;
    jpeg.width = jpeg.height = 16;
    jpeg.pixels.assign(16 * 16 * 3, 0);
    for (std::size_t i = 1; i < jpeg.pixels.size(); i += 3)
        jpeg.pixels[i] = 255;
    const std::vector<std::uint8_t> jpegBytes = EncodeJpeg(jpeg);
    // A PNG (compression 5): 1 x 1 blue.
    PngRecipe png;
    png.width = png.height = 1;
    png.rows = {{0, 0, 255}};
    const std::vector<std::uint8_t> pngBytes = EncodePng(png);
    // An 8-bit bitmap with a two-entry palette (shorter than 256) and an
    // information block padded with 16 extra bytes: its bits are found by
    // their own offset.
    std::vector<std::uint8_t> info = DibHeader(2, 1, 8, 0, 4, 2);
    for (std::uint8_t b : {0, 0, 255, 0, 0, 0, 0, 0})  // red, black
        info.push_back(b);
    info.resize(info.size() + 16, 0xAB);

    Emf e;
    StretchDib(e, 0, 0, 30, 30, 16, 16, DibHeader(16, 16, 0, 4, static_cast<std::uint32_t>(jpegBytes.size()), 0),
               jpegBytes);
    StretchDib(e, 40, 0, 30, 30, 1, 1, DibHeader(1, 1, 0, 5, static_cast<std::uint32_t>(pngBytes.size()), 0),
               pngBytes);
    StretchDib(e, 0, 40, 40, 20, 2, 1, info, {0, 1, 0, 0});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, e.File(2646, 2646), IMAGE_WMF)) << img.GetLastError();
    const Rgb green = At(img, 15, 15);
    EXPECT_LT(green.r, 10);
    EXPECT_GT(green.g, 245);
    EXPECT_EQ(At(img, 55, 15), kBlue);
    EXPECT_EQ(At(img, 10, 50), kRed);
    EXPECT_EQ(At(img, 30, 50), kBlack);
}

TEST(MetafileDrawing, PatternBrushTilesItsBitmap) {
    // DIBCreatePatternBrush with a 2 x 2 red/white checker (24-bit rows, bottom-up).
    std::vector<std::uint8_t> dib = DibHeader(2, 2, 24, 0, 16, 0);
    for (std::uint8_t b : {0, 0, 255, 255, 255, 255, 0, 0,     // bottom row: red, white, padding
                           255, 255, 255, 0, 0, 255, 0, 0})  // top row: white, red, padding
        dib.push_back(b);
    Wmf m;
    m.Record(0x020C, {20, 20});
    m.Record(0x02FA, {5, 0, 0, 0, 0});
    m.Record(0x012D, {0});
    m.Record(0x0142, {5, 0}, dib);
    m.Record(0x012D, {1});
    m.Record(0x041B, {20, 20, 0, 0});
    const CRasterImage img = Play(m.File(20, 20, 96));
    // Device row 0 is the pattern's top row: white, red, white, red...
    EXPECT_EQ(At(img, 4, 0), kWhite);
    EXPECT_EQ(At(img, 5, 0), kRed);
    EXPECT_EQ(At(img, 4, 1), kRed);
    EXPECT_EQ(At(img, 5, 1), kWhite);
}

TEST(MetafileDrawing, EmfClipRegionsAndPaths) {
    Emf e;
    e.Record(39, {1, 0, 0x0000FF, 0});  // red brush
    e.Record(37, {1});
    e.Record(37, {static_cast<std::int32_t>(0x80000008u)});
    // EXTSELECTCLIPRGN, copy: two rectangles (device pixels).
    e.Record(75, {64, 5, 32, 1, 2, 32, 0, 0, 100, 100, 0, 0, 20, 20, 60, 60, 80, 80});
    e.Record(43, {0, 0, 100, 100});
    e.Record(75, {0, 5});  // no region: clipping ends
    // A path used as clip (and, intersected): a triangle in 100..200.
    e.Record(59, {});
    e.Record(3, {0, 0, 0, 0, 3, 100, 100, 200, 100, 100, 200});  // POLYGON
    e.Record(60, {});
    e.Record(67, {1});
    e.Record(43, {100, 100, 200, 200});
    CRasterImage img;
    ASSERT_TRUE(DecodeBytes(img, e.File(5292, 5292), IMAGE_WMF));  // 200 x 200
    EXPECT_EQ(At(img, 10, 10), kRed);
    EXPECT_EQ(At(img, 70, 70), kRed);
    EXPECT_EQ(At(img, 40, 40), kWhite);
    EXPECT_EQ(At(img, 110, 110), kRed);
    EXPECT_EQ(At(img, 190, 190), kWhite);  // beyond the triangle's diagonal
}
