#include "sources/DiscId.h"

#include <discid/discid.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

struct DiscFree {
    void operator()(DiscId* d) const { discid_free(d); }
};
using DiscPtr = std::unique_ptr<DiscId, DiscFree>;

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

DiscReading Reading(DiscId* disc, bool ok)
{
    DiscReading r;
    r.ok = ok;
    if (ok) {
        r.id = Text(discid_get_id(disc));
        r.toc = Text(discid_get_toc_string(disc));
    } else {
        r.message = Text(discid_get_error_msg(disc));
    }
    return r;
}

// The same drive under two names (/dev/cdrom is usually a link to /dev/sr0).
std::string Canonical(const std::string& path)
{
    std::error_code ec;
    const auto c = std::filesystem::canonical(path, ec);
    return ec ? path : c.string();
}

}  // namespace

std::vector<std::string> DiscDrives()
{
    std::vector<std::string> candidates{Text(discid_get_default_device())};
    std::error_code ec;
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator("/dev", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("sr", 0) == 0 || name.rfind("cdrom", 0) == 0)
            found.push_back(entry.path().string());
    }
    std::sort(found.begin(), found.end());
    candidates.insert(candidates.end(), found.begin(), found.end());

    std::vector<std::string> drives;
    std::vector<std::string> seen;
    for (const std::string& d : candidates) {
        if (d.empty() || !std::filesystem::exists(d, ec))
            continue;
        const std::string c = Canonical(d);
        if (std::find(seen.begin(), seen.end(), c) != seen.end())
            continue;
        seen.push_back(c);
        drives.push_back(d);
    }
    return drives;
}

DiscReading ReadDiscId(const std::string& device)
{
    DiscPtr disc(discid_new());
    if (!disc)
        return DiscReading{};
    // The table of contents is all the ID needs; the tracks' ISRCs and the
    // catalogue number would only make the drive work longer.
    const int ok = discid_read_sparse(disc.get(), device.empty() ? nullptr : device.c_str(), 0);
    return Reading(disc.get(), ok != 0);
}

DiscReading DiscIdOfToc(int firstTrack, int lastTrack, const std::vector<int>& offsets)
{
    DiscPtr disc(discid_new());
    if (!disc)
        return DiscReading{};
    // discid_put reads offsets[0] to offsets[lastTrack]; a shorter list is
    // padded with zeros, which libdiscid refuses.
    std::vector<int> all(100, 0);
    std::copy_n(offsets.begin(), std::min<std::size_t>(offsets.size(), all.size()), all.begin());
    const bool fits = firstTrack >= 1 && lastTrack >= firstTrack && lastTrack <= 99;
    const int ok = fits ? discid_put(disc.get(), firstTrack, lastTrack, all.data()) : 0;
    DiscReading r = Reading(disc.get(), ok != 0);
    if (!fits)
        r.message = "the track numbers do not fit a disc";
    return r;
}
