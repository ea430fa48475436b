// The editor's texts for lengths and cut markers (the editor's own rules are
// tested through its window, tests/formats/ui).
#include "formats/MarkerText.h"

#include <gtest/gtest.h>

TEST(MarkerText, LinesAndRectanglesInMillimetresAndInches) {
    EXPECT_EQ(LineText(CutLine{0, 0, 0, 0, 1}, false), "LINE = (0.0, 0.0)(0.0, 0.0), SOLID");
    EXPECT_EQ(LineText(CutLine{0, 6, 120, 6, 0}, false), "LINE = (0.0, 6.0)(120.0, 6.0), DASHED");
    EXPECT_EQ(LineText(CutLine{EDGE_LEFT, 0, 0, 0, 0}, false), "LINE = LEFT, DASHED");
    EXPECT_EQ(LineText(CutLine{EDGE_BOTTOM, 3, 4, 5, 1}, true), "LINE = BOTTOM, SOLID");
    // Markers beyond the edges print as numbers; 5000 itself as nothing.
    EXPECT_EQ(LineText(CutLine{MARKER_MIN, 0, 0, 0, 1}, false), "LINE = 5005.0, SOLID");
    EXPECT_EQ(LineText(CutLine{AUTO_POSITION, 1, 2, 3, 1}, false), "LINE = (, 1.0)(2.0, 3.0), SOLID");
    EXPECT_EQ(RectText(CutRect{0, 0, 100, 100, 1}, false), "RECT = (0.0, 0.0)(100.0, 100.0), SOLID");
    EXPECT_EQ(RectText(CutRect{0, 0, 100, 100, 0}, true), "RECT = (0.00, 0.00)(3.94, 3.94), DASHED");
    EXPECT_EQ(LengthText(120, true), "4.72");
    EXPECT_EQ(LengthText(AUTO_POSITION, false), "");
}

TEST(MarkerText, TypedLengthsReadAsTheCLibraryReadsThem) {
    EXPECT_DOUBLE_EQ(ParseLength("5", true), 127.0);
    EXPECT_DOUBLE_EQ(ParseLength("  12.5mm", false), 12.5);
    EXPECT_DOUBLE_EQ(ParseLength("", false), 0.0);
    EXPECT_DOUBLE_EQ(ParseLength("abc", true), 0.0);
    EXPECT_DOUBLE_EQ(ParseLength("-3", false), -3.0);
    EXPECT_DOUBLE_EQ(ParseLength("1,5", false), 1.0);  // "." is the decimal point in every locale
    // A field still showing its value keeps the exact value; typed text is read.
    EXPECT_DOUBLE_EQ(ReadLength("3.94", 100.0, true), 100.0);
    EXPECT_DOUBLE_EQ(ReadLength("4", 100.0, true), 101.6);
    EXPECT_DOUBLE_EQ(ReadLength("", EDGE_TOP, false), 0.0);
}
