// The settings store as the program meets it: files written by the program,
// by hand and by text editors, read, changed and saved again.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "TempFolder.h"
#include "settings/SettingsStore.h"

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::string cfg = dir.File("Korvane.cfg");

    // A store over a file holding `bytes`.
    CSettingsStore StoreWith(const std::string& bytes) {
        dir.Write("Korvane.cfg", bytes);
        return CSettingsStore(cfg);
    }
};

// --- Reading ----------------------------------------------------------------

TEST_F(SettingsStoreTest, MissingFileGivesDefaults) {
    CSettingsStore store(cfg);
    EXPECT_EQ(store.GetCfgInt("Options", "ShowSplash", 1), 1);
    EXPECT_EQ(store.GetCfgInt("Position", "X", -1), -1);
    EXPECT_EQ(store.GetCfgString("Options", "Proxy", "server:port"), "server:port");
    // The default goes through the bracket unescaping too.
    EXPECT_EQ(store.GetCfgString("Options", "Proxy", "a%5Bb%5D"), "a[b]");
    EXPECT_EQ(store.Text(), "");
}

TEST_F(SettingsStoreTest, ReadsTheProgramsOwnUtf16File) {
    auto store = StoreWith(Utf16Le("[Options]\r\nShowSplash = 0\r\nProxy = \"proxy.example:8080\"\r\n"
                                   "\r\n[Position]\r\nX = 120\r\nY = -4\r\n"));
    EXPECT_EQ(store.GetCfgInt("Options", "ShowSplash", 1), 0);
    EXPECT_EQ(store.GetCfgString("Options", "Proxy", ""), "proxy.example:8080");
    EXPECT_EQ(store.GetCfgInt("Position", "X", -1), 120);
    EXPECT_EQ(store.GetCfgInt("Position", "Y", 0), -4);
}

TEST_F(SettingsStoreTest, SectionsAndKeysIgnoreLetterCase) {
    auto store = StoreWith("[OPTIONS]\r\nautoload2ndimage = 0\r\n");
    EXPECT_EQ(store.GetCfgInt("Options", "AutoLoad2ndImage", 1), 0);
    EXPECT_EQ(store.GetCfgInt("options", "Autoload2ndImage", 1), 0);
}

TEST_F(SettingsStoreTest, IntegersAreReadLikeStrtol) {
    auto store = StoreWith("[N]\nplain=42\nspaced =   -17  \nsigned=+8\ntrailing = 12abc\nword = abc\nempty =\n"
                           "huge = 99999999999\nhugeneg = -99999999999\n");
    EXPECT_EQ(store.GetCfgInt("N", "plain", 0), 42);
    EXPECT_EQ(store.GetCfgInt("N", "spaced", 0), -17);
    EXPECT_EQ(store.GetCfgInt("N", "signed", 0), 8);
    EXPECT_EQ(store.GetCfgInt("N", "trailing", 0), 12);
    EXPECT_EQ(store.GetCfgInt("N", "word", 5), 0);
    EXPECT_EQ(store.GetCfgInt("N", "empty", 5), 0);
    EXPECT_EQ(store.GetCfgInt("N", "huge", 0), INT_MAX);
    EXPECT_EQ(store.GetCfgInt("N", "hugeneg", 0), INT_MIN);
}

TEST_F(SettingsStoreTest, ProxyDoesNotMatchUseProxyNorLongerKeys) {
    auto store = StoreWith("[Options]\r\nUseProxy = 1\r\nProxyHost = \"other\"\r\n");
    EXPECT_EQ(store.GetCfgString("Options", "Proxy", "server:port"), "server:port");
    EXPECT_EQ(store.GetCfgInt("Options", "UseProxy", 0), 1);

    auto both = StoreWith("[Options]\r\nProxyHost = \"other\"\r\nProxy = \"mine:3128\"\r\n");
    EXPECT_EQ(both.GetCfgString("Options", "Proxy", ""), "mine:3128");
}

TEST_F(SettingsStoreTest, KeyOnlyInAnotherSectionIsNotFound) {
    auto store = StoreWith("[Options]\r\nShowSplash = 0\r\n\r\n[Position]\r\nX = 300\r\n");
    EXPECT_EQ(store.GetCfgInt("Options", "X", -1), -1);
    EXPECT_EQ(store.GetCfgInt("Position", "ShowSplash", 1), 1);
    EXPECT_EQ(store.GetCfgInt("Paths", "X", 7), 7);
}

