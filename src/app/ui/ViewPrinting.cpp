// The print windows' entry points for the main view: print jobs and their
// preview, batch jobs and the printer set-up (src/print/ui).
#include "app/ui/PrintHooks.h"

#include "app/FormatRecognition.h"
#include "app/KorvaneDoc.h"
#include "app/PrintRequest.h"
#include "app/ui/TheView.h"
#include "print/ui/PrintDialogs.h"
#include "print/ui/PrintJobRunner.h"
#include "settings/AppSettings.h"

void InstallPrintHooks(CTheView& view)
{
    PrintHooks hooks;
    hooks.runPrintJob = [&view](PrintMode, bool preview) {
        CKorvaneDoc& doc = view.Document();
        PrintJobSource source;
        source.formats = &doc.formats;
        source.leftImage = &doc.leftImage;
        source.rightImage = &doc.rightImage;
        source.prompter = &view.Prompter();
        source.readControls = [&view] { return MakePrintJobRequest(view.State(), RunningValues()); };
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
        source.job = MakeBatchJob(view.State(), a, view.State().leftFormat);
        source.job.files = files;
        CQtPrintDialogs dialogs(&view);
        const BatchPrintOutcome outcome = RunBatchPrintJob(source, dialogs);
        // The left slot holds the job's last picture: its name, label, format
        // and papers follow it, so the window shows what Print Left prints.
        // A job that loaded nothing leaves the slot as it was.
        doc.TakeBatchPicture(outcome.result.lastFile, outcome.result.lastFormat);
        view.update();
    };
    hooks.printSetup = [&view] {
        CQtPrintDialogs dialogs(&view);
        RunPrintSetup(dialogs);
    };
    view.SetPrintHooks(std::move(hooks));
}

void CTheView::Print(bool preview)
{
    if (hooks_.runPrintJob)
        hooks_.runPrintJob(state_.printMode, preview);
}

void CTheView::PrintSetup()
{
    if (hooks_.printSetup)
        hooks_.printSetup();
}

void CTheView::SetPrintHooks(PrintHooks hooks)
{
    hooks_ = std::move(hooks);
    if (printLeft_)
        Refresh();
}
