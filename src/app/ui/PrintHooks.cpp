#include "app/ui/PrintHooks.h"

#include "app/FormatRecognition.h"
#include "app/KorvaneDoc.h"
#include "app/PrintRequest.h"
#include "print/ui/PrintDialogs.h"
#include "print/ui/PrintJobRunner.h"
#include "settings/AppSettings.h"

#include <QWidget>

PrintHooks PrintWindowHooks(CKorvaneDoc& doc, const ViewState& state, IPrompter& prompter, QWidget& view)
{
    PrintHooks hooks;
    hooks.runPrintJob = [&doc, &state, &prompter, &view](PrintMode, bool preview) {
        PrintJobSource source;
        source.formats = &doc.formats;
        source.leftImage = &doc.leftImage;
        source.rightImage = &doc.rightImage;
        source.prompter = &prompter;
        source.readControls = [&state] { return MakePrintJobRequest(state, RunningValues()); };
        CQtPrintDialogs dialogs(&view);
        RunCoverPrintJob(source, dialogs, preview);
    };
    hooks.runBatchPrint = [&doc, &state, &prompter, &view](const std::vector<std::string>& files) {
        const AppSettings& a = RunningValues();
        BatchPrintSource source;
        source.formats = &doc.formats;
        source.leftImage = &doc.leftImage;
        source.prompter = &prompter;
        source.recognition = BatchRecognitionFor(doc.formats, a.autoRotate, &prompter);
        source.job = MakeBatchJob(state, a, state.leftFormat);
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
    return hooks;
}
