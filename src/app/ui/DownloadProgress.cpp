#include "app/ui/DownloadProgress.h"

#include "app/ui/FileDownloader.h"
#include "settings/LanguageTable.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kTextDownloading = 9650;  // "Downloading %s"
constexpr int kTextCancel = 9651;
}  // namespace

CDownloadProgress::CDownloadProgress(CFileDownloader& downloader, QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
    label_ = new QLabel(this);
    bar_ = new QProgressBar(this);
    bar_->setTextVisible(false);
    bar_->setMaximumHeight(10);
    cancel_ = new QPushButton(this);
    cancel_->setAutoDefault(false);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignHCenter);
    hide();
    connect(cancel_, &QPushButton::clicked, &downloader, &CFileDownloader::Cancel);
    connect(&downloader, &CFileDownloader::Progress, this, &CDownloadProgress::OnProgress);
    connect(&downloader, &CFileDownloader::Finished, this, &QWidget::hide);
    connect(&downloader, &CFileDownloader::Failed, this, &QWidget::hide);
    connect(&downloader, &CFileDownloader::Cancelled, this, &QWidget::hide);
}

void CDownloadProgress::ShowFor(const QRect& area, const QString& name)
{
    const QString text = QString::fromStdString(
        FillTextPlaceholders(Language().GetText(kTextDownloading), {name.toStdString()}));
    label_->setText(label_->fontMetrics().elidedText(text, Qt::ElideMiddle, area.width() - 14));
    label_->setToolTip(text);
    cancel_->setText(QString::fromStdString(Language().GetText(kTextCancel)));
    bar_->setRange(0, 0);  // busy until the size is known
    const int height = sizeHint().height();
    setGeometry(area.x(), area.bottom() - height - 8, area.width(), height);
    show();
    raise();
}

void CDownloadProgress::OnProgress(qint64 received, qint64 total)
{
    if (total <= 0) {
        bar_->setRange(0, 0);
        return;
    }
    // Kept in kilobytes: a progress bar counts in int.
    bar_->setRange(0, static_cast<int>(total / 1024) + 1);
    bar_->setValue(static_cast<int>(received / 1024));
}
