#include "app/ui/SlotIntake.h"

#include "sources/CoverCache.h"
#include "sources/DownloadRules.h"
#include "app/KorvaneDoc.h"
#include "app/ui/ClipboardDib.h"
#include "app/ui/DownloadProgress.h"
#include "app/ui/FileDownloader.h"
#include "image/ui/ExternalDrop.h"
#include "print/ui/PaperWidget.h"
#include "settings/LanguageTable.h"
#include "settings/Prompter.h"

#include <QBuffer>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QSaveFile>

namespace {

// Texts of the messages (numbered in every language file).
constexpr int kTextNotDownloaded = 9652;  // address, reason
constexpr int kTextOnlyWebAddresses = 9653;
constexpr int kTextRedirectRefused = 9654;  // address
constexpr int kTextTooManyRedirects = 9655;  // limit
constexpr int kTextTooLarge = 9656;          // MB
constexpr int kTextTimedOut = 9657;          // seconds
constexpr int kTextServerAnswered = 9658;    // status
constexpr int kTextNetworkSaid = 9659;       // the network's words
constexpr int kTextNotSaved = 9660;          // file, reason
constexpr int kTextDropNotSaved = 9661;      // folder, reason
constexpr int kTextWebPage = 9670;

int ReasonText(CFileDownloader::Failure failure)
{
    switch (failure) {
    case CFileDownloader::Failure::Scheme: return kTextOnlyWebAddresses;
    case CFileDownloader::Failure::RedirectScheme: return kTextRedirectRefused;
    case CFileDownloader::Failure::TooManyRedirects: return kTextTooManyRedirects;
    case CFileDownloader::Failure::TooLarge: return kTextTooLarge;
    case CFileDownloader::Failure::TimedOut: return kTextTimedOut;
    case CFileDownloader::Failure::HttpStatus: return kTextServerAnswered;
    case CFileDownloader::Failure::Network: return kTextNetworkSaid;
    case CFileDownloader::Failure::NotSaved: return kTextNotSaved;
    case CFileDownloader::Failure::WebPage: return kTextWebPage;
    }
    return kTextNetworkSaid;
}

std::string Text(int number)
{
    return Language().GetText(number);
}

}  // namespace

QString CSlotIntake::CoverCacheFolder()
{
    // The same folder the cover search keeps its covers in.
    return QString::fromStdString(::CoverCacheFolder());
}

CSlotIntake::CSlotIntake(CKorvaneDoc& doc, IPrompter& prompter, CPaper* const (&papers)[2], QWidget* window)
    : QObject(window), doc_(doc), prompter_(prompter), papers_{papers[0], papers[1]}
{
    downloader_ = new CFileDownloader(this);
    band_ = new CDownloadProgress(*downloader_, window);
    doc_.SetUnrememberedFolder(QDir::cleanPath(CoverCacheFolder()).toStdString());
    for (int i = 0; i < 2; ++i) {
        const Slot slot = i == 0 ? Slot::Left : Slot::Right;
        connect(papers_[i], &CPaper::TwoFilesDropped, this, [this, slot](const QString& first, const QString& second) {
            TakeFiles(slot, {first, second});
        });
        connect(papers_[i], &CPaper::PicturesDropped, this,
                [this, slot](const ExternalPictures& pictures) { TakePictures(slot, pictures); });
    }
    connect(downloader_, &CFileDownloader::Finished, this, [this](const QString& path) {
        PruneCoverCache(::CoverCacheFolder());
        doc_.LoadImage(downloadSlot_, path.toStdString(), true);
        StartNextDownload();
    });
    connect(downloader_, &CFileDownloader::Failed, this, [this](CFileDownloader::Failure failure, const QString& detail) {
        SayNotTaken(ReasonText(failure), downloader_->Address().toDisplayString(), detail);
        StartNextDownload();
    });
    connect(downloader_, &CFileDownloader::Cancelled, this, [this] { nextAddress_.clear(); });
}

void CSlotIntake::StartNextDownload()
{
    if (nextAddress_.isEmpty())
        return;
    const QString address = nextAddress_;
    nextAddress_.clear();
    StartDownload(nextSlot_, address);
}

