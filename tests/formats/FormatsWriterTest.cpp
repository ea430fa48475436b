#include "formats/FormatsTestUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {
const std::string kSep = ";-----------------------------------------------------------------------------";
}  // namespace

TEST(FormatsWriter, WritesKeysInTheirOrderAndColumns) {
    CoverFormatList list;
    CoverFormat f = CoverFormat::FromFileSection("Jewel case tray");
    f.width = 150;
    f.height = 118;
    f.rightX = 30;
    f.rightY = 160.5;
    f.label = 1;
    f.holeSize = 41;
    f.autodetect = 1;
    f.detectWidth = 150;
    f.detectHeight = 118;
    f.remapIndex = 1;
    f.type = "CD_TRAY";
    f.paperSource = 7;
    f.mediaType = 2;
    f.lines = {CutLine{EDGE_LEFT, 0, 0, 0, 0}, CutLine{0, 6, 150, 6, 1}};
    f.rects = {CutRect{0, 0, 150, 118, 1}};
    list.formats.push_back(f);
    CoverFormat g = CoverFormat::FromFileSection("Other");
    g.spine = 9;
    g.translationId = 9001;
    g.leftX = 15;
    g.leftY = 20.5;
    g.type = "DVD";
    g.paperWidth = 216;  // only CD_TRAY formats carry a paper size
    g.holeSize = 15;     // no LABEL: no HOLESIZE
    g.width = 120;
    g.height = 118.5;
    g.lines = {CutLine{EDGE_TOP, 1, 2, 3, 0}, CutLine{EDGE_BOTTOM + 0.5, 0, 0, 0, 1},
               CutLine{-7.25, 0.04, 1e6, -0.04, 0}, CutLine{5005, 5006, 5000, 5011, 1}};
    g.rects = {CutRect{-1.5, 2.25, 3.75, 0.05, 0}};
    g.autodetect = 1;
    g.detectWidth = 0.01;  // not above 0.01: plain YES
    list.formats.push_back(g);
    list.trailer = "; ****** end\r\n";
    EXPECT_EQ(list.fileText(), CrLf({
                                   kSep,
                                   "[Jewel case tray]",
                                   "PAPER      = 210, 297",
                                   "SIZE       = 150, 118",
                                   "POSITION   = AUTO",
                                   "POSITION2  = 30, 160.5",
                                   "LABEL      = YES",
                                   "HOLESIZE   = 41",
                                   "AUTODETECT = YES, 150, 118",
                                   "REMAP      = Other",
                                   "TYPE\t   = CD_TRAY",
                                   "PAPERSOURCE = 7",
                                   "  MEDIATYPE = 2",
                                   "TRANSLATION_ID = 0",
                                   "LINE       = LEFT, DASHED",
                                   "LINE       = (0, 6)(150, 6), SOLID",
                                   "RECT       = 0, 0, 150, 118, SOLID",
                                   kSep,
                                   "[Other]",
                                   "SIZE       = 120, 118.5",
                                   "POSITION   = 15, 20.5",
                                   "POSITION2  = AUTO",
                                   "SPINE      = 9",
                                   "AUTODETECT = YES",
                                   "TYPE\t   = DVD",
                                   "TRANSLATION_ID = 9001",
                                   "LINE       = TOP, DASHED",
                                   "LINE       = BOTTOM, SOLID",
                                   "LINE       = (-7.2, 0)(1000000, -0), DASHED",
                                   "LINE       = (5005, 5006)(5000, 5011), SOLID",
                                   "RECT       = -1.5, 2.2, 3.8, 0.1, DASHED",
                                   "",
                                   "; ****** end",
                               }));
    // Read back, the file gives the same list (within what the file keeps).
    const ReadResult back = ReadFormats(list.fileText());
    EXPECT_TRUE(back.reporter.messages.empty());
    f.leftY = AUTO_POSITION;
    g.rightY = AUTO_POSITION;
    g.paperWidth = 210;
    g.holeSize = 0;
    g.detectWidth = 0;
    g.lines[0] = CutLine{EDGE_TOP, 0, 0, 0, 0};  // an edge line keeps only its edge
    g.lines[1].x1 = EDGE_BOTTOM;
    g.lines[2] = CutLine{-7.2, 0, 1e6, 0, 0};
    g.rects[0] = CutRect{-1.5, 2.2, 3.8, 0.1, 0};
    EXPECT_EQ(back.list.formats, (std::vector<CoverFormat>{f, g}));

    list.formats.clear();
    EXPECT_EQ(list.fileText(), "\r\n; ****** end\r\n");  // an empty list: the trailer only
}

