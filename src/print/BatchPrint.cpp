#include "print/BatchPrint.h"

#include "settings/Prompter.h"
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"
#include "print/CoverStrips.h"
#include "print/PageSink.h"
#include "print/MarginOverrun.h"
#include "print/PrintPlan.h"
#include "settings/LanguageTable.h"

BatchResult BatchPrint(const BatchJob& job, const CoverFormatList& formats, CRasterImage& leftImage,
                       const BatchRecognition& recognition, IPageSink& sink, IPrompter* prompter) {
    BatchResult result;
    result.lastFormat = job.format;
    const bool recognise = job.format == -1;
    const auto valid = [&](int f) { return f >= 0 && f < formats.count(); };
    if (formats.count() == 0 || (!recognise && !valid(job.format))) {
        if (prompter)
            prompter->Error(kChooseLeftFormatText);
        return result;
    }
    const PageMetrics page = sink.Metrics();
    PlacementJob placementJob{0, job.checkForPrintableArea, 0, prompter};
    // A cover that runs into the printer's margin is told once per job: for
    // a forced format before the job, as every page is placed alike; else
    // before the first page that does.
    bool overrunTold = false;
    const auto tellOverrun = [&](int format, const std::string& fileName) {
        PlacementJob quiet{0, job.checkForPrintableArea, 1, nullptr};
        const double mm = MarginOverrunMm(ComputePlacement(page, formats, LeftFormat(format), quiet), page);
        if (mm < kMarginOverrunShownMm)
            return;
        overrunTold = true;
        if (prompter)
            prompter->Warning(MarginOverrunText({{OverrunCoverName(fileName, formats.name(format)), mm}},
                                                [](int n) { return Language().GetText(n); }));
    };
    if (!recognise) {
        tellOverrun(job.format, std::string());
        overrunTold = true;
    }
    if (!sink.StartJob(kBatchJobName)) {
        sink.AbortJob();
        return result;
    }
    result.started = true;

    RenderOptions options{job.drawCutLines, job.printBorder, 0};
    options.fill = job.fill;
    options.bleedMm = job.bleedMm;
    int format = job.format;
    // Each file is decoded aside, so that one that fails leaves the picture
    // before it; the slot takes the last picture loaded when the job ends.
    CRasterImage picture;
    CScaledPicture decodes;
    const auto leaveInSlot = [&] {
        if (!result.lastFile.empty())
            leftImage = std::move(picture);
    };
    for (const std::string& path : job.files) {
        const int type = ImageTypeFromExtension(path);
        if (type < 0) {
            result.skipped.push_back(path + ": not a picture file the slots take");
            continue;  // skipped files make no page and no message
        }
        CRasterImage next;
        next.SetDecodeForPrinting(job.decodeForPrinting != 0, job.decodeViewWidth, job.decodeViewHeight);
        if (!next.Load(path, type)) {
            result.skipped.push_back(path + ": " + next.GetLastError());
            continue;
        }
        const std::string warning = next.GetDecodeWarning();
        picture = std::move(next);
        if (recognise)
            format = recognition.detect ? recognition.detect(picture) : 0;
        else if (job.autoRotate && recognition.rotateForFormat)
            recognition.rotateForFormat(picture, format);
        result.lastFormat = format;
        result.lastFile = path;
        if (!valid(format)) {
            result.skipped.push_back(path + ": no cover format recognised");
            continue;
        }
        if (!warning.empty())
            result.partlyRead.push_back(path + ": " + warning);
        if (!overrunTold)
            tellOverrun(format, path.substr(path.find_last_of("/\\") + 1));
        const CoverPlacement placement = ComputePlacement(page, formats, LeftFormat(format), placementJob);
        CDrawContext* surface = sink.StartPage(result.pages + 1);
        if (!surface) {
            sink.AbortJob();
            leaveInSlot();
            return result;
        }
        // Full pixels where the page needs them, for this page alone: the
        // slot takes the picture as it was decoded.
        const CRasterImage& drawn =
            PagePicture(decodes, picture, formats.at(format).type, surface->KeepsJpegData(), false, 0, 0);
        RenderCover(*surface, page, placement, drawn, formats, LeftFormat(format), options);
        if (!sink.EndPage()) {
            sink.AbortJob();
            leaveInSlot();
            return result;
        }
        ++result.pages;
    }
    sink.EndJob();
    result.completed = true;
    leaveInSlot();
    return result;
}
