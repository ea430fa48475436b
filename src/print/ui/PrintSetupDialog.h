#pragma once
// "Print Setup...": the printer later jobs go to, its paper size and paper
// source. Changes the program's printer settings on OK only.
#include "print/PrinterOptions.h"

#include <QDialog>

class QComboBox;
class QDialogButtonBox;

class CPrintSetupDialog final : public QDialog {
    Q_OBJECT
public:
    explicit CPrintSetupDialog(const CPrinterSettings& settings, QWidget* parent = nullptr);

    // The dialog's choices written into the settings (after OK).
    void Apply(CPrinterSettings& settings) const;

    QComboBox* PrinterCombo() const { return printer_; }
    QComboBox* PaperCombo() const { return paper_; }
    QComboBox* SourceCombo() const { return source_; }

private:
    void LoadPrinter(const QString& name);

    CPrinterSettings initial_;
    PrinterCapabilities caps_;
    QComboBox* printer_ = nullptr;
    QComboBox* paper_ = nullptr;
    QComboBox* source_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
