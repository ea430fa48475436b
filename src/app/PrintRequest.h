#pragma once
// What a print job or a batch job reads from the view's state and the
// running values ("read the controls"), gathered in one place.
#include "app/ViewState.h"
#include "print/BatchPrint.h"
#include "print/PrintPlan.h"

struct AppSettings;

PrintJobRequest MakePrintJobRequest(const ViewState& state, const AppSettings& settings);

// A batch over the view's batchFiles with the batch dialog's result
// (-1 = recognise every file).
BatchJob MakeBatchJob(const ViewState& state, const AppSettings& settings, int format);
