#include "sources/ui/ScanDialog.h"

#include "controls/ui/GuardedHandler.h"
#include "image/RgbaExport.h"
#include "settings/LanguageTable.h"
#include "sources/CoverCrop.h"
#include "sources/SourceTexts.h"
#include "sources/ui/ScanThread.h"
#include "sources/ui/ServiceMessages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kPreviewSide = 240;

QPixmap PixmapOf(const CRasterImage& picture)
{
    const std::vector<std::uint8_t> rgba = ImageToRgba(picture);
    const QImage image(rgba.data(), picture.GetWidth(), picture.GetHeight(), picture.GetWidth() * 4,
                       QImage::Format_RGBA8888);
    return QPixmap::fromImage(image.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

CScanDialog::CScanDialog(Slot slot, Take take, QWidget* parent) : QDialog(parent), take_(std::move(take))
{
    setWindowTitle(SourceTextOf(SourceText::ScanTitle));
    BuildControls(slot);
    FindScanners();
}

CScanDialog::~CScanDialog()
{
    thread_.reset();  // cancels and waits before the controls go
}

void CScanDialog::BuildControls(Slot slot)
{
    scanner_ = new QComboBox(this);
    scanner_->setObjectName("scanner");
    resolution_ = new QComboBox(this);
    resolution_->setObjectName("resolution");
    for (const int dpi : kScanResolutions)
        resolution_->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
    resolution_->setCurrentIndex(1);
    colour_ = new QRadioButton(SourceTextOf(SourceText::Colour), this);
    colour_->setObjectName("colour");
    colour_->setChecked(true);
    grey_ = new QRadioButton(SourceTextOf(SourceText::Grey), this);
    grey_->setObjectName("grey");
    slot_ = new QComboBox(this);
    slot_->setObjectName("slot");
    slot_->addItem(SourceTextOf(SourceText::LeftImage));
    slot_->addItem(SourceTextOf(SourceText::RightImage));
    slot_->setCurrentIndex(slot == Slot::Left ? 0 : 1);
    crop_ = new QCheckBox(SourceTextOf(SourceText::Crop), this);
    crop_->setObjectName("crop");
    crop_->setChecked(true);
    previewPicture_ = new QLabel(this);
    previewPicture_->setObjectName("previewPicture");
    previewPicture_->setFixedSize(kPreviewSide, kPreviewSide);
    previewPicture_->setAlignment(Qt::AlignCenter);
    previewPicture_->setFrameShape(QFrame::StyledPanel);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("progress");
    progress_->setRange(0, 100);
    progress_->setValue(0);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    preview_ = buttons->addButton(SourceTextOf(SourceText::Preview), QDialogButtonBox::ActionRole);
    preview_->setObjectName("preview");
    scan_ = buttons->addButton(SourceTextOf(SourceText::Scan), QDialogButtonBox::ActionRole);
    scan_->setObjectName("scan");
    cancel_ = buttons->addButton(SourceTextOf(SourceText::Cancel), QDialogButtonBox::ActionRole);
    cancel_->setObjectName("cancel");
    cancel_->setEnabled(false);
    buttons->addButton(QDialogButtonBox::Close);

    auto* mode = new QHBoxLayout;
    mode->addWidget(colour_);
    mode->addWidget(grey_);
    mode->addStretch();
    auto* form = new QFormLayout;
    form->addRow(SourceTextOf(SourceText::Scanner), scanner_);
    form->addRow(SourceTextOf(SourceText::Resolution), resolution_);
    form->addRow(QString(), mode);
    form->addRow(SourceTextOf(SourceText::Into), slot_);
    form->addRow(QString(), crop_);
    auto* top = new QHBoxLayout;
    top->addLayout(form, 1);
    top->addWidget(previewPicture_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(progress_);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    connect(preview_, &QPushButton::clicked, this, Guarded(this, [this] { StartScan(true); }));
    connect(scan_, &QPushButton::clicked, this, Guarded(this, [this] { StartScan(false); }));
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (thread_)
            thread_->Cancel();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CScanDialog::SetScanning(bool scanning)
{
    preview_->setEnabled(!scanning && scanner_->count() > 0);
    scan_->setEnabled(!scanning && scanner_->count() > 0);
    cancel_->setEnabled(scanning);
}

void CScanDialog::FindScanners()
{
    SetScanning(true);
    cancel_->setEnabled(false);
    thread_ = std::make_unique<CScanThread>();
    connect(thread_.get(), &QThread::finished, this, Guarded(this, [this] {
                for (const ScannerDevice& d : thread_->Scanners())
                    scanner_->addItem(QString::fromStdString(d.Label()), QString::fromStdString(d.name));
                if (scanner_->count() == 0)
                    status_->setText(SourceTextOf(SourceText::NoScanner));
                thread_.reset();
                SetScanning(false);
            }));
    thread_->start();
}

void CScanDialog::StartScan(bool preview)
{
    if (thread_ || scanner_->count() == 0)
        return;
    ScanRequest request;
    request.device = scanner_->currentData().toString().toStdString();
    request.dpi = resolution_->currentData().toInt();
    request.grey = grey_->isChecked();
    request.preview = preview;
    progress_->setValue(0);
    status_->clear();
    SetScanning(true);
    thread_ = std::make_unique<CScanThread>(std::move(request));
    connect(thread_.get(), &CScanThread::Progress, progress_, &QProgressBar::setValue, Qt::QueuedConnection);
    connect(thread_.get(), &QThread::finished, this, Guarded(this, [this, preview] { ScanEnded(preview); }));
    thread_->start();
}

void CScanDialog::ScanEnded(bool preview)
{
    std::unique_ptr<CScanThread> thread = std::move(thread_);
    SetScanning(false);
    ScanResult& r = thread->Result();
    if (r.status == ScanStatus::Cancelled) {
        progress_->setValue(0);
        return;
    }
    if (r.status == ScanStatus::NoScanner) {
        status_->setText(SourceTextOf(SourceText::NoScanner));
        return;
    }
    if (r.status != ScanStatus::Done) {
        status_->setText(QString::fromStdString(
            FillTextPlaceholders(Language().GetText(SourceText::ScanFailed), {r.message})));
        return;
    }
    CRasterImage picture =
        crop_->isChecked() ? CropPicture(r.picture, FindCoverOnPlaten(r.picture)) : std::move(r.picture);
    previewPicture_->setPixmap(PixmapOf(picture));
    if (preview)
        return;
    take_(slot_->currentIndex() == 0 ? Slot::Left : Slot::Right, picture);
    accept();
}
