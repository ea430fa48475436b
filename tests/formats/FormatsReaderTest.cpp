#include "formats/FormatsTestUtil.h"

#include <gtest/gtest.h>

namespace {
// The one format of a section with these key lines.
CoverFormat readSection(std::initializer_list<std::string> keys) {
    std::string text = "[F]\r\n";
    for (const std::string& k : keys) text += k + "\r\n";
    const ReadResult r = ReadFormats(text);
    EXPECT_TRUE(r.reporter.messages.empty());
    EXPECT_EQ(r.list.count(), 1);
    return r.list.count() ? r.list.at(0) : CoverFormat();
}
}  // namespace

TEST(FormatsReader, KeysAreMatchedBySubstringInOrder) {
    const CoverFormat f = readSection({
        "size inches = 4.72, 4.72",  // lower case, in inches
        "PAPERSIZE = 100, 100",      // PAPER is tested before SIZE
        "LINETYPE = x",              // TYPE before LINE
        "POSITION2 = AUTO MIRROR",   // MIRROR is tested first
        "LABEL = yes",               // only YES in capitals counts
        "AUTODETECT = yes",          // the value is upper-cased
        "SPINE =",                   // 0, not NO_SPINE
        "PAPERSOURCE =",             // 0, not -1
        "TRANSLATION_ID INCHES = 9001",
        "MEDIATYPE INCHES = 2",      // 50.8, truncated
        "HOLESIZE = 41 mm",          // HOLESIZE before SIZE
    });
    EXPECT_DOUBLE_EQ(f.width, 119.888);
    EXPECT_DOUBLE_EQ(f.height, 119.888);
    EXPECT_EQ(f.paperWidth, 100);
    EXPECT_EQ(f.type, "X");
    EXPECT_TRUE(f.lines.empty());
    EXPECT_EQ(f.rightX, MIRROR_POSITION);
    EXPECT_EQ(f.rightY, MIRROR_POSITION);
    EXPECT_EQ(f.label, 0);
    EXPECT_EQ(f.autodetect, 1);
    EXPECT_EQ(f.spine, 0);
    EXPECT_EQ(f.paperSource, 0);
    EXPECT_EQ(f.translationId, 9001);
    EXPECT_EQ(f.mediaType, 50);
    EXPECT_EQ(f.holeSize, 41);
}

TEST(FormatsReader, ValueForms) {
    const CoverFormat f = readSection({
        "TYPE = dvd", "TYPE=CD_TRAY",  // no separator after "=": the type stays
        "SIZE = 120",                  // one number serves for both
        "POSITION = 15, 20.5", "POSITION2 = 1.5E1, -3", "PAPERSOURCE = 7.9", "MEDIATYPE = 1E30",
        "LINE = left", "LINE = BOTTOM, SOLID", "LINE = (MIN, 10)(MAX, 10), SOLID", "LINE = (-5, 0)(-1, 0), dashed",
        "RECT = 10, 20, MAX, 5", "RECT = 1, 2, 3, 4, solid", "LABEL = NO YES", "AUTODETECT = NO, 3, 4",
    });
    EXPECT_EQ(f.type, "DVD");
    EXPECT_EQ(f.width, 120);
    EXPECT_EQ(f.height, 120);
    EXPECT_EQ(f.leftY, 20.5);
    EXPECT_EQ(f.rightX, 15);
    EXPECT_EQ(f.rightY, -3);
    EXPECT_EQ(f.paperSource, 7);
    EXPECT_EQ(f.mediaType, 2147483647);  // saturated, not undefined
    ASSERT_EQ(f.lines.size(), 4u);
    EXPECT_EQ(f.lines[0], (CutLine{EDGE_LEFT, 0, 0, 0, 0}));
    EXPECT_EQ(f.lines[1], (CutLine{EDGE_BOTTOM, 0, 0, 0, 1}));
    EXPECT_EQ(f.lines[2], (CutLine{MARKER_MAX, 10, 0, 0, 1}));
    EXPECT_EQ(f.lines[3], (CutLine{-5, 0, -1, 0, 0}));
    ASSERT_EQ(f.rects.size(), 2u);
    EXPECT_EQ(f.rects[0], (CutRect{MARKER_MAX, MARKER_MAX, 5, 5, 0}));
    EXPECT_EQ(f.rects[1], (CutRect{1, 2, 3, 4, 1}));
    EXPECT_EQ(f.label, 1);
    EXPECT_EQ(f.autodetect, 0);
    EXPECT_EQ(f.detectWidth, 3);
}

