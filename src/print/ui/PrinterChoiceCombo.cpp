#include "print/ui/PrinterChoiceCombo.h"

#include "print/CupsPrinter.h"
#include "settings/LanguageTable.h"

#include <QComboBox>

namespace {
constexpr int kUsePrinterDefaultText = 7035;

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

bool ReadAppPrinter(PrinterCapabilities& caps) {
    return ReadPrinterCapabilities(AppPrinterSettings().PrinterName(), caps);
}
}  // namespace

void FillPrinterChoiceCombo(QComboBox* combo, const std::vector<PrinterChoice>& choices, bool havePrinter) {
    combo->clear();
    if (!havePrinter)
        return;
    for (const PrinterChoice& c : choices)
        combo->addItem(Utf8(c.text), c.number);
    combo->addItem(Utf8(Language().GetText(kUsePrinterDefaultText)), kPrinterDefaultChoice);
    combo->setCurrentIndex(combo->count() - 1);
}

void FillMediaTypeCombo(QComboBox* combo) {
    PrinterCapabilities caps;
    const bool have = ReadAppPrinter(caps);
    FillPrinterChoiceCombo(combo, caps.mediaTypes, have);
}

void FillPaperSourceCombo(QComboBox* combo) {
    PrinterCapabilities caps;
    const bool have = ReadAppPrinter(caps);
    FillPrinterChoiceCombo(combo, caps.sources, have);
}

bool SelectPrinterChoice(QComboBox* combo, int number) {
    const int index = combo->findData(number);
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    return true;
}
