// The language files shipped with the program (every .lng in the resources
// folder): each names a language of the Language menu, translates every text
// the program shows in English, keeps each text's placeholders, line breaks,
// shortcuts and access keys, and is found where the program looks for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"
#include "settings/LanguageFile.h"
#include "settings/LanguageTable.h"
#include "settings/TextFile.h"

namespace {

std::string SourceFolder() { return std::string(KORVANE_SOURCE_DIR) + "/resources/languages"; }

// The base names of the shipped language files, sorted.
std::vector<std::string> ShippedNames() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(SourceFolder(), ec))
        if (entry.path().extension() == ".lng") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

int LanguageIndex(const std::string& fileName) {
    for (int i = 1; i < kLanguageCount; ++i)
        if (fileName == Languages()[i].fileName) return i;
    return -1;
}

// Every English text the program shows, by number: the built-in table and
// the names of the shipped formats that carry a translation number.
std::map<int, std::string> EnglishTexts() {
    std::map<int, std::string> english;
    for (int n : CLanguageTable::TextNumbers())
        if (!BuiltinEnglishText(n).empty()) english[n] = BuiltinEnglishText(n);
    CoverFormatList formats;
    CCollectingFormatsReporter reporter;
    EXPECT_TRUE(formats.load(std::string(KORVANE_SOURCE_DIR) + "/resources/Korvane.dat", reporter));
    for (const CoverFormat& f : formats.formats) {
        if (f.translationId == 0) continue;
        EXPECT_GE(CLanguageTable::RowOf(f.translationId), 0) << f.name << " " << f.translationId;
        english.emplace(f.translationId, f.name);
    }
    return english;
}

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size())) ++n;
    return n;
}

// The printf conversions of a text, in order ("%d", "%s", "%%", ...).
std::vector<std::string> Conversions(const std::string& text) {
    static const std::regex conversion("%[-+#0]*[0-9]*(\\.[0-9]+)?[a-zA-Z%]");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), conversion); it != std::sregex_iterator(); ++it)
        found.push_back(it->str());
    return found;
}

// The access key of a menu text (the character after "&", ASCII letters
// folded), "" when it has none.
std::string AccessKey(const std::string& text) {
    const std::size_t at = text.find('&');
    if (at == std::string::npos || at + 1 >= text.size()) return {};
    const unsigned char c = static_cast<unsigned char>(text[at + 1]);
    std::size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : 2;
    std::string key = text.substr(at + 1, length);
    if (length == 1) key[0] = static_cast<char>(std::tolower(c));
    return key;
}

struct LoadedFile {
    std::string bytes;
    std::string text;
    std::vector<std::string> entries;  // in the order of TextNumbers()
    std::string Entry(int number) const { return entries[CLanguageTable::RowOf(number)]; }
};

class ShippedLanguage : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        const std::string path = SourceFolder() + "/" + GetParam() + ".lng";
        ASSERT_EQ(ReadWholeFile(path, kMaxLanguageFileSize, file.bytes), FileReadResult::Ok) << path;
        file.text = LanguageFileText(file.bytes);
        file.entries = LanguageEntries(file.text, CLanguageTable::TextNumbers());
    }
    LoadedFile file;
};

TEST_P(ShippedLanguage, NamesALanguageOfTheMenuAndKeepsEveryCharacter) {
    EXPECT_GE(LanguageIndex(GetParam()), 1) << GetParam() << ".lng is no language of the Language menu";
    // UTF-16LE behind its mark, or UTF-8 (an 8-bit file in another code
    // page would be read as Latin-1).
    const bool utf16 = file.bytes.size() >= 2 && file.bytes.compare(0, 2, "\xFF\xFE") == 0;
    EXPECT_TRUE(utf16 || IsValidUtf8(file.bytes));
    EXPECT_EQ(file.text.find("\xEF\xBF\xBD"), std::string::npos) << "a character the loader cannot read";
}

TEST_P(ShippedLanguage, TranslatesEveryEnglishTextKeepingPlaceholdersAndShortcuts) {
    const auto english = EnglishTexts();
    for (const auto& [n, en] : english) {
        const std::string own = file.Entry(n);
        if (own.empty()) {
            ADD_FAILURE() << GetParam() << ".lng lacks " << n << " (English: \"" << en << "\")";
            continue;
        }
        EXPECT_EQ(Conversions(own), Conversions(en)) << n << ": " << own;
        EXPECT_EQ(Count(own, "\n"), Count(en, "\n")) << n << ": " << own;
        EXPECT_EQ(Count(own, "\t"), Count(en, "\t")) << n << ": " << own;
        EXPECT_EQ(Count(own, "&"), Count(en, "&")) << n << " access key: " << own;
        const std::size_t amp = own.find('&');
        EXPECT_TRUE(amp == std::string::npos || (amp + 1 < own.size() && own[amp + 1] != ' ')) << n << ": " << own;
        // Each entry stands at the start of its own line, so no earlier text
        // can shadow it.
        char pattern[8];
        std::snprintf(pattern, sizeof pattern, "%04d=", n);
        const std::size_t at = file.text.find(pattern);
        EXPECT_TRUE(at == 0 || file.text.compare(at - 2, 2, "\r\n") == 0) << n;
    }
    // Numbers without an English text are not used: nothing to translate.
    for (int n : CLanguageTable::TextNumbers())
        if (!english.count(n)) EXPECT_EQ(file.Entry(n), "") << n;
}

TEST_P(ShippedLanguage, GivesTheItemsOfEachMenuDifferentAccessKeys) {
    // Items of one menu: same depth, same positions above the last.
    std::map<std::vector<int>, std::map<std::string, int>> keysOfMenu;
    for (const MenuTextRow& row : MenuTextRows()) {
        const std::string key = AccessKey(file.Entry(row.number));
        if (key.empty()) continue;
        const std::vector<int> menu(row.pos, row.pos + row.depth - 1);
        const auto [it, fresh] = keysOfMenu[menu].emplace(key, row.number);
        EXPECT_TRUE(fresh) << row.number << " and " << it->second << " share the access key " << key;
    }
}

TEST_P(ShippedLanguage, IsFoundBesideTheProgramAndSelected) {
    const int index = LanguageIndex(GetParam());
    ASSERT_GE(index, 1);
    CLanguageTable table(std::string(KORVANE_BIN_DIR) + "/languages");
    table.ProbeLanguageFiles();
    ASSERT_TRUE(table.IsLanguageAvailable(index));
    table.SelectLanguage(index);
    ASSERT_EQ(table.GetCurrentLanguage(), index);
    EXPECT_EQ(table.GetText(3000), file.Entry(3000));
    EXPECT_NE(table.GetText(1000), "Ready To Print Some Covers ?");
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguage, ::testing::ValuesIn(ShippedNames()),
                         [](const auto& info) { return info.param; });

TEST(ShippedLanguages, AtLeastTheFourOfTheFirstRelease) {
    const auto names = ShippedNames();
    for (const char* name : {"Dutch", "French", "German", "Spanish"})
        EXPECT_TRUE(std::find(names.begin(), names.end(), name) != names.end()) << name;
}

}  // namespace
