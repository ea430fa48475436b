#pragma once
// Where downloaded covers are kept: the user's cache folder, one folder per
// release, the files named as a user would name them ("Artist - Album -
// Front.jpg"), so that the back cover matches its front by name.
#include <chrono>
#include <cstdint>
#include <string>

// $XDG_CACHE_HOME/korvane/covers, else ~/.cache/korvane/covers.
std::string CoverCacheFolder();

// "Artist - Album - Front.jpg" (side "Front" or "Back"), the extension
// taken from the address when it names a picture kind, else ".jpg".
// Characters a file name cannot hold are replaced; long names are cut.
std::string CoverFileName(const std::string& artist, const std::string& album, const std::string& side,
                          const std::string& address);

// The cached file of a release (a MusicBrainz ID; anything else gives "").
std::string CoverCachePath(const std::string& releaseId, const std::string& fileName);

// Keeps the cache folder within `maxBytes`: the files touched longest ago
// go first, and the empty folders they leave; files touched within
// `spare` of now (the pictures just taken and their back covers) stay
// whatever the size. Symbolic links are removed as links, never followed.
// Files that cannot be removed are passed over. The bytes left.
constexpr std::uintmax_t kCoverCacheBytes = 256u << 20;
std::uintmax_t PruneCoverCache(const std::string& folder, std::uintmax_t maxBytes = kCoverCacheBytes,
                               std::chrono::seconds spare = std::chrono::hours(1));
