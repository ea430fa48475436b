#include "image/ui/ExtendedFileDialog.h"

#include "controls/ui/FormLayout.h"
#include "image/ui/PreviewWidget.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ui/WidgetControlTexts.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QItemSelectionModel>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QHeaderView>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kTitle = 5000;
constexpr int kAllSupported = 5006;
constexpr int kAllFiles = 5007;

QString Text(int number)
{
    return QString::fromStdString(Language().GetText(number));
}

// The Qt filter for a display name and its patterns: the patterns go in a
// last pair of brackets, which the dialog hides, so the name shows as given.
QString QtFilter(const std::string& name, const std::string& patterns)
{
    QString p = QString::fromStdString(patterns);
    p.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (p == QLatin1String("*.*"))
        p = QStringLiteral("*");
    return QString::fromStdString(name) + QStringLiteral(" (") + p + QLatin1Char(')');
}

}  // namespace

std::vector<std::pair<std::string, std::string>> CExtendedFileDialog::FilterPairs()
{
    return {
        {Language().GetText(kAllSupported),
         "*.png;*.tif;*.gif;*.jpg;*.jpeg;*.bmp;*.tiff;*.webp;*.heic;*.heif;*.hif;*.avif;*.jxl"},
        {"CompuServe Graphics Interchange (*.gif)", "*.gif"},
        {"JPEG (*.jpg; *.jpeg)", "*.jpg;*.jpeg"},
        {"Portable Network Graphics (*.png)", "*.png"},
        {"Windows or OS/2 Bitmap (*.bmp)", "*.bmp"},
        {"WebP (*.webp)", "*.webp"},
        {"HEIF, HEIC and AVIF (*.heic; *.heif; *.avif)", "*.heic;*.heif;*.hif;*.avif"},
        {"JPEG XL (*.jxl)", "*.jxl"},
        {"Tagged Image File Format (*.tif; *.tiff)", "*.tif;*.tiff"},
        {Language().GetText(kAllFiles) + " (*.*)", "*.*"},
    };
}

CExtendedFileDialog::CExtendedFileDialog(bool allowMultiple, QWidget* parent) : QFileDialog(parent)
{
    CLanguageTable& language = Language();
    language.SetEnglishText(kTitle, "Select the image you want to use for the cover");
    language.SetEnglishText(kAllSupported, "All Supported Graphic Formats");
    language.SetEnglishText(kAllFiles, "All Files");

    // Qt's own dialog: the platform's cannot take the panel.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ReadOnly, true);
    setOption(QFileDialog::HideNameFilterDetails, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(allowMultiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    setWindowTitle(Text(kTitle));

    QStringList filters;
    for (const auto& [name, patterns] : FilterPairs())
        filters << QtFilter(name, patterns);
    setNameFilters(filters);

    const std::string folder = ReadLastUsedFolder();
    if (!folder.empty())
        setDirectory(QString::fromStdString(folder));

    QWidget* panel = BuildPanel();
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(panel, 0, grid->columnCount(), grid->rowCount(), 1);
    else
        layout()->addWidget(panel);

    // The selection changes with the current item and with every selection
    // in the file views (also one made by selectFile or by the keyboard).
    connect(this, &QFileDialog::currentChanged, this, [this](const QString& path) {
        if (path != current_)
            SelectionChanged(path);
    });
    for (QAbstractItemView* view : findChildren<QAbstractItemView*>()) {
        if (!view->selectionModel() || !qobject_cast<QFileSystemModel*>(view->model()))
            continue;
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, view] {
            const QModelIndexList rows = view->selectionModel()->selectedRows();
            if (rows.isEmpty())
                return;
            const QString path = rows.front().data(QFileSystemModel::FilePathRole).toString();
            if (path != current_)
                SelectionChanged(path);
        });
    }
    connect(showPreview_, &QCheckBox::clicked, this, [this] { UpdatePanel(); });

    // Room for the folder's files beside the panel.
    const QSize hint = sizeHint();
    resize(std::max(hint.width(), 900), std::max(hint.height(), 520));
    if (auto* details = findChild<QTreeView*>(QStringLiteral("treeView"))) {
        const int widths[] = {205, 80, 95, 160};
        for (int i = 0; i < 4; ++i)
            details->header()->resizeSection(i, widths[i]);
    }
}

