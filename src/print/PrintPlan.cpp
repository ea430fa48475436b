#include "print/PrintPlan.h"

#include "settings/Prompter.h"
#include "print/CoverRenderer.h"
#include "print/CoverStrips.h"
#include "print/PageSink.h"
#include "settings/LanguageTable.h"

namespace {
bool ValidFormat(const CoverFormatList& formats, int f) { return f >= 0 && f < formats.count(); }
}  // namespace

PageRange PrintPageRange(PrintMode printMode, int singlePage, bool preview) {
    PageRange r;
    r.first = (PrintsLeft(printMode) || (preview && !singlePage)) ? 1 : 2;
    r.last = (!PrintsRight(printMode) || singlePage) ? 1 : 2;
    // Right alone on a single page would be an empty range: print the right
    // cover on its own page, as "Print Right" does.
    if (r.last < r.first)
        r.last = r.first;
    return r;
}

std::string PrintJobName(const PrintJobRequest& request) {
    if (request.maskPrintJobName)
        return request.printJobName;
    return "Korvane - " + (PrintsRight(request.printMode) ? request.rightName : request.leftName);
}

std::vector<Slot> CoversOnPage(PrintMode printMode, int singlePage, int pageNumber) {
    std::vector<Slot> covers;
    if (pageNumber == 1 && PrintsLeft(printMode)) {
        covers.push_back(Slot::Left);
        if (singlePage)
            covers.push_back(Slot::Right);
    }
    if (pageNumber == 2 || !PrintsLeft(printMode))
        covers.push_back(Slot::Right);
    return covers;
}

CPrintPlan::CPrintPlan(const CoverFormatList& formats, const CRasterImage& leftImage, const CRasterImage& rightImage,
                       IPrompter* prompter)
    : formats_(formats), leftImage_(leftImage), rightImage_(rightImage), prompter_(prompter) {}

bool CPrintPlan::SlotPrintable(int format, const CRasterImage& image) const {
    return !image.IsValid() || ValidFormat(formats_, format);
}

bool CPrintPlan::Prepare(const PrintJobRequest& request, bool preview) {
    request_ = request;
    refusal_.clear();
    range_ = PrintPageRange(request.printMode, request.singlePage, preview);

    // Every slot the pages carry must have a format before anything starts.
    bool usesLeft = false, usesRight = false;
    for (int page = range_.first; page <= range_.last; ++page) {
        for (Slot cover : CoversOnPage(request.printMode, request.singlePage, page))
            (cover == Slot::Left ? usesLeft : usesRight) = true;
    }
    if (usesLeft && !SlotPrintable(request.leftFormat, leftImage_))
        refusal_ = kChooseLeftFormatText;
    else if (usesRight && !SlotPrintable(request.rightFormat, rightImage_))
        refusal_ = kChooseRightFormatText;
    if (!refusal_.empty()) {
        if (prompter_)
            prompter_->Error(refusal_);
        return false;
    }

    // The printer is set up for the left slot's format, whichever cover prints.
    printer_ = PrinterRequest{};
    if (ValidFormat(formats_, request.leftFormat)) {
        const CoverFormat& f = formats_.at(request.leftFormat);
        printer_.discTray = f.type == "CD_TRAY";
        printer_.mediaType = f.mediaType;
        printer_.paperSource = f.paperSource;
    }
    jobName_ = PrintJobName(request);
    return true;
}

void CPrintPlan::Place(const PageMetrics& page, PlacementJob& job, CoverPlacement& left, CoverPlacement& right) const {
    left = right = CoverPlacement{};
    if (PrintsLeft(request_.printMode))
        left = ComputePlacement(page, formats_, LeftFormat(request_.leftFormat), job);
    if (PrintsRight(request_.printMode) || request_.singlePage)
        right = ComputePlacement(page, formats_, RightFormat(request_.rightFormat), job);
}