// Only numbers lose their ".0"; names keep theirs, so REMAP still finds its
// target. Line breaks and the trailer marker cannot get into the file.
TEST(FormatsWriter, FreeTextCannotBreakTheFile) {
    CoverFormatList list;
    list.addNew("DVD 2.0 (Version 1.0)");
    list.addNew("Two\r\nLines");
    list.addNew("Star; ****** Name");
    list.setRemapIndex(0, 2);
    list.setRemapIndex(2, 0);
    list.setType(0, "X.0");
    list.trailer = "; ****** help\r\n";
    const std::string text = list.fileText();
    const ReadResult back = ReadFormats(text);
    ASSERT_EQ(back.list.count(), 3);
    EXPECT_EQ(back.list.name(0), "DVD 2.0 (Version 1.0)");
    EXPECT_EQ(back.list.type(0), "X.0");
    EXPECT_EQ(back.list.name(1), "TwoLines");
    EXPECT_EQ(back.list.name(2), "Star;****** Name");
    EXPECT_EQ(back.list.remapIndex(0), 2);
    EXPECT_EQ(back.list.remapIndex(2), 0);
    EXPECT_EQ(back.list.trailer, "; ****** help\r\n");
    EXPECT_EQ(back.list.fileText(), text);
}

// Values that would read back as a marker are written as that marker, so a
// second save is byte-identical.
TEST(FormatsWriter, ValuesNearMarkersStayStable) {
    CoverFormat f = CoverFormat::FromFileSection("F");
    f.leftX = 4999.96;  // written as 5000: automatic once read back
    f.rightX = 5000.04;
    f.autodetect = 1;
    f.detectWidth = 0.04;  // above 0.01, but written as 0
    f.detectHeight = 9;
    f.lines = {CutLine{5000.96, 1, 2, 3, 1}, CutLine{5004.97, 0, 0, 0, 0}};
    f.remapIndex = 5;  // no such format: no REMAP line
    CoverFormatList list;
    list.formats.push_back(f);
    const std::string text = list.fileText();
    for (const char* line : {"POSITION   = AUTO\r\n", "POSITION2  = AUTO\r\n", "AUTODETECT = YES\r\n",
                             "LINE       = LEFT, SOLID\r\n", "LINE       = BOTTOM, DASHED\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find("REMAP"), std::string::npos);
    EXPECT_EQ(ReadFormats(text).list.fileText(), text);
}

TEST(FormatsWriter, CalibrationBetweenSectionsIsKept) {
    const ReadResult r = ReadFormats(CrLf({"[A]", "CALIBRATEX = 1.25", "[B]", "CALIBRATEY = -0.5", "; ****** help"}));
    const std::string text = r.list.fileText();
    EXPECT_NE(text.find("TRANSLATION_ID = 0\r\nCALIBRATEX = 1.25\r\nCALIBRATEY = -0.5\r\n\r\n; ****** help\r\n"),
              std::string::npos);
    const ReadResult back = ReadFormats(text);
    EXPECT_EQ(back.list.calibrateX, 1.25);
    EXPECT_EQ(back.list.calibrateY, -0.5);
    EXPECT_EQ(back.list.formats, Normalised(r.list.formats));
    EXPECT_EQ(back.list.fileText(), text);

    // Set in the trailer, it is not written a second time.
    const ReadResult inTrailer = ReadFormats(CrLf({"[A]", "; ****** help", "CALIBRATEX = 3", "calibratey inches = 1"}));
    const std::string t2 = inTrailer.list.fileText();
    EXPECT_EQ(t2.find("CALIBRATEX"), t2.rfind("CALIBRATEX"));
    EXPECT_NE(t2.find("CALIBRATEX = 3\r\nCALIBRATEY = 25.4\r\n"), std::string::npos);  // in mm, where it stood
    EXPECT_EQ(t2.find("CALIBRATEY"), t2.rfind("CALIBRATEY"));
    EXPECT_EQ(ReadFormats(t2).list.calibrateY, 25.4);

    // New values (the calibration dialog) replace the trailer's, in place.
    CoverFormatList changed = inTrailer.list;
    changed.calibrateX = 2;
    changed.calibrateY = -0.75;
    const ReadResult saved = ReadFormats(changed.fileText());
    EXPECT_EQ(saved.list.calibrateX, 2);
    EXPECT_EQ(saved.list.calibrateY, -0.75);

    CoverFormatList none;  // without formats it still survives
    none.calibrateY = 2;
    EXPECT_EQ(none.fileText(), "CALIBRATEY = 2\r\n\r\n");
}

// What the trailer added to the list is written with the sections; its own
// copy becomes a comment so that it is not read twice.
TEST(FormatsWriter, TrailerSectionsAreNotDuplicated) {
    const ReadResult r = ReadFormats(CrLf({"[A]", "; ****** help", "LINE = TOP", "colour = red", "[X]",
                                           "SIZE = 5, 6", "CALIBRATEX = 1"}));
    ASSERT_EQ(r.list.count(), 2);
    const std::string text = r.list.fileText();
    EXPECT_NE(text.find(CrLf({"; ****** help", "; LINE = TOP", "colour = red", "; [X]", "; SIZE = 5, 6",
                              "CALIBRATEX = 1"})),
              std::string::npos);
    const ReadResult back = ReadFormats(text);
    EXPECT_EQ(back.list.formats, Normalised(r.list.formats));
    EXPECT_EQ(back.list.calibrateX, 1);
    EXPECT_EQ(back.list.fileText(), text);
}

TEST(FormatsWriter, SaveReplacesTheFileAtomically) {
    TempFolder folder;
    const std::string path = folder.file("Korvane.dat");
    WriteBytes(path, CrLf({"[Old]", "SIZE = 1, 1", "; ****** keep me"}));
    CoverFormatList list;
    CCollectingFormatsReporter reporter;
    ASSERT_TRUE(list.load(path, reporter));
    list.addNew("New");
    std::string error;
    EXPECT_EQ(list.save(&error), 1) << error;
    const std::string first = ReadBytes(path);
    EXPECT_EQ(first, list.fileText());
    EXPECT_NE(first.find("; ****** keep me\r\n"), std::string::npos);
    EXPECT_EQ(folder.entries(), 1u);  // no temporary file left behind

    CoverFormatList again;
    ASSERT_TRUE(again.load(path, reporter));
    EXPECT_EQ(again.formats, Normalised(list.formats));
    EXPECT_EQ(again.save(&error), 1);
    EXPECT_EQ(ReadBytes(path), first);  // a second save is byte-identical
}

TEST(FormatsWriter, FailedSavesKeepTheOldFileAndSayWhy) {
    TempFolder folder;
    CoverFormatList list;
    list.addNew("A");
    std::string error;
    EXPECT_EQ(list.save(&error), 0);  // the file was never read: nowhere to save
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(list.saveAs(folder.file("no/such/folder/Korvane.dat"), &error), 0);
    EXPECT_NE(error.find("no/such/folder"), std::string::npos);

    // A folder in the way: the rename fails and nothing is left over.
    std::filesystem::create_directory(folder.file("Korvane.dat"));
    WriteBytes(folder.file("Korvane.dat/inside"), "old");
    list.filePath = folder.file("Korvane.dat");
    error.clear();
    EXPECT_EQ(list.save(&error), 0);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(ReadBytes(folder.file("Korvane.dat/inside")), "old");
    EXPECT_EQ(folder.entries(), 1u);
}
