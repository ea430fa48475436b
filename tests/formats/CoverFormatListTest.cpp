#include "formats/CoverFormatList.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {
CoverFormatList listOf(std::initializer_list<const char*> names) {
    CoverFormatList list;
    for (const char* n : names) list.addNew(n);
    return list;
}
}  // namespace

TEST(CoverFormatModel, TheTwoSetsOfDefaults) {
    CoverFormat expected;
    expected.name = "F";
    expected.leftX = expected.rightX = AUTO_POSITION;
    expected.leftY = expected.rightY = -1.0;
    expected.width = expected.height = 100;
    expected.paperWidth = 210;
    expected.paperHeight = 297;
    expected.type = "CUSTOM";
    expected.remapIndex = -1;
    expected.spine = NO_SPINE;
    expected.paperSource = expected.mediaType = -1;
    EXPECT_EQ(CoverFormat::FromFileSection("F"), expected);
    expected.leftY = expected.rightY = AUTO_POSITION;  // the editor's new format
    EXPECT_EQ(CoverFormat::NewFormat("F"), expected);
}

TEST(CoverFormatModel, IndexErrorsRaiseAndChangeNothing) {
    CoverFormatList list = listOf({"A", "B", "C"});
    list.addLine(0, 1, 2, 3, 4, 1);
    const std::vector<CoverFormat> before = list.formats;
    double w = 0, h = 0;
    EXPECT_THROW(list.name(3), std::invalid_argument);
    EXPECT_THROW(list.setType(-1, "x"), std::invalid_argument);
    EXPECT_THROW(list.position(0, 2, false), std::invalid_argument);
    EXPECT_THROW(list.detectSize(-1, w, h), std::invalid_argument);
    EXPECT_THROW(list.line(0, 1), std::invalid_argument);
    EXPECT_THROW(list.setLine(0, -1, 0, 0, 0, 0, 0), std::invalid_argument);
    EXPECT_THROW(list.removeRect(0, 0), std::invalid_argument);
    EXPECT_THROW(list.insertCopy(0, "x", 4), std::invalid_argument);
    EXPECT_THROW(list.remove(3), std::invalid_argument);
    EXPECT_THROW(list.swap(0, 3), std::invalid_argument);
    EXPECT_EQ(list.formats, before);
    // Slots hold -1 for "no format"; these answer for any index.
    EXPECT_EQ(list.spine(3), 0);
    EXPECT_EQ(list.spine(-1), 0);
    EXPECT_FALSE(list.hasSpine(3));
    EXPECT_EQ(list.detectRatio(-1), 0);
}

TEST(CoverFormatModel, PositionAddsCalibrationOnlyToRealCoordinates) {
    CoverFormatList list = listOf({"A"});
    list.calibrateX = 2.5;
    list.calibrateY = -0.5;
    list.setPosition(0, 0, AUTO_POSITION, -1.0, 120, 118, 41);
    FormatPosition p = list.position(0, 0, true);
    EXPECT_EQ(p.x, 5000.0);
    EXPECT_EQ(p.y, -1.0);
    EXPECT_EQ(p.holeSize, 41);
    list.setPosition(0, 0, 12.0, 20.0, 120, 118, 41);
    EXPECT_EQ(list.position(0, 0, true).x, 14.5);
    EXPECT_EQ(list.position(0, 0, true).y, 19.5);
    EXPECT_EQ(list.position(0, 0, false).x, 12.0);
    // The right slot has its own pair; size and hole are shared.
    list.setPosition(0, 1, 30, 160.5, 150, 118, 0);
    p = list.position(0, 1, false);
    EXPECT_EQ(p.x, 30);
    EXPECT_EQ(p.y, 160.5);
    EXPECT_EQ(list.position(0, 0, false).x, 12.0);
    EXPECT_EQ(list.position(0, 0, false).width, 150);
}

TEST(CoverFormatModel, DetectionSizeAndType) {
    CoverFormatList list = listOf({"A", "B", "C"});
    CoverFormat& f = list.at(0);
    f.width = 150;
    f.height = 118;
    f.detectWidth = 0.01;  // not strictly greater than 0.01: the cover size counts
    f.detectHeight = 50;
    double w = 0, h = 0;
    EXPECT_FALSE(list.detectSize(0, w, h));
    EXPECT_EQ(w, 150);
    EXPECT_DOUBLE_EQ(list.detectRatio(0), 118.0 / 150.0);
    f.detectWidth = 0.02;
    EXPECT_TRUE(list.detectSize(0, w, h));
    EXPECT_EQ(h, 50);
    f.detectWidth = f.width = 0;  // no width: no ratio rather than a division by zero
    EXPECT_EQ(list.detectRatio(0), 0);

    list.setType(1, "CD_TRAY");
    list.setType(2, "CD_TRAY");
    EXPECT_EQ(list.findByType("CD_TRAY"), 1);
    EXPECT_EQ(list.findByType("cd_tray"), -1);
}

