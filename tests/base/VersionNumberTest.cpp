// Version texts as numbers: every version from 0.00 to 2.99 gives the
// hundredths it names, so that a later version always compares as newer.
#include <gtest/gtest.h>

#include "base/VersionNumber.h"

#include <climits>
#include <cstdio>

namespace {

std::string VersionText(int hundredths) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", hundredths / 100, hundredths % 100);
    return text;
}

TEST(VersionNumber, EveryVersionFromZeroToTwoNinetyNineGivesItsHundredths) {
    // Among them are the 18 whose binary product with 100 falls just below a
    // whole number (0.29, 1.15, 2.07, ...).
    for (int n = 0; n < 300; ++n) EXPECT_EQ(VersionNumber(VersionText(n)), n) << VersionText(n);
}

TEST(VersionNumber, ALaterVersionIsAlwaysNewer) {
    for (int n = 1; n < 300; ++n)
        EXPECT_GT(VersionNumber(VersionText(n)), VersionNumber(VersionText(n - 1))) << VersionText(n);
    EXPECT_GT(VersionNumber("1.15"), VersionNumber("1.14"));
    EXPECT_GT(VersionNumber("0.29"), VersionNumber("0.28"));
}

TEST(VersionNumber, FurtherDigitsAreTruncated) {
    EXPECT_EQ(VersionNumber("1.239"), 123);
    EXPECT_EQ(VersionNumber("1.999"), 199);
    EXPECT_EQ(VersionNumber("1.2"), 120);
    EXPECT_EQ(VersionNumber("1"), 100);
    EXPECT_EQ(VersionNumber("10.0"), 1000);
    EXPECT_EQ(VersionNumber("-1.5"), -150);
    EXPECT_EQ(VersionNumber("-1.239"), -123);  // toward zero
}

TEST(VersionNumber, ReadsTheNumberAtTheStartOnly) {
    EXPECT_EQ(VersionNumber(" \t1.3"), 130);  // leading blanks skipped
    EXPECT_EQ(VersionNumber("2\">"), 200);    // stops at what cannot continue it
    EXPECT_EQ(VersionNumber("1.5beta"), 150);
    EXPECT_EQ(VersionNumber(".5"), 50);
    EXPECT_EQ(VersionNumber("1e1"), 1000);
}

TEST(VersionNumber, TextWithoutANumberIsZeroAndHugeNumbersAreHeld) {
    EXPECT_EQ(VersionNumber(""), 0);
    EXPECT_EQ(VersionNumber("x"), 0);
    EXPECT_EQ(VersionNumber("inf"), 0);
    EXPECT_EQ(VersionNumber("nan"), 0);
    EXPECT_EQ(VersionNumber("-"), 0);
    EXPECT_EQ(VersionNumber("9e99"), INT_MAX);
    EXPECT_EQ(VersionNumber("-9e99"), INT_MIN);
    EXPECT_EQ(VersionNumber("1e999"), 0);  // beyond double: no number
}

}  // namespace
