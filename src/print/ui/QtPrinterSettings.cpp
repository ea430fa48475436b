#include "print/ui/QtPrinterSettings.h"

#include "print/CupsPrinter.h"
#include "print/PageMetrics.h"

#include <QPageLayout>
#include <QPrintEngine>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace {

// The CUPS print engine's property holding the extra job options. Qt's print
// dialog writes the same property; its number is fixed in Qt's CUPS support.
constexpr auto kCupsOptionsProperty = QPrintEngine::PrintEnginePropertyKey(0xfe00);

void SetOption(QStringList& options, const QString& name, const QString& value) {
    for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
        if (options[i] == name) {
            options[i + 1] = value;
            return;
        }
    }
    options << name << value;
}

// Index of an option's name in the list, -1 when absent.
qsizetype FindOption(const QStringList& options, const QString& name) {
    for (qsizetype i = 0; i + 1 < options.size(); i += 2)
        if (options[i] == name)
            return i;
    return -1;
}

double MillimetresPer(QPageLayout::Unit unit) {
    switch (unit) {
    case QPageLayout::Millimeter: return 1.0;
    case QPageLayout::Point: return kMmPerInch / 72.0;
    case QPageLayout::Inch: return kMmPerInch;
    case QPageLayout::Pica: return kMmPerInch / 6.0;
    case QPageLayout::Didot: return 0.376065;
    case QPageLayout::Cicero: return 4.51278;
    }
    return 1.0;
}

bool WritesPdf(const QPrinter& printer) { return printer.outputFormat() == QPrinter::PdfFormat; }

}  // namespace

QStringList CupsJobOptions(const QPrinter& printer) {
    return const_cast<QPrinter&>(printer).printEngine()->property(kCupsOptionsProperty).toStringList();
}

void SetCupsJobOptions(QPrinter& printer, const QStringList& options) {
    printer.printEngine()->setProperty(kCupsOptionsProperty, options);
}

std::vector<std::pair<std::string, std::string>> CupsSubmitOptions(const QPrinter& printer) {
    std::vector<std::pair<std::string, std::string>> options;
    const QPageLayout layout = printer.pageLayout();
    options.emplace_back("media", layout.pageSize().key().toStdString());
    const int copies = printer.copyCount();
    if (copies > 1) {
        options.emplace_back("copies", std::to_string(copies));
        if (printer.collateCopies())
            options.emplace_back("Collate", "True");
    }
    const bool landscape = layout.orientation() == QPageLayout::Landscape;
    switch (printer.duplex()) {
    case QPrinter::DuplexNone: options.emplace_back("sides", "one-sided"); break;
    case QPrinter::DuplexAuto:
        options.emplace_back("sides", landscape ? "two-sided-short-edge" : "two-sided-long-edge");
        break;
    case QPrinter::DuplexLongSide: options.emplace_back("sides", "two-sided-long-edge"); break;
    case QPrinter::DuplexShortSide: options.emplace_back("sides", "two-sided-short-edge"); break;
    }
    if (landscape)
        options.emplace_back("landscape", "");
    const QStringList extra = CupsJobOptions(printer);
    for (qsizetype i = 0; i + 1 < extra.size(); i += 2)
        options.emplace_back(extra[i].toStdString(), extra[i + 1].toStdString());
    return options;
}

void ApplyToPrinter(const CPrinterSettings& settings, const PrinterCapabilities& caps, QPrinter& printer) {
    if (WritesPdf(printer))
        return;  // a PDF file has no paper sources; its page is what the dialog chose
    std::string name = settings.PrinterName();
    if (name.empty())
        name = CupsDefaultPrinter();
    if (!name.empty() && printer.printerName() != QString::fromStdString(name))
        printer.setPrinterName(QString::fromStdString(name));
    if (caps.resolution > 0 && caps.printer == name)
        printer.setResolution(caps.resolution);
    if (!settings.PaperKeyword().empty()) {
        const QString key = QString::fromStdString(settings.PaperKeyword());
        for (const QPageSize& size : QPrinterInfo(printer).supportedPageSizes()) {
            if (size.key() == key) {
                printer.setPageSize(size);
                break;
            }
        }
    }
    QStringList options = CupsJobOptions(printer);
    for (const auto& [key, value] : settings.JobOptions())
        SetOption(options, QString::fromStdString(key), QString::fromStdString(value));
    SetCupsJobOptions(printer, options);
}

void MergeAfterPrintDialog(CPrinterSettings& settings, QPrinter& printer) {
    if (WritesPdf(printer))
        return;  // printing to a file changes nothing for later jobs
    const std::string chosen = printer.printerName().toStdString();
    const std::string current = settings.PrinterName().empty() ? CupsDefaultPrinter() : settings.PrinterName();
    if (chosen != current)
        settings.SelectPrinter(chosen);  // the caller applies the format to the new printer
    else if (settings.PrinterName().empty())
        settings.SelectPrinter(chosen);  // keeps what was set: the same printer by its name
    QStringList options = CupsJobOptions(printer);
    for (const auto& [key, value] : std::vector(settings.JobOptions())) {
        const QString name = QString::fromStdString(key);
        const qsizetype at = FindOption(options, name);
        if (at >= 0)
            settings.SetJobOption(key, options[at + 1].toStdString());  // chosen in the dialog
        else
            options << name << QString::fromStdString(value);
    }
    SetCupsJobOptions(printer, options);
    if (!settings.PaperKeyword().empty())
        settings.SetPaperKeyword(printer.pageLayout().pageSize().key().toStdString());
}

PageMetrics SheetPageMetrics(double widthMm, double heightMm, double leftMm, double topMm,
                             double rightMm, double bottomMm, int dpi) {
    const int width = SheetMmToPixels(widthMm, dpi);
    const int height = SheetMmToPixels(heightMm, dpi);
    const int left = SheetMmToPixels(leftMm, dpi);
    const int top = SheetMmToPixels(topMm, dpi);
    const int printableWidth = std::max(0, width - left - SheetMmToPixels(rightMm, dpi));
    const int printableHeight = std::max(0, height - top - SheetMmToPixels(bottomMm, dpi));
    return PageMetrics::Make(width, height, left, top, printableWidth, printableHeight, dpi, dpi);
}

PageMetrics PrinterPageMetrics(const QPrinter& printer) {
    const QPageLayout layout = printer.pageLayout();
    const QRectF sheet = layout.fullRect(QPageLayout::Millimeter);
    const QMarginsF margins = layout.minimumMargins() * MillimetresPer(layout.units());
    return SheetPageMetrics(sheet.width(), sheet.height(), margins.left(), margins.top(), margins.right(),
                            margins.bottom(), printer.resolution());
}
