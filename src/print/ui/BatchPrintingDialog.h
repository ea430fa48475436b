#pragma once
// "Batch Printing": how many images the batch job prints, and whether each
// file's format is recognised by itself or one format is forced for all.
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class CoverFormatList;
class CWidgetControlTexts;

class CBatchPrintingDialog final : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 12346;
    // Control ids of the template.
    static constexpr int kAutoDetectId = 1073;
    static constexpr int kForceFormatId = 1013;
    static constexpr int kFormatComboId = 1004;

    // count files; proposedFormat -1 opens with recognition chosen.
    CBatchPrintingDialog(int count, int proposedFormat, const CoverFormatList& formats, QWidget* parent = nullptr);
    ~CBatchPrintingDialog() override;

    // After Print: -1 = recognise every file, else the forced format
    // (-1 too when no format is selected).
    int Result() const;
    // 0 auto detect, 1 force format.
    int Choice() const;
    int Format() const { return format_; }
    int Count() const { return count_; }
    QString Message() const;

    QRadioButton* AutoDetectButton() const { return autoDetect_; }
    QRadioButton* ForceFormatButton() const { return forceFormat_; }
    QComboBox* FormatCombo() const { return combo_; }
    QPushButton* PrintButton() const { return print_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void UpdateComboEnabled();

    int count_;
    int format_;
    QLabel* message_ = nullptr;
    QRadioButton* autoDetect_ = nullptr;
    QRadioButton* forceFormat_ = nullptr;
    QComboBox* combo_ = nullptr;
    QPushButton* print_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
