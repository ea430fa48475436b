// The window's side of pictures that come from other programs: files,
// addresses and picture data dropped on a paper or pasted, downloads with
// their progress band, and the files named on the command line.
#include "app/ui/TheView.h"

#include "app/DownloadRules.h"
#include "app/KorvaneDoc.h"
#include "app/ui/ClipboardDib.h"
#include "app/ui/DownloadProgress.h"
#include "app/ui/FileDownloader.h"
#include "image/ui/ExternalDrop.h"
#include "image/ui/PaperWidget.h"
#include "settings/LanguageTable.h"

#include <QBuffer>
#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QSaveFile>
#include <QStandardPaths>

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

QString CTheView::CoverCacheFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).filePath(QStringLiteral("covers"));
}

void CTheView::BuildIntake()
{
    downloader_ = new CFileDownloader(this);
    downloadBand_ = new CDownloadProgress(*downloader_, this);
    doc_.SetUnrememberedFolder(QDir::cleanPath(CoverCacheFolder()).toStdString());
    for (int i = 0; i < 2; ++i) {
        const Slot slot = i == 0 ? Slot::Left : Slot::Right;
        connect(paper_[i], &CPaper::TwoFilesDropped, this, [this, slot](const QString& first, const QString& second) {
            TakeFiles(slot, {first, second});
        });
        connect(paper_[i], &CPaper::PicturesDropped, this,
                [this, slot](const ExternalPictures& pictures) { TakePictures(slot, pictures); });
    }
    connect(downloader_, &CFileDownloader::Finished, this, &CTheView::OnDownloaded);
    connect(downloader_, &CFileDownloader::Failed, this, [this](CFileDownloader::Failure failure, const QString& detail) {
        SayNotTaken(ReasonText(failure), downloader_->Address().toDisplayString(), detail);
    });
}

bool CTheView::TakeFiles(Slot slot, const QStringList& files)
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

void CTheView::TakePictures(Slot slot, const ExternalPictures& pictures)
{
    if (TakeFiles(slot, pictures.files))
        return;
    // Bytes at hand are taken before the address they came from is fetched.
    if (pictures.HasPictureData()) {
        SavePictureAndLoad(slot, pictures);
        return;
    }
    if (!pictures.addresses.isEmpty()) {
        StartDownload(slot, pictures.addresses.front().toString());
        return;
    }
    if (!pictures.otherAddresses.isEmpty())
        SayNotTaken(kTextOnlyWebAddresses, pictures.otherAddresses.front().toDisplayString(), {});
}

void CTheView::SavePictureAndLoad(Slot slot, const ExternalPictures& pictures)
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
    std::string name = SafeCacheName(QUrl::fromPercentEncoding(pictures.nameHint.toUtf8()).toStdString(),
                                     extension.toStdString(), fallback.toStdString());
    const QString folder = CoverCacheFolder();
    QSaveFile file(QDir(folder).filePath(QString::fromStdString(name)));
    const bool saved = QDir().mkpath(folder) && file.open(QIODevice::WriteOnly) &&
                       file.write(bytes) == bytes.size() && file.commit();
    if (!saved) {
        prompter_.Error(FillTextPlaceholders(Text(kTextDropNotSaved), {folder.toStdString(), file.errorString().toStdString()}));
        return;
    }
    doc_.LoadImage(slot, file.fileName().toStdString(), true);
}

void CTheView::StartDownload(Slot slot, const QString& address)
{
    downloadSlot_ = slot;
    const QUrl url(address);
    downloader_->Start(url, CoverCacheFolder());
    if (downloader_->Busy())
        downloadBand_->ShowFor(paper_[slot == Slot::Left ? 0 : 1]->geometry(),
                               url.fileName().isEmpty() ? url.host() : url.fileName());
}

void CTheView::OnDownloaded(const QString& path)
{
    doc_.LoadImage(downloadSlot_, path.toStdString(), true);
}

void CTheView::SayNotTaken(int reasonText, const QString& address, const QString& detail)
{
    const std::string reason = FillTextPlaceholders(Text(reasonText), {detail.toStdString()});
    prompter_.Error(FillTextPlaceholders(Text(kTextNotDownloaded), {address.toStdString(), reason}));
}

void CTheView::PasteInto(Slot slot)
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
    if (!copied.addresses.isEmpty())
        StartDownload(slot, copied.addresses.front().toString());
}

void CTheView::SetStartFiles(const QString& front, const QString& back)
{
    startFront_ = front;
    startBack_ = back;
}

void CTheView::LoadStartFiles()
{
    doc_.LoadBoth(startFront_.toStdString(), startBack_.toStdString(), true);
}
