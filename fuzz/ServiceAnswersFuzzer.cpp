// An answer of the online cover services from untrusted bytes, read as a
// release list and as an art listing: nothing may crash, every release kept
// has a valid ID, and every address kept is an http(s) one.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "settings/WebAddress.h"
#include "sources/CoverCache.h"
#include "sources/CoverQuery.h"
#include "sources/ServiceAnswers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const ReleaseAnswer releases = ParseReleases(text);
    Check(releases.ok || !releases.error.empty());
    for (const ReleaseInfo& r : releases.releases) {
        Check(IsMusicBrainzId(r.id));
        // Whatever the names, the cached file stays in its release's folder.
        const std::string name = CoverFileName(r.artist, r.title, "Front", text);
        Check(name.find('/') == std::string::npos);
        Check(CoverCachePath(r.id, name).find("/../") == std::string::npos);
    }
    const CoverArtAnswer art = ParseCoverArt(text);
    Check(art.ok || !art.error.empty());
    for (const std::string* a : {&art.images.front, &art.images.frontThumbnail, &art.images.back,
                                 &art.images.backThumbnail})
        Check(a->empty() || IsWebAddress(*a));
    QueryFromFileName(text, {"front", "-f"});
    return 0;
}
