#pragma once
// Reading whole text files and their two encodings: UTF-16LE behind the mark
// FF FE, or 8-bit text (UTF-8 when the bytes are valid UTF-8, otherwise one
// character per byte). In memory all text is UTF-8.
#include <cstddef>
#include <string>
#include <string_view>

enum class FileReadResult { Ok, Missing, Unreadable, TooLarge };

// Reads a regular file of at most `maxSize` bytes.
FileReadResult ReadWholeFile(const std::string& path, std::size_t maxSize, std::string& bytes);
// True when `path` is a regular file this process can open for reading.
bool CanOpenForReading(const std::string& path);

bool IsValidUtf8(std::string_view bytes);
// The characters of a file's bytes as UTF-8 (a UTF-8 byte-order mark is
// dropped). Unpaired UTF-16 surrogates and NUL characters become U+FFFD.
std::string DecodeTextBytes(std::string_view bytes);
// FF FE and the text as UTF-16LE; invalid UTF-8 bytes become U+FFFD.
std::string EncodeUtf16LeWithMark(std::string_view utf8);
