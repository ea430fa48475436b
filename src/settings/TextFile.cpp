#include "settings/TextFile.h"

#include "base/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr std::uint32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at `i`; returns its length, 0 when invalid
// (overlong forms, surrogates and values above U+10FFFF are invalid).
std::size_t DecodeUtf8At(std::string_view s, std::size_t i, std::uint32_t& cp) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    std::size_t len;
    std::uint32_t min;
    if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// NUL characters become U+FFFD: no text of the program can hold them, and
// dropping them would join the pieces around them into other words.
void AppendChar(std::string& out, std::uint32_t cp) { AppendUtf8(out, cp == 0 ? kReplacement : cp); }

}  // namespace

FileReadResult ReadWholeFile(const std::string& path, std::size_t maxSize, std::string& bytes,
                             FileReadFailure* failure) {
    bytes.clear();
    const auto fail = [&](FileReadResult result, const std::string& reason, std::uint64_t size = 0) {
        if (failure) *failure = FileReadFailure{reason, size};
        bytes.clear();
        return result;
    };
    const RegularFile file = OpenRegularFile(path);
    if (file.fd < 0)
        return fail(file.refusal == FileRefusal::Missing ? FileReadResult::Missing : FileReadResult::Unreadable,
                    FileRefusalReason(file));
    const int fd = file.fd;
    if (file.size > maxSize) {
        ::close(fd);
        return fail(FileReadResult::TooLarge, "too large", file.size);
    }
    // The file may grow while it is read: never take more than maxSize.
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            const int e = errno;
            ::close(fd);
            return fail(FileReadResult::Unreadable, std::generic_category().message(e));
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxSize) {
            const std::uint64_t size = bytes.size() + static_cast<std::size_t>(n);
            ::close(fd);
            return fail(FileReadResult::TooLarge, "too large", size);
        }
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return FileReadResult::Ok;
}

bool CanOpenForReading(const std::string& path) {
    const RegularFile file = OpenRegularFile(path);
    if (file.fd < 0) return false;
    ::close(file.fd);
    return true;
}

bool IsValidUtf8(std::string_view bytes) {
    std::uint32_t cp;
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t n = DecodeUtf8At(bytes, i, cp);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

namespace {
std::string DecodeUtf16Le(std::string_view bytes, bool& clean) {
    std::string out;
    out.reserve(bytes.size());
    const std::size_t units = bytes.size() / 2;  // an odd last byte is no character
    if (bytes.size() % 2 != 0) clean = false;
    auto unit = [&](std::size_t k) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 * k])) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[1 + 2 * k])) << 8);
    };
    for (std::size_t k = 0; k < units; ++k) {
        std::uint32_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
            AppendChar(out, 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
            ++k;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            AppendChar(out, kReplacement);
            clean = false;
        } else {
            AppendChar(out, u);
        }
    }
    return out;
}
}  // namespace

bool LooksLikeUtf16LeWithoutMark(std::string_view bytes) {
    // Judged on the first characters; 8-bit text has no NUL bytes at all.
    const std::size_t units = std::min<std::size_t>(bytes.size() / 2, 4096);
    if (units < 2) return false;
    std::size_t zeroHigh = 0, zeroLow = 0;
    for (std::size_t k = 0; k < units; ++k) {
        if (bytes[2 * k + 1] == '\0') ++zeroHigh;
        if (bytes[2 * k] == '\0') ++zeroLow;
    }
    return bytes[1] == '\0' && bytes[0] != '\0' && zeroHigh * 4 >= units * 3 && zeroLow * 8 <= units;
}

std::string DecodeTextBytes(std::string_view bytes, bool* clean) {
    bool ok = true;
    std::string out;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        out = DecodeUtf16Le(bytes.substr(2), ok);
    } else if (LooksLikeUtf16LeWithoutMark(bytes)) {
        out = DecodeUtf16Le(bytes, ok);
        ok = false;  // a guess: the file keeps a copy before it is rewritten
    } else {
        if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
        // Older 8-bit files hold no UTF-8 sequence at all: each byte is its
        // own character. Otherwise the text is UTF-8 and only the bytes that
        // break it are replaced.
        bool anySequence = false, anyInvalid = false;
        std::uint32_t cp;
        for (std::size_t i = 0; i < bytes.size() && !(anySequence && anyInvalid);) {
            const std::size_t n = DecodeUtf8At(bytes, i, cp);
            anySequence |= n > 1;
            anyInvalid |= n == 0;
            i += n ? n : 1;
        }
        out.reserve(bytes.size() + bytes.size() / 8);
        const bool latin1 = anyInvalid && !anySequence;
        for (std::size_t i = 0; i < bytes.size();) {
            const std::size_t n = latin1 ? 0 : DecodeUtf8At(bytes, i, cp);
            if (n == 0) {
                AppendChar(out, latin1 ? static_cast<unsigned char>(bytes[i]) : kReplacement);
                ok = ok && latin1;
                ++i;
            } else if (n == 1) {
                AppendChar(out, cp);
                ok = ok && cp != 0;
                ++i;
            } else {
                out.append(bytes.substr(i, n));
                i += n;
            }
        }
    }
    if (clean) *clean = ok;
    return out;
}

std::string EncodeUtf16LeWithMark(std::string_view utf8) {
    std::string out;
    out.reserve(2 + utf8.size() * 2);
    out += "\xFF\xFE";
    auto put = [&](std::uint32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp;
        std::size_t n = DecodeUtf8At(utf8, i, cp);
        if (n == 0) {
            cp = kReplacement;
            n = 1;
        }
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}
