// The paper preview and the printed page draw a shaped cover's picture by
// the same strips: at ten pixels per millimetre on both, the inside of the
// cover is the same pixel for pixel. And a cover exactly half the printable
// height still shares the page with its partner.
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"
#include "print/PaperDrawing.h"
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

using namespace testutil;

namespace {
// A4 at 254 dpi without margins: ten pixels per millimetre, as a 2100 x 2970
// preview of A4 paper.
const PageMetrics kPage = PageMetrics::Make(2100, 2970, 0, 0, 2100, 2970, 254, 254);

// Every row and column of its own colour, so a strip taken from the wrong
// place shows.
CRasterImage Rows(int w, int h) {
    return Picture(w, h, [](int x, int y) {
        return Rgb{static_cast<std::uint8_t>(x * 3), static_cast<std::uint8_t>(y), static_cast<std::uint8_t>(y >> 8)};
    });
}

// Pixels that differ inside the cover (its outline left out) between the
// printed page and the preview of the same format.
int InsideDifferences(const CoverFormat& format, const CRasterImage& picture) {
    const CoverFormatList formats = List({format});
    PlacementJob job{0, 0, 0, nullptr};
    const CoverPlacement p = ComputePlacement(kPage, formats, LeftFormat(0), job);
    CRasterSurface printed(kPage.printableWidth, kPage.printableHeight);
    CDrawContext page(printed);
    RenderCover(page, kPage, p, picture, formats, LeftFormat(0), RenderOptions{0, 0, 0});

    PaperView view;
    view.formats = &formats;
    view.firstImage = &picture;
    view.firstFormat = LeftFormat(0);
    const CRasterSurface preview = RenderPaper(view, 2100, 2970);
    // At this scale the preview puts the cover where the page does, outlined
    // on the same rows and columns.
    EXPECT_NE(preview.GetPixel(p.x, p.y), kWhite);
    EXPECT_EQ(preview.GetPixel(p.x + p.width + 1, p.y + p.height + 1), kWhite);
    int differences = 0;
    for (int y = 1; y < p.height; ++y)
        for (int x = 1; x < p.width; ++x)
            differences += printed.GetPixel(p.x + x, p.y + y) != preview.GetPixel(p.x + x, p.y + y);
    return differences;
}
}  // namespace

TEST(PreviewMatchesPrint, ZoomedPhotoPlayStationAndSlimSleeve) {
    const CRasterImage picture = Rows(300, 450);
    EXPECT_EQ(InsideDifferences(Placed(Format("Photo", "PHOTO_ZOOMED", 150.0, 100.0), 20.0, 30.0), picture), 0);
    EXPECT_EQ(InsideDifferences(Placed(Format("PlayStation", "PLAYSTATION", 142.0, 125.0), 30.0, 40.0), picture), 0);
    CoverFormat slim = Placed(Format("Slim", "SLIMLINE_DVD", 130.0, 270.0), 40.0, 10.0);
    slim.spine = 10.0;  // panels of 130 mm: whole millimetres on both
    EXPECT_EQ(InsideDifferences(slim, picture), 0);
}

TEST(HalfHeightCover, ExactlyHalfTheHeightTakesAHalfEachTallerTakesTheSheet) {
    CoverFormat half = Format("Half", "CUSTOM", 100.0, 148.5);
    half.leftX = AUTO_POSITION;
    const CoverFormatList formats = List({half});
    PlacementJob job{0, 0, 0, nullptr};
    const CoverPlacement upper = ComputePlacement(kPage, formats, LeftFormat(0), job);
    const CoverPlacement lower = ComputePlacement(kPage, formats, RightFormat(0), job);
    ASSERT_EQ(2 * upper.height, kPage.printableHeight);
    EXPECT_EQ(upper.y, 0);
    EXPECT_EQ(lower.y, upper.height);
    // Both on one page: each picture in its half, the right one's frame on
    // the left one's last row.
    CRasterSurface sheet(kPage.printableWidth, kPage.printableHeight);
    CDrawContext page(sheet);
    RenderCover(page, kPage, upper, Solid(8, 8, kBlue), formats, LeftFormat(0), RenderOptions{0, 0, 0});
    RenderCover(page, kPage, lower, Solid(8, 8, kRed), formats, RightFormat(0), RenderOptions{0, 0, 0});
    const int x = upper.x + upper.width / 2;
    EXPECT_EQ(sheet.GetPixel(x, 0), kBlue);
    EXPECT_EQ(sheet.GetPixel(x, upper.height - 2), kBlue);
    EXPECT_EQ(sheet.GetPixel(x, upper.height - 1), kBlack);
    EXPECT_EQ(sheet.GetPixel(x, upper.height), kRed);
    EXPECT_EQ(sheet.GetPixel(x, kPage.printableHeight - 1), kRed);

    // A cover taller than half the printable height is centred on the sheet.
    CoverFormat taller = half;
    taller.height = 148.6;
    const CoverFormatList tall = List({taller});
    const CoverPlacement centred = ComputePlacement(kPage, tall, LeftFormat(0), job);
    ASSERT_GT(2 * centred.height, kPage.printableHeight);
    EXPECT_EQ(centred.y, (kPage.physicalHeight - centred.height) / 2);
    EXPECT_EQ(ComputePlacement(kPage, tall, RightFormat(0), job).y, centred.y);
}
