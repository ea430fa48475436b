#include "sources/ui/CoverSearchDialog.h"

#include "controls/ui/GuardedHandler.h"
#include "settings/LanguageTable.h"
#include "sources/SourceTexts.h"
#include "sources/ui/CoverDownload.h"
#include "sources/ui/ServiceMessages.h"
#include "sources/ui/ServiceThread.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kThumbnailSize = 64;

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CCoverSearchDialog::CCoverSearchDialog(CoverServiceSettings settings, const CoverQuery& query, QWidget* parent)
    : QDialog(parent), settings_(std::move(settings)), discReader_(&ReadDiscId)
{
    setWindowTitle(SourceTextOf(SourceText::SearchTitle));
    BuildControls(query);
    resize(760, 460);
}

CCoverSearchDialog::~CCoverSearchDialog()
{
    thread_.reset();  // cancels and waits before the controls go
}

void CCoverSearchDialog::BuildControls(const CoverQuery& query)
{
    artist_ = new QLineEdit(Q(query.artist), this);
    artist_->setObjectName("artist");
    album_ = new QLineEdit(Q(query.album), this);
    album_->setObjectName("album");
    search_ = new QPushButton(SourceTextOf(SourceText::Search), this);
    search_->setObjectName("search");
    drive_ = new QComboBox(this);
    drive_->setObjectName("drive");
    for (const std::string& d : DiscDrives())
        drive_->addItem(Q(d));
    if (drive_->count() == 0)
        drive_->setPlaceholderText(SourceTextOf(SourceText::NoDrive));
    readDisc_ = new QPushButton(SourceTextOf(SourceText::ReadDisc), this);
    readDisc_->setObjectName("readDisc");

    results_ = new QTreeWidget(this);
    results_->setObjectName("results");
    results_->setRootIsDecorated(false);
    results_->setIconSize(QSize(kThumbnailSize, kThumbnailSize));
    results_->setHeaderLabels({QString(), SourceTextOf(SourceText::ArtistColumn), SourceTextOf(SourceText::TitleColumn),
                               SourceTextOf(SourceText::YearColumn), SourceTextOf(SourceText::CountryColumn),
                               SourceTextOf(SourceText::FormatColumn), SourceTextOf(SourceText::TracksColumn)});
    results_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    results_->header()->setMinimumSectionSize(kThumbnailSize + 8);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(this);
    use_ = buttons->addButton(SourceTextOf(SourceText::UseCovers), QDialogButtonBox::AcceptRole);
    use_->setObjectName("useCovers");
    use_->setEnabled(false);
    cancel_ = buttons->addButton(SourceTextOf(SourceText::Cancel), QDialogButtonBox::ActionRole);
    cancel_->setObjectName("cancel");
    cancel_->setEnabled(false);
    buttons->addButton(QDialogButtonBox::Close);

    auto* form = new QFormLayout;
    auto* albumRow = new QHBoxLayout;
    albumRow->addWidget(album_, 1);
    albumRow->addWidget(search_);
    auto* driveRow = new QHBoxLayout;
    driveRow->addWidget(drive_, 1);
    driveRow->addWidget(readDisc_);
    form->addRow(SourceTextOf(SourceText::Artist), artist_);
    form->addRow(SourceTextOf(SourceText::Album), albumRow);
    form->addRow(SourceTextOf(SourceText::Drive), driveRow);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(results_, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons);

    connect(search_, &QPushButton::clicked, this, Guarded(this, [this] { Search(); }));
    connect(artist_, &QLineEdit::returnPressed, this, Guarded(this, [this] { Search(); }));
    connect(album_, &QLineEdit::returnPressed, this, Guarded(this, [this] { Search(); }));
    connect(readDisc_, &QPushButton::clicked, this, Guarded(this, [this] { ReadDisc(); }));
    connect(use_, &QPushButton::clicked, this, Guarded(this, [this] { ChooseSelected(); }));
    connect(cancel_, &QPushButton::clicked, this, Guarded(this, [this] { CancelWork(); }));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(results_, &QTreeWidget::itemSelectionChanged, this,
            [this] { use_->setEnabled(!results_->selectedItems().isEmpty()); });
    // Enter or a double-click on a release chooses it.
    connect(results_, &QTreeWidget::itemActivated, this, Guarded(this, [this] { ChooseSelected(); }));
    // Return belongs to where it is pressed (the fields search, the list
    // chooses), never to a default button besides.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
}

void CCoverSearchDialog::Start(Work work)
{
    thread_.reset();
    const int generation = ++generation_;
    SetBusy(true);
    const PostFn post = [this, generation](std::function<void()> f) {
        QMetaObject::invokeMethod(
            this, Guarded(this, [this, generation, f] {
                if (generation == generation_)
                    f();
            }),
            Qt::QueuedConnection);
    };
    thread_ = std::make_unique<CServiceThread>(settings_, [work, post, this](CServiceClient& c,
                                                                             const std::atomic<bool>& x) {
        work(c, x, post);
        post([this] { SetBusy(false); });
    });
    thread_->start();
}

void CCoverSearchDialog::CancelWork()
{
    thread_.reset();
    ++generation_;
    SetBusy(false);
    SetStatus({});
}

void CCoverSearchDialog::SetBusy(bool busy) { cancel_->setEnabled(busy); }

void CCoverSearchDialog::SetStatus(const QString& text) { status_->setText(text); }

