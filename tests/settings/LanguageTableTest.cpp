// The language table over real language files in a temporary folder, with
// an in-memory menu bar and dialog standing for the windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "FakeMenu.h"
#include "TempFolder.h"
#include "settings/AppSettings.h"
#include "settings/LanguageFile.h"
#include "settings/LanguageTable.h"
#include "settings/SettingsStore.h"

namespace {

constexpr int kDutch = 1, kSpanish = 2, kFrench = 5, kGerman = 6, kPortuguese = 11, kBrazilian = 14;

class LanguageTableTest : public ::testing::Test {
protected:
    TempFolder dir;
    CLanguageTable table{dir.Path()};

    void WriteLanguage(int index, const std::string& bytes) {
        dir.Write(std::string(Languages()[index].fileName) + ".lng", bytes);
    }
    // Selects a language from a file holding `bytes`.
    void Use(int index, const std::string& bytes) {
        WriteLanguage(index, bytes);
        table.SelectLanguage(index);
        ASSERT_EQ(table.GetCurrentLanguage(), index);
    }
};

// --- The fixed lists --------------------------------------------------------

TEST(LanguageLists, HoldTheNumbersInTheirFixedOrder) {
    const auto& numbers = CLanguageTable::TextNumbers();
    // Every number once, in a fixed order; later texts join the
    // list (the format editor's after 7038, calibration and Print Setup at the end).
    ASSERT_GE(numbers.size(), 195u);
    EXPECT_EQ(std::set<int>(numbers.begin(), numbers.end()).size(), numbers.size());
    EXPECT_EQ(numbers.front(), 1000);
    EXPECT_LT(CLanguageTable::RowOf(9024), CLanguageTable::RowOf(9025));
    EXPECT_GT(CLanguageTable::RowOf(9550), CLanguageTable::RowOf(9025));
    EXPECT_EQ(CLanguageTable::RowOf(1000), 0);
    EXPECT_EQ(CLanguageTable::RowOf(3000), 8);
    EXPECT_EQ(CLanguageTable::RowOf(3029), 67);
    EXPECT_EQ(CLanguageTable::RowOf(4000), 68);
    EXPECT_EQ(CLanguageTable::RowOf(3042), -1);
    EXPECT_EQ(CLanguageTable::RowOf(0), -1);
}

TEST(LanguageLists, MenuRowsCoverEveryMenuNumberOnce) {
    std::set<int> menuNumbers;
    for (const auto& row : MenuTextRows()) {
        EXPECT_GE(row.depth, 1);
        EXPECT_LE(row.depth, 3);
        EXPECT_TRUE(menuNumbers.insert(row.number).second) << row.number;
    }
    std::set<int> expected;
    for (int n = 3000; n <= 3060; ++n)
        if (n != 3025 && n != 3042) expected.insert(n);
    expected.insert(7039);  // Options > Edit Formats File...
    expected.insert(9500);  // Print Calibration Page...
    expected.insert(9720);  // File > Find Cover Online...
    expected.insert(9721);  // File > Scan Cover...
    expected.insert(9816);  // Swap Left and Right
    expected.insert(9815);  // Recent Files
    EXPECT_EQ(menuNumbers, expected);
}

TEST(LanguageLists, EveryNumberHasAnEnglishTextButTheEmptyOnes) {
    for (int n : CLanguageTable::TextNumbers()) {
        // Format names registered by the formats file: the covers', the label sheets'.
        const bool empty = n == 3025 || (n >= 9003 && n <= 9025) || (n >= 9790 && n <= 9804);
        EXPECT_EQ(BuiltinEnglishText(n).empty(), empty) << n;
    }
}

TEST(LanguageLists, LanguagesKnowTheirMenuItems) {
    EXPECT_EQ(LanguageIndexForCommand(32773), 0);
    EXPECT_EQ(LanguageIndexForCommand(32774), kGerman);
    EXPECT_EQ(LanguageIndexForCommand(32840), 27);
    EXPECT_EQ(LanguageIndexForCommand(32789), -1);
    for (int i = 0; i < kLanguageCount; ++i)
        EXPECT_TRUE(std::string(BuiltinEnglishText(Languages()[i].menuTextNumber))
                        .starts_with(std::string(Languages()[i].fileName).substr(0, 5)))
            << i;
}

// --- Looking up -------------------------------------------------------------

TEST_F(LanguageTableTest, StartsInEnglishWithEveryLanguageAvailable) {
    EXPECT_EQ(table.GetCurrentLanguage(), 0);
    for (int i = 0; i < kLanguageCount; ++i) EXPECT_TRUE(table.IsLanguageAvailable(i));
    EXPECT_FALSE(table.IsLanguageAvailable(-1));
    EXPECT_FALSE(table.IsLanguageAvailable(28));
    EXPECT_EQ(table.GetText(1000), "Ready To Print Some Covers ?");
    EXPECT_EQ(table.GetText(6001), "Starting batch job. Printing %d images...");
}

TEST_F(LanguageTableTest, UnknownNumbersGiveQuestionMarks) {
    EXPECT_EQ(table.GetText(1234), "???");
    EXPECT_EQ(table.GetText(3042), "???");
    EXPECT_EQ(table.GetText(-1, true), "???");
    table.SetEnglishText(1234, "ignored");
    EXPECT_EQ(table.GetText(1234), "???");
}

TEST_F(LanguageTableTest, PlainFormDropsAccessKeysDotsAndColons) {
    EXPECT_EQ(table.GetText(3029, true), "About Korvane");
    EXPECT_EQ(table.GetText(3029), "&About Korvane...");
    EXPECT_EQ(table.GetText(7006, true), "Name");
    EXPECT_EQ(table.GetText(3001, true), "New\tCtrl+N");
    EXPECT_EQ(PlainText("Print Pre&view..."), "Print Preview");
    EXPECT_EQ(PlainText("a...:"), "a...");
    EXPECT_EQ(PlainText("&&:::"), "");
    EXPECT_EQ(PlainText(".."), "..");
}

TEST_F(LanguageTableTest, RegisteredEnglishTextsAreUsed) {
    EXPECT_EQ(table.GetText(9005), "");
    table.SetEnglishText(9005, "DVD Slim");
    EXPECT_EQ(table.GetText(9005), "DVD Slim");
    Use(kGerman, "9000=CD Vorderseite\r\n");
    EXPECT_EQ(table.GetText(9005), "DVD Slim");
    EXPECT_EQ(table.GetText(9000), "CD Vorderseite");
}

// --- Language files ---------------------------------------------------------

TEST_F(LanguageTableTest, AFileWithOneEntryTranslatesOnlyThatText) {
    Use(kDutch, "[Dutch]\r\n3000=&Bestand\r\n");
    EXPECT_EQ(table.GetText(3000), "&Bestand");
    EXPECT_EQ(table.GetText(3001), "&New\tCtrl+N");
    EXPECT_EQ(table.GetText(1000), "Ready To Print Some Covers ?");
}

TEST_F(LanguageTableTest, EscapesAreReplacedAndTrailingWhiteSpaceRemoved) {
    Use(kGerman,
        "6001=Starte Stapeldruck. Drucke %d Bilder...\\n\r\n"
        "4000=Zeile:\\n%s\\tZ\\rE\r\n"
        "1000=   Fertig   \r\n"
        "3001=&Neu\\tStrg+N\\t \r\n"
        "2006=kein\\\\nBild\r\n"
        "2010=Ende\\");  // a backslash at the very end of the file
    EXPECT_EQ(table.GetText(6001), "Starte Stapeldruck. Drucke %d Bilder...");
    EXPECT_EQ(table.GetText(4000), "Zeile:\n%s\tZ\rE");
    EXPECT_EQ(table.GetText(1000), "   Fertig");
    EXPECT_EQ(table.GetText(3001), "&Neu\tStrg+N");
    EXPECT_EQ(table.GetText(2006), "kein\\\nBild");
    EXPECT_EQ(table.GetText(2010), "Ende\\");
}

TEST_F(LanguageTableTest, FirstOccurrenceOfTheNumberWins) {
    Use(kFrench, "; 3001=old entry, kept for reference\r\n3001=&Nouveau\r\n2007=x 2008=dans le texte\r\n2008=Imprimer les deux\r\n");
    EXPECT_EQ(table.GetText(3001), "old entry, kept for reference");
    EXPECT_EQ(table.GetText(2008), "dans le texte");
}

TEST_F(LanguageTableTest, EmptyEntriesFallBackToEnglish) {
    Use(kSpanish, "1000=\r\n2007=   \\t\r\n3000=&Archivo");
    EXPECT_EQ(table.GetText(1000), "Ready To Print Some Covers ?");
    EXPECT_EQ(table.GetText(2007), "Print Left");
    EXPECT_EQ(table.GetText(3000), "&Archivo");
}

TEST_F(LanguageTableTest, ReadsUtf16AndEightBitFiles) {
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : std::u16string(u"3000=Fen\u00EAtre \U0001F4BF\n7036=Nouveau format\n")) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    Use(kFrench, utf16);
    EXPECT_EQ(table.GetText(3000), "Fen\xC3\xAAtre \xF0\x9F\x92\xBF");
    EXPECT_EQ(table.GetText(7036), "Nouveau format");

