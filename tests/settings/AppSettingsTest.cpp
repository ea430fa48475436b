// The running values: their defaults, the moments they are read and the
// file a run leaves behind.
#include <gtest/gtest.h>

#include "TempFolder.h"
#include "settings/AppSettings.h"
#include "settings/TextFile.h"

namespace {

class AppSettingsTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string cfg = dir.File("Korvane.cfg");
};

TEST_F(AppSettingsTest, FirstRunReadsEveryDefault) {
    CSettingsStore store(cfg);
    AppSettings s;
    s.showSplash = 7;  // every read replaces what was there
    s.recentFileLeft = "stale";
    ReadStartSettings(s, store);
    ReadViewStartSettings(s, store);
    ReadWindowPosition(s, store);

    EXPECT_EQ(s.language, -1);
    EXPECT_EQ(s.lastRanVersion, 0);
    EXPECT_EQ(s.leftAutoFiles, "front;front + inside;-f");
    EXPECT_EQ(s.rightAutoFiles, "back;back;-b");
    EXPECT_EQ(s.leftKeywords, (std::vector<std::string>{"front", "front + inside", "-f"}));
    EXPECT_EQ(s.rightKeywords, (std::vector<std::string>{"back", "back", "-b"}));
    EXPECT_EQ(s.showSplash, 1);
    EXPECT_EQ(s.grayScale, 0);
    EXPECT_EQ(s.checkForUpdates, 1);
    EXPECT_EQ(s.useProxy, 0);
    EXPECT_EQ(s.proxy, "server:port");
    EXPECT_EQ(s.drawCutAndFoldLines, 1);
    EXPECT_EQ(s.autoRotate, 1);
    EXPECT_EQ(s.batchMode, 0);
    EXPECT_EQ(s.checkForPrintableArea, 1);
    EXPECT_EQ(s.maskPrintJobName, 0);
    EXPECT_EQ(s.printJobName, "Microsoft Word - Document1");
    EXPECT_EQ(s.autoLoad2ndImage, 1);
    EXPECT_EQ(s.reloadOnStartup, 1);
    EXPECT_EQ(s.recentFileLeft, "");
    EXPECT_EQ(s.recentFileRight, "");
    EXPECT_EQ(s.autoDetectFormat, 1);
    EXPECT_EQ(s.lastUsedLeftFormat, 0);
    EXPECT_EQ(s.lastUsedRightFormat, 0);
    EXPECT_EQ(s.selectedSkin, -1);
    EXPECT_EQ(s.printBorder, 1);
    EXPECT_EQ(s.positionX, -1);
    EXPECT_EQ(s.positionY, 0);
    EXPECT_EQ(ReadShowPreview(store), 1);
    EXPECT_EQ(ReadLastUsedFolder(store), "");
}

TEST_F(AppSettingsTest, FirstRunLeavesSectionsAndKeysInWritingOrder) {
    AppSettings s;
    {
        CSettingsStore store(cfg);
        ReadStartSettings(s, store);
        ReadViewStartSettings(s, store);
        ReadWindowPosition(s, store);
        // Shut-down: the window, then the view inside it, then the program.
        WriteWindowPosition(s, store);
        WriteViewCloseSettings(s, store);
        ASSERT_TRUE(WriteExitSettings(s, 6, store));
    }
    // Each new key becomes the first line of its section.
    const std::string expected =
        "[Position]\r\n"
        "Y = 0\r\n"
        "X = -1\r\n"
        "\r\n"
        "[Options]\r\n"
        "Language = 6\r\n"
        "GrayScale = 0\r\n"
        "ShowSplash = 1\r\n"
        "Proxy = \"server:port\"\r\n"
        "UseProxy = 0\r\n"
        "RightAutoFiles = \"back;back;-b\"\r\n"
        "LeftAutoFiles = \"front;front + inside;-f\"\r\n"
        "PrintJobName = \"Microsoft Word - Document1\"\r\n"
        "CheckForUpdates = 1\r\n"
        "Print Border = 1\r\n"
        "SelectedSkin = -1\r\n"
        "LastUsedRightFormat = 0\r\n"
        "LastUsedLeftFormat = 0\r\n"
        "BatchMode = 0\r\n"
        "AutoDetectFormat = 1\r\n"
        "RecentFileRight = \"\"\r\n"
        "RecentFileLeft = \"\"\r\n"
        "ReloadOnStartup = 1\r\n"
        "AutoLoad2ndImage = 1\r\n"
        "MaskPrintJobName = 0\r\n"
        "AutoRotate = 1\r\n"
        "DrawCutAndFoldLines = 1\r\n"
        "CheckForPrintableArea = 1\r\n"
        "\r\n"
        "[Settings]\r\n"
        "LastRanVersion = 123\r\n";
    EXPECT_EQ(DecodeTextBytes(dir.Read("Korvane.cfg")), expected);
    EXPECT_EQ(dir.Read("Korvane.cfg").substr(0, 2), "\xFF\xFE");
}

