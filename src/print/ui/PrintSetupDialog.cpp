#include "print/ui/PrintSetupDialog.h"

#include "print/CupsPrinter.h"
#include "print/ui/PrinterChoiceCombo.h"
#include "settings/LanguageTable.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

namespace {
// Text numbers of the dialog's title, labels and buttons.
constexpr int kTitleText = 9550;
constexpr int kPrinterText = 9551;
constexpr int kPaperSizeText = 9552;
constexpr int kPaperSourceText = 9553;
constexpr int kOkText = 9554;
constexpr int kCancelText = 9555;

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QString Text(int number) { return Utf8(Language().GetText(number)); }
}  // namespace

CPrintSetupDialog::CPrintSetupDialog(const CPrinterSettings& settings, QWidget* parent)
    : QDialog(parent), initial_(settings) {
    setWindowTitle(Text(kTitleText));
    printer_ = new QComboBox(this);
    paper_ = new QComboBox(this);
    source_ = new QComboBox(this);
    buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    buttons_->button(QDialogButtonBox::Ok)->setText(Text(kOkText));
    buttons_->button(QDialogButtonBox::Cancel)->setText(Text(kCancelText));
    form->addRow(Text(kPrinterText), printer_);
    form->addRow(Text(kPaperSizeText), paper_);
    form->addRow(Text(kPaperSourceText), source_);
    form->addRow(buttons_);

    std::string current = settings.PrinterName();
    if (current.empty())
        current = CupsDefaultPrinter();
    for (const std::string& name : CupsPrinterNames())
        printer_->addItem(Utf8(name));
    printer_->setCurrentIndex(std::max(0, printer_->findText(Utf8(current))));
    LoadPrinter(printer_->currentText());

    connect(printer_, &QComboBox::currentTextChanged, this, &CPrintSetupDialog::LoadPrinter);
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CPrintSetupDialog::LoadPrinter(const QString& name) {
    paper_->clear();
    source_->clear();
    const bool have = !name.isEmpty() && ReadPrinterCapabilities(name.toStdString(), caps_);
    if (!have)
        caps_ = PrinterCapabilities{};
    // The same printer shows what is set on it; another one its defaults.
    const bool samePrinter = caps_.printer == initial_.PrinterName() ||
                             (initial_.PrinterName().empty() && caps_.printer == CupsDefaultPrinter());
    for (const PaperChoice& p : caps_.papers)
        paper_->addItem(Utf8(p.text), Utf8(p.keyword));
    std::string paper = samePrinter && !initial_.PaperKeyword().empty() ? initial_.PaperKeyword() : caps_.defaultPaper;
    paper_->setCurrentIndex(paper_->findData(Utf8(paper)));
    FillPrinterChoiceCombo(source_, caps_.sources, have);
    if (samePrinter) {
        const std::string slot = initial_.JobOption(caps_.sourceOption);
        for (const PrinterChoice& c : caps_.sources)
            if (c.keyword == slot)
                SelectPrinterChoice(source_, c.number);
    }
    paper_->setEnabled(paper_->count() > 0);
    source_->setEnabled(source_->count() > 1);
}

void CPrintSetupDialog::Apply(CPrinterSettings& settings) const {
    if (caps_.printer.empty())
        return;
    settings.SelectPrinter(caps_.printer);
    const std::string paper = paper_->currentData().toString().toStdString();
    settings.SetPaperKeyword(paper == caps_.defaultPaper && settings.PaperKeyword().empty() ? std::string() : paper);
    const int source = source_->currentData().isValid() ? source_->currentData().toInt() : kPrinterDefaultChoice;
    if (const PrinterChoice* c = ChoiceByNumber(caps_.sources, source))
        settings.SetJobOption(caps_.sourceOption, c->keyword);
    else
        settings.RemoveJobOption(caps_.sourceOption);
}