    Use(kGerman, "7000=Format-Editor f\xFCr H\xFCllen\r\n");  // Latin-1
    EXPECT_EQ(table.GetText(7000), "Format-Editor f\xC3\xBCr H\xC3\xBCllen");

    Use(kSpanish, "\xEF\xBB\xBF" "3000=Men\xC3\xBA\r");  // UTF-8, old Mac line end
    EXPECT_EQ(table.GetText(3000), "Men\xC3\xBA");
}

TEST_F(LanguageTableTest, AMissingFileLeavesEnglishCurrent) {
    Use(kDutch, "3000=&Bestand\r\n");
    table.SelectLanguage(kGerman);  // no file
    EXPECT_EQ(table.GetCurrentLanguage(), 0);
    EXPECT_EQ(table.GetText(3000), "&File");
    EXPECT_TRUE(table.IsLanguageAvailable(kGerman));  // until the files are probed
}

TEST_F(LanguageTableTest, OutOfRangeIndicesChangeNothing) {
    Use(kDutch, "3000=&Bestand\r\n");
    for (int i : {-1, 28, 29, 1000}) {
        table.SelectLanguage(i);
        EXPECT_EQ(table.GetCurrentLanguage(), kDutch);
    }
    table.SelectLanguage(0);
    EXPECT_EQ(table.GetCurrentLanguage(), 0);
}

