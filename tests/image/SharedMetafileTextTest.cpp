// The public metafiles under the shared folder show their text: the panels
// that hold only text come out with ink in them.
#include "image/RasterImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

namespace {
int DarkPixels(const CRasterImage& img, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const Rgb c = img.GetPixelColor(x, img.GetHeight() - 1 - y);
            n += c.r + c.g + c.b < 3 * 128;
        }
    return n;
}

struct TextArea {
    const char* file;
    int x0, y0, x1, y1;  // a region holding nothing but text
};
}  // namespace

TEST(SharedFiles, MetafilesShowTheirText) {
    KORVANE_NEED_SHARED_TEST_DATA();
    const TextArea areas[] = {
        {"wmf/wmf2svg/fulltest.wmf", 25, 240, 250, 355},         // the text records panel
        {"wmf/wmf2svg/fulltest.wmf", 20, 25, 500, 55},           // the title
        {"wmf/wmf2svg/symbol-font-tables.wmf", 28, 24, 90, 42},  // "Symbol"
        {"emf/wmf2svg/fulltest.emf", 25, 240, 235, 335},
    };
    for (const TextArea& a : areas) {
        SCOPED_TRACE(a.file);
        CRasterImage img;
        ASSERT_TRUE(img.Load(SharedTestFile(a.file), IMAGE_WMF)) << img.GetLastError();
        EXPECT_GT(DarkPixels(img, a.x0, a.y0, a.x1, a.y1), 60);
    }
}
