#include "settings/TextFile.h"

#include <cerrno>
#include <cstdint>
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

FileReadResult ReadWholeFile(const std::string& path, std::size_t maxSize, std::string& bytes) {
    bytes.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return (errno == ENOENT || errno == ENOTDIR) ? FileReadResult::Missing : FileReadResult::Unreadable;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return FileReadResult::Unreadable;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxSize) {
        ::close(fd);
        return FileReadResult::TooLarge;
    }
    // The file may grow while it is read: never take more than maxSize.
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ::close(fd);
            bytes.clear();
            return FileReadResult::Unreadable;
        }
        if (n == 0) break;
        if (bytes.size() + static_cast<std::size_t>(n) > maxSize) {
            ::close(fd);
            bytes.clear();
            return FileReadResult::TooLarge;
        }
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return FileReadResult::Ok;
}

bool CanOpenForReading(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st{};
    bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
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

std::string DecodeTextBytes(std::string_view bytes) {
    std::string out;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        out.reserve(bytes.size());
        const std::size_t units = (bytes.size() - 2) / 2;  // an odd last byte is no character
        auto unit = [&](std::size_t k) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2 + 2 * k])) |
                   (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[3 + 2 * k])) << 8);
        };
        for (std::size_t k = 0; k < units; ++k) {
            std::uint32_t u = unit(k);
            if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
                AppendChar(out, 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
                ++k;
            } else if (u >= 0xD800 && u <= 0xDFFF) {
                AppendChar(out, kReplacement);
            } else {
                AppendChar(out, u);
            }
        }
        return out;
    }
    if (IsValidUtf8(bytes)) {
        if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
        out.reserve(bytes.size());
        for (char c : bytes) {
            if (c == '\0')
                AppendChar(out, 0);
            else
                out += c;
        }
        return out;
    }
    out.reserve(bytes.size() * 2);
    for (char c : bytes) AppendChar(out, static_cast<unsigned char>(c));
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