TEST_F(LanguageTableTest, AHugeFileIsNotLoadedButStaysTheChosenLanguage) {
    WriteLanguage(kDutch, "3000=&Bestand\r\n");
    std::filesystem::resize_file(table.LanguageFilePath(kDutch), kMaxLanguageFileSize + 1);
    table.SelectLanguage(kDutch);
    EXPECT_EQ(table.GetCurrentLanguage(), 0);
    EXPECT_EQ(table.GetText(3000), "&File");
    // The settings keep Dutch: English stands in for this run only.
    EXPECT_EQ(table.GetChosenLanguage(), kDutch);
    TempFolder settings;
    CSettingsStore store(settings.File("Korvane.cfg"));
    ASSERT_TRUE(WriteExitSettings(AppSettings{}, table.GetChosenLanguage(), store));
    EXPECT_EQ(CSettingsStore(settings.File("Korvane.cfg")).GetCfgInt("Options", "Language", -1), kDutch);

    // Choosing English afterwards is a choice like any other.
    table.SelectLanguage(0);
    EXPECT_EQ(table.GetChosenLanguage(), 0);
}

// --- Choosing by the system's language ---------------------------------------

TEST_F(LanguageTableTest, SystemLanguageChoosesTheFirstLanguageWithItsId) {
    WriteLanguage(kPortuguese, "3000=&Arquivo\r\n");
    WriteLanguage(kBrazilian, "3000=&Arquivo BR\r\n");
    WriteLanguage(kDutch, "3000=&Bestand\r\n");
    table.SelectLanguageForSystem(0x16);
    EXPECT_EQ(table.GetCurrentLanguage(), kPortuguese);
    table.SelectLanguageForSystem(0x13);  // Dutch before Mestreechs
    EXPECT_EQ(table.GetCurrentLanguage(), kDutch);
    table.SelectLanguageForSystem(0x09);
    EXPECT_EQ(table.GetCurrentLanguage(), 0);
    table.SelectLanguageForSystem(kDutch);  // an id no language has
    EXPECT_EQ(table.GetCurrentLanguage(), 0);
    table.SelectLanguageForSystem(0x07);  // German, without a file
    EXPECT_EQ(table.GetCurrentLanguage(), 0);
}

// --- Availability -----------------------------------------------------------

TEST_F(LanguageTableTest, ALanguageIsAvailableWhenItsFileCanBeRead) {
    WriteLanguage(kDutch, "3000=&Bestand\r\n");
    WriteLanguage(kGerman, "3000=&Datei\r\n");
    ASSERT_EQ(::chmod(table.LanguageFilePath(kGerman).c_str(), 0444), 0);  // installed read-only
    std::filesystem::create_directory(table.LanguageFilePath(kFrench));  // not a file
    table.ProbeLanguageFiles();

    EXPECT_TRUE(table.IsLanguageAvailable(0));
    EXPECT_TRUE(table.IsLanguageAvailable(kDutch));
    EXPECT_TRUE(table.IsLanguageAvailable(kGerman));
    EXPECT_FALSE(table.IsLanguageAvailable(kFrench));
    EXPECT_FALSE(table.IsLanguageAvailable(kSpanish));
    table.SelectLanguage(kGerman);
    EXPECT_EQ(table.GetCurrentLanguage(), kGerman);
    EXPECT_EQ(table.GetText(3000), "&Datei");
    table.SelectLanguage(kSpanish);  // unavailable: nothing happens
    EXPECT_EQ(table.GetCurrentLanguage(), kGerman);
}

TEST_F(LanguageTableTest, AFileWithoutReadPermissionIsUnavailable) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    WriteLanguage(kDutch, "3000=&Bestand\r\n");
    ASSERT_EQ(::chmod(table.LanguageFilePath(kDutch).c_str(), 0200), 0);
    table.ProbeLanguageFiles();
    EXPECT_FALSE(table.IsLanguageAvailable(kDutch));
}

