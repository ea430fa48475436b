#include "sources/CoverCache.h"

#include "base/AsciiText.h"
#include "sources/ServiceAnswers.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

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

std::uintmax_t PruneCoverCache(const std::string& folder, std::uintmax_t maxBytes, std::chrono::seconds spare)
{
    namespace fs = std::filesystem;
    struct Entry {
        fs::path path;
        fs::file_time_type touched;
        std::uintmax_t bytes;
    };
    std::vector<Entry> files;
    std::vector<fs::path> folders;
    std::uintmax_t total = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
         !ec && it != end; it.increment(ec)) {
        const fs::file_status status = it->symlink_status(ec);
        if (ec)
            break;
        if (fs::is_directory(status)) {
            folders.push_back(it->path());
            continue;
        }
        const std::uintmax_t bytes = fs::is_regular_file(status) ? it->file_size(ec) : 0;
        const fs::file_time_type touched = it->last_write_time(ec);
        if (ec) {
            ec.clear();
            continue;
        }
        files.push_back({it->path(), touched, bytes});
        total += bytes;
    }
    std::sort(files.begin(), files.end(), [](const Entry& a, const Entry& b) { return a.touched < b.touched; });
    const fs::file_time_type keepFrom = fs::file_time_type::clock::now() - spare;
    for (const Entry& file : files) {
        if (total <= maxBytes || file.touched >= keepFrom)
            break;
        std::error_code removed;
        if (fs::remove(file.path, removed))
            total -= file.bytes;
    }
    // Deepest first, so that a folder emptied of folders goes too; remove()
    // refuses a folder that still holds something.
    std::sort(folders.begin(), folders.end(), [](const fs::path& a, const fs::path& b) {
        return std::distance(a.begin(), a.end()) > std::distance(b.begin(), b.end());
    });
    for (const fs::path& f : folders) {
        std::error_code notEmpty;
        fs::remove(f, notEmpty);
    }
    return total;
}
