// The language files shipped with the program: complete, well-formed, and
// found where the program looks for them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "settings/LanguageFile.h"
#include "settings/LanguageTable.h"
#include "settings/TextFile.h"

namespace {

struct Shipped {
    int index;
    const char* name;
};
const Shipped kShipped[] = {{1, "Dutch"}, {2, "Spanish"}, {5, "French"}, {6, "German"}};

std::string SourceFolder() { return std::string(KORVANE_SOURCE_DIR) + "/resources/languages"; }

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + what.size())) ++n;
    return n;
}

class ShippedLanguage : public ::testing::TestWithParam<Shipped> {};

TEST_P(ShippedLanguage, TranslatesEveryEnglishTextKeepingPlaceholdersAndShortcuts) {
    const std::string path = SourceFolder() + "/" + GetParam().name + ".lng";
    std::string bytes;
    ASSERT_EQ(ReadWholeFile(path, kMaxLanguageFileSize, bytes), FileReadResult::Ok) << path;
    ASSERT_TRUE(IsValidUtf8(bytes));
    const std::string text = LanguageFileText(bytes);
    const auto& numbers = CLanguageTable::TextNumbers();
    const auto entries = LanguageEntries(text, numbers);
    for (std::size_t row = 0; row < numbers.size(); ++row) {
        const int n = numbers[row];
        const std::string english = BuiltinEnglishText(n);
        const std::string& own = entries[row];
        if (english.empty()) {
            EXPECT_TRUE(own.empty()) << n;  // filled by the formats, or unused
            continue;
        }
        EXPECT_FALSE(own.empty()) << n;
        for (const char* code : {"%d", "%s", "\t", "\n"})
            EXPECT_EQ(Count(own, code), Count(english, code)) << n << ": " << own;
        EXPECT_LE(Count(own, "&"), 1u) << n;
        // Each entry stands at the start of its own line, so no earlier text
        // can shadow it.
        char pattern[8];
        std::snprintf(pattern, sizeof pattern, "%04d=", n);
        const std::size_t at = text.find(pattern);
        EXPECT_TRUE(at == 0 || text.compare(at - 2, 2, "\r\n") == 0) << n;
    }
}

TEST_P(ShippedLanguage, IsFoundBesideTheProgramAndSelected) {
    CLanguageTable table(std::string(KORVANE_BIN_DIR) + "/languages");
    table.ProbeLanguageFiles();
    ASSERT_TRUE(table.IsLanguageAvailable(GetParam().index));
    table.SelectLanguage(GetParam().index);
    ASSERT_EQ(table.GetCurrentLanguage(), GetParam().index);
    EXPECT_NE(table.GetText(3000), "&File");
    EXPECT_NE(table.GetText(1000), "Ready To Print Some Covers ?");
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedLanguage, ::testing::ValuesIn(kShipped),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