TEST_F(LanguageTableTest, ACurrentLanguageWhoseFileVanishedGivesWayToEnglish) {
    Use(kDutch, "3000=&Bestand\r\n");
    std::filesystem::remove(table.LanguageFilePath(kDutch));
    table.ProbeLanguageFiles();
    EXPECT_FALSE(table.IsLanguageAvailable(kDutch));
    EXPECT_EQ(table.GetCurrentLanguage(), 0);
    EXPECT_EQ(table.GetText(3000), "&File");
}

// --- Menus and dialogs ------------------------------------------------------

TEST_F(LanguageTableTest, EnglishTableTakesTheMenuBarsTexts) {
    auto bar = FakeMenu::MainMenuBar();
    bar->At(MenuTextRows()[0]).text = "&File (beta)";
    bar->At(MenuTextRows()[57]).text = "";  // an empty item keeps the built-in text
    WriteLanguage(kDutch, "1000=Klaar\r\n");
    table.BuildEnglishTable(*bar);
    EXPECT_EQ(table.GetText(3000), "&File (beta)");
    EXPECT_EQ(table.GetText(MenuTextRows()[57].number), BuiltinEnglishText(MenuTextRows()[57].number));
    EXPECT_TRUE(table.IsLanguageAvailable(kDutch));
    EXPECT_FALSE(table.IsLanguageAvailable(kGerman));
}

TEST_F(LanguageTableTest, TranslateMenuRewritesEveryBoundItem) {
    auto bar = FakeMenu::MainMenuBar();
    WriteLanguage(kDutch, "");
    table.BuildEnglishTable(*bar);
    Use(kDutch, "3000=&Bestand\r\n3023=Linker afbeelding rechtsom\r\n3021=Jouw taal hier? Mail me...\r\n"
                "3029=&Over Korvane...\r\n");
    table.TranslateMenu(*bar);
    EXPECT_EQ(bar->redraws, 1);
    EXPECT_EQ(bar->items.at(0).text, "&Bestand");
    EXPECT_EQ(bar->items.at(0).sub->items.at(5).sub->items.at(0).text, "Linker afbeelding rechtsom");
    EXPECT_EQ(bar->items.at(1).sub->items.at(2).sub->items.at(28).text, "Jouw taal hier? Mail me...");
    EXPECT_EQ(bar->items.at(2).sub->items.at(3).text, "&Over Korvane...");
    EXPECT_EQ(bar->items.at(1).text, "&Options");  // no entry: English
    ASSERT_TRUE(bar->items.at(1).sub->items.at(1).sub);  // submenus stay in place
    EXPECT_EQ(bar->items.at(1).sub->items.at(1).sub->items.size(), 4u);

    table.SelectLanguage(0);
    table.TranslateMenu(*bar);
    EXPECT_EQ(bar->items.at(0).text, "&File");
}

TEST_F(LanguageTableTest, AMenuBarMissingItemsIsWalkedSafely) {
    FakeMenu bar;
    bar.items.resize(2);  // File without items, Options without submenus
    bar.items[0].sub = std::make_unique<FakeMenu>();
    table.BuildEnglishTable(bar);
    table.TranslateMenu(bar);
    EXPECT_EQ(bar.items[0].text, "&File");
    EXPECT_EQ(bar.items[1].text, "&Options");
    EXPECT_TRUE(bar.items[0].sub->items.empty());
}

TEST_F(LanguageTableTest, ControlCaptionsComeFromTheLanguagesOwnTexts) {
    FakeDialog dialog;
    dialog.captions = {{1073, "Auto detect the format of every single file."},
                       {1013, "Force format:"},
                       {1, "Print"},
                       {77, "Format twenty"}};
    const ControlTextNumber rows[] = {{1073, 6002}, {1013, 6003}, {1, 6004}, {77, 9020}};

    // English: the texts of the English table.
    table.SetControlTexts(dialog, rows);
    EXPECT_EQ(dialog.ControlText(1013), "Force format:");
    EXPECT_EQ(table.GetText(9020), "Format twenty");  // an empty English row takes the caption

    Use(kGerman, "6003=Format erzwingen:\r\n6004=&Drucken\r\n");
    table.SetControlTexts(dialog, rows, true);
    EXPECT_EQ(dialog.ControlText(1013), "Format erzwingen");
    EXPECT_EQ(dialog.ControlText(1), "Drucken");
    EXPECT_EQ(dialog.ControlText(1073), "Auto detect the format of every single file.");  // no German text
    table.SetControlText(dialog, 1, 4242);  // not a text number: nothing
    EXPECT_EQ(dialog.ControlText(1), "Drucken");
}

}  // namespace
