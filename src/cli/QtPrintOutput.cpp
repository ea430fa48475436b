#include "cli/QtPrintOutput.h"

#include "cli/PaperOptions.h"

#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryFile>

#include <cstdio>

namespace {
// Qt's notes about its surroundings (no XDG_RUNTIME_DIR, fonts) are not the
// command's messages; its errors are, in the command's form.
void CliQtMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "korvane-cli: %s\n", message.toLocal8Bit().constData());
}
}  // namespace

std::unique_ptr<QGuiApplication> MakeCliApplication() {
    if (QGuiApplication::instance())
        return nullptr;
    qInstallMessageHandler(CliQtMessage);
    // Off-screen whatever DISPLAY or QT_QPA_PLATFORM say: a display that does
    // not answer would otherwise abort the command.
    static int argc = 3;
    static char name[] = "korvane-cli";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
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

void CheckPrintDestination(CCliArgs& args, bool toPdf, bool toPrinter, const std::string& pdfPath,
                           bool paperOptionGiven) {
    if (toPdf && toPrinter)
        args.SetError("--pdf and --printer do not go together: give one of them");
    if (!toPdf && !toPrinter)
        args.SetError("one of --pdf OUT.pdf or --printer QUEUE is required");
    if (toPdf && pdfPath.empty())
        args.SetError("--pdf needs a file name");
    if (toPrinter && paperOptionGiven)
        args.SetError("the paper options apply to --pdf; a printer prints on its own paper");
}

CPdfOutput::CPdfOutput(std::string path) : path_(std::move(path)) {
    if (!ToStandardOutput()) {
        drawPath_ = path_;
        return;
    }
    temp_ = std::make_unique<QTemporaryFile>();
    if (temp_->open()) {
        drawPath_ = temp_->fileName().toStdString();
        temp_->close();
    }
}

CPdfOutput::~CPdfOutput() = default;

bool CPdfOutput::Deliver() {
    if (!ToStandardOutput()) {
        std::printf("%s\n", path_.c_str());
        return true;
    }
    QFile file(QString::fromStdString(drawPath_));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const std::size_t written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    return std::fflush(stdout) == 0 && written == static_cast<std::size_t>(bytes.size());
}
