#include "print/ui/QtPrinterSink.h"

#include "image/ui/QtPainterSurface.h"
#include "print/CupsPrinter.h"
#include "print/ui/PreviewSurface.h"
#include "print/ui/QtPrinterSettings.h"

#include <QPageLayout>
#include <QPdfWriter>
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
    if (painter_.isActive() || spool_)
        AbortJob();
}

bool CQtPrinterSink::ToQueue() const { return !preview_ && printer_.outputFormat() == QPrinter::NativeFormat; }

bool CQtPrinterSink::StartJob(const std::string& name) {
    title_ = jobName_.empty() ? name : jobName_;
    printer_.setDocName(QString::fromStdString(title_));
    pages_ = 0;
    if (!ToQueue()) {
        if (!preview_ && printer_.outputFormat() == QPrinter::PdfFormat && printer_.outputFileName().isEmpty()) {
            refused_ = true;  // no printer and no file to print to
            reason_ = "no printer";
            return false;
        }
        device_ = &printer_;
        return true;
    }
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
    spool_ = std::make_unique<QPdfWriter>(spoolFile_.get());
    const QPageLayout layout = printer_.pageLayout();
    spool_->setPageLayout(QPageLayout(layout.pageSize(), layout.orientation(), QMarginsF(0, 0, 0, 0)));
    spool_->setResolution(metrics_.dpiX);
    spool_->setTitle(QString::fromStdString(title_));
    spool_->setCreator(QStringLiteral("Korvane"));
    device_ = spool_.get();
    return true;
}

CDrawSurface* CQtPrinterSink::StartPage(int) {
    if (!device_)
        return nullptr;
    // The device is begun with the first page, so a job without pages
    // leaves nothing behind.
    if (!painter_.isActive()) {
        if (!painter_.begin(device_)) {
            refused_ = true;
            reason_ = "the printer could not be opened";
            return nullptr;
        }
    } else if (!device_->newPage()) {
        return nullptr;
    }
    painter_.save();
    painter_.translate(metrics_.offsetX, metrics_.offsetY);
    surface_ = std::make_unique<CQtPainterSurface>(painter_, metrics_.printableWidth, metrics_.printableHeight);
    if (preview_) {
        previewSurface_ = std::make_unique<CPreviewSurface>(painter_, *surface_);
        return previewSurface_.get();
    }
    return surface_.get();
}

bool CQtPrinterSink::EndPage() {
    previewSurface_.reset();
    surface_.reset();
    painter_.restore();
    ++pages_;
    return !progress_ || progress_(pages_);
}

void CQtPrinterSink::EndJob() {
    previewSurface_.reset();
    surface_.reset();
    const bool painted = painter_.isActive();
    if (painted && !painter_.end()) {
        refused_ = true;
        reason_ = "the pages could not be written";
    }
    if (spool_) {
        spool_.reset();  // finishes the PDF
        if (painted && !refused_) {
            spoolFile_->flush();
            jobId_ = CupsSubmitFile(printer_.printerName().toStdString(), spoolFile_->fileName().toStdString(),
                                    title_, CupsSubmitOptions(printer_), &reason_);
            if (jobId_ == 0)
                refused_ = true;
        }
        spoolFile_.reset();
    }
    device_ = nullptr;
}

void CQtPrinterSink::AbortJob() {
    previewSurface_.reset();
    surface_.reset();
    if (painter_.isActive())
        painter_.end();
    // A file chosen in the print dialog is not left half-written.
    if (!spool_ && device_ == &printer_ && !preview_ && printer_.outputFormat() == QPrinter::PdfFormat &&
        pages_ > 0)
        QFile::remove(printer_.outputFileName());
    spool_.reset();
    spoolFile_.reset();
    device_ = nullptr;
}
