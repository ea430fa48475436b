// The writer's output is read back to the same list, and saving what was
// read gives the same bytes again.
#include "formats/FormatsTestUtil.h"

#include <gtest/gtest.h>

#include <random>

namespace {
class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    // A length with one decimal, as the file keeps it.
    double length(int lo = -3000, int hi = 3000) { return between(lo, hi) / 10.0; }
    // A coordinate: usually a length, sometimes one of the keyword markers.
    double coordinate() {
        static const double markers[] = {MARKER_MIN, MARKER_MAX, MIRROR_POSITION, -1.0};
        return chance(10) ? markers[between(0, 3)] : length();
    }

    CoverFormat format(int index, int count) {
        static const char* const names[] = {"CD Front", "Pochette \xC3\xA9t\xC3\xA9", "A=B (1.0), x", "Trailing  ",
                                            "[nested]", "Caf\xE9", "MAX TOP LEFT", "Blu-ray 1.0"};
        CoverFormat f = CoverFormat::FromFileSection(std::string(names[index % 8]) + " #" + std::to_string(index));
        f.width = length(0, 3000);
        f.height = length(0, 3000);
        if (chance(70)) {
            f.leftX = coordinate();
            f.leftY = coordinate();
        } else {
            f.leftX = f.leftY = AUTO_POSITION;
        }
        if (chance(20)) {
            f.rightX = f.rightY = MIRROR_POSITION;
        } else if (chance(50)) {
            f.rightX = coordinate();
            f.rightY = coordinate();
        } else {
            f.rightX = f.rightY = AUTO_POSITION;
        }
        f.type = kFormatTypeNames[between(0, 8)];
        if (f.type == "CD_TRAY") {
            f.paperWidth = length(0, 4000);
            f.paperHeight = length(0, 4000);
        }
        if (chance(30)) {
            f.label = 1;
            f.holeSize = length(0, 500);
        }
        if (chance(60)) {
            f.autodetect = 1;
            if (chance(50)) {
                f.detectWidth = length(1, 3000);
                f.detectHeight = length();
            }
        }
        if (chance(40)) f.spine = length(0, 300);
        if (chance(30)) f.remapIndex = between(0, count - 1);
        if (chance(30)) f.paperSource = between(0, 300);
        if (chance(30)) f.mediaType = between(-50, 300);
        if (f.paperSource == -1 && chance(10)) f.paperSource = -7;
        if (chance(50)) f.translationId = between(-5, 9025);
        for (int n = between(0, 6); n > 0; --n) {
            if (chance(30))
                f.lines.push_back(CutLine{5001.0 + between(0, 3), 0, 0, 0, between(0, 1)});
            else
                f.lines.push_back(CutLine{length(), coordinate(), coordinate(), coordinate(), between(0, 1)});
        }
        for (int n = between(0, 3); n > 0; --n)
            f.rects.push_back(CutRect{coordinate(), coordinate(), coordinate(), coordinate(), between(0, 1)});
        return f;
    }

    // A line of text built from pieces of the file's grammar.
    std::string line() {
        static const char* const pieces[] = {
            "[",      "]",      "=",     " ",        ",",     "(",      ")",         "; ******", ";",
            "SIZE",   "PAPER",  "SPINE", "POSITION", "2",     "AUTO",   "MIRROR",    "LINE",     "RECT",
            "LABEL",  "YES",    "NO",    "REMAP",    "TYPE",  "INCHES", "CALIBRATEX", "LEFT",    "TOP",
            "MAX",    "MIN",    "1.5",   "-20",      "1E400", ".",      "5000",      "5001",     "HOLESIZE",
            "SOLID",  "\t",     "x",     "\xC3\xA9", "\r",    "5000.96", "0.04",     "AUTODETECT", "CD_TRAY",
        };
        std::string s;
        for (int n = between(0, 8); n > 0; --n) s += pieces[between(0, static_cast<int>(std::size(pieces)) - 1)];
        return s;
    }

private:
    std::mt19937 rng_;
};
}  // namespace

TEST(FormatsRoundTrip, GeneratedFormatsReadBackUnchanged) {
    Generator gen(20240611);
    for (int round = 0; round < 60; ++round) {
        CoverFormatList list;
        const int count = gen.between(1, 8);
        for (int i = 0; i < count; ++i) list.formats.push_back(gen.format(i, count));
        if (gen.chance(50)) list.calibrateX = gen.length(-100, 100);
        if (gen.chance(50)) list.calibrateY = gen.length(-100, 100);
        if (gen.chance(70)) list.trailer = CrLf({"; ****** notes", "; SIZE = 1, 2", ""});

        const std::string text = list.fileText();
        const ReadResult back = ReadFormats(text);
        EXPECT_TRUE(back.reporter.messages.empty()) << back.reporter.messages[0].line;
        ASSERT_EQ(back.list.formats, Normalised(list.formats)) << text;
        EXPECT_EQ(back.list.calibrateX, list.calibrateX);
        EXPECT_EQ(back.list.calibrateY, list.calibrateY);
        EXPECT_EQ(back.list.trailer, list.trailer);
        EXPECT_EQ(back.list.fileText(), text);
    }
}

// Whatever a hand-edited file holds, the first save settles it: saving what
// was read back gives the same bytes, and no format is added twice.
TEST(FormatsRoundTrip, AnyTextSettlesAfterOneSave) {
    Generator gen(7);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int n = gen.between(0, 25); n > 0; --n) text += gen.line() + (gen.chance(80) ? "\r\n" : "\n");
        const ReadResult first = ReadFormats(text);
        const std::string saved = first.list.fileText();
        const ReadResult second = ReadFormats(saved);
        ASSERT_EQ(second.list.count(), first.list.count()) << text;
        const std::string again = second.list.fileText();
        ASSERT_EQ(again, saved) << "input:\n" << text << "\nfirst save:\n" << saved;
    }
}