TEST_F(AppSettingsTest, ASecondRunGetsBackWhatTheFirstLeft) {
    AppSettings first;
    first.recentFileLeft = "/covers/[2019] \"Live\"/front.jpg";
    first.recentFileRight = "/covers/[2019] \"Live\"/back.jpg";
    first.drawCutAndFoldLines = 0;
    first.lastUsedLeftFormat = 4;
    first.lastUsedRightFormat = 5;
    first.selectedSkin = 3;
    first.printBorder = 0;
    first.showSplash = 0;
    first.grayScale = 1;
    first.positionX = 40;
    first.positionY = 60;
    {
        CSettingsStore store(cfg);
        WriteWindowPosition(first, store);
        WriteViewCloseSettings(first, store);
        WriteShowPreview(0, store);
        WriteLastUsedFolder("/covers/[2019]", store);
        ASSERT_TRUE(WriteExitSettings(first, 11, store));
    }
    CSettingsStore store(cfg);
    AppSettings second;
    ReadStartSettings(second, store);
    ReadViewStartSettings(second, store);
    ReadWindowPosition(second, store);
    EXPECT_EQ(second.language, 11);
    EXPECT_EQ(second.lastRanVersion, 123);
    EXPECT_EQ(second.recentFileLeft, first.recentFileLeft);
    EXPECT_EQ(second.recentFileRight, first.recentFileRight);
    EXPECT_EQ(second.drawCutAndFoldLines, 0);
    EXPECT_EQ(second.lastUsedLeftFormat, 4);
    EXPECT_EQ(second.lastUsedRightFormat, 5);
    EXPECT_EQ(second.selectedSkin, 3);
    EXPECT_EQ(second.printBorder, 0);
    EXPECT_EQ(second.showSplash, 0);
    EXPECT_EQ(second.grayScale, 1);
    EXPECT_EQ(second.positionX, 40);
    EXPECT_EQ(second.positionY, 60);
    EXPECT_EQ(ReadShowPreview(store), 0);
    EXPECT_EQ(ReadLastUsedFolder(store), "/covers/[2019]");
}

TEST_F(AppSettingsTest, TypedOptionsSurviveTheNextStart) {
    AppSettings first;
    first.leftAutoFiles = "Vorne;;cover [a];x";
    first.rightAutoFiles = "Hinten;tray;\"b\";";
    first.printJobName = "Budget 2027 [final]";
    first.useProxy = 1;
    first.proxy = "cache.local:3128";
    {
        CSettingsStore store(cfg);
        WriteViewCloseSettings(first, store);
        ASSERT_TRUE(WriteExitSettings(first, 0, store));
    }
    CSettingsStore store(cfg);
    AppSettings second;
    ReadStartSettings(second, store);
    ReadViewStartSettings(second, store);
    EXPECT_EQ(second.leftAutoFiles, first.leftAutoFiles);
    EXPECT_EQ(second.rightAutoFiles, first.rightAutoFiles);
    EXPECT_EQ(second.leftKeywords, (std::vector<std::string>{"Vorne", "", "cover [a]", "x"}));
    EXPECT_EQ(second.rightKeywords, (std::vector<std::string>{"Hinten", "tray", "\"b\""}));
    EXPECT_EQ(second.printJobName, first.printJobName);
    EXPECT_EQ(second.useProxy, 1);
    EXPECT_EQ(second.proxy, "cache.local:3128");
}

