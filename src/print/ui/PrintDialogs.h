#pragma once
// The dialogs a print job opens. The job logic talks to this interface, so
// tests can answer the dialogs; CQtPrintDialogs opens Qt's own.
#include <functional>
#include <string>

class QPrinter;
class QProgressDialog;
class QWidget;
class CoverFormatList;
class CPrinterSettings;

class IPrintDialogs {
public:
    virtual ~IPrintDialogs() = default;
    // The print dialog for a job of pages first..last (batch: all pages, no
    // range); a PDF file may be chosen instead of a printer. False when
    // cancelled.
    virtual bool PrintDialog(QPrinter& printer, int firstPage, int lastPage, bool batch) = 0;
    // The print preview; `paint` draws the pages onto the printer it is given.
    virtual void Preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) = 0;
    // "Batch Printing": count files, the proposed format. False on Cancel;
    // else `format` = -1 (recognise every file) or the forced format.
    virtual bool BatchDialog(int count, int proposedFormat, const CoverFormatList& formats, int& format) = 0;
    // Progress of a batch job: pages done of at most `total`; false when the
    // user stops the job. Finished with BatchDone.
    virtual bool BatchProgress(int pagesDone, int total) = 0;
    virtual void BatchDone() = 0;
    // The printer set-up for later jobs. False when cancelled.
    virtual bool PrintSetup(CPrinterSettings& settings) = 0;
    // A printer that refused the job.
    virtual void CouldNotStart() = 0;
};

// The message for a refused job.
inline constexpr const char* kCouldNotStartPrintJob = "Could not start print job.";

class CQtPrintDialogs final : public IPrintDialogs {
public:
    explicit CQtPrintDialogs(QWidget* parent);
    ~CQtPrintDialogs() override;

    bool PrintDialog(QPrinter& printer, int firstPage, int lastPage, bool batch) override;
    void Preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) override;
    bool BatchDialog(int count, int proposedFormat, const CoverFormatList& formats, int& format) override;
    bool BatchProgress(int pagesDone, int total) override;
    void BatchDone() override;
    bool PrintSetup(CPrinterSettings& settings) override;
    void CouldNotStart() override;

private:
    QWidget* parent_;
    QProgressDialog* progress_ = nullptr;
};
