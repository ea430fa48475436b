#pragma once
// A version text as a number: the hundredths it names, "1.23" gives 123.
#include <string_view>

// The decimal number at the start of `text` (leading blanks skipped, an
// optional sign, digits with an optional point and exponent; reading stops at
// the first character that cannot continue it; the C locale) in whole
// hundredths, truncated toward zero: "1.23" 123, "2.07" 207, "1" 100,
// "1.239" 123, "-1.5" -150, "10.0" 1000. Text without a number gives 0;
// numbers beyond the int range are held at INT_MAX / INT_MIN.
//
// The hundredths are those of the decimal text, not of its binary product:
// 1.15 * 100 comes out as 114.999..., which truncated would read version
// "1.15" as 114, no newer than "1.14".
int VersionNumber(std::string_view text);
