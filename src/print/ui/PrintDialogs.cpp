#include "print/ui/PrintDialogs.h"

#include "print/ui/BatchPrintingDialog.h"
#include "print/ui/PrintSetupDialog.h"
#include "settings/LanguageTable.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QProgressDialog>

CQtPrintDialogs::CQtPrintDialogs(QWidget* parent) : parent_(parent) {}

CQtPrintDialogs::~CQtPrintDialogs() { BatchDone(); }

bool CQtPrintDialogs::PrintDialog(QPrinter& printer, int firstPage, int lastPage, bool batch) {
    QPrintDialog dialog(&printer, parent_);
    // The pages of a job are fixed by what it prints: no range to choose.
    // Every job, a batch too, may go to a PDF file instead of a printer.
    (void)batch;
    QAbstractPrintDialog::PrintDialogOptions options = QAbstractPrintDialog::PrintToFile;
    options |= QAbstractPrintDialog::PrintShowPageSize;
    dialog.setOptions(options);
    if (firstPage <= lastPage && firstPage > 0)
        dialog.setMinMax(firstPage, lastPage);
    return dialog.exec() == QDialog::Accepted;
}

void CQtPrintDialogs::Preview(QPrinter& printer, const std::function<void(QPrinter&)>& paint) {
    QPrintPreviewDialog dialog(&printer, parent_);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter* p) { paint(*p); });
    dialog.exec();
}

bool CQtPrintDialogs::BatchDialog(int count, int proposedFormat, const CoverFormatList& formats, int& format) {
    CBatchPrintingDialog dialog(count, proposedFormat, formats, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    format = dialog.Result();
    return true;
}

bool CQtPrintDialogs::BatchProgress(int pagesDone, int total) {
    if (!progress_) {
        progress_ = new QProgressDialog(parent_);
        progress_->setWindowTitle(QString::fromStdString(Language().GetText(6000)));
        progress_->setLabelText(QString::fromStdString(Language().GetText(6001))
                                    .replace(QStringLiteral("%d"), QString::number(total)));
        progress_->setCancelButtonText(QString::fromStdString(Language().GetText(6005)));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(300);
        progress_->setRange(0, std::max(1, total));
    }
    progress_->setValue(std::min(pagesDone, progress_->maximum()));
    QCoreApplication::processEvents();
    return !progress_->wasCanceled();
}

void CQtPrintDialogs::BatchDone() {
    delete progress_;
    progress_ = nullptr;
}

bool CQtPrintDialogs::PrintSetup(CPrinterSettings& settings) {
    CPrintSetupDialog dialog(settings, parent_);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.Apply(settings);
    return true;
}

void CQtPrintDialogs::CouldNotStart() {
    QMessageBox::critical(parent_, QCoreApplication::applicationName(), QString::fromUtf8(kCouldNotStartPrintJob));
}
