#pragma once
// The rules a picture download keeps, whatever carries it: which addresses
// are fetched, how often a server may send the download on, how large the
// picture may be, and the name under which it is kept in the cache folder
// (the name of the address's file, so that the back-cover search by file name
// finds a back cover downloaded beside it).
#include <cstdint>
#include <string>

struct DownloadLimits {
    int maxRedirects = 5;
    std::int64_t maxBytes = std::int64_t{64} << 20;  // 64 MB
    int idleSeconds = 30;                            // no data for this long: given up
};

enum class DownloadRefusal {
    None,
    Scheme,            // the address is not http or https
    RedirectScheme,    // sent on to an address that is not http or https
    TooManyRedirects,  // sent on more often than the limit
    TooLarge,          // declared or received beyond the size limit
};

// Whether an address with this scheme is downloaded: http and https, in any
// letter case.
bool IsDownloadScheme(const std::string& scheme);
// The scheme of an absolute address ("http" of "http://x/y"), lower case; ""
// when it has none.
std::string SchemeOf(const std::string& address);

// Whether the download may follow its next redirect, after `redirectsSoFar`
// were followed, to an address with scheme `targetScheme`.
DownloadRefusal CheckRedirect(int redirectsSoFar, const std::string& targetScheme, const DownloadLimits& limits);
// Whether a size (declared by Content-Length, -1 when unknown, or received so
// far) is beyond the limit.
bool BeyondSizeLimit(std::int64_t bytes, const DownloadLimits& limits);

// The file name extension of a picture kind the program reads by its MIME
// type ("image/webp; q=1" gives "webp"); "" for any other type.
std::string ExtensionForMimeType(const std::string& mimeType);

// The file name the address names (its path's last part, %-escapes decoded,
// query and fragment left out), made safe as a file name in the cache folder:
// no folder separators, control characters or leading dots, not "." or "..",
// at most kMaxCacheNameBytes bytes of valid UTF-8 with the extension kept.
// `fallback` when nothing usable is left. When the name has no extension,
// `extension` (without its dot, may be empty) is added.
inline constexpr std::size_t kMaxCacheNameBytes = 120;
std::string CacheFileName(const std::string& address, const std::string& extension = {},
                          const std::string& fallback = "cover");
// The same rules for a name that comes from elsewhere (a dropped picture's).
std::string SafeCacheName(const std::string& name, const std::string& extension = {},
                          const std::string& fallback = "cover");