TEST_F(AppSettingsTest, HandEditedSettingsAreReadAndWrittenBackInTheProgramsSpelling) {
    // As a user types them: no quotes, no blanks, the key in another case.
    dir.Write("Korvane.cfg",
              "[Options]\nUseProxy=1\nProxy=cache.local:3128\nLeftAutoFiles=cover;;inlay;\n"
              "RightAutoFiles = \"back;x;tray\"\nPrintJobName=Report\nAutoload2ndImage=0\n");
    CSettingsStore store(cfg);
    AppSettings s;
    ReadStartSettings(s, store);
    ReadViewStartSettings(s, store);
    EXPECT_EQ(s.useProxy, 1);
    EXPECT_EQ(s.proxy, "cache.local:3128");
    EXPECT_EQ(s.leftKeywords, (std::vector<std::string>{"cover", "", "inlay"}));
    EXPECT_EQ(s.rightKeywords, (std::vector<std::string>{"back", "x", "tray"}));
    EXPECT_EQ(s.printJobName, "Report");
    EXPECT_EQ(s.autoLoad2ndImage, 0);

    // The view writes the key in its own spelling over the hand-written line.
    WriteViewCloseSettings(s, store);
    EXPECT_EQ(store.GetCfgInt("Options", "AutoLoad2ndImage", 1), 0);
    EXPECT_EQ(store.Text().find("Autoload2ndImage"), std::string::npos);
    EXPECT_EQ(store.GetCfgString("Options", "Proxy", ""), "cache.local:3128");
    EXPECT_EQ(store.GetCfgString("Options", "LeftAutoFiles", ""), "cover;;inlay;");
}

TEST(AutoFilesSplit, CutsAtEverySemicolon) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitAutoFiles("front;front + inside;-f"), (V{"front", "front + inside", "-f"}));
    EXPECT_EQ(SplitAutoFiles(""), V{});
    EXPECT_EQ(SplitAutoFiles("one"), V{"one"});
    EXPECT_EQ(SplitAutoFiles(";"), V{""});
    EXPECT_EQ(SplitAutoFiles("a;"), V{"a"});
    EXPECT_EQ(SplitAutoFiles(";;x"), (V{"", "", "x"}));
    EXPECT_EQ(SplitAutoFiles("a;;b;"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitAutoFiles(" a ; b "), (V{" a ", " b "}));
}

TEST(VersionNumber, IsTheVersionTextTimesAHundredRounded) {
    EXPECT_EQ(CurrentVersionNumber(), 123);
    EXPECT_EQ(VersionNumber("1.23"), 123);  // 1.23 * 100 is just below 123
    EXPECT_EQ(VersionNumber("2.07"), 207);
    EXPECT_EQ(VersionNumber("1"), 100);
    EXPECT_EQ(VersionNumber("x"), 0);
}

}  // namespace

