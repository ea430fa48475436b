// korvane-cli place: where a job would put the left and right covers on a
// sheet, as JSON, so that a formats file can be checked without a printer.
#include "base/JsonText.h"
#include "cli/CliCommand.h"
#include "cli/PaperOptions.h"
#include "print/CoverLayout.h"

#include <cstdio>
#include <string>

namespace {
std::string PlacementJson(const CoverPlacement& p) {
    return "{\"x\": " + std::to_string(p.x) + ", \"y\": " + std::to_string(p.y) +
           ", \"width\": " + std::to_string(p.width) + ", \"height\": " + std::to_string(p.height) +
           ", \"holeSize\": " + std::to_string(p.holeSize) + "}";
}

std::string PageJson(const PageMetrics& m) {
    return "{\"offsetX\": " + std::to_string(m.offsetX) + ", \"offsetY\": " + std::to_string(m.offsetY) +
           ", \"physicalWidth\": " + std::to_string(m.physicalWidth) +
           ", \"physicalHeight\": " + std::to_string(m.physicalHeight) +
           ", \"printableWidth\": " + std::to_string(m.printableWidth) +
           ", \"printableHeight\": " + std::to_string(m.printableHeight) + ", \"dpiX\": " + std::to_string(m.dpiX) +
           ", \"dpiY\": " + std::to_string(m.dpiY) + ", \"halfHeight\": " + std::to_string(m.halfHeight) + "}";
}

int Place(const std::vector<std::string>& argv) {
    CCliArgs args(argv);
    std::string formatsPath, leftText, rightText;
    const bool hasFormats = args.TakeValue("--formats", formatsPath);
    const bool hasLeft = args.TakeValue("--left-format", leftText);
    const bool hasRight = args.TakeValue("--right-format", rightText);
    const bool singlePage = args.TakeFlag("--single-page");
    const bool noCorrection = args.TakeFlag("--no-correction");
    const PageMetrics page = TakePaperOptions(args);
    std::string error;
    if (!args.Finish(error) || !hasFormats) {
        std::fprintf(stderr, "korvane-cli place: %s\n", hasFormats ? error.c_str() : "--formats FILE is required");
        return 2;
    }
    CoverFormatList formats;
    if (!LoadFormatsFile(formatsPath, formats, error)) {
        std::fprintf(stderr, "korvane-cli place: %s\n", error.c_str());
        return 1;
    }
    const int left = hasLeft ? ResolveFormat(formats, leftText, error) : -1;
    const int right = hasRight ? ResolveFormat(formats, rightText, error) : -1;
    if ((hasLeft && left < 0) || (hasRight && right < 0)) {
        std::fprintf(stderr, "korvane-cli place: %s\n", error.c_str());
        return 1;
    }

    CCollectingPrompter prompter;
    PlacementJob job{singlePage ? 1 : 0, noCorrection ? 0 : 1, 0, &prompter};
    std::string out = "{\"page\": " + PageJson(page);
    out += ", \"left\": " + (left >= 0 ? PlacementJson(ComputePlacement(page, formats, left, job)) : "null");
    out += ", \"right\": " +
           (right >= 0 ? PlacementJson(ComputePlacement(page, formats, right + kRightSlotFormat, job)) : "null");
    out += ", \"warnings\": [";
    for (std::size_t i = 0; i < prompter.shown.size(); ++i)
        out += (i ? ", " : "") + JsonString(prompter.shown[i]);
    out += "]}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

CliCommand reg("place",
               "place --formats FILE [--left-format F] [--right-format F] [--single-page] [--no-correction] "
               "[--paper A4|Letter|WxH] [--dpi N] [--margins L,T,R,B] [--sheet W,H] [--printable X,Y,W,H]",
               Place);
}  // namespace
