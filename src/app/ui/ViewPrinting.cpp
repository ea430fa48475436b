// The print windows' entry points for the main view: print jobs and their
// preview, batch jobs and the printer set-up (src/print/ui).
#include "app/ui/PrintHooks.h"

#include "app/FormatRecognition.h"
#include "app/KorvaneDoc.h"
#include "app/ui/TheView.h"
#include "print/ui/PrintDialogs.h"
#include "print/ui/PrintJobRunner.h"
#include "settings/AppSettings.h"

namespace {

// "Read the controls": the view's state and the running values as a job
// request.
PrintJobRequest ReadJobRequest(CTheView& view) {
    const ViewState& s = view.State();
    const AppSettings& a = RunningValues();
    PrintJobRequest r;
    r.printMode = s.printMode;
    r.singlePage = s.singlePage;
    r.drawCutLines = s.drawCutLines;
    r.leftFormat = s.leftFormat;
    r.rightFormat = s.rightFormat;
    r.leftName = s.leftName;
    r.rightName = s.rightName;
    r.checkForPrintableArea = a.checkForPrintableArea;
    r.printBorder = a.printBorder;
    r.maskPrintJobName = a.maskPrintJobName;
    r.printJobName = a.printJobName;
    return r;
}

}  // namespace

void InstallPrintHooks(CTheView& view)
{
    PrintHooks hooks;
    hooks.runPrintJob = [&view](int, bool preview) {
        CKorvaneDoc& doc = view.Document();
        PrintJobSource source;
        source.formats = &doc.formats;
        source.leftImage = &doc.leftImage;
        source.rightImage = &doc.rightImage;
        source.prompter = &view.Prompter();
        source.readControls = [&view] { return ReadJobRequest(view); };
        CQtPrintDialogs dialogs(&view);
        RunCoverPrintJob(source, dialogs, preview);
    };
    hooks.runBatchPrint = [&view](const std::vector<std::string>& files) {
        CKorvaneDoc& doc = view.Document();
        const AppSettings& a = RunningValues();
        BatchPrintSource source;
        source.formats = &doc.formats;
        source.leftImage = &doc.leftImage;
        source.prompter = &view.Prompter();
        source.recognition = BatchRecognitionFor(doc.formats, a.autoRotate, &view.Prompter());
        source.job.files = files;
        source.job.format = view.State().leftFormat;
        source.job.autoRotate = a.autoRotate;
        source.job.drawCutLines = view.State().drawCutLines;
        source.job.printBorder = a.printBorder;
        source.job.checkForPrintableArea = a.checkForPrintableArea;
        CQtPrintDialogs dialogs(&view);
        const BatchPrintOutcome outcome = RunBatchPrintJob(source, dialogs);
        // The left format keeps the job's last one; the slot's name, label and
        // the controls are left as they were, and the window is painted anew.
        view.State().leftFormat = outcome.leftFormat;
        view.update();
    };
    hooks.printSetup = [&view] {
        CQtPrintDialogs dialogs(&view);
        RunPrintSetup(dialogs);
    };
    view.SetPrintHooks(std::move(hooks));
}

void CTheView::Print(int printMode, bool preview)
{
    if (hooks_.runPrintJob)
        hooks_.runPrintJob(printMode, preview);
}

void CTheView::SetPrintHooks(PrintHooks hooks)
{
    hooks_ = std::move(hooks);
    if (printLeft_)
        Refresh();
}
