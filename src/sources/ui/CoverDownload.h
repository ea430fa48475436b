#pragma once
// A release's front and back pictures fetched to files: the Cover Art
// Archive's listing (unless already known), then each picture, kept in the
// user's cache folder (or at the paths given) and not fetched again while
// the cached file is there.
#include "sources/ui/ServiceClient.h"

#include <optional>
#include <string>

struct CoverFiles {
    ServiceFailure failure = ServiceFailure::None;  // NotFound: the release has no art
    QString detail;
    std::string front;  // the files written, empty for a side the release has not
    std::string back;
};

CoverFiles DownloadCovers(CServiceClient& client, const ReleaseInfo& release,
                          const std::optional<CoverArtImages>& known = std::nullopt, std::string frontPath = {},
                          std::string backPath = {});