TEST_F(SettingsStoreTest, StringsLoseTheirQuotesOnlyWhenQuoted) {
    auto store = StoreWith("[Options]\r\nquoted = \"server:8080\"\r\nbare = server:8080\r\n"
                           "half = \"server\r\nlone = \"\r\nempty = \"\"\r\ninner = \"say \\\"hi\\\"\"\r\n");
    EXPECT_EQ(store.GetCfgString("Options", "quoted", ""), "server:8080");
    EXPECT_EQ(store.GetCfgString("Options", "bare", ""), "server:8080");
    EXPECT_EQ(store.GetCfgString("Options", "half", ""), "\"server");
    EXPECT_EQ(store.GetCfgString("Options", "lone", "x"), "\"");
    EXPECT_EQ(store.GetCfgString("Options", "empty", "x"), "");
    EXPECT_EQ(store.GetCfgString("Options", "inner", ""), "say \"hi\"");
}

TEST_F(SettingsStoreTest, EightBitFileIsReadAsUtf8OrByteForByte) {
    auto utf8 = StoreWith("[Options]\r\nPrintJobName = \"Caf\xC3\xA9 \xE2\x82\xAC\"\r\n");
    EXPECT_EQ(utf8.GetCfgString("Options", "PrintJobName", ""), "Caf\xC3\xA9 \xE2\x82\xAC");

    // Not valid UTF-8: every byte is the character with the same code.
    auto latin1 = StoreWith("[Options]\r\nPrintJobName = \"Caf\xE9 na\xEFve\"\r\n");
    EXPECT_EQ(latin1.GetCfgString("Options", "PrintJobName", ""), "Caf\xC3\xA9 na\xC3\xAFve");

    // An editor's UTF-8 byte-order mark does not hide the first section.
    auto marked = StoreWith("\xEF\xBB\xBF[Options]\r\nGrayScale = 1\r\n");
    EXPECT_EQ(marked.GetCfgInt("Options", "GrayScale", 0), 1);
}

TEST_F(SettingsStoreTest, NulCharactersDoNotJoinWords) {
    auto store = StoreWith(std::string("[Options]\r\nLan\0guage = 3\r\n", 26));
    EXPECT_EQ(store.GetCfgInt("Options", "Language", -1), -1);
    EXPECT_EQ(store.Text(), "[Options]\r\nLan\xEF\xBF\xBDguage = 3\r\n");
}

TEST_F(SettingsStoreTest, LineEndsAreNormalisedToCrLf) {
    auto store = StoreWith("[Options]\nA=1\r\nB = 2\r\r\nC = 3");
    EXPECT_EQ(store.Text(), "[Options]\r\nA=1\r\nB = 2\r\nC = 3\r\n");
    EXPECT_EQ(store.GetCfgInt("Options", "C", 0), 3);
}

TEST_F(SettingsStoreTest, Utf16SurrogatesAndBrokenUnitsNeverCrash) {
    std::string bytes = Utf16Le("[Options]\r\nPrintJobName = \"");
    bytes += std::string("\x3D\xD8\x00\xDE", 4);  // U+1F600 as a pair
    bytes += std::string("\x3D\xD8", 2);          // high surrogate alone
    bytes += std::string("x\0", 2);
    bytes += std::string("\x00\xDE", 2);          // low surrogate alone
    bytes += Utf16Le("\"\r\n", false);
    bytes += "Z";                                 // odd last byte
    auto store = StoreWith(bytes);
    EXPECT_EQ(store.GetCfgString("Options", "PrintJobName", ""), "\xF0\x9F\x98\x80\xEF\xBF\xBDx\xEF\xBF\xBD");

    // The character outside the basic plane goes back to disk as a pair.
    ASSERT_TRUE(store.SaveCfgFile());
    EXPECT_NE(dir.Read("Korvane.cfg").find(std::string("\x3D\xD8\x00\xDE", 4)), std::string::npos);
}

// --- Writing ----------------------------------------------------------------

