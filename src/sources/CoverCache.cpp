#include "sources/CoverCache.h"

#include "base/AsciiText.h"
#include "sources/ServiceAnswers.h"

#include <cstdlib>

namespace {

constexpr std::size_t kMaxPartBytes = 80;

std::string Environment(const char* name)
{
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

// A name part without slashes, control characters or a leading dot, cut
// at a character boundary.
std::string FilePart(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (out.size() >= kMaxPartBytes && (u & 0xC0) != 0x80)
            break;
        if (u < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
            c == '>' || c == '|' || u == 0x7f)
            out.push_back('_');
        else
            out.push_back(c);
    }
    std::string trimmed = AsciiTrim(out);
    while (!trimmed.empty() && trimmed.front() == '.')
        trimmed.erase(0, 1);
    return trimmed;
}

std::string ExtensionOf(const std::string& address)
{
    std::string path = address.substr(0, address.find_first_of("?#"));
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return ".jpg";
    const std::string ext = AsciiLower(path.substr(dot));
    for (const char* known : {".jpg", ".jpeg", ".png", ".gif", ".webp"})
        if (ext == known)
            return ext;
    return ".jpg";
}

}  // namespace

std::string CoverCacheFolder()
{
    std::string base = Environment("XDG_CACHE_HOME");
    if (base.empty() || base.front() != '/') {
        const std::string home = Environment("HOME");
        base = (home.empty() ? std::string("/tmp") : home) + "/.cache";
    }
    return base + "/korvane/covers";
}

std::string CoverFileName(const std::string& artist, const std::string& album, const std::string& side,
                          const std::string& address)
{
    std::string name;
    for (const std::string& part : {FilePart(artist), FilePart(album)})
        if (!part.empty())
            name += part + " - ";
    return name + side + ExtensionOf(address);
}

std::string CoverCachePath(const std::string& releaseId, const std::string& fileName)
{
    if (!IsMusicBrainzId(releaseId) || fileName.empty() || fileName.find('/') != std::string::npos)
        return {};
    return CoverCacheFolder() + "/" + releaseId + "/" + fileName;
}
