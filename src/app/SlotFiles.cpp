#include "app/SlotFiles.h"

#include "image/RasterImage.h"
#include "image/RegularFile.h"

#include <unistd.h>

namespace {
std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return s;
}

// Only a regular file counts: a pipe named like the back cover would hold
// the window until something writes to it.
bool CanOpen(const std::string& path) {
    const RegularFile file = OpenRegularFile(path);
    if (file.fd < 0)
        return false;
    ::close(file.fd);
    return true;
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
    const std::string lower = Lower(leftPath);
    for (std::size_t i = 0; i < leftKeywords.size(); ++i) {
        // An empty keyword would match everywhere; one without a partner has
        // nothing to be replaced by.
        if (leftKeywords[i].empty() || i >= rightKeywords.size())
            continue;
        const std::size_t at = lower.find(Lower(leftKeywords[i]), start);
        if (at == std::string::npos)
            continue;
        const std::string found = leftPath.substr(at, leftKeywords[i].size());
        const std::string candidate = ReplaceAll(leftPath, found, rightKeywords[i]);
        if (candidate != leftPath && CanOpen(candidate))
            return candidate;
    }
    return std::nullopt;
}
