// ASCII letter case and blanks: only A-Z fold and only blanks, tabs and
// carriage returns are trimmed; every other byte stays as it is.
#include <gtest/gtest.h>

#include "base/AsciiText.h"

#include <clocale>

namespace {

TEST(AsciiText, LowerFoldsOnlyAsciiLetters) {
    EXPECT_EQ(AsciiLower("Jewel CASE 12"), "jewel case 12");
    EXPECT_EQ(AsciiLower(""), "");
    EXPECT_EQ(AsciiLower("@[`{"), "@[`{");  // the neighbours of A-Z and a-z
    EXPECT_EQ(AsciiLower("\xC3\x84" "X"), "\xC3\x84" "x");  // UTF-8 Ä stays
    EXPECT_EQ(AsciiLower("\xC4"), "\xC4");                  // Latin-1 Ä stays
    EXPECT_EQ(AsciiLower('Q'), 'q');
    EXPECT_EQ(AsciiLower('q'), 'q');
}

TEST(AsciiText, LowerIgnoresTheUsersLocale) {
    // In a Latin-1 locale the C library would fold byte 0xC4 too.
    const char* const latin1 = std::setlocale(LC_CTYPE, "de_DE.ISO-8859-1");
    EXPECT_EQ(AsciiLower("\xC4" "B"), "\xC4" "b");
    if (latin1) std::setlocale(LC_CTYPE, "C");
}

TEST(AsciiText, TrimTakesBlanksTabsAndCarriageReturnsFromBothEnds) {
    EXPECT_EQ(AsciiTrim(" \t key = value \r"), "key = value");
    EXPECT_EQ(AsciiTrim("inner  blanks"), "inner  blanks");
    EXPECT_EQ(AsciiTrim(" \t\r "), "");
    EXPECT_EQ(AsciiTrim(""), "");
    EXPECT_EQ(AsciiTrim("\nline\n"), "\nline\n");  // line feeds are the lines' business
    EXPECT_EQ(AsciiTrim("\xC2\xA0x"), "\xC2\xA0x");  // a no-break space is no blank here
}

}  // namespace
