// The Korvane.dat that ships with the program.
#include "formats/FormatsTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {
const std::string kShipped = std::string(KORVANE_SOURCE_DIR) + "/resources/Korvane.dat";

struct Shipped : ::testing::Test {
    CoverFormatList list;
    CCollectingFormatsReporter reporter;
    void SetUp() override { ASSERT_TRUE(list.load(kShipped, reporter)); }

    const CoverFormat& named(const std::string& name) const {
        for (const CoverFormat& f : list.formats)
            if (f.name == name) return f;
        throw std::invalid_argument("no format named " + name);
    }
};

// How the program picks a format from an image's height / width (with
// automatic turning on): the closest recognition ratio upright, unless the
// first booklet or DVD sleeve matches better on its side.
std::pair<int, bool> recognise(const CoverFormatList& list, double ratio) {
    int best = 0;
    double difference = 1000;
    for (int i = 0; i < list.count(); ++i)
        if (list.autodetect(i) && std::fabs(difference) > std::fabs(list.detectRatio(i) - ratio))
            best = i, difference = list.detectRatio(i) - ratio;
    for (const char* type : {"CD_FRONT_INSIDE", "DVD"}) {
        const int ref = list.findByType(type);
        if (ref >= 0 && list.autodetect(ref) && std::fabs(difference) > std::fabs(1 / list.detectRatio(ref) - ratio))
            return {ref, true};
    }
    return {list.hasRemap(best) ? list.remapIndex(best) : best, false};
}
}  // namespace

TEST_F(Shipped, LoadsCleanlyAndSavesUnchanged) {
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_GE(list.count(), 15);
    EXPECT_EQ(ReadBytes(std::string(KORVANE_BIN_DIR) + "/Korvane.dat"), ReadBytes(kShipped));
    std::set<std::string> names;
    std::set<int> ids;
    for (const CoverFormat& f : list.formats) {
        EXPECT_TRUE(!f.name.empty() && names.insert(f.name).second) << f.name;
        // The numbers kept for format names: the covers', then the label sheets'.
        const bool named = (f.translationId >= 9000 && f.translationId <= 9025) ||
                           (f.translationId >= 9790 && f.translationId <= 9804);
        EXPECT_TRUE(named && ids.insert(f.translationId).second) << f.name;
    }
    // The file is in the writer's form: load, save, load, save changes
    // nothing; only the label sheets' lengths, given as their templates give
    // them (to 0.001 mm), are kept to the writer's tenths, within 0.05 mm.
    TempFolder folder;
    EXPECT_EQ(list.saveAs(folder.file("Korvane.dat")), 1);
    const std::string shipped = ReadBytes(kShipped), saved = ReadBytes(folder.file("Korvane.dat"));
    const std::size_t sheets = shipped.find("[Avery L6015");
    ASSERT_NE(sheets, std::string::npos);
    EXPECT_EQ(saved.substr(0, sheets), shipped.substr(0, sheets));
    EXPECT_EQ(saved.substr(saved.find("\r\n; ******")), shipped.substr(shipped.find("\r\n; ******")));
    CoverFormatList again;
    ASSERT_TRUE(again.load(folder.file("Korvane.dat"), reporter));
    ASSERT_EQ(again.count(), list.count());
    for (int i = 0; i < list.count(); ++i) {
        const CoverFormat &a = list.formats[i], &b = again.formats[i];
        EXPECT_EQ(a.name, b.name);
        for (auto [x, y] : {std::pair{a.leftX, b.leftX}, {a.leftY, b.leftY}, {a.rightX, b.rightX},
                            {a.rightY, b.rightY}, {a.width, b.width}, {a.height, b.height}, {a.holeSize, b.holeSize}})
            EXPECT_NEAR(x, y, 0.05 + 1e-9) << a.name;
    }
    EXPECT_EQ(again.save(), 1);
    EXPECT_EQ(ReadBytes(folder.file("Korvane.dat")), saved);
}

TEST_F(Shipped, HoldsTheCoversUsersPrint) {
    struct Expected {
        const char* name;
        double width, height;
        const char* type;
    };
    // The first three are fixed by their place and translation numbers 9000-9002.
    const Expected firstThree[] = {
        {"CD Front", 120, 120, "CD_FRONT"}, {"CD Back", 150, 118, "CUSTOM"}, {"CD Front + Inside", 120, 240, "CD_FRONT_INSIDE"}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list.name(i), firstThree[i].name);
        EXPECT_EQ(list.at(i).width, firstThree[i].width);
        EXPECT_EQ(list.at(i).height, firstThree[i].height);
        EXPECT_EQ(list.type(i), firstThree[i].type);
        EXPECT_EQ(list.translationId(i), 9000 + i);
    }
    EXPECT_EQ(list.findByType("CD_FRONT_INSIDE"), 2);
    // The back inlay folds along its two spines.
    std::vector<double> folds;
    for (const CutLine& l : list.at(1).lines)
        if (l.x1 == l.x2 && l.y1 == 0 && l.y2 == 118 && !l.solid) folds.push_back(l.x1);
    EXPECT_EQ(folds, (std::vector<double>{6.5, 143.5}));

    const CoverFormat& dvd = list.at(list.findByType("DVD"));
    EXPECT_EQ(dvd.width, 183);
    EXPECT_EQ(dvd.height, 273);
    std::set<double> slimSpines;
    for (const CoverFormat& f : list.formats)
        if (f.type == "SLIMLINE_DVD") slimSpines.insert(f.spine);
    EXPECT_EQ(slimSpines, (std::set<double>{7, 9}));
    EXPECT_EQ(named("Blu-ray Sleeve").height, 273);
    // PlayStation backs print with the second format's geometry; fronts are plain jewel-case fronts.
    const CoverFormat& psBack = list.at(list.findByType("PLAYSTATION"));
    EXPECT_EQ(psBack.width, list.at(1).width);
    EXPECT_EQ(psBack.height, list.at(1).height);
    EXPECT_EQ(named("PlayStation Front").type, "CD_FRONT");
    EXPECT_EQ(named("CD Label").label, 1);
    EXPECT_EQ(named("CD Label").holeSize, 41);
    EXPECT_EQ(named("Mini-CD Label").label, 1);
    EXPECT_LT(named("Mini-CD Label").width, 80);
    EXPECT_EQ(named("Photo 10 x 15").type, "PHOTO");
    EXPECT_EQ(named("Photo 10 x 15").width * named("Photo 10 x 15").height, 150 * 100);
    EXPECT_GE(list.findByType("PHOTO_ZOOMED"), 0);
    const CoverFormat& tray = list.at(list.findByType("CD_TRAY"));
    EXPECT_EQ(tray.label, 1);
    EXPECT_NE(tray.paperWidth, 210);
}

