#pragma once
// The values of a skin folder's skin.ini. Skins in the wild are written for
// the way the program has always read them, so the reading is literal: no
// sections, the first occurrence of a key counts, an integer follows its key
// after exactly one character, and a colour's six hexadecimal digits stand
// 16 characters after the start of its key.
#include "base/Rgb.h"

#include <cstddef>
#include <string>
#include <string_view>

struct SkinIniValues {
    int mainX = 0, mainY = 0;
    int leftX = 0, leftY = 0;
    int rightX = 0, rightY = 0;
    Rgb background{0x3C, 0x3C, 0x3C};
    Rgb text{0xC0, 0xC0, 0xC0};
    Rgb comboText{0xFF, 0xFF, 0xFF};
    Rgb comboBackground{0x80, 0x80, 0x80};
    bool useSystemColors = false;
    bool drawEdge = false;
};

// An integer key: the number after the key and one more character ("="),
// leading blanks skipped, an optional sign; no digits give 0, a missing key
// `fallback`. Numbers beyond the int range are clamped.
int SkinIniInt(std::string_view text, std::string_view key, int fallback = 0);
// A colour key: the first occurrence of key + "="; red, green and blue are the
// two-character hexadecimal numbers 16, 18 and 20 characters after the key's
// start. `fallback` when key + "=" does not occur.
Rgb SkinIniColor(std::string_view text, std::string_view key, Rgb fallback);
// All keys of a skin.ini text.
SkinIniValues ReadSkinIni(std::string_view text);

// The largest skin.ini read: far beyond any real one (comments included),
// small enough that a stray huge file is not taken into memory.
inline constexpr std::size_t kMaxSkinIniSize = 1024 * 1024;

// The file's lines joined with CR LF, as the values are looked up in; false
// when it cannot be read (missing, unreadable, larger than kMaxSkinIniSize),
// with `why` (when given) saying which.
bool ReadSkinIniFile(const std::string& path, std::string& text, std::string* why = nullptr);
