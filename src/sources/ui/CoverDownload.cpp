#include "sources/ui/CoverDownload.h"

#include "sources/CoverCache.h"

#include <filesystem>

namespace {

// The cache's file when it is there already, else the file downloaded.
ServiceReply Fetch(CServiceClient& client, const std::string& address, const std::string& path, bool cached)
{
    std::error_code ec;
    if (cached && std::filesystem::is_regular_file(path, ec) && std::filesystem::file_size(path, ec) > 0) {
        // Touched, so that keeping the cache small takes it last.
        std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now(), ec);
        return {};
    }
    return client.SavePicture(address, path);
}

}  // namespace

CoverFiles DownloadCovers(CServiceClient& client, const ReleaseInfo& release,
                          const std::optional<CoverArtImages>& known, std::string frontPath, std::string backPath)
{
    CoverFiles files;
    CoverArtImages images;
    if (known && known->HasArt()) {
        images = *known;
    } else {
        const CoverArtReply art = client.CoverArt(release.id);
        if (art.failure != ServiceFailure::None) {
            files.failure = art.failure;
            files.detail = art.detail;
            return files;
        }
        images = art.images;
    }
    const bool cachedFront = frontPath.empty();
    const bool cachedBack = backPath.empty();
    if (cachedFront)
        frontPath = CoverCachePath(release.id, CoverFileName(release.artist, release.title, "Front", images.front));
    if (cachedBack)
        backPath = CoverCachePath(release.id, CoverFileName(release.artist, release.title, "Back", images.back));
    for (const bool front : {true, false}) {
        const std::string& address = front ? images.front : images.back;
        const std::string& path = front ? frontPath : backPath;
        if (address.empty() || path.empty())
            continue;
        const ServiceReply r = Fetch(client, address, path, front ? cachedFront : cachedBack);
        if (!r.ok()) {
            files.failure = r.failure;
            files.detail = r.detail;
            return files;
        }
        (front ? files.front : files.back) = path;
    }
    if (cachedFront || cachedBack)
        PruneCoverCache(CoverCacheFolder());
    return files;
}
