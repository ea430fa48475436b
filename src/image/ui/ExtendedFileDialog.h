#pragma once
// CExtendedFileDialog: the open-file dialog for cover images, Qt's own dialog
// with a panel beside it that previews the selected file and shows its size
// in pixels, its colour depth and its file size.
#include <QFileDialog>

#include <string>
#include <vector>

class CPreview;
class QCheckBox;
class QLabel;
class QGroupBox;

class CExtendedFileDialog final : public QFileDialog {
    Q_OBJECT
public:
    // Panel controls (template 104).
    enum Control {
        GroupBox = 1002,
        ResolutionLabel = 1003,
        DepthLabel = 1004,
        FileSizeLabel = 1005,
        PreviewArea = 1027,
        ShowPreview = 1028,
        ResolutionValue = 1036,
        FileSizeValue = 1037,
        DepthValue = 1038,
    };

    // `allowMultiple`: several files may be chosen (batch printing).
    explicit CExtendedFileDialog(bool allowMultiple, QWidget* parent = nullptr);
    // Writes the state of "Show preview" to the settings.
    ~CExtendedFileDialog() override;

    // The chosen files in the dialog's order (UTF-8).
    std::vector<std::string> Paths() const;

    // The panel, for the tests and the screenshots.
    CPreview* Preview() const { return preview_; }
    QCheckBox* ShowPreviewBox() const { return showPreview_; }
    QString ControlText(int controlId) const;
    // Shows a file's information as a selection of it does.
    void SelectionChanged(const QString& path);
    // The information of the current selection, whatever "Show preview" says.
    void UpdatePanel();

    // The filter pairs, display name and patterns, in the dialog's order.
    static std::vector<std::pair<std::string, std::string>> FilterPairs();

private:
    QWidget* BuildPanel();

    CPreview* preview_ = nullptr;
    QCheckBox* showPreview_ = nullptr;
    QGroupBox* group_ = nullptr;
    QLabel* labels_[3] = {};
    QLabel* values_[3] = {};  // resolution, depth, file size
    QString current_;
};
