// korvane-cli place: where a job would put the left and right covers on a
// sheet, as JSON, so that a formats file can be checked without a printer.
#include "base/JsonText.h"
#include "cli/CliCommand.h"
#include "cli/PaperOptions.h"
#include "image/RasterImage.h"
#include "print/CoverLayout.h"
#include "print/PictureBox.h"

#include <cstdio>
#include <string>

namespace {
std::string PlacementJson(const CoverPlacement& p) {
    return "{\"x\": " + std::to_string(p.x) + ", \"y\": " + std::to_string(p.y) +
           ", \"width\": " + std::to_string(p.width) + ", \"height\": " + std::to_string(p.height) +
           ", \"holeSize\": " + std::to_string(p.holeSize) + "}";
}

std::string BoxJson(const SurfaceRect& r) {
    return "{\"x\": " + std::to_string(r.left) + ", \"y\": " + std::to_string(r.top) +
           ", \"width\": " + std::to_string(r.width()) + ", \"height\": " + std::to_string(r.height()) + "}";
}

// A slot's cover, and with a bleed or a picture where its picture goes:
// "picture" the whole picture's box, "clip" what of it shows (sheet pixels).
std::string SlotJson(const CoverPlacement& p, const PageMetrics& page, const PictureFill& fill, double bleedMm,
                     const CRasterImage* image) {
    std::string json = PlacementJson(p);
    if (bleedMm <= 0 && !image)
        return json;
    const PictureBox box =
        PlacePicture(SurfaceRect{p.x, p.y, p.x + p.width, p.y + p.height}, BleedPixels(bleedMm, page.dpiX / 25.4),
                     BleedPixels(bleedMm, page.dpiY / 25.4), image ? image->GetFileWidth() : 0,
                     image ? image->GetFileHeight() : 0, image ? fill : PictureFill{});
    json.pop_back();
    json += ", \"clip\": " + BoxJson(box.clip);
    if (image)
        json += ", \"picture\": " + BoxJson(box.picture);
    return json + "}";
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
    std::string leftPath, rightPath;
    const bool hasLeftImage = args.TakeValue("left", leftPath);
    const bool hasRightImage = args.TakeValue("right", rightPath);
    PictureFill fill;
    double bleedMm = 0;
    TakeFillOptions(args, fill, bleedMm);
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
    // The pictures' proportions place them on a fit or fill.
    CRasterImage leftImage, rightImage;
    if ((hasLeftImage && !LoadSlotImage(leftPath, leftImage, error)) ||
        (hasRightImage && !LoadSlotImage(rightPath, rightImage, error)))
        return CliFail(kCliFailed, error);

    CCollectingPrompter prompter;
    PlacementJob job{singlePage ? 1 : 0, noCorrection ? 0 : 1, 0, &prompter};
    std::string out = "{\"page\": " + PageJson(page);
    const auto slot = [&](int f, SlotFormat value, const CRasterImage& image, bool hasImage) -> std::string {
        if (f < 0)
            return "null";
        const bool takesFill = TypeTakesPictureFill(formats.type(f).c_str());
        return SlotJson(ComputePlacement(page, formats, value, job), page, fill, takesFill ? bleedMm : 0.0,
                        hasImage ? &image : nullptr);
    };
    out += ", \"left\": " + slot(left, LeftFormat(left), leftImage, hasLeftImage);
    out += ", \"right\": " + slot(right, RightFormat(right), rightImage, hasRightImage);
    out += ", \"warnings\": [";
    for (std::size_t i = 0; i < prompter.shown.size(); ++i)
        out += (i ? ", " : "") + JsonString(prompter.shown[i]);
    out += "]}\n";
    std::fputs(out.c_str(), stdout);
    return 0;
}

CliCommand reg({"place",
                "--formats FILE [--left-format F] [--right-format F] [--single-page] [--no-correction] "
                "[--left IMG] [--right IMG] [--fit|--fill [--crop X,Y]] [--bleed MM] [PAPER OPTIONS]",
                "print where a job would put the left and right covers on the sheet, as JSON",
                WithPaperOptions({
                    {"formats", "FILE", "the cover formats file"},
                    {"left-format", "F", "the left cover's format: its index in the list or its exact name"},
                    {"right-format", "F", "the right cover's format, as --left-format"},
                    {"single-page", "", "both covers on one page"},
                    {"no-correction", "", "leave covers where the format puts them, also outside the "
                                          "printable area"},
                    {"left", "IMG", "the left slot's picture: with it, where the picture goes"},
                    {"right", "IMG", "the right slot's picture, as --left"},
                    {"fit", "", "the pictures keep their proportions inside their covers"},
                    {"fill", "", "the pictures keep their proportions and fill their covers, cropped"},
                    {"crop", "X,Y", "with --fill: where the crop lies, 0 to 1 across and down (default centred)"},
                    {"bleed", "MM", "the pictures reach MM millimetres (0 to 3) beyond the cut lines"},
                }),
                {},
                Place});
}  // namespace
