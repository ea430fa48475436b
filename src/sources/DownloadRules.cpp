#include "sources/DownloadRules.h"

#include "image/PictureKinds.h"

#include <cctype>
#include <string_view>

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string PercentDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = HexValue(text[i + 1]), lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The length of the valid UTF-8 sequence at `at`, 0 when it is not one
// (overlong forms, surrogates and code points beyond U+10FFFF included).
std::size_t Utf8Length(const std::string& s, std::size_t at) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char c = b(at);
    std::size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (n == 0 || at + n > s.size())
        return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((b(at + i) & 0xC0) != 0x80)
            return 0;
    if (n == 3 && ((c == 0xE0 && b(at + 1) < 0xA0) || (c == 0xED && b(at + 1) >= 0xA0)))
        return 0;
    if (n == 4 && ((c == 0xF0 && b(at + 1) < 0x90) || (c == 0xF4 && b(at + 1) >= 0x90)))
        return 0;
    return n;
}

// Folder separators, control characters and what other systems refuse in a
// name become "_"; so does every byte that is not valid UTF-8.
std::string Cleaned(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = Utf8Length(name, i);
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (n == 0) {
            out += '_';
            ++i;
            continue;
        }
        if (n == 1 && (c < 0x20 || c == 0x7F || std::string_view("/\\:*?\"<>|").find(static_cast<char>(c)) !=
                                                    std::string_view::npos))
            out += '_';
        else
            out.append(name, i, n);
        i += n;
    }
    return out;
}

std::string Trimmed(const std::string& name) {
    const std::size_t first = name.find_first_not_of(". ");
    if (first == std::string::npos)
        return {};
    const std::size_t last = name.find_last_not_of(". ");
    return name.substr(first, last - first + 1);
}

// `text` cut to at most `bytes` bytes without splitting a UTF-8 sequence.
std::string CutUtf8(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes)
        return text;
    std::size_t end = bytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

}  // namespace

bool IsDownloadScheme(const std::string& scheme) {
    std::string lower;
    for (const char c : scheme)
        lower += Lower(c);
    return lower == "http" || lower == "https";
}

std::string SchemeOf(const std::string& address) {
    const std::size_t colon = address.find(':');
    if (colon == std::string::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(address[0])))
        return {};
    std::string scheme;
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = address[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
            return {};
        scheme += Lower(c);
    }
    return scheme;
}

DownloadRefusal CheckRedirect(int redirectsSoFar, const std::string& targetScheme, const DownloadLimits& limits) {
    // A server must not turn a download into a read of the user's own files
    // (file:) or of anything else than the web.
    if (!IsDownloadScheme(targetScheme))
        return DownloadRefusal::RedirectScheme;
    if (redirectsSoFar >= limits.maxRedirects)
        return DownloadRefusal::TooManyRedirects;
    return DownloadRefusal::None;
}

bool BeyondSizeLimit(std::int64_t bytes, const DownloadLimits& limits) { return bytes > limits.maxBytes; }

std::string ExtensionForMimeType(const std::string& mimeType) {
    std::string type;
    for (const char c : mimeType.substr(0, mimeType.find(';')))
        if (c != ' ' && c != '\t')
            type += Lower(c);
    for (const PictureKind& kind : ReadablePictureKinds())
        for (const std::string& m : kind.mimeTypes)
            if (m == type && !kind.extensions.empty())
                return kind.extensions.front();
    return {};
}

std::string CacheFileName(const std::string& address, const std::string& extension, const std::string& fallback) {
    std::string rest = address.substr(0, address.find_first_of("?#"));
    const std::size_t authority = rest.find("://");
    if (authority != std::string::npos) {
        const std::size_t path = rest.find('/', authority + 3);
        rest = path == std::string::npos ? std::string() : rest.substr(path);
    }
    const std::size_t slash = rest.find_last_of('/');
    const std::string last = slash == std::string::npos ? rest : rest.substr(slash + 1);
    return SafeCacheName(PercentDecoded(last), extension, fallback);
}

std::string SafeCacheName(const std::string& name, const std::string& extension, const std::string& fallback) {
    std::string safe = Trimmed(Cleaned(name));
    if (safe.empty())
        safe = fallback;
    if (safe.empty())
        return {};
    std::size_t dot = safe.find_last_of('.');
    if ((dot == std::string::npos || dot == 0) && !extension.empty()) {
        safe += "." + extension;
        dot = safe.find_last_of('.');
    }
    if (safe.size() <= kMaxCacheNameBytes)
        return safe;
    // Too long: the stem is shortened, a short extension kept (it names the
    // kind for the open dialog and the file manager).
    std::string ext = dot != std::string::npos && dot > 0 ? safe.substr(dot) : std::string();
    if (ext.size() > 16)
        ext.clear();
    const std::string stem = ext.empty() ? safe : safe.substr(0, dot);
    return Trimmed(CutUtf8(stem, kMaxCacheNameBytes - ext.size())) + ext;
}
