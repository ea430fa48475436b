#pragma once
// The requests Korvane sends to the online cover services, as their rules
// ask: MusicBrainz's web service (JSON) and the Cover Art Archive.
#include <string>

// The public services; settings may name a mirror instead.
inline constexpr const char* kMusicBrainzServer = "https://musicbrainz.org";
inline constexpr const char* kCoverArtServer = "https://coverartarchive.org";

// Releases asked for at once in a search.
inline constexpr int kReleaseSearchLimit = 25;

// "Korvane/1.23 ( contact )": the program, its version and how to reach
// its makers, as MusicBrainz asks of every client.
std::string ServiceUserAgent(const std::string& contact);

// The release search for an artist and an album title (either may be
// empty, not both): a Lucene query of quoted phrases.
std::string ReleaseSearchAddress(const std::string& server, const std::string& artist, const std::string& album);
// The releases of a disc ID, with their artists and media.
std::string DiscIdAddress(const std::string& server, const std::string& discId);
// The Cover Art Archive's image listing of a release.
std::string CoverArtAddress(const std::string& server, const std::string& releaseId);

// Bytes outside the unreserved set as %XX (RFC 3986).
std::string PercentEncode(const std::string& text);
// A disc ID as MusicBrainz writes them: 28 characters of A-Z a-z 0-9 . _ -
bool IsDiscId(const std::string& text);
