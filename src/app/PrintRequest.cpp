#include "app/PrintRequest.h"

#include "settings/AppSettings.h"

#include <algorithm>

PrintJobRequest MakePrintJobRequest(const ViewState& state, const AppSettings& settings) {
    PrintJobRequest r;
    r.printMode = state.printMode;
    r.singlePage = state.singlePage;
    r.drawCutLines = state.drawCutLines;
    r.leftFormat = state.leftFormat;
    r.rightFormat = state.rightFormat;
    r.leftName = state.leftName;
    r.rightName = state.rightName;
    r.checkForPrintableArea = settings.checkForPrintableArea;
    r.printBorder = settings.printBorder;
    r.maskPrintJobName = settings.maskPrintJobName;
    r.printJobName = settings.printJobName;
    r.leftFill = state.leftFill;
    r.rightFill = state.rightFill;
    r.bleedMm = settings.bleedMm;
    return r;
}

BatchJob MakeBatchJob(const ViewState& state, const AppSettings& settings, int format) {
    BatchJob job;
    job.files = state.batchFiles;
    job.format = format;
    job.autoRotate = settings.autoRotate;
    job.drawCutLines = state.drawCutLines;
    job.printBorder = settings.printBorder;
    job.checkForPrintableArea = settings.checkForPrintableArea;
    // Every picture of a batch fills its cover as the setting says.
    job.fill.fit = static_cast<CoverFit>(std::clamp(settings.pictureFit, 0, 2));
    job.bleedMm = settings.bleedMm;
    return job;
}
