#pragma once
// Reading the answers of the online cover services: MusicBrainz's release
// search and disc-ID look-up, and the Cover Art Archive's image listing of
// a release. The answers are untrusted text: any bytes give a result or a
// reason, never more than kMaxAnswerBytes are read, and the texts kept are
// short, printable UTF-8.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::size_t kMaxAnswerBytes = 4u << 20;

struct ReleaseInfo {
    std::string id;       // a MusicBrainz ID (36 characters, checked)
    std::string title;
    std::string artist;   // the artist credit as written, join phrases included
    std::string year;     // "1997", or empty
    std::string country;  // "GB", "XE", or empty
    std::string format;   // "CD", "2×CD", "CD + DVD", or empty
    int trackCount = 0;
};

struct ReleaseAnswer {
    bool ok = false;
    std::vector<ReleaseInfo> releases;  // in the service's order; entries without a valid ID left out
    std::string error;                  // why the answer could not be read
};

// A release search (/ws/2/release?query=...) or a disc-ID look-up
// (/ws/2/discid/ID): both list "releases".
ReleaseAnswer ParseReleases(std::string_view json);

struct CoverArtImages {
    std::string front, frontThumbnail;  // addresses, empty when the release has none
    std::string back, backThumbnail;
    bool HasArt() const { return !front.empty() || !back.empty(); }
};

struct CoverArtAnswer {
    bool ok = false;
    CoverArtImages images;
    std::string error;
};

// The Cover Art Archive's listing of a release (/release/ID): the first
// image marked front and the first marked back, each with its 250-pixel
// (or small) thumbnail; only http and https addresses are kept.
CoverArtAnswer ParseCoverArt(std::string_view json);

// A MusicBrainz ID: 36 characters, lower-case hexadecimal digits and
// hyphens in the 8-4-4-4-12 pattern.
bool IsMusicBrainzId(std::string_view text);