TEST(CoverFormatModel, LinesAndRectsKeepTheirOrder) {
    CoverFormatList list = listOf({"A", "B"});
    list.addLine(0, EDGE_TOP, 0, 0, 0, 0);
    list.addLine(0, 0, 6, 120, 6, 1);
    list.addLine(0, 1, 2, 3, 4, 0);
    list.removeLine(0, 0);
    list.setLine(0, 1, 9, 8, 7, 6, 1);
    ASSERT_EQ(list.lineCount(0), 2);
    EXPECT_EQ(list.line(0, 0), (CutLine{0, 6, 120, 6, 1}));
    EXPECT_EQ(list.line(0, 1), (CutLine{9, 8, 7, 6, 1}));
    list.addRect(0, 0, 0, 120, 120, 1);
    list.addRect(0, 5, 5, 10, 10, 0);
    list.setRect(0, 0, 1, 1, 2, 2, 0);
    list.removeRect(0, 1);
    ASSERT_EQ(list.rectCount(0), 1);
    EXPECT_EQ(list.rect(0, 0), (CutRect{1, 1, 2, 2, 0}));
    EXPECT_EQ(list.lineCount(1), 0);
}

TEST(CoverFormatModel, CopiesAndBackupsAreDeep) {
    CoverFormatList list = listOf({"A", "B", "C"});
    list.addLine(0, 0, 6, 120, 6, 1);
    list.addLine(0, EDGE_LEFT, 0, 0, 0, 0);
    list.insertCopy(0, "Copy of A", 1);
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.name(1), "Copy of A");
    EXPECT_EQ(list.name(2), "B");
    list.setLine(1, 0, 1, 1, 1, 1, 0);
    list.removeLine(1, 1);
    EXPECT_EQ(list.lineCount(0), 2);  // the source keeps its lines
    EXPECT_EQ(list.line(0, 0), (CutLine{0, 6, 120, 6, 1}));

    list.makeBackup();
    list.setName(0, "Changed");
    list.remove(3);  // the last: the others keep their places
    EXPECT_EQ(list.name(2), "B");
    list.addLine(0, 5, 5, 5, 5, 1);
    list.restoreBackup();
    EXPECT_EQ(list.formats, list.backup);
    EXPECT_EQ(list.count(), 4);
    EXPECT_EQ(list.name(0), "A");
    list.setName(0, "Again");
    EXPECT_EQ(list.backup[0].name, "A");
}

// Editing the list never silently redirects another format's REMAP.
TEST(CoverFormatModel, RemapLinksFollowTheirFormat) {
    CoverFormatList list = listOf({"A", "B", "C", "D"});
    list.setRemapIndex(0, 2);  // A -> C
    list.setRemapIndex(3, 1);  // D -> B
    list.setRemapIndex(2, 2);  // C -> itself
    list.swap(1, 2);           // A, C, B, D
    EXPECT_EQ(list.name(list.remapIndex(0)), "C");
    EXPECT_EQ(list.name(list.remapIndex(3)), "B");
    EXPECT_EQ(list.name(list.remapIndex(1)), "C");
    list.insertCopy(1, "C2", 1);  // A, C2, C, B, D
    EXPECT_EQ(list.name(list.remapIndex(0)), "C");
    EXPECT_EQ(list.name(list.remapIndex(1)), "C");  // the copy links to the original's target
    EXPECT_EQ(list.name(list.remapIndex(4)), "B");
    list.remove(2);  // A, C2, B, D: links to C are dropped
    EXPECT_EQ(list.remapIndex(0), -1);
    EXPECT_EQ(list.remapIndex(1), -1);
    EXPECT_FALSE(list.hasRemap(1));
    EXPECT_EQ(list.name(list.remapIndex(3)), "B");
}

TEST(CoverFormatModel, FillEmptyNamesUsesTheTranslationOrNoName) {
    CoverFormatList list = listOf({"", "", "C"});
    list.setTranslationId(0, 9001);
    list.setTranslationId(2, 9002);  // named: untouched despite its translation
    list.fillEmptyNames([](int id) { return "text " + std::to_string(id); });
    EXPECT_EQ(list.name(0), "text 9001");
    EXPECT_EQ(list.name(1), "text 7038");
    EXPECT_EQ(list.name(2), "C");
}
