// The forgiving number and token readers of the formats file, and its
// locale-free number text.
#include "formats/CoverFormat.h"
#include "formats/FormatsGrammar.h"
#include "formats/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>

namespace {
double num(const std::string& value, int n, bool inches = false, bool* found = nullptr) {
    double v = -1;
    const bool f = readNumber(value, n, inches, v);
    if (found) *found = f;
    return v;
}

std::string token(const std::string& value, int n, bool* found = nullptr) {
    std::string t = "unchanged";
    const bool f = readToken(value, n, t);
    if (found) *found = f;
    return t;
}
}  // namespace

TEST(FormatsNumbers, NumberReaderWalksTheValue) {
    EXPECT_EQ(num("= 120", 2), 120);  // the last number runs to the end: found again
    EXPECT_EQ(num("= 150, 118", 5), 118);
    bool found = true;
    EXPECT_EQ(num("= 120,", 2, false, &found), 0);  // followed by an end character: not found
    EXPECT_FALSE(found);
    EXPECT_EQ(num("= (0, 6)(120, 6), SOLID", 3), 120);
    EXPECT_EQ(num("= 5\t6", 2), 5);  // tab does not end a number
    EXPECT_EQ(num("= +.5E1x", 1, true), 5 * 25.4);
    // A keyword after the n-th number's start wins, in the order TOP, LEFT, RIGHT, BOTTOM, MIN, MAX.
    EXPECT_EQ(num("= 10, 20, MAX, 5", 2), MARKER_MAX);
    EXPECT_EQ(num("= 10, 20, MAX, 5", 4), 5);
    EXPECT_EQ(num("= 1 LEFT TOP", 1, true), EDGE_TOP);  // never scaled
    EXPECT_EQ(num("= 1 BOTTOM MIN", 1), EDGE_BOTTOM);
    EXPECT_EQ(num("= 1, MIN", 2), MARKER_MIN);  // the remainder where the search stopped
    for (const char* v : {"", "=", "=(", "=,,,", "= )(", "= E"}) {
        EXPECT_EQ(num(v, 2, false, &found), 0) << v;
        EXPECT_FALSE(found) << v;
    }
    EXPECT_EQ(num("=.", 1, false, &found), 0);  // a number start without digits converts to 0
    EXPECT_TRUE(found);
    for (const char* v : {"= 1E400", "= -0X1P3 1E999", "= -NAN"}) EXPECT_EQ(num(v, 1), 0) << v;
    EXPECT_EQ(num("= 1E308", 1, true, &found), 0);  // finite, but not in millimetres
    EXPECT_FALSE(found);
}

TEST(FormatsNumbers, TokenReader) {
    bool found = false;
    EXPECT_EQ(token("= CD_TRAY", 1, &found), "CD_TRAY");
    EXPECT_EQ(token("=CD_TRAY", 1, &found), "");  // no separator after "="
    EXPECT_FALSE(found);
    EXPECT_EQ(token("=  CD_TRAY", 1, &found), "");  // two blanks: the empty token
    EXPECT_TRUE(found);
    EXPECT_EQ(token("= A, B(C)", 2), "");  // ", " holds an empty token
    EXPECT_EQ(token("= A, B(C)", 4), "C");
    EXPECT_EQ(token("= A=B C", 1), "A=B");
    for (const char* v : {"= A", "NO EQUALS", ""}) {
        EXPECT_EQ(token(v, 2, &found), "") << v;
        EXPECT_FALSE(found) << v;
    }
    EXPECT_EQ(token("=   Other Name  ", -1), "Other Name  ");
}

TEST(FormatsNumbers, NumberText) {
    EXPECT_EQ(FormatFixed1(-0.04), "-0.0");
    EXPECT_EQ(FormatFixed1(0.25), "0.2");  // an exact tie rounds to even, as printf does
    EXPECT_EQ(FormatFixed1(0.35), "0.3");  // 0.35 is stored slightly below .35
    EXPECT_EQ(FormatFixed1(1e20), "100000000000000000000.0");
    for (double v : {0.1 + 0.2, 1e-300, -2.5e17, -99999.999}) {
        double back = 0;
        ASSERT_TRUE(ParseDecimalPrefix(FormatShortest(v), back));
        EXPECT_EQ(back, v) << FormatShortest(v);
    }
    double v = -1;
    EXPECT_TRUE(ParseDecimalPrefix("0.0000001E-999999999999", v));  // too small: 0
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(ParseDecimalPrefix("-" + std::string(400, '9'), v));  // too large: refused
}

namespace {
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

void expectLocaleFree() {
    double v = 0;
    EXPECT_EQ(FormatFixed1(1234.5), "1234.5");
    EXPECT_EQ(FormatShortest(0.5), "0.5");
    EXPECT_TRUE(ParseDecimalPrefix("160.5", v));
    EXPECT_EQ(v, 160.5);
}
}  // namespace

// Qt sets the process locale from the environment; file numbers ignore it.
TEST(FormatsNumbers, IgnoreTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const char* found = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
        if (!found && std::setlocale(LC_ALL, name)) found = name;
    if (!found) GTEST_SKIP() << "no locale with a decimal comma is installed (the C++ locale test covers this)";
    expectLocaleFree();
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(FormatsNumbers, IgnoreTheGlobalCppLocale) {
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
    expectLocaleFree();
    std::locale::global(previous);
}
