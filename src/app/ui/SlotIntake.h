#pragma once
// CSlotIntake: the window's side of pictures that come to the slots from
// other programs: files, web addresses and picture data dropped on a paper
// or pasted. Picture data is kept in the cache folder and loaded as a file;
// addresses are downloaded there with a progress band over the paper (of
// two addresses, the second to the other slot, after the first); what
// cannot be taken is said in a message box.
#include "app/ViewState.h"

#include <QObject>
#include <QString>
#include <QStringList>

class CDownloadProgress;
class CFileDownloader;
class CKorvaneDoc;
class CPaper;
class IPrompter;
struct ExternalPictures;

class CSlotIntake : public QObject {
    Q_OBJECT
public:
    // The papers are the window's, in slot order; `window` holds the band.
    CSlotIntake(CKorvaneDoc& doc, IPrompter& prompter, CPaper* const (&papers)[2], QWidget* window);

    // One file into the slot; of several, the first into the slot and the
    // second into the other one. False when there are none.
    bool TakeFiles(Slot slot, const QStringList& files);
    // What another program dropped on the slot's paper.
    void TakePictures(Slot slot, const ExternalPictures& pictures);
    // The clipboard into the slot: a copied file as that file, picture data
    // as a paste always was, else a copied web address.
    void Paste(Slot slot);

    // Where dropped picture data and downloaded pictures are kept.
    static QString CoverCacheFolder();
    CFileDownloader* Downloader() const { return downloader_; }
    CDownloadProgress* DownloadBand() const { return band_; }

private:
    void SavePictureAndLoad(Slot slot, const ExternalPictures& pictures);
    void StartDownload(Slot slot, const QString& address);
    // The second address of a drop, fetched when the first is done.
    void StartNextDownload();
    void SayNotTaken(int reasonText, const QString& address, const QString& detail);

    CKorvaneDoc& doc_;
    IPrompter& prompter_;
    CPaper* papers_[2];
    CFileDownloader* downloader_;
    CDownloadProgress* band_;
    Slot downloadSlot_ = Slot::Left;
    QString nextAddress_;
    Slot nextSlot_ = Slot::Right;
};