TEST_F(SettingsStoreTest, NewKeysGoFirstInTheirSectionAndNewSectionsLast) {
    CSettingsStore store(cfg);
    store.WriteCfgInt("Options", "A", 1);
    store.WriteCfgString("Options", "B", "x");
    store.WriteCfgInt("Position", "X", -1);
    store.WriteCfgInt("Options", "C", 3);
    EXPECT_EQ(store.Text(), "[Options]\r\nC = 3\r\nB = \"x\"\r\nA = 1\r\n\r\n[Position]\r\nX = -1\r\n");
}

TEST_F(SettingsStoreTest, RewritingAKeyKeepsItsPlace) {
    auto store = StoreWith("[Options]\r\nA = 1\r\nB = 2\r\nC = 3\r\n");
    store.WriteCfgInt("Options", "B", 20);
    EXPECT_EQ(store.Text(), "[Options]\r\nA = 1\r\nB = 20\r\nC = 3\r\n");
}

TEST_F(SettingsStoreTest, DuplicateKeysLeaveOneLineAtTheFirstPlace) {
    auto store = StoreWith("[Options]\r\nA = 1\r\nB = 2\r\na=3\r\nA  = 4\r\n\r\n[Other]\r\nA = 5\r\n");
    store.WriteCfgInt("Options", "A", 9);
    EXPECT_EQ(store.Text(), "[Options]\r\nA = 9\r\nB = 2\r\n\r\n[Other]\r\nA = 5\r\n");
    EXPECT_EQ(store.GetCfgInt("Other", "A", 0), 5);
}

TEST_F(SettingsStoreTest, WritingAndReadingAgreeOnLongerKeys) {
    auto store = StoreWith("[Options]\r\nProxyHost = \"a\"\r\nProxy = \"b\"\r\n");
    store.WriteCfgString("Options", "Proxy", "c");
    EXPECT_EQ(store.GetCfgString("Options", "Proxy", ""), "c");
    EXPECT_EQ(store.GetCfgString("Options", "ProxyHost", ""), "a");
}

TEST_F(SettingsStoreTest, DeleteRemovesEveryLineOfTheKey) {
    auto store = StoreWith("[Options]\r\nA = 1\r\nB = 2\r\nA=3\r\n");
    store.DeleteCfgKey("Options", "A");
    EXPECT_EQ(store.Text(), "[Options]\r\nB = 2\r\n");
    EXPECT_EQ(store.GetCfgInt("Options", "A", -5), -5);
    store.DeleteCfgKey("Missing", "A");  // a section is created, nothing else
    EXPECT_EQ(store.Text(), "[Options]\r\nB = 2\r\n\r\n[Missing]\r\n");
}

TEST_F(SettingsStoreTest, HeaderWithTextBehindItGetsItsOwnLine) {
    auto store = StoreWith("[Options] ; by hand\r\nA = 1\r\n");
    store.WriteCfgInt("Options", "A", 2);
    EXPECT_EQ(store.Text(), "[Options]\r\n ; by hand\r\nA = 2\r\n");
}

TEST_F(SettingsStoreTest, BracketsInValuesAreEscaped) {
    CSettingsStore store(cfg);
    store.WriteCfgString("Options", "RecentFileLeft", "/covers/[2004] Album/front.jpg");
    EXPECT_EQ(store.Text(), "[Options]\r\nRecentFileLeft = \"/covers/%5B2004%5D Album/front.jpg\"\r\n");
    EXPECT_EQ(store.GetCfgString("Options", "RecentFileLeft", ""), "/covers/[2004] Album/front.jpg");
    store.WriteCfgInt("Options", "After", 1);  // still in the same section
    EXPECT_EQ(store.GetCfgInt("Options", "After", 0), 1);

    // The escape text itself is not escaped: "%5B" comes back as a bracket.
    store.WriteCfgString("Options", "Literal", "100%5B");
    EXPECT_EQ(store.GetCfgString("Options", "Literal", ""), "100[");
}

TEST_F(SettingsStoreTest, QuotesAndBackslashesSurviveARoundTrip) {
    CSettingsStore store(cfg);
    for (const std::string v : {"say \"hi\"", "C:\\covers\\", "\\\"", "\"", "a\\b"}) {
        store.WriteCfgString("Options", "V", v);
        EXPECT_EQ(store.GetCfgString("Options", "V", ""), v) << store.Text();
    }
}

