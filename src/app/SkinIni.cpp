#include "app/SkinIni.h"

#include "settings/TextFile.h"

#include <climits>

namespace {

// A skin.ini holds a dozen short lines; anything far larger is not one.

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// strtol-like reading in base `base` (10 or 16) that never overflows.
long ReadNumber(std::string_view s, int base) {
    std::size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    long long value = 0;
    for (; i < s.size(); ++i) {
        const int d = HexDigit(s[i]);
        if (d < 0 || d >= base) break;
        value = value * base + d;
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<long>(value);
}

std::uint8_t HexByteAt(std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return 0;
    return static_cast<std::uint8_t>(ReadNumber(text.substr(pos, 2), 16) & 0xFF);
}

}  // namespace

int SkinIniInt(std::string_view text, std::string_view key, int fallback) {
    const std::size_t at = text.find(key);
    if (at == std::string_view::npos) return fallback;
    const std::size_t from = at + key.size() + 1;
    if (from >= text.size()) return 0;
    return static_cast<int>(ReadNumber(text.substr(from), 10));
}

Rgb SkinIniColor(std::string_view text, std::string_view key, Rgb fallback) {
    std::string withEquals(key);
    withEquals += '=';
    const std::size_t at = text.find(withEquals);
    if (at == std::string_view::npos) return fallback;
    return Rgb{HexByteAt(text, at + 16), HexByteAt(text, at + 18), HexByteAt(text, at + 20)};
}

SkinIniValues ReadSkinIni(std::string_view text) {
    SkinIniValues v;
    v.mainX = SkinIniInt(text, "MainPosX");
    v.mainY = SkinIniInt(text, "MainPosY");
    v.leftX = SkinIniInt(text, "LeftPosX");
    v.leftY = SkinIniInt(text, "LeftPosY");
    v.rightX = SkinIniInt(text, "RightPosX");
    v.rightY = SkinIniInt(text, "RightPosY");
    v.background = SkinIniColor(text, "BackgroundColor", v.background);
    v.text = SkinIniColor(text, "TextColor", v.text);
    v.comboText = SkinIniColor(text, "ComboTextColor", v.comboText);
    v.comboBackground = SkinIniColor(text, "ComboBkColor", v.comboBackground);
    v.useSystemColors = SkinIniInt(text, "UseSystemColors") == 1;
    v.drawEdge = SkinIniInt(text, "DrawEdgeAroundPreview") == 1;
    return v;
}

bool ReadSkinIniFile(const std::string& path, std::string& text, std::string* why) {
    std::string bytes;
    FileReadFailure failure;
    const FileReadResult result = ReadWholeFile(path, kMaxSkinIniSize, bytes, &failure);
    if (result != FileReadResult::Ok) {
        if (why)
            *why = result == FileReadResult::TooLarge
                       ? "it is " + std::to_string((failure.size + 1023) / 1024) + " KiB; at most " +
                             std::to_string(kMaxSkinIniSize / 1024) + " KiB are read"
                       : failure.reason;
        return false;
    }
    text.clear();
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        text.append(line);
        text += "\r\n";
        start = end + 1;
    }
    return true;
}
