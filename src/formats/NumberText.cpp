#include "formats/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

std::string FormatFixed1(double value) { return FormatFixed(value, 1); }

std::string FormatFixed(double value, int digits) {
    // std::to_chars with a precision is specified as printf in the C locale.
    char buf[400];  // DBL_MAX has 309 integer digits
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, digits);
    if (ec != std::errc()) return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    return std::string(buf, end);
}

std::string FormatShortest(double value) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    if (ec != std::errc()) return "nan";
    return std::string(buf, end);
}

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool ParseDecimalPrefix(std::string_view text, double& value) {
    value = 0;
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string intDigits, fracDigits;
    while (i < text.size() && isDigit(text[i])) intDigits += text[i++];
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) fracDigits += text[i++];
    }
    if (intDigits.empty() && fracDigits.empty()) return true;  // nothing converted: 0

    // The exponent counts only when at least one digit follows "e", "e+" or "e-".
    std::int64_t exponent = 0;
    std::string expText;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) expNegative = text[j++] == '-';
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) {
                if (exponent < 100000000) exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (expNegative) exponent = -exponent;
            expText = "e" + std::to_string(exponent);
        }
    }

    std::string normal = negative ? "-" : "";
    normal += intDigits.empty() ? "0" : intDigits;
    if (!fracDigits.empty()) normal += "." + fracDigits;
    normal += expText;
    double v = 0;
    auto [ptr, ec] = std::from_chars(normal.data(), normal.data() + normal.size(), v, std::chars_format::general);
    (void)ptr;
    if (ec == std::errc()) {
        value = v;
        return true;
    }
    if (ec != std::errc::result_out_of_range) return true;  // cannot happen for this form; read as 0

    // Out of range: too large (not a number we can use) or too small (0).
    const std::string digits = intDigits + fracDigits;
    std::size_t firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    const std::int64_t leadExponent =
        static_cast<std::int64_t>(intDigits.size()) - static_cast<std::int64_t>(firstNonZero) - 1 + exponent;
    if (leadExponent < 0) {
        value = negative ? -0.0 : 0.0;
        return true;
    }
    return false;
}