std::vector<CoverOverrun> CPrintPlan::MarginOverruns(const PageMetrics& page) const {
    // Placed as Begin will place them, without its message.
    PlacementJob quiet{request_.singlePage, request_.checkForPrintableArea, 1, nullptr};
    CoverPlacement left, right;
    Place(page, quiet, left, right);
    std::vector<CoverOverrun> overruns;
    const auto add = [&](const CoverPlacement& p, int format, const std::string& fileName) {
        const double mm = MarginOverrunMm(p, page);
        if (mm >= kMarginOverrunShownMm && ValidFormat(formats_, format))
            overruns.push_back({OverrunCoverName(fileName, formats_.name(format)), mm});
    };
    if (PrintsLeft(request_.printMode))
        add(left, request_.leftFormat, request_.leftName);
    if (PrintsRight(request_.printMode) || request_.singlePage)
        add(right, request_.rightFormat, request_.rightName);
    return overruns;
}

bool CPrintPlan::WarnOfMarginOverruns(const PageMetrics& page) {
    const std::vector<CoverOverrun> overruns = MarginOverruns(page);
    if (overruns.empty())
        return false;
    if (prompter_)
        prompter_->Warning(MarginOverrunText(overruns, [](int n) { return Language().GetText(n); }));
    return true;
}

void CPrintPlan::Begin(const PageMetrics& page) {
    page_ = page;
    placementJob_ = PlacementJob{request_.singlePage, request_.checkForPrintableArea, 0, prompter_};
    hasLeft_ = PrintsLeft(request_.printMode);
    hasRight_ = PrintsRight(request_.printMode) || request_.singlePage;
    Place(page_, placementJob_, leftPlacement_, rightPlacement_);
}

void CPrintPlan::RenderPage(CDrawContext& surface, int pageNumber, bool preview) {
    RenderOptions options{request_.drawCutLines, request_.printBorder, preview ? 1 : 0};
    options.bleedMm = request_.bleedMm;
    for (Slot cover : CoversOnPage(request_.printMode, request_.singlePage, pageNumber)) {
        const bool left = cover == Slot::Left;
        options.fill = left ? request_.leftFill : request_.rightFill;
        const CRasterImage& image = left ? leftImage_ : rightImage_;
        const CoverPlacement& placement = left ? leftPlacement_ : rightPlacement_;
        const SlotFormat format = left ? LeftFormat(request_.leftFormat) : RightFormat(request_.rightFormat);
        const CRasterImage* picture = &image;
        if (format.format >= 0 && format.format < formats_.count() && image.IsValid()) {
            const CoverFormat& f = formats_.at(format.format);
            const SurfaceRect box = CoverPictureBox(page_, placement, image, f, options).picture;
            picture = &PagePicture(jobPictures_[left ? 0 : 1], image, f.type, surface.KeepsJpegData(), preview,
                                   box.width(), box.height());
        }
        RenderCover(surface, page_, placement, *picture, formats_, format, options);
    }
}

void CPrintPlan::End() { placementJob_.printableWarned = 0; }

int RunPrintJob(CPrintPlan& plan, IPageSink& sink, bool preview) {
    // Told before anything is sent; the preview shows it for itself.
    if (!preview)
        plan.WarnOfMarginOverruns(sink.Metrics());
    if (!sink.StartJob(plan.JobName())) {
        sink.AbortJob();
        return 0;
    }
    plan.Begin(sink.Metrics());
    int done = 0;
    for (int page = plan.Range().first; page <= plan.Range().last; ++page) {
        CDrawContext* surface = sink.StartPage(page);
        if (!surface) {
            plan.End();
            sink.AbortJob();
            return done;
        }
        plan.RenderPage(*surface, page, preview);
        if (!sink.EndPage()) {
            plan.End();
            sink.AbortJob();
            return done;
        }
        ++done;
    }
    plan.End();
    sink.EndJob();
    return done;
}
