// korvane-cli scan [--device NAME] [--dpi N] [--grey] [--crop] -o FILE.png:
// scans through SANE as the Scan Cover dialog does and writes the picture
// as a PNG that carries its resolution, so its size in millimetres is known.
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "cli/PngWriter.h"
#include "sources/CoverCrop.h"
#include "sources/ScanSession.h"

#include <cstdio>
#include <vector>

namespace {

int ScanToPng(CCliArgs& args)
{
    ScanRequest request;
    std::string dpi, output;
    args.TakeValue("device", request.device);
    if (args.TakeValue("dpi", dpi)) {
        request.dpi = std::atoi(dpi.c_str());
        if (request.dpi < 25 || request.dpi > 4800)
            args.SetError("--dpi wants a resolution from 25 to 4800");
    }
    request.grey = args.TakeFlag("grey");
    const bool crop = args.TakeFlag("crop");
    if (!args.TakeValue("o", output))
        args.SetError("-o FILE.png is required");
    std::string error;
    if (!args.Finish(error))
        return CliUsageError("scan", error);

    ScanResult r = Scan(request);
    if (r.status == ScanStatus::NoScanner)
        return CliFail(kCliFailed, request.device.empty() ? "no scanner was found"
                                                          : "no scanner '" + request.device + "' was found");
    if (r.status != ScanStatus::Done)
        return CliFail(kCliFailed, "the scan failed: " + r.message);
    const CRasterImage picture = crop ? CropPicture(r.picture, FindCoverOnPlaten(r.picture)) : std::move(r.picture);
    const int w = picture.GetWidth();
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(w) * 3);
    const bool written = WritePng(
        output, w, picture.GetHeight(), 3,
        [&](int y, std::uint8_t* row) {
            picture.CopyRowsBgr(y, 1, bgr.data(), static_cast<std::ptrdiff_t>(bgr.size()));
            for (int x = 0; x < w; ++x) {
                row[3 * x] = bgr[3 * x + 2];
                row[3 * x + 1] = bgr[3 * x + 1];
                row[3 * x + 2] = bgr[3 * x];
            }
        },
        &error, picture.GetXDpi());
    if (!written)
        return CliFail(kCliFailed, error);
    std::fprintf(output == "-" ? stderr : stdout, "%dx%d at %d dpi: %.1f x %.1f mm\n", w, picture.GetHeight(),
                 picture.GetXDpi(), w * 25.4 / picture.GetXDpi(), picture.GetHeight() * 25.4 / picture.GetYDpi());
    return kCliDone;
}

CliCommand reg({"scan", "[--device NAME] [--dpi N] [--grey] [--crop] -o FILE.png",
                "scan a cover through SANE as the Scan Cover dialog does; the PNG carries the resolution",
                {
                    {"device", "NAME", "the SANE device (default: the first scanner found; see scanimage -L)"},
                    {"dpi", "N", "the resolution, 150, 300 or 600 as the dialog offers (default 300)"},
                    {"grey", "", "scan in grey instead of colour"},
                    {"crop", "", "cut the cover out of the scanner's background"},
                    {"o", "FILE.png", "where to write the picture; \"-\" is standard output"},
                },
                {},
                ScanToPng});

}  // namespace