bool CSlotIntake::TakeFiles(Slot slot, const QStringList& files)
{
    if (files.isEmpty())
        return false;
    if (files.size() == 1) {
        doc_.LoadImage(slot, files.front().toStdString(), true);
        return true;
    }
    // The first to the slot it was given to, the second to the other one.
    const std::string first = files[0].toStdString(), second = files[1].toStdString();
    if (slot == Slot::Left)
        doc_.LoadBoth(first, second, true);
    else
        doc_.LoadBoth(second, first, true);
    return true;
}

void CSlotIntake::TakePictures(Slot slot, const ExternalPictures& pictures)
{
    if (TakeFiles(slot, pictures.files))
        return;
    // Bytes at hand are taken before the address they came from is fetched.
    if (pictures.HasPictureData()) {
        SavePictureAndLoad(slot, pictures);
        return;
    }
    if (!pictures.addresses.isEmpty()) {
        // As with files: the first to this slot, the second, once the first
        // is in, to the other one. A download under way gives way first.
        downloader_->Cancel();
        nextAddress_ = pictures.addresses.size() > 1 ? pictures.addresses[1].toString() : QString();
        nextSlot_ = slot == Slot::Left ? Slot::Right : Slot::Left;
        StartDownload(slot, pictures.addresses.front().toString());
        return;
    }
    if (!pictures.otherAddresses.isEmpty())
        SayNotTaken(kTextOnlyWebAddresses, pictures.otherAddresses.front().toDisplayString(), {});
}

void CSlotIntake::SavePictureAndLoad(Slot slot, const ExternalPictures& pictures)
{
    QByteArray bytes = pictures.data;
    QString extension = pictures.dataExtension;
    if (bytes.isEmpty()) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        pictures.image.save(&buffer, "PNG");
        extension = QStringLiteral("png");
    }
    // Named after the address the picture came with, so that its back cover
    // is found beside it; otherwise after the moment it came.
    const QString fallback = QStringLiteral("dropped picture %1.%2")
                                 .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh-mm-ss-zzz")),
                                      extension);
    const std::string name =
        SafeCacheName(pictures.nameHint.toStdString(), extension.toStdString(), fallback.toStdString());
    const QString folder = CoverCacheFolder();
    QSaveFile file(QDir(folder).filePath(QString::fromStdString(name)));
    const bool saved = QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
                       file.write(bytes) == bytes.size() && file.commit();
    if (!saved) {
        prompter_.Error(FillTextPlaceholders(Text(kTextDropNotSaved), {folder.toStdString(), file.errorString().toStdString()}));
        return;
    }
    PruneCoverCache(::CoverCacheFolder());
    doc_.LoadImage(slot, file.fileName().toStdString(), true);
}

void CSlotIntake::StartDownload(Slot slot, const QString& address)
{
    downloadSlot_ = slot;
    const QUrl url(address);
    downloader_->Start(url, CoverCacheFolder());
    if (downloader_->Busy())
        band_->ShowFor(papers_[slot == Slot::Left ? 0 : 1]->geometry(),
                               url.fileName().isEmpty() ? url.host() : url.fileName());
}

void CSlotIntake::SayNotTaken(int reasonText, const QString& address, const QString& detail)
{
    const std::string reason = FillTextPlaceholders(Text(reasonText), {detail.toStdString()});
    prompter_.Error(FillTextPlaceholders(Text(kTextNotDownloaded), {address.toStdString(), reason}));
}

void CSlotIntake::Paste(Slot slot)
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const ExternalPictures copied = ReadExternalPictures(clipboard ? clipboard->mimeData() : nullptr);
    // A file copied in a file manager enters as that file, its name and all.
    if (TakeFiles(slot, copied.files))
        return;
    const std::vector<std::uint8_t> block = ClipboardDib();
    if (!block.empty()) {
        doc_.Paste(slot, block.data(), block.size());
        return;
    }
    if (!copied.addresses.isEmpty()) {
        downloader_->Cancel();
        StartDownload(slot, copied.addresses.front().toString());
    }
}