TEST_F(SettingsStoreTest, ValuesCannotBreakIntoNewLines) {
    CSettingsStore store(cfg);
    store.WriteCfgString("Options", "PrintJobName", "job\r\nShowSplash = 0\n[Evil]");
    EXPECT_EQ(store.GetCfgInt("Options", "ShowSplash", 1), 1);
    EXPECT_EQ(store.GetCfgString("Options", "PrintJobName", ""), "jobShowSplash = 0[Evil]");
    EXPECT_EQ(store.Text().find("\r\n[Evil]"), std::string::npos);
}

TEST_F(SettingsStoreTest, BracketInAHandWrittenValueDoesNotEndTheSection) {
    auto store = StoreWith("[Options]\r\nNote = see [1]\r\nB = 1\r\n\r\n[Position]\r\nB = 7\r\n");
    EXPECT_EQ(store.GetCfgInt("Options", "B", 0), 1);
    store.WriteCfgInt("Options", "B", 2);
    EXPECT_EQ(store.GetCfgInt("Options", "B", 0), 2);
    EXPECT_EQ(store.GetCfgInt("Position", "B", 0), 7);
}

TEST_F(SettingsStoreTest, AHeaderInsideAnotherLineIsNoSection) {
    auto store = StoreWith("[Options]\r\nNote = see [Position]\r\nX = 9\r\n");
    EXPECT_EQ(store.GetCfgInt("Position", "X", -1), -1);
    store.WriteCfgInt("Position", "X", 5);
    store.WriteCfgString("Options", "Note", "rewritten");
    EXPECT_EQ(store.GetCfgInt("Position", "X", -1), 5);
    EXPECT_EQ(store.GetCfgInt("Options", "X", -1), 9);
    EXPECT_EQ(store.Text(), "[Options]\r\nNote = \"rewritten\"\r\nX = 9\r\n\r\n[Position]\r\nX = 5\r\n");
}

// --- Loading and saving -----------------------------------------------------

TEST_F(SettingsStoreTest, LoadsOnFirstUseAndNeverAgain) {
    CSettingsStore store(cfg);
    dir.Write("Korvane.cfg", "[Options]\r\nA = 1\r\n");  // after construction, before first use
    EXPECT_EQ(store.GetCfgInt("Options", "A", 0), 1);
    dir.Write("Korvane.cfg", "[Options]\r\nA = 2\r\n");
    EXPECT_EQ(store.GetCfgInt("Options", "A", 0), 1);
}

TEST_F(SettingsStoreTest, SavesUtf16WithMarkAndReadsItBack) {
    auto store = StoreWith("[Options]\r\nPrintJobName = \"Caf\xE9\"\r\n");  // 8-bit, by an editor
    store.WriteCfgInt("Options", "GrayScale", 1);
    ASSERT_TRUE(store.SaveCfgFile());
    const std::string expected = "[Options]\r\nGrayScale = 1\r\nPrintJobName = \"Caf\xE9\"\r\n";
    EXPECT_EQ(dir.Read("Korvane.cfg"), Utf16Le(expected));

    CSettingsStore again(cfg);
    EXPECT_EQ(again.GetCfgString("Options", "PrintJobName", ""), "Caf\xC3\xA9");
    EXPECT_EQ(again.Text(), store.Text());
}

TEST_F(SettingsStoreTest, SaveOfANeverUsedStoreKeepsTheFile) {
    dir.Write("Korvane.cfg", "[Options]\r\nA = 1\r\n");
    CSettingsStore store(cfg);
    ASSERT_TRUE(store.SaveCfgFile());
    EXPECT_EQ(dir.Read("Korvane.cfg"), Utf16Le("[Options]\r\nA = 1\r\n"));
}

TEST_F(SettingsStoreTest, SaveIntoAMissingFolderFailsAndSaysWhy) {
    const std::string path = dir.File("no/such/folder/Korvane.cfg");
    CSettingsStore store(path);
    store.WriteCfgInt("Options", "A", 1);
    EXPECT_FALSE(store.SaveCfgFile());
    EXPECT_NE(store.SaveError().find("No such file or directory"), std::string::npos) << store.SaveError();
    const std::string notice = store.SaveFailureNotice();
    EXPECT_EQ(notice.rfind("The settings could not be saved to " + path + ": ", 0), 0u) << notice;
    EXPECT_NE(notice.find("this run are lost"), std::string::npos);
}

