#pragma once
// Letter case and blanks of ASCII text. Bytes outside ASCII (UTF-8 sequences,
// 8-bit text) pass through untouched, whatever the user's locale.
#include <string>
#include <string_view>

// "A".."Z" become "a".."z".
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string AsciiLower(std::string_view text);

// Without the blanks, tabs and carriage returns at either end.
std::string AsciiTrim(std::string_view text);