TEST(FormatsReader, UnknownKeysAreReportedWithTheirLine) {
    const ReadResult r = ReadFormats(CrLf({
        "; a comment = not a key", "[A]", "INCHES = YES", "no equals sign here", " ; indented comment = reported",
        " SIZE = 50, 60 ; indented, but a key", "", "colour = red",
    }));
    ASSERT_EQ(r.reporter.messages.size(), 3u);
    EXPECT_EQ(r.reporter.messages[0].kind, FormatsMessageKind::InvalidKeyword);
    EXPECT_EQ(r.reporter.messages[0].lineNumber, 3u);
    EXPECT_EQ(r.reporter.messages[0].line, "INCHES = YES");
    EXPECT_EQ(r.reporter.messages[1].lineNumber, 5u);
    EXPECT_EQ(r.reporter.messages[2].lineNumber, 8u);
    EXPECT_EQ(FormatsMessageText(r.reporter.messages[2]),
              "Invalid keyword in configuration file : \ncolour = red\nThe line will be ignored...");
    EXPECT_EQ(r.list.at(0).height, 60);
    // The line is never used as a format string, in any language.
    const FormatsMessage m{FormatsMessageKind::InvalidKeyword, 4, "x %s %n = 1"};
    EXPECT_EQ(FormatsMessageText(m, "Ungültig: %s (%d)"), "Ungültig: x %s %n = 1 (%d)");
    EXPECT_EQ(FormatsMessageText(FormatsMessage{FormatsMessageKind::FileNotFound, 0, ""}),
              "No configuration file found. Please Reinstall Korvane.");
}

TEST(FormatsReader, SectionsAndLineEnds) {
    const ReadResult r = ReadFormats(std::string("\xEF\xBB\xBF[First]\n") +  // byte-order mark, LF only
                                     "SIZE = 1\r2, 3\r\n" +                    // a stray CR is dropped
                                     "[ Blanks kept  ]\r\n[No closing bracket\r\n[\r\n[]\r\n" +
                                     "SIZE = 1, 1\r\nCALIBRATEX = 1.5\r\n[Last]\r\nSIZE = 7, 8");  // no line end
    ASSERT_EQ(r.list.count(), 6);
    EXPECT_EQ(r.list.name(0), "First");
    EXPECT_EQ(r.list.at(0).width, 12);
    EXPECT_EQ(r.list.name(1), " Blanks kept  ");
    EXPECT_EQ(r.list.at(1).width, 100);  // a section without SIZE: 100 x 100
    EXPECT_EQ(r.list.name(2), "No closing bracke");
    EXPECT_EQ(r.list.name(3), "");
    EXPECT_EQ(r.list.name(4), "");
    EXPECT_EQ(r.list.at(5).height, 8);
    EXPECT_EQ(r.list.calibrateX, 1.5);  // between sections, for the whole list

    // Before the first section only CALIBRATEX/Y apply; unknown keys are still reported.
    const ReadResult early = ReadFormats(CrLf({"SIZE = 10, 10", "CALIBRATEY = -0.5", "bogus = 1"}));
    EXPECT_EQ(early.list.count(), 0);
    EXPECT_EQ(early.list.calibrateY, -0.5);
    ASSERT_EQ(early.reporter.messages.size(), 1u);
    EXPECT_EQ(early.reporter.messages[0].lineNumber, 3u);
}

TEST(FormatsReader, TrailerIsKeptVerbatimAndStillRead) {
    const ReadResult r = ReadFormats(CrLf({"[A]", "; ****** help", "CALIBRATEX = 2", "[X]", "; ****** again"}));
    EXPECT_EQ(r.list.trailer, CrLf({"; ****** help", "CALIBRATEX = 2", "[X]", "; ****** again"}));
    EXPECT_EQ(r.list.calibrateX, 2);
    ASSERT_EQ(r.list.count(), 2);
    EXPECT_EQ(r.list.name(1), "X");
    // The marker may stand inside a line; the trailer starts there.
    const ReadResult mid = ReadFormats("[A]\nSIZE = 3, 4 ; ****** notes\nmore");
    EXPECT_EQ(mid.list.trailer, "; ****** notes\r\nmore\r\n");
    EXPECT_EQ(mid.list.at(0).height, 4);
    EXPECT_EQ(ReadFormats("[A]\n; ***** five\n").list.trailer, "");
}

TEST(FormatsReader, RemapIsResolvedByExactName) {
    const ReadResult r = ReadFormats(CrLf({
        "[DVD]", "REMAP = Slim  ",  // trailing blanks are part of the name
        "[Slim  ]", "REMAP = dvd",  // another case: no match
        "[Twin]", "REMAP =   Twin", "[Twin]", "REMAP = Nowhere", "[Later]", "REMAP = Last", "[Last]",
    }));
    EXPECT_EQ(r.list.remapIndex(0), 1);
    EXPECT_EQ(r.list.remapIndex(1), -1);
    EXPECT_EQ(r.list.remapIndex(2), 2);  // the first of two equal names
    EXPECT_EQ(r.list.remapIndex(3), -1);
    EXPECT_EQ(r.list.remapIndex(4), 5);
    // The writer's "REMAP      = " + name finds a name that begins with a blank.
    EXPECT_EQ(ReadFormats(CrLf({"[ Lead]", "[B]", "REMAP      =  Lead"})).list.remapIndex(1), 0);

    // A second load appends, and names refer to the whole list.
    CoverFormatList list;
    list.addNew("Existing");
    CCollectingFormatsReporter reporter;
    list.loadText(CrLf({"[New]", "REMAP = Existing"}), "a.dat", reporter);
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.remapIndex(1), 0);
}

