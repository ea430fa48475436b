#pragma once
// Decimal numbers of the formats file, always with "." and never through the
// process locale (Qt sets it from the environment, which may use ",").
#include <string>
#include <string_view>

// The text "%0.1f" gives in the C locale (correctly rounded, "-0.0" kept).
std::string FormatFixed1(double value);
// The same with `digits` decimals ("%0.2f" for 2).
std::string FormatFixed(double value, int digits);

// The shortest text that reads back to exactly `value` ("5000", "0.1",
// "1e+300"); "nan"/"inf" for values that are not finite.
std::string FormatShortest(double value);

// Reads the decimal number at the start of `text` the way the C library's
// decimal conversion does: optional sign, digits, optional point and
// fraction, optional exponent; it stops at the first character it cannot use
// and gives 0 when there are no digits. Hexadecimal, "inf" and "nan" are not
// numbers here. Returns false (value 0) when the number is too large for a
// double; a number too small for one reads as 0.
bool ParseDecimalPrefix(std::string_view text, double& value);
