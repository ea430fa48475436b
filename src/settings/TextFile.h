#pragma once
// Reading whole text files and their encodings: UTF-16LE behind the mark
// FF FE (or without it, recognised by its zero high bytes), or 8-bit text:
// UTF-8, where a byte that is not part of valid UTF-8 becomes U+FFFD and the
// rest keeps its characters; a file without any UTF-8 sequence at all is
// older 8-bit text, one character per byte. In memory all text is UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class FileReadResult { Ok, Missing, Unreadable, TooLarge };

// Why a read failed: the system's message (or "is a folder"), and the
// file's size for TooLarge.
struct FileReadFailure {
    std::string reason;
    std::uint64_t size = 0;
};

// Reads a regular file of at most `maxSize` bytes.
FileReadResult ReadWholeFile(const std::string& path, std::size_t maxSize, std::string& bytes,
                             FileReadFailure* failure = nullptr);
// True when `path` is a regular file this process can open for reading.
bool CanOpenForReading(const std::string& path);

bool IsValidUtf8(std::string_view bytes);
// The characters of a file's bytes as UTF-8 (a UTF-8 byte-order mark is
// dropped). Unpaired UTF-16 surrogates and NUL characters become U+FFFD.
// `clean` (when given) tells whether every byte was read as a character of
// a recognised encoding: false when something was replaced or the encoding
// was guessed (UTF-16LE without its mark).
std::string DecodeTextBytes(std::string_view bytes, bool* clean = nullptr);
// True when the bytes look like UTF-16LE text without its mark: most
// characters below U+0100, so most odd bytes are zero and even ones are not.
bool LooksLikeUtf16LeWithoutMark(std::string_view bytes);
// FF FE and the text as UTF-16LE; invalid UTF-8 bytes become U+FFFD.
std::string EncodeUtf16LeWithMark(std::string_view utf8);
