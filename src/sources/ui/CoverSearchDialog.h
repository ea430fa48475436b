#pragma once
// "Find Cover Online": searches MusicBrainz's releases by artist and album
// (or by the disc in the drive), shows each with its Cover Art Archive
// front thumbnail, and downloads the chosen release's front and back
// pictures. Nothing is sent before the user searches, reads the disc or
// chooses; every request runs on a worker thread; each failure shows one
// message in the dialog's status line. Controls are named for the tests:
// "artist", "album", "search", "drive", "readDisc", "results", "status",
// "useCovers", "cancel".
#include "sources/CoverQuery.h"
#include "sources/DiscId.h"
#include "sources/ServiceAnswers.h"
#include "sources/ServiceSettings.h"
#include "sources/ui/ServiceClient.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CServiceThread;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class CCoverSearchDialog final : public QDialog {
    Q_OBJECT
public:
    CCoverSearchDialog(CoverServiceSettings settings, const CoverQuery& query, QWidget* parent = nullptr);
    ~CCoverSearchDialog() override;

    // How the disc is read (libdiscid by default); for a machine without
    // a drive, a stand-in that gives a table of contents.
    using DiscReader = std::function<DiscReading(const std::string& device)>;
    void SetDiscReader(DiscReader reader)
    {
        discReader_ = std::move(reader);
        readerGiven_ = true;
    }

signals:
    // The chosen release's pictures as files; `back` empty when it has none.
    void CoversChosen(const QString& front, const QString& back);

private:
    void BuildControls(const CoverQuery& query);
    void Search();
    void ReadDisc();
    void ChooseSelected();
    void Choose(int index);
    void CancelWork();
    // Runs `work` on a worker thread in place of any work under way; what
    // it posts runs on the window's thread unless newer work began since.
    using PostFn = std::function<void(std::function<void()>)>;
    using Work = std::function<void(CServiceClient&, const std::atomic<bool>&, const PostFn&)>;
    void Start(Work work);
    void ShowReleases(const ReleaseReply& reply, bool fromDisc);
    // The listing and thumbnail of each release, one after another.
    void FetchThumbnails(CServiceClient& client, const std::atomic<bool>& cancel, const PostFn& post,
                         const std::vector<ReleaseInfo>& releases);
    void ShowArt(int index, const CoverArtReply& art);
    void ShowThumbnail(int index, const QByteArray& bytes);
    void SetStatus(const QString& text);
    void SetBusy(bool busy);

    CoverServiceSettings settings_;
    DiscReader discReader_;
    bool readerGiven_ = false;
    int generation_ = 0;
    std::vector<ReleaseInfo> releases_;
    std::vector<std::optional<CoverArtImages>> art_;
    std::unique_ptr<CServiceThread> thread_;
    QLineEdit* artist_ = nullptr;
    QLineEdit* album_ = nullptr;
    QPushButton* search_ = nullptr;
    QComboBox* drive_ = nullptr;
    QPushButton* readDisc_ = nullptr;
    QTreeWidget* results_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* use_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