TEST_F(SettingsStoreTest, AFileThatCannotBeReadIsNeverOverwritten) {
    std::filesystem::create_directory(cfg);  // not a file at all
    CSettingsStore store(cfg);
    EXPECT_EQ(store.GetCfgInt("Options", "A", 4), 4);
    store.WriteCfgInt("Options", "A", 1);
    EXPECT_FALSE(store.SaveCfgFile());
    EXPECT_TRUE(std::filesystem::is_directory(cfg));
    EXPECT_EQ(store.SaveError(), "the file could not be read when the program started (is a folder), so it is left as it is");
}

TEST_F(SettingsStoreTest, ALargeFileIsReadAndSaved) {
    // Nine megabytes (more than files were once allowed) of a hand-written
    // comment line before the settings.
    std::string big = "; " + std::string(9u << 20, 'x') + "\r\n[Options]\r\nA = 7\r\n";
    dir.Write("Korvane.cfg", big);
    CSettingsStore store(cfg);
    EXPECT_EQ(store.GetCfgInt("Options", "A", 4), 7);
    store.WriteCfgInt("Options", "A", 8);
    ASSERT_TRUE(store.SaveCfgFile()) << store.SaveError();
    EXPECT_EQ(CSettingsStore(cfg).GetCfgInt("Options", "A", 4), 8);
}

TEST_F(SettingsStoreTest, AFileOverTheLimitIsKeptAndTheSaveSaysWhy) {
    dir.Write("Korvane.cfg", "[Options]\r\nA = 1\r\n");
    std::filesystem::resize_file(cfg, CSettingsStore::kMaxFileSize + 1);
    CSettingsStore store(cfg);
    EXPECT_EQ(store.GetCfgInt("Options", "A", 4), 4);
    EXPECT_FALSE(store.SaveCfgFile());
    EXPECT_EQ(std::filesystem::file_size(cfg), CSettingsStore::kMaxFileSize + 1);
    EXPECT_NE(store.SaveError().find("more than the 64 MB a settings file may have"), std::string::npos)
        << store.SaveError();
}

TEST_F(SettingsStoreTest, AFifoAsTheFileIsRefusedAtOnceAndLeftAlone) {
    ASSERT_EQ(::mkfifo(cfg.c_str(), 0600), 0);
    CSettingsStore store(cfg);
    EXPECT_EQ(store.GetCfgInt("Options", "A", 4), 4);  // would wait for a writer with a plain open
    EXPECT_FALSE(store.SaveCfgFile());
    EXPECT_TRUE(std::filesystem::is_fifo(cfg));
    EXPECT_NE(store.SaveError().find("is a pipe, not a regular file"), std::string::npos) << store.SaveError();
}

TEST_F(SettingsStoreTest, ProgramWideStoreUsesTheGivenPath) {
    ResetSettings(cfg);
    WriteCfgString("Paths", "LastUsed", "/home/me/covers");
    WriteCfgInt("Options", "GrayScale", 1);
    EXPECT_EQ(GetCfgString("Paths", "LastUsed", ""), "/home/me/covers");
    DeleteCfgKey("Options", "GrayScale");
    EXPECT_EQ(GetCfgInt("Options", "GrayScale", 0), 0);
    ASSERT_TRUE(SaveCfgFile());
    EXPECT_EQ(Settings().Path(), cfg);
    EXPECT_EQ(CSettingsStore(cfg).GetCfgString("Paths", "LastUsed", ""), "/home/me/covers");
    ResetSettings(dir.File("unused.cfg"));
}

}  // namespace

TEST(SettingsStoreHeaders, TwoHeadersOnOneLineAreTwoSectionsForReadsAndWrites) {
    TempFolder dir;
    dir.Write("Korvane.cfg", "[Options][Position]\r\nX = 999\r\n");
    CSettingsStore store(dir.File("Korvane.cfg"));
    EXPECT_EQ(store.GetCfgInt("Position", "X", -1), 999);
    store.WriteCfgInt("Position", "X", 12);
    store.WriteCfgInt("Options", "ShowSplash", 0);
    EXPECT_EQ(store.GetCfgInt("Position", "X", -1), 12);
    EXPECT_EQ(store.GetCfgInt("Options", "ShowSplash", 1), 0);
    EXPECT_EQ(store.Text(), "[Options]\r\nShowSplash = 0\r\n[Position]\r\nX = 12\r\n");
}
