#pragma once
// What the update check reads from the web site's pages and how it decides
// that a newer version exists. The pages are untrusted text: every function
// here accepts any bytes.
#include <optional>
#include <string>

// At most this many characters of each page are read.
inline constexpr int kUpdatePageLimit = 1000;

// The two messages of the check (fixed English texts).
inline constexpr const char* kTextNoInternet = "Could not connect to the internet.";
inline constexpr const char* kTextNewVersion =
    "A new version of Korvane is available.\n\r\n\rWould you like to visit the Korvane web site?";

// The home page may name the version page in a frame tag: the text after
// `<frame src="` up to the next double quote (empty when the quote is
// missing). Nothing when the page has no frame tag.
std::optional<std::string> FrameAddress(const std::string& homePage);

// The version page's number: the four characters 30 on from the start of
// `<meta name="version"` (past ` content="`) read as a version number
// (base/VersionNumber.h: "1.24" gives 124, "10.0" 1000; what does not read
// as a number gives 0). Nothing when the page has no version tag.
std::optional<int> PageVersionNumber(const std::string& versionPage);

// Whether a version number read from the web site is newer than ours.
bool IsNewerThanOwnVersion(int remoteNumber);

// The proxy setting "host:port" (port after the last colon; a bare host
// means port 80). Nothing for a text that names no usable host and port,
// such as the default "server:port".
struct ProxyAddress {
    std::string host;
    int port = 80;
};
std::optional<ProxyAddress> ParseProxySetting(const std::string& proxy);

// Whether the start-up check may run for this home page: an http or https
// address outside the reserved "example" domain. Otherwise there is no site
// to ask and the check does nothing at all.
bool UpdateCheckWanted(const std::string& homePageAddress);
