// korvane-cli find --artist A --album B [--disc [DEVICE]] [--toc TOC]
// [--musicbrainz-server URL] [--coverart-server URL] --front FILE [--back FILE]:
// searches MusicBrainz as the Find Cover Online dialog does (by artist and
// album, or by the disc's ID) and saves the first release's covers that
// the Cover Art Archive has.
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "settings/ui/WebLinks.h"
#include "sources/DiscId.h"
#include "sources/ServiceSettings.h"
#include "sources/ui/CoverDownload.h"
#include "sources/ui/ServiceClient.h"

#include <QCoreApplication>

#include <cstdio>
#include <sstream>

namespace {

std::string Why(ServiceFailure failure, const QString& detail)
{
    switch (failure) {
    case ServiceFailure::Network:
        return "the service could not be reached: " + detail.toStdString();
    case ServiceFailure::Refused:
        return "the service refused the request (" + detail.toStdString() + ")";
    case ServiceFailure::TimedOut:
        return "the service did not answer in time";
    case ServiceFailure::Malformed:
        return "the service's answer could not be read (" + detail.toStdString() + ")";
    case ServiceFailure::TooLarge:
        return "the picture is larger than Korvane downloads";
    case ServiceFailure::NotFound:
        return "no release was found";
    default:
        return "cancelled";
    }
}

// "first last leadout offset..." as libdiscid's table of contents.
DiscReading DiscOfToc(const std::string& text)
{
    std::istringstream in(text);
    int first = 0, last = 0;
    std::vector<int> offsets;
    in >> first >> last;
    for (int v; in >> v;)
        offsets.push_back(v);
    return DiscIdOfToc(first, last, offsets);
}

int Find(CCliArgs& args)
{
    std::string artist, album, toc, front, back, device;
    CoverServiceSettings services = ReadCoverServiceSettings();
    args.TakeValue("artist", artist);
    args.TakeValue("album", album);
    const bool disc = args.TakeFlag("disc");
    const bool byToc = args.TakeValue("toc", toc);
    args.TakeValue("musicbrainz-server", services.musicBrainzServer);
    args.TakeValue("coverart-server", services.coverArtServer);
    if (!args.TakeValue("front", front))
        args.SetError("--front FILE is required");
    args.TakeValue("back", back);
    const std::vector<std::string> operands = args.TakeOperands();
    if (disc && operands.size() == 1)
        device = operands.front();
    else if (!operands.empty())
        args.SetError("unexpected argument '" + operands.front() + "'");
    if (!disc && !byToc && artist.empty() && album.empty())
        args.SetError("give --artist and/or --album, or --disc");
    std::string error;
    if (!args.Finish(error))
        return CliUsageError("find", error);

    int argc = 1;
    char name[] = "korvane-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    services.contact = ContactMailAddress().toStdString();
    CServiceClient client(services);

    ReleaseReply releases;
    if (disc || byToc) {
        const DiscReading reading = byToc ? DiscOfToc(toc) : ReadDiscId(device);
        if (!reading.ok)
            return CliFail(kCliFailed, "the disc could not be read: " + reading.message);
        std::fprintf(stderr, "disc ID %s\n", reading.id.c_str());
        releases = client.LookUpDisc(reading.id);
    } else {
        releases = client.Search(artist, album);
    }
    if (releases.failure != ServiceFailure::None)
        return CliFail(kCliFailed, Why(releases.failure, releases.detail));
    for (const ReleaseInfo& r : releases.releases) {
        const CoverFiles files = DownloadCovers(client, r, std::nullopt, front, back.empty() ? std::string() : back);
        if (files.failure == ServiceFailure::NotFound || (files.failure == ServiceFailure::None && files.front.empty()))
            continue;  // no art, or no front: the next release
        if (files.failure != ServiceFailure::None)
            return CliFail(kCliFailed, Why(files.failure, files.detail));
        std::printf("%s - %s (%s %s %s, %d tracks) %s\nfront: %s\n", r.artist.c_str(), r.title.c_str(), r.year.c_str(),
                    r.country.c_str(), r.format.c_str(), r.trackCount, r.id.c_str(), files.front.c_str());
        if (!files.back.empty())
            std::printf("back: %s\n", files.back.c_str());
        return kCliDone;
    }
    return CliFail(kCliFailed, releases.releases.empty() ? "no release was found"
                                                         : "no release found has a front cover in the archive");
}

CliCommand reg({"find",
                "--artist A --album B [--disc [DEVICE]] [--toc TOC] [--musicbrainz-server URL] "
                "[--coverart-server URL] --front FILE [--back FILE]",
                "find a release on MusicBrainz, by name or by the disc in the drive, and save the first "
                "covers the Cover Art Archive has for it",
                {
                    {"artist", "A", "the artist to search for"},
                    {"album", "B", "the album title to search for"},
                    {"disc", "", "look up the disc in the drive (or in DEVICE) by its disc ID"},
                    {"toc", "TOC", "look up this table of contents instead: \"first last leadout offset...\""},
                    {"musicbrainz-server", "URL", "the MusicBrainz server (default: the setting, else musicbrainz.org)"},
                    {"coverart-server", "URL", "the Cover Art Archive server (default: the setting, else coverartarchive.org)"},
                    {"front", "FILE", "where to save the front cover"},
                    {"back", "FILE", "where to save the back cover, when the archive has one"},
                },
                {{"DEVICE", "the disc drive for --disc (default: the system's default drive)"}},
                Find});

}  // namespace
