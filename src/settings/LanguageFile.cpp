#include "settings/LanguageFile.h"

#include <cstdio>

#include "settings/TextFile.h"

std::string LanguageFileText(std::string_view bytes) {
    const std::string chars = DecodeTextBytes(bytes);
    std::string text;
    text.reserve(chars.size() + chars.size() / 16);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const char c = chars[i];
        if (c == '\r') {
            if (i + 1 < chars.size() && chars[i + 1] == '\n') ++i;
            text += "\r\n";
        } else if (c == '\n') {
            text += "\r\n";
        } else {
            text += c;
        }
    }
    return text;
}

namespace {

void ReplaceAll(std::string& s, const char* from, const char* to) {
    const std::string f(from), t(to);
    for (std::size_t p = s.find(f); p != std::string::npos; p = s.find(f, p + t.size())) s.replace(p, f.size(), t);
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Entry(const std::string& text, int number) {
    char pattern[16];
    std::snprintf(pattern, sizeof pattern, "%04d=", number);
    const std::size_t start = text.find(pattern);
    if (start == std::string::npos) return {};
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string entry = text.substr(start, end - start);
    // The escapes first, so an escaped tab or line feed at the end is
    // trimmed with the rest of the trailing white space.
    ReplaceAll(entry, "\\r", "\r");
    ReplaceAll(entry, "\\t", "\t");
    ReplaceAll(entry, "\\n", "\n");
    const std::size_t patternLength = std::char_traits<char>::length(pattern);
    std::size_t keep = entry.size();
    while (keep > patternLength && IsBlank(entry[keep - 1])) --keep;
    return entry.substr(patternLength, keep - patternLength);
}

}  // namespace

std::vector<std::string> LanguageEntries(const std::string& text, const std::vector<int>& numbers) {
    std::vector<std::string> entries;
    entries.reserve(numbers.size());
    for (int number : numbers) entries.push_back(Entry(text, number));
    return entries;
}
