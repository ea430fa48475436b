#pragma once
// Metafile text is 8-bit text in its font's character set (or UTF-16 in
// enhanced metafiles); these turn it into Unicode. Symbol, "MT Extra" and
// Wingdings put their own signs on the byte values: they become the Unicode
// characters they stand for, so equations and dingbats read right in any
// font that has them.
#include <cstddef>
#include <cstdint>
#include <string>

enum class SymbolTable { None, Symbol, MtExtra, Wingdings };

// The sign table a font of that family and character set uses.
SymbolTable SymbolTableFor(const std::string& family, int charset);

// The character of an 8-bit code in that character set and table; 0 for
// codes the table leaves empty (nothing is drawn for them).
char32_t CharFromByte(unsigned byte, int charset, SymbolTable table);

// For a symbol font's sign that no installed font has (the newer
// dingbats of Wingdings): an older sign that looks like it, else 0.
char32_t SymbolStandIn(char32_t sign);

// A UTF-16 unit of an enhanced metafile: symbol fonts are addressed through
// the private range U+F020..U+F0FF or with their 8-bit codes.
char32_t CharFromWide(char32_t unit, SymbolTable table);

// The East Asian character sets whose characters take one or two bytes:
// Shift-JIS (128), Hangul (129), Johab (130), GB2312 (134), Big5 (136).
bool IsMultiByteCharset(int charset);

// Text in such a set as Unicode, one character per byte as DecodeText
// gives it: a two-byte character at its first byte, 0 at its second.
// Bytes that do not form a character become U+FFFD.
std::u32string DecodeMultiByte(const std::uint8_t* bytes, std::size_t count, int charset);
