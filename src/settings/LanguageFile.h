#pragma once
// The .lng language file: lines of "NNNN=text" (a four-digit number), read as
// one text. Anything else in the file (section headings, comments) is skipped
// only because it holds no such entry.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Language files larger than this are treated as unreadable.
inline constexpr std::size_t kMaxLanguageFileSize = 1u << 20;

// The file's characters (UTF-16LE behind FF FE, else 8-bit text) as lines
// joined with CR LF; CR LF, LF and a lone CR all end a line.
std::string LanguageFileText(std::string_view bytes);

// The entry of each number, in the order of `numbers`: the first "%04d="
// anywhere in the text (also inside another entry or a comment), up to the
// line end, with "\r", "\t", "\n" replaced, white space at the end removed;
// "" when there is none.
std::vector<std::string> LanguageEntries(const std::string& text, const std::vector<int>& numbers);