namespace {
// The pictures' default fit and the bleed: written only once chosen, read
// in the C locale's notation and kept to the bleed's range.
TEST(PictureFitSettings, WrittenOnlyWhenChosenAndReadBackInRange) {
    TempFolder dir;
    const std::string cfg = dir.File("Korvane.cfg");
    {
        CSettingsStore store(cfg);
        AppSettings s;
        WriteViewCloseSettings(s, store);
        ASSERT_TRUE(store.SaveCfgFile());
    }
    {
        CSettingsStore store(cfg);
        EXPECT_EQ(store.Text().find("PictureFit"), std::string::npos);
        EXPECT_EQ(store.Text().find("BleedMm"), std::string::npos);
        AppSettings s;
        s.pictureFit = 2;
        s.bleedMm = 1.5;
        WriteViewCloseSettings(s, store);
        ASSERT_TRUE(store.SaveCfgFile());
    }
    {
        CSettingsStore store(cfg);
        AppSettings s;
        ReadViewStartSettings(s, store);
        EXPECT_EQ(s.pictureFit, 2);
        EXPECT_DOUBLE_EQ(s.bleedMm, 1.5);
        EXPECT_EQ(store.GetCfgString("Options", "BleedMm", ""), "1.5");
        store.WriteCfgString("Options", "BleedMm", "12");
        store.WriteCfgInt("Options", "PictureFit", 9);
        ReadViewStartSettings(s, store);
        EXPECT_DOUBLE_EQ(s.bleedMm, 3.0);
        EXPECT_EQ(s.pictureFit, 2);
        store.WriteCfgString("Options", "BleedMm", "1,5");  // not the C locale's number: read as far as it goes
        ReadViewStartSettings(s, store);
        EXPECT_DOUBLE_EQ(s.bleedMm, 1.0);
        // Back to the defaults: the keys go.
        s.pictureFit = 0;
        s.bleedMm = 0;
        WriteViewCloseSettings(s, store);
        EXPECT_EQ(store.Text().find("PictureFit"), std::string::npos);
        EXPECT_EQ(store.Text().find("BleedMm"), std::string::npos);
    }
}

TEST(RecentPictures, MostRecentFirstWithoutDuplicatesAndAtMostEight) {
    AppSettings s;
    for (int i = 1; i <= 10; ++i) RememberRecentPicture(s, "/c/" + std::to_string(i) + ".jpg");
    ASSERT_EQ(s.recentPictures.size(), 8u);
    EXPECT_EQ(s.recentPictures.front(), "/c/10.jpg");
    EXPECT_EQ(s.recentPictures.back(), "/c/3.jpg");
    RememberRecentPicture(s, "/c/5.jpg");  // opened again: to the top, once
    EXPECT_EQ(s.recentPictures.front(), "/c/5.jpg");
    EXPECT_EQ(std::count(s.recentPictures.begin(), s.recentPictures.end(), "/c/5.jpg"), 1);
    EXPECT_EQ(s.recentPictures.size(), 8u);
    RememberRecentPicture(s, "");
    EXPECT_EQ(s.recentPictures.front(), "/c/5.jpg");
}

TEST(RecentPictures, AnyPathSurvivesTheSettingsFile) {
    const std::vector<std::string> paths = {
        "/covers/[2019] \"Live\"; part 1/front 100%5B.jpg",  // ; % [ ] " and the store's own escape
        "/home/ann/Hüllen/Rückseite.png",
        "/odd/line\r\nbreak\tand tab.jpg",
    };
    TempFolder dir;
    {
        CSettingsStore store(dir.File("Korvane.cfg"));
        AppSettings first;
        first.recentPictures = paths;
        WriteViewCloseSettings(first, store);
        ASSERT_TRUE(store.SaveCfgFile());
    }
    CSettingsStore store(dir.File("Korvane.cfg"));
    AppSettings second;
    ReadViewStartSettings(second, store);
    EXPECT_EQ(second.recentPictures, paths);
    // One line of text with no line break, whatever the paths hold.
    const std::string value = JoinRecentPictures(paths);
    EXPECT_EQ(value.find_first_of("\r\n\t"), std::string::npos);
    EXPECT_EQ(SplitRecentPictures(value), paths);
}

TEST(RecentPictures, OldAndHandEditedSettingsGiveAUsableList) {
    TempFolder dir;
    dir.Write("Korvane.cfg", "[Options]\r\nRecentFileLeft = \"/a.jpg\"\r\n");
    CSettingsStore store(dir.File("Korvane.cfg"));
    AppSettings s;
    s.recentPictures = {"stale"};
    ReadViewStartSettings(s, store);
    EXPECT_TRUE(s.recentPictures.empty());
    EXPECT_EQ(SplitRecentPictures(";/a.jpg;;/a.jpg;/b%2.jpg;/c%3b.jpg;"),
              (std::vector<std::string>{"/a.jpg", "/b%2.jpg", "/c;.jpg"}));
    EXPECT_EQ(SplitRecentPictures("1;2;3;4;5;6;7;8;9;10").size(), 8u);
    // A run that opened nothing writes no key, and an emptied list removes it.
    WriteViewCloseSettings(s, store);
    EXPECT_EQ(store.Text().find("RecentPictures"), std::string::npos);
    s.recentPictures = {"/x.jpg"};
    WriteViewCloseSettings(s, store);
    EXPECT_NE(store.Text().find("RecentPictures = \"/x.jpg\""), std::string::npos);
    s.recentPictures.clear();
    WriteViewCloseSettings(s, store);
    EXPECT_EQ(store.Text().find("RecentPictures"), std::string::npos);
}

}  // namespace
