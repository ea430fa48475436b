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

int Place(CCliArgs& args) {
    std::string formatsPath, leftText, rightText;
    const bool hasFormats = args.TakeValue("formats", formatsPath);
    const bool hasLeft = args.TakeValue("left-format", leftText);
    const bool hasRight = args.TakeValue("right-format", rightText);
    const bool singlePage = args.TakeFlag("single-page");
    const bool noCorrection = args.TakeFlag("no-correction");
    const PageMetrics page = TakePaperOptions(args);
    if (!hasFormats)
        args.SetError("--formats FILE is required");
    std::string error;
    if (!args.Finish(error))
        return CliUsageError("place", error);
    CoverFormatList formats;
    if (!LoadFormatsFile(formatsPath, formats, error))
        return CliFail(kCliFailed, error);
    const int left = hasLeft ? ResolveFormat(formats, leftText, error) : -1;
    const int right = hasRight ? ResolveFormat(formats, rightText, error) : -1;
    if ((hasLeft && left < 0) || (hasRight && right < 0))
        return CliUsageError("place", error);

    CCollectingPrompter prompter;
    PlacementJob job{singlePage ? 1 : 0, noCorrection ? 0 : 1, 0, &prompter};
    std::string out = "{\"page\": " + PageJson(page);
    out += ", \"left\": " + (left >= 0 ? PlacementJson(ComputePlacement(page, formats, LeftFormat(left), job)) : "null");
    out += ", \"right\": " +
           (right >= 0 ? PlacementJson(ComputePlacement(page, formats, RightFormat(right), job)) : "null");
    out += ", \"warnings\": [";
    for (std::size_t i = 0; i < prompter.shown.size(); ++i)
        out += (i ? ", " : "") + JsonString(prompter.shown[i]);
    out += "]}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

CliCommand reg({"place",
                "--formats FILE [--left-format F] [--right-format F] [--single-page] [--no-correction] "
                "[PAPER OPTIONS]",
                "print where a job would put the left and right covers on the sheet, as JSON",
                WithPaperOptions({
                    {"formats", "FILE", "the cover formats file"},
                    {"left-format", "F", "the left cover's format: its index in the list or its exact name"},
                    {"right-format", "F", "the right cover's format, as --left-format"},
                    {"single-page", "", "both covers on one page"},
                    {"no-correction", "", "leave covers where the format puts them, also outside the "
                                          "printable area"},
                }),
                {},
                Place});
}  // namespace