void CCoverSearchDialog::Search()
{
    const std::string artist = artist_->text().trimmed().toStdString();
    const std::string album = album_->text().trimmed().toStdString();
    if (artist.empty() && album.empty())
        return;
    SetStatus(SourceTextOf(SourceText::Searching));
    results_->clear();
    Start([this, artist, album](CServiceClient& client, const std::atomic<bool>& cancel, const PostFn& post) {
        const ReleaseReply reply = client.Search(artist, album);
        post([this, reply] { ShowReleases(reply, false); });
        if (reply.failure == ServiceFailure::None)
            FetchThumbnails(client, cancel, post, reply.releases);
    });
}

void CCoverSearchDialog::ReadDisc()
{
    if (drive_->count() == 0 && !readerGiven_) {
        SetStatus(SourceTextOf(SourceText::NoDrive));
        return;
    }
    const std::string device = drive_->currentText().toStdString();
    SetStatus(SourceTextOf(SourceText::Searching));
    results_->clear();
    DiscReader reader = discReader_;
    Start([this, device, reader](CServiceClient& client, const std::atomic<bool>& cancel, const PostFn& post) {
        const DiscReading disc = reader(device);
        if (!disc.ok) {
            post([this, disc] {
                SetStatus(QString::fromStdString(
                    FillTextPlaceholders(Language().GetText(SourceText::NoDisc), {disc.message})));
            });
            return;
        }
        const ReleaseReply reply = client.LookUpDisc(disc.id);
        post([this, reply] { ShowReleases(reply, true); });
        if (reply.failure == ServiceFailure::None && reply.releases.size() > 1)
            FetchThumbnails(client, cancel, post, reply.releases);
    });
}

void CCoverSearchDialog::ShowReleases(const ReleaseReply& reply, bool fromDisc)
{
    results_->clear();
    releases_ = reply.releases;
    art_.assign(releases_.size(), std::nullopt);
    if (reply.failure != ServiceFailure::None || releases_.empty()) {
        const bool none = reply.failure == ServiceFailure::None || reply.failure == ServiceFailure::NotFound;
        SetStatus(none ? SourceTextOf(SourceText::NoRelease) : ServiceFailureText(reply.failure, reply.detail));
        return;
    }
    for (const ReleaseInfo& r : releases_) {
        auto* item = new QTreeWidgetItem(results_, {QString(), Q(r.artist), Q(r.title), Q(r.year), Q(r.country),
                                                    Q(r.format), r.trackCount ? QString::number(r.trackCount) : QString()});
        item->setSizeHint(0, QSize(kThumbnailSize, kThumbnailSize + 4));
    }
    SetStatus({});
    // One release for the disc goes straight to its covers.
    if (fromDisc && releases_.size() == 1)
        Choose(0);
}

void CCoverSearchDialog::FetchThumbnails(CServiceClient& client, const std::atomic<bool>& cancel,
                                         const PostFn& post, const std::vector<ReleaseInfo>& releases)
{
    for (std::size_t i = 0; i < releases.size() && !cancel; ++i) {
        const CoverArtReply art = client.CoverArt(releases[i].id);
        const int index = static_cast<int>(i);
        post([this, index, art] { ShowArt(index, art); });
        if (art.failure != ServiceFailure::None || art.images.frontThumbnail.empty())
            continue;
        const ServiceReply thumb = client.Picture(art.images.frontThumbnail, CServiceClient::kThumbnailLimit);
        if (thumb.ok())
            post([this, index, bytes = thumb.body] { ShowThumbnail(index, bytes); });
    }
}

void CCoverSearchDialog::ShowArt(int index, const CoverArtReply& art)
{
    QTreeWidgetItem* item = results_->topLevelItem(index);
    if (!item || index >= static_cast<int>(art_.size()))
        return;
    if (art.failure == ServiceFailure::None)
        art_[static_cast<std::size_t>(index)] = art.images;
    else if (art.failure == ServiceFailure::NotFound)
        item->setText(0, SourceTextOf(SourceText::NoArt));
}

void CCoverSearchDialog::ShowThumbnail(int index, const QByteArray& bytes)
{
    QTreeWidgetItem* item = results_->topLevelItem(index);
    QImage image;
    // Qt's own readers only look at the bytes; a picture that is not one
    // stays without a thumbnail.
    if (!item || !image.loadFromData(bytes))
        return;
    item->setIcon(0, QPixmap::fromImage(image.scaled(kThumbnailSize, kThumbnailSize, Qt::KeepAspectRatio,
                                                     Qt::SmoothTransformation)));
}

void CCoverSearchDialog::ChooseSelected()
{
    const QList<QTreeWidgetItem*> selected = results_->selectedItems();
    if (!selected.isEmpty())
        Choose(results_->indexOfTopLevelItem(selected.front()));
}

void CCoverSearchDialog::Choose(int index)
{
    if (index < 0 || index >= static_cast<int>(releases_.size()))
        return;
    const ReleaseInfo release = releases_[static_cast<std::size_t>(index)];
    const std::optional<CoverArtImages> known = art_[static_cast<std::size_t>(index)];
    SetStatus(SourceTextOf(SourceText::Downloading));
    Start([this, release, known](CServiceClient& client, const std::atomic<bool>&, const PostFn& post) {
        const CoverFiles files = DownloadCovers(client, release, known);
        post([this, files] {
            if (files.failure == ServiceFailure::NotFound) {
                SetStatus(SourceTextOf(SourceText::NoArt));
            } else if (files.failure != ServiceFailure::None) {
                SetStatus(ServiceFailureText(files.failure, files.detail));
            } else if (files.front.empty() && files.back.empty()) {
                SetStatus(SourceTextOf(SourceText::NoArt));
            } else {
                emit CoversChosen(Q(files.front), Q(files.back));
                accept();
            }
        });
    });
}
