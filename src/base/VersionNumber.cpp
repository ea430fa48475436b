#include "base/VersionNumber.h"

#include <charconv>
#include <climits>
#include <cmath>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The longest decimal number at the start of `text` after blanks; 0 when
// there is none.
double ReadDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // A number starts with a digit or a point (no "inf", "nan" or hex here).
    if (i >= text.size() || !(IsDigit(text[i]) || text[i] == '.')) return 0;
    double value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0;
    return negative ? -value : value;
}
}  // namespace

int VersionNumber(std::string_view text) {
    double scaled = ReadDecimal(text) * 100;
    // A product a few units in the last place off a whole number is that
    // number; a real fraction of a hundredth ("1.239") is far larger.
    const double nearest = std::round(scaled);
    if (std::fabs(scaled - nearest) <= 1e-9 * std::fmax(1.0, std::fabs(scaled))) scaled = nearest;
    if (!(scaled < static_cast<double>(INT_MAX))) return INT_MAX;
    if (!(scaled > static_cast<double>(INT_MIN))) return INT_MIN;
    return static_cast<int>(scaled);
}
