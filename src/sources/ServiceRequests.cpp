#include "sources/ServiceRequests.h"

#include "settings/AppSettings.h"

namespace {

// The server address without the slashes it may end with.
std::string Base(const std::string& server)
{
    std::string base = server;
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base;
}

// A Lucene phrase: quoted, its quotes and backslashes escaped.
std::string Phrase(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

}  // namespace

std::string ServiceUserAgent(const std::string& contact)
{
    return std::string("Korvane/") + kVersionText + " ( " + contact + " )";
}

std::string PercentEncode(const std::string& text)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

bool IsDiscId(const std::string& text)
{
    if (text.size() != 28)
        return false;
    for (const char c : text) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '_' || c == '-';
        if (!ok)
            return false;
    }
    return true;
}

std::string ReleaseSearchAddress(const std::string& server, const std::string& artist, const std::string& album)
{
    std::string query;
    if (!artist.empty())
        query = "artist:" + Phrase(artist);
    if (!album.empty())
        query += (query.empty() ? "" : " AND ") + std::string("release:") + Phrase(album);
    return Base(server) + "/ws/2/release?query=" + PercentEncode(query) +
           "&limit=" + std::to_string(kReleaseSearchLimit) + "&fmt=json";
}

std::string DiscIdAddress(const std::string& server, const std::string& discId)
{
    return Base(server) + "/ws/2/discid/" + PercentEncode(discId) + "?inc=artist-credits&fmt=json";
}

std::string CoverArtAddress(const std::string& server, const std::string& releaseId)
{
    return Base(server) + "/release/" + PercentEncode(releaseId);
}
