// Millimetres to device pixels: each rule truncates where it says, and the
// rules give different pixels for the same length where binary arithmetic
// makes them differ.
#include <gtest/gtest.h>

#include "base/Length.h"

#include <cmath>
#include <limits>

namespace {

TEST(LengthRules, CoverAndMarkRulesDifferOnTheSameLength) {
    // 139.7 mm is 5.5 inches: 1980 pixels at 360 dpi by the cover rule, one
    // pixel less by the mark rule, whose product comes out just below.
    EXPECT_EQ(CoverMmToPixels(139.7, 360), 1980);
    EXPECT_EQ(MarkMmToPixels(139.7, 360), 1979);
    // Where both products are whole numbers the rules agree.
    EXPECT_EQ(CoverMmToPixels(25.4, 600), 600);
    EXPECT_EQ(MarkMmToPixels(25.4, 600), 600);
}

TEST(LengthRules, CoverAndMarkTruncateTowardZero) {
    EXPECT_EQ(CoverMmToPixels(0.1, 300), 1);   // 1.18
    EXPECT_EQ(CoverMmToPixels(-0.1, 300), -1); // -1.18: toward zero, not down
    EXPECT_EQ(MarkMmToPixels(0.1, 300), 1);
    EXPECT_EQ(MarkMmToPixels(-0.1, 300), -1);
    EXPECT_EQ(CoverMmToPixels(210, 600), 4960);  // 4960.63
    EXPECT_EQ(CoverMmToPixels(0, 600), 0);
}

TEST(LengthRules, SheetRoundsToTheNearestPixelHalvesUp) {
    EXPECT_EQ(SheetMmToPixels(210, 600), 4961);   // A4's width: 4960.63
    EXPECT_EQ(SheetMmToPixels(297, 600), 7016);   // 7015.75
    EXPECT_EQ(SheetMmToPixels(215.9, 600), 5100); // Letter: 8.5 inches
    EXPECT_EQ(SheetMmToPixels(0.635, 100), 3);    // 2.5 exactly: up
    EXPECT_EQ(CoverMmToPixels(0.635, 100), 2);    // where the cover rule truncates
    EXPECT_EQ(SheetMmToPixels(0, 600), 0);
}

TEST(LengthRules, PixelsOutOfRangeAreHeldAndNanIsZero) {
    EXPECT_EQ(TruncatePixels(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(TruncatePixels(1e300), kMaxLayoutPixels);
    EXPECT_EQ(TruncatePixels(-1e300), -kMaxLayoutPixels);
    EXPECT_EQ(TruncatePixels(std::numeric_limits<double>::infinity()), kMaxLayoutPixels);
    EXPECT_EQ(CoverMmToPixels(1e12, 600), kMaxLayoutPixels);
    EXPECT_EQ(MarkMmToPixels(-1e12, 600), -kMaxLayoutPixels);
    EXPECT_EQ(SheetMmToPixels(1e12, 600), kMaxLayoutPixels);
    EXPECT_EQ(TruncatePixels(-2.99), -2);
}

TEST(LengthRules, PixelsBackToMillimetres) {
    EXPECT_DOUBLE_EQ(PixelsToMm(600, 600), 25.4);
    EXPECT_DOUBLE_EQ(PixelsToMm(4960, 600), 4960 * 25.4 / 600);
    // A sheet's pixels read back within half a pixel of its millimetres.
    EXPECT_NEAR(PixelsToMm(SheetMmToPixels(297, 600), 600), 297, 0.5 * 25.4 / 600);
}

}  // namespace
