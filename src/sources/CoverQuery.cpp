#include "sources/CoverQuery.h"

#include "base/AsciiText.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsSeparator(char c)
{
    return c == ' ' || c == '-' || c == '_' || c == '.' || c == '(' || c == ')' || c == '[' || c == ']' || c == ',';
}

void TrimSeparators(std::string& s)
{
    while (!s.empty() && IsSeparator(s.back()))
        s.pop_back();
    std::size_t from = 0;
    while (from < s.size() && (s[from] == ' ' || s[from] == '_'))
        ++from;
    s.erase(0, from);
}

// Removes `word` from the end of `name` when it stands there as a word of
// its own (after a separator, or itself beginning with one).
bool StripTrailingWord(std::string& name, const std::string& word)
{
    const std::string w = AsciiLower(AsciiTrim(word));
    if (w.empty() || name.size() < w.size())
        return false;
    const std::size_t at = name.size() - w.size();
    if (AsciiLower(name.substr(at)) != w)
        return false;
    if (at > 0 && !IsSeparator(name[at - 1]) && std::isalnum(static_cast<unsigned char>(w.front())))
        return false;
    name.erase(at);
    return true;
}

}  // namespace

CoverQuery QueryFromFileName(const std::string& fileName, const std::vector<std::string>& frontKeywords)
{
    std::string name = fileName;
    if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string::npos)
        name.erase(0, slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
        name.erase(dot);
    if (name.find(' ') == std::string::npos)
        std::replace(name.begin(), name.end(), '_', ' ');

    std::vector<std::string> words = frontKeywords;
    for (const char* w : {"front cover", "frontcover", "cover", "front"})
        words.emplace_back(w);
    // Longest first: "front + inside" before "front".
    std::sort(words.begin(), words.end(), [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    TrimSeparators(name);
    for (const std::string& w : words) {
        if (StripTrailingWord(name, w)) {
            TrimSeparators(name);
            break;
        }
    }

    CoverQuery query;
    const std::size_t dash = name.find(" - ");
    if (dash == std::string::npos) {
        query.album = name;
        return query;
    }
    query.artist = name.substr(0, dash);
    query.album = name.substr(dash + 3);
    TrimSeparators(query.artist);
    TrimSeparators(query.album);
    return query;
}
