// korvane-cli render: draws the pages of a print job on white raster sheets
// and writes them as PREFIX-N.png (N the job's page number: 1 the left
// cover's page, 2 the right's), so that covers can be checked without a
// printer.
#include "app/FormatRecognition.h"
#include "app/SlotFiles.h"
#include "cli/CliCommand.h"
#include "cli/PaperOptions.h"
#include "cli/PngWriter.h"
#include "image/RasterSurface.h"
#include "print/PageSink.h"
#include "print/PrintPlan.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {
// Largest sheet drawn, in pixels (three bytes each).
constexpr long long kMaxRenderPixels = 200LL * 1000 * 1000;

// Each page is a white sheet with the printer's page in its printable area;
// the sheet is written out and released when the page ends.
class CPngPageSink final : public IPageSink {
public:
    CPngPageSink(const PageMetrics& page, std::string prefix) : page_(page), prefix_(std::move(prefix)) {}

    PageMetrics Metrics() const override { return page_; }
    bool StartJob(const std::string&) override { return true; }
    CDrawContext* StartPage(int pageNumber) override {
        number_ = pageNumber;
        sheet_ = std::make_unique<CRasterSurface>(page_.physicalWidth, page_.physicalHeight);
        return &area_.emplace(*sheet_, SurfaceRect{page_.offsetX, page_.offsetY, page_.offsetX + page_.printableWidth,
                                                   page_.offsetY + page_.printableHeight});
    }
    bool EndPage() override {
        area_.reset();
        const std::string path = prefix_ + "-" + std::to_string(number_) + ".png";
        std::string error;
        const bool ok = WritePngBgr(path, sheet_->Block(), &error);
        sheet_.reset();
        if (!ok) {
            error_ = error;
            return false;
        }
        written.push_back(path);
        return true;
    }
    void EndJob() override {}
    void AbortJob() override {}

    std::vector<std::string> written;
    const std::string& Error() const { return error_; }

private:
    PageMetrics page_;
    std::string prefix_;
    int number_ = 0;
    std::unique_ptr<CRasterSurface> sheet_;
    std::optional<CDrawContext> area_;  // the printable area of sheet_
    std::string error_;
};

int Render(CCliArgs& args) {
    std::string formatsPath, leftPath, rightPath, leftText, rightText, prefix;
    const bool hasFormats = args.TakeValue("formats", formatsPath);
    const bool hasLeftImage = args.TakeValue("left", leftPath);
    const bool hasRightImage = args.TakeValue("right", rightPath);
    const bool hasLeftFormat = args.TakeValue("left-format", leftText);
    const bool hasRightFormat = args.TakeValue("right-format", rightText);
    const PrintMode printMode = TakePrintMode(args);
    const bool hasPrefix = args.TakeValue("o", prefix);
    const bool singlePage = args.TakeFlag("single-page");
    const bool noCutLines = args.TakeFlag("no-cut-lines");
    const bool noBorder = args.TakeFlag("no-border");
    PictureFill fill;
    double bleedMm = 0;
    TakeFillOptions(args, fill, bleedMm);
    const bool preview = args.TakeFlag("preview");
    const PageMetrics page = TakePaperOptions(args);
    std::string error;
    if (!hasFormats)
        args.SetError("--formats FILE is required");
    if (!hasPrefix || prefix.empty())
        args.SetError("-o PREFIX is required");
    if (!args.Finish(error))
        return CliUsageError("render", error);
    if (static_cast<long long>(page.physicalWidth) * page.physicalHeight > kMaxRenderPixels) {
        std::fprintf(stderr, "korvane-cli: a sheet of %d x %d pixels is too large to draw\n",
                     page.physicalWidth, page.physicalHeight);
        return 1;
    }

    CoverFormatList formats;
    CRasterImage leftImage, rightImage;
    PrintJobRequest request;
    request.printMode = printMode;
    request.singlePage = singlePage ? 1 : 0;
    request.drawCutLines = noCutLines ? 0 : 1;
    request.printBorder = noBorder ? 0 : 1;
    request.leftFill = request.rightFill = fill;
    request.bleedMm = bleedMm;
    if (!LoadFormatsFile(formatsPath, formats, error))
        return CliFail(kCliFailed, error);
    if ((hasLeftFormat && (request.leftFormat = ResolveFormat(formats, leftText, error)) < 0) ||
        (hasRightFormat && (request.rightFormat = ResolveFormat(formats, rightText, error)) < 0))
        return CliUsageError("render", error);
    if ((hasLeftImage && !LoadSlotImage(leftPath, leftImage, error)) ||
        (hasRightImage && !LoadSlotImage(rightPath, rightImage, error))) {
        std::fprintf(stderr, "korvane-cli: %s\n", error.c_str());
        return 1;
    }
    // A slot without a format is recognised from its image, as with
    // AutoRotate on, asking nothing.
    if (!hasLeftFormat && leftImage.IsValid() && formats.count() > 0)
        request.leftFormat = DetectFormat(leftImage, formats, 1, nullptr);
    if (!hasRightFormat && rightImage.IsValid() && formats.count() > 0)
        request.rightFormat = DetectFormat(rightImage, formats, 1, nullptr);
    request.leftName = FileNameOf(leftPath);
    request.rightName = FileNameOf(rightPath);

    CCollectingPrompter prompter;
    CPrintPlan plan(formats, leftImage, rightImage, &prompter);
    if (!plan.Prepare(request, preview)) {
        std::fprintf(stderr, "korvane-cli: %s\n", plan.RefusalText().c_str());
        return 1;
    }
    CPngPageSink sink(page, prefix);
    const int pages = RunPrintJob(plan, sink, preview);
    for (const std::string& text : prompter.shown)
        std::fprintf(stderr, "korvane-cli: %s\n", text.c_str());
    for (const std::string& path : sink.written)
        std::printf("%s\n", path.c_str());
    if (pages != plan.Range().count()) {
        std::fprintf(stderr, "korvane-cli: %s\n", sink.Error().c_str());
        return 1;
    }
    return 0;
}

CliCommand reg({"render",
                "--formats FILE [--left IMG] [--left-format F] [--right IMG] [--right-format F] "
                "[--mode left|right|both] [--single-page] [--no-cut-lines] [--no-border] [--fit|--fill [--crop X,Y]] [--bleed MM] [--preview] "
                "[PAPER OPTIONS] -o PREFIX",
                "draw the pages of a print job on white sheets into PREFIX-1.png and PREFIX-2.png",
                WithPaperOptions(WithCoverJobOptions("draw", {
                    {"preview", "", "draw as the print preview shows the pages"},
                    {"o", "PREFIX", "the start of the pages' file names"},
                })),
                {},
                Render});
}  // namespace
