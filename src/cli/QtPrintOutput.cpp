#include "cli/QtPrintOutput.h"

#include "cli/PaperOptions.h"

#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>

std::unique_ptr<QGuiApplication> MakeCliApplication() {
    if (QGuiApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "korvane-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

void SetUpPdf(QPrinter& printer, const std::string& path, const PageMetrics& page) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(path));
    const QSizeF mm(PixelsToMm(page.physicalWidth, page.dpiX), PixelsToMm(page.physicalHeight, page.dpiY));
    printer.setPageSize(QPageSize(mm, QPageSize::Millimeter));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0));
    printer.setResolution(page.dpiX);
}

bool HasPaperOption(const std::vector<std::string>& args) {
    static const char* const kNames[] = {"--paper", "--dpi", "--margins", "--sheet", "--printable"};
    for (const std::string& a : args)
        for (const char* name : kNames)
            if (a == name)
                return true;
    return false;
}

void CheckPrintDestination(CCliArgs& args, bool toPdf, bool toPrinter, const std::string& pdfPath,
                           bool paperOptionGiven) {
    if (toPdf == toPrinter)
        args.SetError("one of --pdf OUT.pdf or --printer QUEUE is required");
    if (toPdf && pdfPath.empty())
        args.SetError("--pdf needs a file name");
    if (toPrinter && paperOptionGiven)
        args.SetError("the paper options apply to --pdf; a printer prints on its own paper");
}
