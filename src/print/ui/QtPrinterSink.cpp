#include "print/ui/QtPrinterSink.h"

#include "image/ui/QtPainterSurface.h"
#include "print/CairoPdfSink.h"
#include "print/CupsPrinter.h"
#include "print/ui/QtPrinterSettings.h"

#include <QPrinter>
#include <QTemporaryFile>

CQtPrinterSink::CQtPrinterSink(QPrinter& printer) : printer_(printer) {
    printer_.setFullPage(true);
    metrics_ = PrinterPageMetrics(printer_);
}

CQtPrinterSink::CQtPrinterSink(QPrinter& printer, const PageMetrics& metrics)
    : printer_(printer), metrics_(metrics) {
    printer_.setFullPage(true);
}

CQtPrinterSink::~CQtPrinterSink() {
    if (started_)
        AbortJob();
}

bool CQtPrinterSink::ToQueue() const { return !preview_ && printer_.outputFormat() == QPrinter::NativeFormat; }

bool CQtPrinterSink::StartJob(const std::string& name) {
    title_ = jobName_.empty() ? name : jobName_;
    printer_.setDocName(QString::fromStdString(title_));
    pages_ = 0;
    if (preview_) {
        started_ = true;
        return true;
    }
    std::string path;
    if (!ToQueue()) {
        if (printer_.outputFormat() != QPrinter::PdfFormat || printer_.outputFileName().isEmpty()) {
            refused_ = true;  // no printer and no file to print to
            reason_ = "no printer";
            return false;
        }
        path = printer_.outputFileName().toStdString();
    } else {
        // The job is drawn into a PDF of the printer's sheet, sent at the end.
        const std::string queue = printer_.printerName().toStdString();
        if (!CupsPrinterAcceptsJobs(queue)) {
            refused_ = true;
            reason_ = queue.empty() ? "no printer" : "the printer '" + queue + "' does not take jobs";
            return false;
        }
        spoolFile_ = std::make_unique<QTemporaryFile>();
        if (!spoolFile_->open()) {
            refused_ = true;
            reason_ = "no room for the job's file";
            spoolFile_.reset();
            return false;
        }
        path = spoolFile_->fileName().toStdString();
    }
    pdf_ = std::make_unique<CCairoPdfSink>(path, metrics_);
    if (!pdf_->StartJob(title_)) {
        refused_ = true;
        reason_ = pdf_->Error();
        pdf_.reset();
        spoolFile_.reset();
        return false;
    }
    started_ = true;
    return true;
}

CDrawContext* CQtPrinterSink::StartPage(int pageNumber) {
    if (!started_)
        return nullptr;
    if (pdf_) {
        CDrawContext* surface = pdf_->StartPage(pageNumber);
        if (!surface) {
            refused_ = true;
            reason_ = pdf_->Error();
        }
        return surface;
    }
    // The preview: the printer is begun with the first page.
    if (!painter_.isActive()) {
        if (!painter_.begin(&printer_)) {
            refused_ = true;
            reason_ = "the printer could not be opened";
            return nullptr;
        }
    } else if (!printer_.newPage()) {
        return nullptr;
    }
    painter_.save();
    painter_.translate(metrics_.offsetX, metrics_.offsetY);
    surface_ = std::make_unique<CQtPainterSurface>(painter_, metrics_.printableWidth, metrics_.printableHeight);
    // Lines one printer pixel wide would all but vanish on the screen.
    surface_->SetCosmeticOutlines(true);
    return &page_.emplace(*surface_);
}

bool CQtPrinterSink::EndPage() {
    if (pdf_) {
        if (!pdf_->EndPage()) {
            refused_ = true;
            reason_ = pdf_->Error();
            return false;
        }
    } else {
        page_.reset();
        surface_.reset();
        painter_.restore();
    }
    ++pages_;
    return !progress_ || progress_(pages_);
}

void CQtPrinterSink::EndJob() {
    started_ = false;
    page_.reset();
    surface_.reset();
    if (painter_.isActive() && !painter_.end()) {
        refused_ = true;
        reason_ = "the pages could not be written";
    }
    if (!pdf_)
        return;
    pdf_->EndJob();
    if (pdf_->Failed()) {
        refused_ = true;
        reason_ = pdf_->Error();
    }
    if (spoolFile_ && pages_ > 0 && !refused_) {
        jobId_ = CupsSubmitFile(printer_.printerName().toStdString(), spoolFile_->fileName().toStdString(), title_,
                                CupsSubmitOptions(printer_), &reason_);
        if (jobId_ == 0)
            refused_ = true;
    }
    pdf_.reset();
    spoolFile_.reset();
}

void CQtPrinterSink::AbortJob() {
    started_ = false;
    page_.reset();
    surface_.reset();
    if (painter_.isActive())
        painter_.end();
    // A file chosen in the print dialog is not left half-written.
    if (pdf_)
        pdf_->AbortJob();
    pdf_.reset();
    spoolFile_.reset();
}
