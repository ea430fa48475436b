// Where covers land on the printer's sheet.
#include "print/CoverLayout.h"
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace testutil;

namespace {
// A4 at 600 dpi as a driver reports it, with no unprintable border.
PageMetrics A4At600() { return PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600); }
// The same sheet with 5 mm (118 pixels) unprintable on every side.
PageMetrics A4At600WithMargins() { return PageMetrics::Make(4960, 7016, 118, 118, 4724, 6780, 600, 600); }

CoverPlacement Place(const PageMetrics& page, const CoverFormatList& formats, SlotFormat f, int singlePage = 0,
                     int correct = 1, IPrompter* prompter = nullptr) {
    PlacementJob job{singlePage, correct, 0, prompter};
    return ComputePlacement(page, formats, f, job);
}
}  // namespace

TEST(PixelConversion, TruncatesTowardZeroAndStaysInRange) {
    EXPECT_EQ(CoverMmToPixels(120.0, 600), 2834);  // 2834.6
    EXPECT_EQ(MarkMmToPixels(13.0, 600), 307);      // 307.09
    EXPECT_EQ(CoverMmToPixels(-120.0, 600), -2834);
    EXPECT_EQ(CoverMmToPixels(1e300, 600), kMaxLayoutPixels);
    EXPECT_EQ(CoverMmToPixels(-1e300, 600), -kMaxLayoutPixels);
    EXPECT_EQ(CoverMmToPixels(std::numeric_limits<double>::quiet_NaN(), 600), 0);
    EXPECT_EQ(PageMetrics::Make(4960, 7016, 0, 0, 4960, 7016, 600, 600).halfHeight, 3508);
}

TEST(AutomaticPlacement, CdFrontSitsOnTheMiddleLine) {
    const CoverFormatList formats = List({Format("CD Front", "CD_FRONT", 120.0, 120.0)});
    const CoverPlacement left = Place(A4At600(), formats, LeftFormat(0));
    EXPECT_EQ(left, (CoverPlacement{1063, 674, 2834, 2834, 0}));
    // The right slot alone (or both on separate pages) also ends on the middle line...
    EXPECT_EQ(Place(A4At600(), formats, RightFormat(0)).y, 674);
    // ...but below the left cover when both share one page.
    const CoverPlacement right = Place(A4At600(), formats, RightFormat(0), 1);
    EXPECT_EQ(right, (CoverPlacement{1063, 3508, 2834, 2834, 0}));
}

TEST(AutomaticPlacement, OtherTypesUseTheUpperOrLowerHalfOrTheWholeSheet) {
    const CoverFormatList formats = List({Format("Back", "CUSTOM", 150.0, 118.0), Format("DVD", "DVD", 273.0, 183.0)});
    // 150 x 118 mm: 3543 x 2787 pixels, at most half the printable height.
    const CoverPlacement left = Place(A4At600(), formats, LeftFormat(0));
    EXPECT_EQ(left.x, (4960 - 3543) / 2);
    EXPECT_EQ(left.y, (3508 - 2787) / 2);
    const CoverPlacement right = Place(A4At600(), formats, RightFormat(0));
    EXPECT_EQ(right.y, 3508 + (3508 - 2787) / 2);
    EXPECT_EQ(Place(A4At600(), formats, RightFormat(0), 1).y, right.y);  // whatever singlePage is
    // 183 mm high (4322 pixels) is more than half: centred on the sheet, in both slots.
    const CoverPlacement dvd = Place(A4At600(), formats, LeftFormat(1));
    EXPECT_EQ(dvd.height, 4322);
    EXPECT_EQ(dvd.y, (7016 - 4322) / 2);
    EXPECT_EQ(Place(A4At600(), formats, RightFormat(1)).y, dvd.y);
    // 273 mm wide does not fit across A4: centred, overlapping both edges.
    EXPECT_EQ(dvd.x, (4960 - 6448) / 2);
}

TEST(ExplicitPlacement, MillimetresFromTheSheetCornerWithCalibration) {
    CoverFormatList formats = List({Placed(Format("Label", "CUSTOM", 40.0, 20.0), 10.0, 30.0),
                                    Format("Auto", "CUSTOM", 40.0, 20.0)});
    formats.at(0).rightX = 50.8;
    formats.at(0).rightY = 25.4;
    EXPECT_EQ(Place(A4At600(), formats, LeftFormat(0)), (CoverPlacement{236, 708, 944, 472, 0}));
    EXPECT_EQ(Place(A4At600(), formats, RightFormat(0)).x, 1200);  // POSITION2
    EXPECT_EQ(Place(A4At600(), formats, RightFormat(0)).y, 600);
    formats.calibrateX = 2.0;
    formats.calibrateY = -1.0;
    EXPECT_EQ(Place(A4At600(), formats, LeftFormat(0)).x, CoverMmToPixels(12.0, 600));
    EXPECT_EQ(Place(A4At600(), formats, LeftFormat(0)).y, CoverMmToPixels(29.0, 600));
    // An automatic cover stays centred whatever the calibration.
    EXPECT_EQ(Place(A4At600(), formats, LeftFormat(1)).x, (4960 - 944) / 2);
}

