#pragma once
// The pages of a job for a QPrinter: for a CUPS queue into a PDF (cairo,
// pictures without loss) that is handed to the queue as one job when the
// job ends (nothing reaches the queue when it is aborted); for a PDF file
// chosen in the print dialog into that file the same way; for the print
// preview straight onto the QPrinter. Each page's surface has its origin at
// the printable area's corner and draws nothing outside it.
#include "print/PageSink.h"

#include <QPainter>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QPrinter;
class QTemporaryFile;
class CQtPainterSurface;
class CCairoPdfSink;

class CQtPrinterSink final : public IPageSink {
public:
    // The printer's page metrics are read when the sink is made.
    explicit CQtPrinterSink(QPrinter& printer);
    // Metrics given by the caller (a PDF sheet of exact millimetres).
    CQtPrinterSink(QPrinter& printer, const PageMetrics& metrics);
    ~CQtPrinterSink() override;

    // Called after each finished page with the number of pages done; false
    // stops the job (the user's abort).
    void SetProgress(std::function<bool(int pagesDone)> progress) { progress_ = std::move(progress); }
    // A name that replaces the job's own in the printer queue (scripts).
    void SetJobName(const std::string& name) { jobName_ = name; }
    // Draws onto the printer itself, as the print preview needs.
    void SetPreview(bool on) { preview_ = on; }

    PageMetrics Metrics() const override { return metrics_; }
    bool StartJob(const std::string& name) override;
    CDrawContext* StartPage(int pageNumber) override;
    bool EndPage() override;
    void EndJob() override;
    void AbortJob() override;

    // The printer refused the job: it could not be started, or the printer
    // subsystem did not take it when it was handed over at the end.
    bool Refused() const { return refused_; }
    const std::string& RefusalReason() const { return reason_; }
    // Pages finished.
    int Pages() const { return pages_; }
    // The queue's id of the job sent, 0 when none was sent.
    int JobId() const { return jobId_; }

private:
    bool ToQueue() const;

    QPrinter& printer_;
    PageMetrics metrics_;
    QPainter painter_;
    std::unique_ptr<CQtPainterSurface> surface_;
    std::optional<CDrawContext> page_;  // over surface_
    std::unique_ptr<QTemporaryFile> spoolFile_;
    std::unique_ptr<CCairoPdfSink> pdf_;
    bool started_ = false;
    std::function<bool(int)> progress_;
    std::string jobName_;
    std::string title_;
    std::string reason_;
    bool preview_ = false;
    bool refused_ = false;
    int pages_ = 0;
    int jobId_ = 0;
};
