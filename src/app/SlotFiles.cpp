#include "app/SlotFiles.h"

#include "base/AsciiText.h"
#include "image/RasterImage.h"
#include "base/RegularFile.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace {
// Only a regular file counts: a pipe named like the back cover would hold
// the window until something writes to it.
bool CanOpen(const std::string& path) {
    const RegularFile file = OpenRegularFile(path);
    if (file.fd < 0)
        return false;
    ::close(file.fd);
    return true;
}

namespace fs = std::filesystem;

// The entry of `folder` whose name equals `name` apart from letter case; of
// several, the first by name, so that the choice does not depend on the
// order the folder lists them in.
std::optional<fs::path> EntryIgnoringCase(const fs::path& folder, const std::string& name) {
    const std::string wanted = AsciiLower(name);
    std::optional<std::string> best;
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (AsciiLower(entry) == wanted && (!best || entry < *best))
            best = entry;
    }
    if (!best)
        return std::nullopt;
    return folder / *best;
}

// The file a path names on a file system that tells letter case apart: each
// part of the path that does not exist as written is looked up in its folder
// without regard to case.
std::optional<std::string> ExistingFileIgnoringCase(const std::string& path) {
    if (CanOpen(path))
        return path;
    const fs::path p(path);
    fs::path resolved = p.root_path();
    std::error_code ec;
    for (const fs::path& part : p.relative_path()) {
        fs::path next = resolved / part;
        if (!fs::exists(next, ec)) {
            std::optional<fs::path> found = EntryIgnoringCase(resolved, part.string());
            if (!found)
                return std::nullopt;
            next = *found;
        }
        resolved = next;
    }
    if (!fs::is_regular_file(resolved, ec) || !CanOpen(resolved.string()))
        return std::nullopt;
    return resolved.string();
}

// Every occurrence of `from` replaced by `to`, left to right, without looking
// at the inserted text again.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string::npos)
            break;
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    out.append(text, pos, std::string::npos);
    return out;
}
}  // namespace

int FileTypeFromExtension(const std::string& path) { return ImageTypeFromExtension(path); }

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

std::string FileNameOf(const std::string& path) {
    const std::size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string FolderOf(const std::string& path) {
    const std::size_t sep = LastSeparator(path);
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

std::optional<std::string> FindMatchingCover(const std::string& leftPath,
                                             const std::vector<std::string>& leftKeywords,
                                             const std::vector<std::string>& rightKeywords) {
    const std::size_t start = LastSeparator(leftPath);
    if (start == std::string::npos)
        return std::nullopt;
    const std::string lower = AsciiLower(leftPath);
    for (std::size_t i = 0; i < leftKeywords.size(); ++i) {
        // An empty keyword would match everywhere; one without a partner has
        // nothing to be replaced by.
        if (leftKeywords[i].empty() || i >= rightKeywords.size())
            continue;
        const std::size_t at = lower.find(AsciiLower(leftKeywords[i]), start);
        if (at == std::string::npos)
            continue;
        const std::string found = leftPath.substr(at, leftKeywords[i].size());
        const std::string candidate = ReplaceAll(leftPath, found, rightKeywords[i]);
        if (candidate == leftPath)
            continue;
        // "back" finds "Back.jpg": the keyword is the user's, the letter
        // case is the file's.
        if (std::optional<std::string> file = ExistingFileIgnoringCase(candidate); file && *file != leftPath)
            return file;
    }
    return std::nullopt;
}