TEST(ExplicitPlacement, NegativeCoordinatesCountFromTheFarEdges) {
    const CoverFormatList formats = List({Placed(Format("Corner", "CUSTOM", 40.0, 20.0), -10.0, -5.0)});
    const CoverPlacement p = Place(A4At600(), formats, LeftFormat(0), 0, 0);
    EXPECT_EQ(p.x + p.width, 4960 - 236);  // right edge 10 mm from the sheet's right edge
    EXPECT_EQ(p.y + p.height, 7016 - 118);
}

TEST(PrintableArea, CoversArePulledInsideWithOneMessagePerJob) {
    CoverFormat f = Placed(Format("Off the edge", "CUSTOM", 120.0, 120.0), 200.0, 0.0);
    f.rightX = 200.0;
    f.rightY = 150.0;
    const CoverFormatList formats = List({f});
    const PageMetrics page = A4At600WithMargins();
    RecordingPrompter prompter;
    PlacementJob job{0, 1, 0, &prompter};
    const CoverPlacement left = ComputePlacement(page, formats, LeftFormat(0), job);
    EXPECT_EQ(left.x + left.width, page.offsetX + page.printableWidth);  // right edges meet
    EXPECT_EQ(left.y, page.offsetY);
    const CoverPlacement right = ComputePlacement(page, formats, RightFormat(0), job);
    EXPECT_EQ(right.x, left.x);
    EXPECT_EQ(prompter.information, std::vector<int>{kTextOutsidePrintableArea});
    EXPECT_EQ(job.printableWarned, 1);

    // Without the correction the cover stays where the format puts it, silently.
    RecordingPrompter quiet;
    const CoverPlacement raw = Place(page, formats, LeftFormat(0), 0, 0, &quiet);
    EXPECT_EQ(raw.x, CoverMmToPixels(200.0, 600));
    EXPECT_TRUE(quiet.information.empty());
}

TEST(PrintableArea, LargerCoversAreCentredOverItAndFittingOnesAreLeftAlone) {
    const PageMetrics page = A4At600WithMargins();
    CoverPlacement wide{0, 200, 5000, 100, 0};
    EXPECT_TRUE(MoveIntoPrintableArea(wide, page));
    EXPECT_EQ(wide.x, 118 - (5000 - 4724) / 2);
    EXPECT_EQ(wide.y, 200);
    CoverPlacement inside{500, 500, 100, 100, 0};
    EXPECT_FALSE(MoveIntoPrintableArea(inside, page));
    EXPECT_EQ(inside, (CoverPlacement{500, 500, 100, 100, 0}));
    CoverPlacement low{500, 7000, 100, 100, 0};
    EXPECT_TRUE(MoveIntoPrintableArea(low, page));
    EXPECT_EQ(low.y, 118 + 6780 - 100);
}

TEST(PlayStation, TakesTheSecondFormatsGeometry) {
    CoverFormat ps = Format("PlayStation Back", "PLAYSTATION", 10.0, 10.0);
    ps.leftX = AUTO_POSITION;
    CoverFormat second = Placed(Format("CD Back", "CUSTOM", 151.0, 118.0), 20.0, 40.0);
    second.holeSize = 15.0;
    const CoverFormatList formats = List({Format("CD Front", "CD_FRONT", 120.0, 120.0), second, ps});
    const CoverPlacement p = Place(A4At600(), formats, LeftFormat(2), 0, 0);
    EXPECT_EQ(p.width, CoverMmToPixels(151.0, 600));
    EXPECT_EQ(p.height, CoverMmToPixels(118.0, 600));
    EXPECT_EQ(p.holeSize, CoverMmToPixels(15.0, 600));
    // Placed automatically, as the PlayStation format itself asks, though the second format is not.
    EXPECT_EQ(p.x, (4960 - p.width) / 2);
    EXPECT_EQ(GeometryFormatIndex(formats, 2), 1);
    // A list holding only the PlayStation format uses its own geometry.
    EXPECT_EQ(Place(A4At600(), List({ps}), LeftFormat(0)).width, CoverMmToPixels(10.0, 600));
}

TEST(PlacementGuards, FormatsOutsideTheListAndBrokenSizesPlaceNothingHarmful) {
    const CoverFormatList formats = List({Format("Only", "CUSTOM", 100.0, 100.0)});
    EXPECT_EQ(Place(A4At600(), formats, LeftFormat(-1)), CoverPlacement{});
    EXPECT_EQ(Place(A4At600(), formats, LeftFormat(5)), CoverPlacement{});
    EXPECT_EQ(Place(A4At600(), formats, LeftFormat(999)), CoverPlacement{});
    EXPECT_EQ(Place(A4At600(), formats, RightFormat(1)), CoverPlacement{});
    const CoverFormatList broken = List({Format("Negative", "CUSTOM", -50.0, 1e308)});
    const CoverPlacement p = Place(A4At600(), broken, LeftFormat(0));
    EXPECT_EQ(p.width, 0);
    EXPECT_EQ(p.height, kMaxLayoutPixels);
}
