#include "base/AsciiText.h"

namespace {
bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\r'; }
}  // namespace

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

std::string AsciiTrim(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsTrimmed(text[b])) ++b;
    while (e > b && IsTrimmed(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}