CExtendedFileDialog::~CExtendedFileDialog()
{
    WriteShowPreview(showPreview_->isChecked() ? 1 : 0);
}

QWidget* CExtendedFileDialog::BuildPanel()
{
    const CFormLayout units;
    auto* panel = new QWidget(this);
    panel->setFont(units.Font());
    auto* outer = new QVBoxLayout(panel);
    outer->setContentsMargins(units.X(4), 0, 0, 0);

    group_ = new QGroupBox(QStringLiteral("Image Information / Preview"), panel);
    auto* grid = new QGridLayout(group_);
    preview_ = new CPreview(group_);
    preview_->setFixedSize(units.MapSize(126, 113));
    grid->addWidget(preview_, 0, 0, 1, 2, Qt::AlignHCenter);
    const char* names[3] = {"Resolution", "ColorDepth", "FileSize"};
    for (int i = 0; i < 3; ++i) {
        labels_[i] = new QLabel(QString::fromLatin1(names[i]), group_);
        values_[i] = new QLabel(QStringLiteral(":"), group_);
        values_[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(labels_[i], i + 1, 0);
        grid->addWidget(values_[i], i + 1, 1);
    }
    grid->setColumnStretch(1, 1);
    showPreview_ = new QCheckBox(QStringLiteral("Show preview"), group_);
    grid->addWidget(showPreview_, 4, 0, 1, 2);
    outer->addWidget(group_);
    outer->addStretch(1);

    showPreview_->setChecked(ReadShowPreview() != 0);

    CLanguageTable& language = Language();
    if (language.GetCurrentLanguage() != 0) {
        CWidgetControlTexts controls;
        controls.Add(GroupBox, group_);
        controls.Add(ResolutionLabel, labels_[0]);
        controls.Add(DepthLabel, labels_[1]);
        controls.Add(FileSizeLabel, labels_[2]);
        controls.Add(ShowPreview, showPreview_);
        static constexpr ControlTextNumber rows[] = {
            {GroupBox, 5001}, {ResolutionLabel, 5002}, {DepthLabel, 5003}, {FileSizeLabel, 5004}, {ShowPreview, 5005}};
        language.SetControlTexts(controls, rows);
    }
    return panel;
}

QString CExtendedFileDialog::ControlText(int controlId) const
{
    switch (controlId) {
    case GroupBox: return group_->title();
    case ResolutionLabel: return labels_[0]->text();
    case DepthLabel: return labels_[1]->text();
    case FileSizeLabel: return labels_[2]->text();
    case ShowPreview: return showPreview_->text();
    case ResolutionValue: return values_[0]->text();
    case DepthValue: return values_[1]->text();
    case FileSizeValue: return values_[2]->text();
    default: return {};
    }
}

void CExtendedFileDialog::SelectionChanged(const QString& path)
{
    current_ = path;
    if (showPreview_->isChecked())
        UpdatePanel();
}

void CExtendedFileDialog::UpdatePanel()
{
    for (QLabel* v : values_)
        v->setText(QStringLiteral(":"));
    if (current_.isEmpty() || !QFileInfo(current_).isFile())
        return;
    QFile file(current_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const qint64 length = file.size();
    file.close();

    preview_->SetFile(current_.toStdString());
    int w = 0, h = 0;
    if (preview_->GetImageSize(w, h)) {
        values_[0]->setText(QStringLiteral(": %1 x %2 pixels").arg(w).arg(h));
        values_[2]->setText(QStringLiteral(": %1 KB").arg(length / 1024));
        values_[1]->setText(QStringLiteral(": %1 bits per pixel").arg(preview_->GetImageBpp()));
    }
}

std::vector<std::string> CExtendedFileDialog::Paths() const
{
    std::vector<std::string> paths;
    for (const QString& f : selectedFiles())
        paths.push_back(f.toStdString());
    return paths;
}
