// What becomes of a scanned picture: the format chosen by its size in
// millimetres before its proportions, and the cover cut out of the
// platen's lid.
#include <gtest/gtest.h>

#include "app/FormatRecognition.h"
#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"
#include "sources/CoverCrop.h"

namespace {

CoverFormatList ShippedFormats()
{
    CoverFormatList formats;
    CCollectingFormatsReporter reporter;
    EXPECT_TRUE(formats.load(std::string(KORVANE_SOURCE_DIR) + "/resources/Korvane.dat", reporter));
    return formats;
}

int IndexNamed(const CoverFormatList& formats, const std::string& name)
{
    for (int i = 0; i < formats.count(); ++i)
        if (formats.formats[static_cast<std::size_t>(i)].name == name)
            return i;
    return -2;
}

// A white picture of `mmWide` x `mmHigh` at the given resolutions.
CRasterImage Scanned(double mmWide, double mmHigh, int xDpi, int yDpi)
{
    CRasterImage p;
    p.Create(static_cast<int>(mmWide * xDpi / 25.4 + 0.5), static_cast<int>(mmHigh * yDpi / 25.4 + 0.5), 24,
             IMAGE_BMP);
    std::fill(p.GetBits(), p.GetBits() + p.GetBitsSize(), 0xFF);
    p.SetXDpi(xDpi);
    p.SetYDpi(yDpi);
    return p;
}

}  // namespace

TEST(ScanRecognition, SizeDecidesWhateverThePixelProportions)
{
    const CoverFormatList formats = ShippedFormats();
    const int cdFront = formats.findByType("CD_FRONT");
    // 120 x 120 mm scanned at 300 x 150 dpi: twice as wide as high in pixels.
    CRasterImage booklet = Scanned(120, 120, 300, 150);
    ASSERT_GT(booklet.GetWidth(), booklet.GetHeight() * 3 / 2);
    CRasterImage byRatio = booklet;
    EXPECT_NE(DetectFormat(byRatio, formats, 1, nullptr), cdFront);
    EXPECT_EQ(DetectScannedFormat(booklet, formats, 1, nullptr), cdFront);
    EXPECT_EQ(booklet.GetWidth(), Scanned(120, 120, 300, 150).GetWidth());  // not turned

    // Within 2 mm on both sides counts, beyond it the proportions decide.
    CRasterImage near = Scanned(121.6, 118.6, 300, 300);
    EXPECT_EQ(DetectFormatBySize(near, formats), cdFront);
    CRasterImage far = Scanned(123, 120, 300, 300);
    EXPECT_EQ(DetectFormatBySize(far, formats), -1);
    EXPECT_EQ(DetectScannedFormat(far, formats, 1, nullptr), DetectFormat(far, formats, 1, nullptr));
}

TEST(ScanRecognition, ACoverLyingOnItsSideIsTurnedUpright)
{
    const CoverFormatList formats = ShippedFormats();
    CRasterImage back = Scanned(118, 150, 200, 200);  // a CD back, stood up
    const int w = back.GetWidth(), h = back.GetHeight();
    EXPECT_EQ(DetectFormatBySize(back, formats), IndexNamed(formats, "CD Back"));
    EXPECT_EQ(back.GetWidth(), h);
    EXPECT_EQ(back.GetHeight(), w);

    CRasterImage inside = Scanned(240, 120, 150, 150);  // front + inside, opened out
    EXPECT_EQ(DetectFormatBySize(inside, formats), formats.findByType("CD_FRONT_INSIDE"));
    EXPECT_GT(inside.GetHeight(), inside.GetWidth());
}

TEST(ScanRecognition, NoResolutionNoSize)
{
    const CoverFormatList formats = ShippedFormats();
    CRasterImage p = Scanned(120, 120, 300, 300);
    p.SetXDpi(0);
    EXPECT_EQ(DetectFormatBySize(p, formats), -1);
    CRasterImage empty;
    EXPECT_EQ(DetectFormatBySize(empty, formats), -1);
}

TEST(PlatenCrop, FindsTheCoverOnTheLid)
{
    CRasterImage scan = Scanned(100, 140, 100, 100);  // white lid
    const int coverX = 40, coverY = 60, coverW = 250, coverH = 300;
    for (int top = coverY; top < coverY + coverH; ++top)
        for (int x = coverX; x < coverX + coverW; ++x)
            scan.SetPixelColor(x, scan.GetHeight() - 1 - top, Rgb{20, 60, (std::uint8_t)(x % 200)});
    // Specks of dust on the lid do not widen the cover.
    scan.SetPixelColor(3, 5, Rgb{0, 0, 0});
    scan.SetPixelColor(370, 500, Rgb{0, 0, 0});
    const CropRect r = FindCoverOnPlaten(scan);
    EXPECT_EQ(r.x, coverX);
    EXPECT_EQ(r.y, coverY);
    EXPECT_EQ(r.width, coverW);
    EXPECT_EQ(r.height, coverH);

    const CRasterImage cover = CropPicture(scan, r);
    ASSERT_EQ(cover.GetWidth(), coverW);
    ASSERT_EQ(cover.GetHeight(), coverH);
    EXPECT_EQ(cover.GetXDpi(), 100);
    EXPECT_EQ(cover.GetPixelColor(10, cover.GetHeight() - 1), (Rgb{20, 60, (std::uint8_t)((coverX + 10) % 200)}));
}

TEST(PlatenCrop, NothingToCutKeepsThePicture)
{
    const CRasterImage plain = Scanned(50, 50, 100, 100);
    const CropRect r = FindCoverOnPlaten(plain);
    EXPECT_EQ(r.width, plain.GetWidth());
    EXPECT_EQ(r.height, plain.GetHeight());
    // A grey picture is cut the same way, its palette kept.
    CRasterImage grey = Scanned(50, 50, 100, 100);
    grey.ConvertToGray();
    for (int y = 20; y < 150; ++y)
        for (int x = 30; x < 160; ++x)
            grey.SetPixelIndex(x, y, 10);
    const CropRect g = FindCoverOnPlaten(grey);
    EXPECT_EQ(g.width, 130);
    EXPECT_EQ(g.height, 130);
    const CRasterImage cut = CropPicture(grey, g);
    EXPECT_EQ(cut.GetBpp(), 8);
    EXPECT_EQ(cut.GetPixelColor(0, 0), (Rgb{10, 10, 10}));
    // A rectangle outside the picture cuts nothing.
    EXPECT_EQ(CropPicture(grey, CropRect{150, 150, 100, 100}).GetWidth(), grey.GetWidth());
}