TEST_F(Shipped, RecognisedFormatsAreToldApart) {
    // Each recognisable format recognises its own proportions, also 2 % off.
    for (int i = 0; i < list.count(); ++i) {
        if (!list.autodetect(i)) continue;
        for (double off : {0.98, 1.0, 1.02})
            EXPECT_EQ(recognise(list, list.detectRatio(i) * off), std::make_pair(i, false))
                << list.name(i) << " x" << off;
    }
    EXPECT_EQ(recognise(list, 1.0).first, 0);  // a square front
    EXPECT_EQ(recognise(list, 118.0 / 150).first, 1);
    const int booklet = list.findByType("CD_FRONT_INSIDE"), dvd = list.findByType("DVD");
    EXPECT_EQ(recognise(list, 2.0), std::make_pair(booklet, false));
    EXPECT_EQ(recognise(list, 273.0 / 183), std::make_pair(dvd, false));
    for (double r : {0.49, 0.5, 0.51}) EXPECT_EQ(recognise(list, r), std::make_pair(booklet, true)) << r;
    for (double r : {0.66, 183.0 / 273, 0.68}) EXPECT_EQ(recognise(list, r), std::make_pair(dvd, true)) << r;
}

// Placed as the layout places it on an A4 sheet (or its tray), every cover
// and cut mark lies on the paper, and covers that share the sheet stay in
// their half.
TEST_F(Shipped, CoversFitOnTheirPaper) {
    const double sheetW = 210, sheetH = 297, printableH = 297 - 2 * 4.2;
    for (int i = 0; i < list.count(); ++i) {
        const CoverFormat& f = list.at(i);
        const bool tray = f.type == "CD_TRAY";
        const double paperW = tray ? f.paperWidth : sheetW, paperH = tray ? f.paperHeight : sheetH;
        for (int which : {0, 1}) {
            const FormatPosition p = list.position(i, which, false);
            double x = p.x, y = p.y;
            if (p.x == AUTO_POSITION) {
                ASSERT_FALSE(tray) << f.name << ": the tray preview needs a fixed position";
                const bool shares = f.type == "CD_FRONT" || 2 * f.height <= printableH;
                x = (sheetW - f.width) / 2;
                if (f.type == "CD_FRONT")
                    y = which == 0 ? sheetH / 2 - f.height : sheetH / 2;
                else
                    y = !shares ? (sheetH - f.height) / 2 : which * sheetH / 2 + (sheetH / 2 - f.height) / 2;
                if (shares) {
                    EXPECT_GE(y, which * sheetH / 2) << f.name;
                    EXPECT_LE(y + f.height, (which + 1) * sheetH / 2) << f.name;
                }
            }
            EXPECT_TRUE(x >= 0 && y >= 0 && x + f.width <= paperW && y + f.height <= paperH) << f.name;
            for (const CutLine& l : f.lines) {
                ASSERT_LT(l.x1, AUTO_POSITION) << f.name << ": edge lines would cross the other cover";
                EXPECT_TRUE(std::min(x + l.x1, x + l.x2) >= 0 && std::max(x + l.x1, x + l.x2) <= paperW) << f.name;
                EXPECT_TRUE(std::min(y + l.y1, y + l.y2) >= 0 && std::max(y + l.y1, y + l.y2) <= paperH) << f.name;
            }
        }
        EXPECT_LT(f.holeSize, f.width) << f.name;
    }
}

TEST_F(Shipped, TrailerDocumentsEveryKeyword) {
    ASSERT_EQ(list.trailer.rfind("; ******", 0), 0u);
    // Only comments below the marker, so that nothing there changes the list.
    for (std::size_t at = 0; at < list.trailer.size(); at = list.trailer.find("\r\n", at) + 2)
        EXPECT_EQ(list.trailer[at], ';') << list.trailer.substr(at, 40);
    for (const char* word : {"SIZE", "POSITION ", "POSITION2", "AUTO", "MIRROR", "PAPER ", "LABEL", "HOLESIZE",
                             "AUTODETECT", "REMAP", "SPINE", "PAPERSOURCE", "MEDIATYPE", "TRANSLATION_ID", "LINE",
                             "RECT", "SOLID", "DASHED", "LEFT", "BOTTOM", "CALIBRATEX", "CALIBRATEY", "INCHES"})
        EXPECT_NE(list.trailer.find(word), std::string::npos) << word;
    for (const char* type : kFormatTypeNames)
        EXPECT_NE(list.trailer.find(std::string("TYPE       = ") + type), std::string::npos) << type;
}
