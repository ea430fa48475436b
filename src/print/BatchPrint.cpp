#include "print/BatchPrint.h"

#include "settings/Prompter.h"
#include "print/CoverLayout.h"
#include "print/CoverRenderer.h"
#include "print/PageSink.h"
#include "print/PrintPlan.h"

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
    if (!sink.StartJob(kBatchJobName)) {
        sink.AbortJob();
        return result;
    }
    result.started = true;

    const PageMetrics page = sink.Metrics();
    PlacementJob placementJob{0, job.checkForPrintableArea, 0, prompter};
    const RenderOptions options{job.drawCutLines, job.printBorder, 0};
    int format = job.format;
    for (const std::string& path : job.files) {
        const int type = ImageTypeFromExtension(path);
        if (type < 0) {
            result.skipped.push_back(path + ": not a picture file the slots take");
            continue;  // skipped files make no page and no message
        }
        if (!leftImage.Load(path, type)) {
            result.skipped.push_back(path + ": " + leftImage.GetLastError());
            continue;
        }
        const std::string warning = leftImage.GetDecodeWarning();
        if (recognise)
            format = recognition.detect ? recognition.detect(leftImage) : 0;
        else if (job.autoRotate && recognition.rotateForFormat)
            recognition.rotateForFormat(leftImage, format);
        result.lastFormat = format;
        if (!valid(format)) {
            result.skipped.push_back(path + ": no cover format recognised");
            continue;
        }
        if (!warning.empty())
            result.partlyRead.push_back(path + ": " + warning);
        const CoverPlacement placement = ComputePlacement(page, formats, format, placementJob);
        CDrawContext* surface = sink.StartPage(result.pages + 1);
        if (!surface) {
            sink.AbortJob();
            return result;
        }
        RenderCover(*surface, page, placement, leftImage, formats, format, options);
        if (!sink.EndPage()) {
            sink.AbortJob();
            return result;
        }
        ++result.pages;
    }
    sink.EndJob();
    result.completed = true;
    return result;
}