TEST(FormatsReader, FilesOnDisk) {
    TempFolder folder;
    CoverFormatList list;
    list.filePath = "/old/path";
    CCollectingFormatsReporter reporter;
    EXPECT_FALSE(list.load(folder.file("missing.dat"), reporter));
    EXPECT_FALSE(list.load(folder.path(), reporter));  // a folder opens but cannot be read
    ASSERT_EQ(reporter.messages.size(), 2u);
    EXPECT_EQ(reporter.messages[0].kind, FormatsMessageKind::FileNotFound);
    EXPECT_EQ(FormatsMessageText(reporter.messages[1]), "The formats file cannot be read: is a folder");
    EXPECT_EQ(list.filePath, "/old/path");

    // 8-bit text is kept as bytes: UTF-8 and Latin-1 names alike.
    const std::string utf8 = "Pochette \xC3\xA9t\xC3\xA9 \xF0\x9F\x92\xBF", latin1 = "Caf\xE9";
    WriteBytes(folder.file("Korvane.dat"), CrLf({"[" + utf8 + "]", "[" + latin1 + "]", "REMAP = " + utf8}));
    EXPECT_TRUE(list.load(folder.file("Korvane.dat"), reporter));
    EXPECT_EQ(list.filePath, folder.file("Korvane.dat"));
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.name(0), utf8);
    EXPECT_EQ(list.name(1), latin1);
    EXPECT_EQ(list.remapIndex(1), 0);
}

TEST(FormatsReader, AFileTooLargeSaysSoWithItsSize) {
    TempFolder folder;
    WriteBytes(folder.file("Korvane.dat"), "[A]\r\n");
    std::filesystem::resize_file(folder.file("Korvane.dat"), (64u << 20) + 1);
    CoverFormatList list;
    CCollectingFormatsReporter reporter;
    EXPECT_FALSE(list.load(folder.file("Korvane.dat"), reporter));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(FormatsMessageText(reporter.messages[0]),
              "The formats file is too large: 67108865 bytes; the limit is 67108864 bytes.");
}

TEST(FormatsReader, ManyRemapSectionsFindTheirTargets) {
    // Each section remaps to the one before it; names repeat every 1000, so
    // the first format of a name wins.
    constexpr int kSections = 200000;
    std::string text;
    text.reserve(kSections * 40);
    for (int i = 0; i < kSections; ++i) {
        text += "[F" + std::to_string(i) + "]\r\nSIZE = 10,20\r\n";
        if (i > 0) text += "REMAP = F" + std::to_string(i - 1) + "\r\n";
    }
    text += "[Dup]\r\nREMAP = F7\r\n[F7]\r\n[Last]\r\nREMAP = nowhere\r\n";
    const ReadResult r = ReadFormats(text);
    ASSERT_EQ(r.list.count(), kSections + 3);
    EXPECT_EQ(r.list.remapIndex(0), -1);
    for (int i = 1; i < kSections; i += 997) EXPECT_EQ(r.list.remapIndex(i), i - 1);
    EXPECT_EQ(r.list.remapIndex(kSections - 1), kSections - 2);
    EXPECT_EQ(r.list.remapIndex(kSections), 7);  // the first F7
    EXPECT_EQ(r.list.remapIndex(kSections + 2), -1);
}

namespace {
// Boxes as the window shows them, counted.
class CountedBoxes : public CBoxLimitFormatsReporter {
public:
    std::vector<FormatsMessage> shown;

protected:
    void show(const FormatsMessage& message) override { shown.push_back(message); }
};
}  // namespace

TEST(FormatsReader, ABinaryFileShowsAtMostElevenBoxes) {
    // A binary file: hundreds of lines with an "=" and no keyword.
    std::string bytes;
    for (int i = 0; i < 3000; ++i) bytes += static_cast<char>((i * 37 + 11) % 256);
    for (int i = 0; i < 300; ++i) bytes += "\x01\x02=\xFF\n";
    CountedBoxes boxes;
    CoverFormatList list;
    list.loadText(bytes, "Korvane.dat", boxes);
    CCollectingFormatsReporter all;
    CoverFormatList again;
    again.loadText(bytes, "Korvane.dat", all);
    ASSERT_GT(all.messages.size(), 11u);
    ASSERT_EQ(boxes.shown.size(), 11u);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(boxes.shown[i].lineNumber, all.messages[i].lineNumber);
    EXPECT_EQ(boxes.shown[10].kind, FormatsMessageKind::FurtherLinesIgnored);
    EXPECT_EQ(FormatsMessageText(boxes.shown[10]),
              std::to_string(all.messages.size() - 10) +
                  " further lines of the configuration file could not be used and were ignored.");

    // Each read counts afresh; a read with few bad lines has no summary.
    list.loadText(CrLf({"[A]", "x = 1"}), "Korvane.dat", boxes);
    ASSERT_EQ(boxes.shown.size(), 12u);
    EXPECT_EQ(boxes.shown[11].kind, FormatsMessageKind::InvalidKeyword);
}
