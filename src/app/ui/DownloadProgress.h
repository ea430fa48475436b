#pragma once
// CDownloadProgress: the band over a paper while a picture downloads for
// it: what comes, how much of it came, and Cancel. It shows itself when its
// downloader starts and hides when the download ends, whichever way; the
// window stays usable all the while.
#include <QFrame>

class CFileDownloader;
class QLabel;
class QProgressBar;
class QPushButton;

class CDownloadProgress : public QFrame {
    Q_OBJECT
public:
    CDownloadProgress(CFileDownloader& downloader, QWidget* parent);

    // Shown over `area` (in the parent's coordinates) for the file `name`.
    void ShowFor(const QRect& area, const QString& name);
    QPushButton* CancelButton() const { return cancel_; }
    QProgressBar* Bar() const { return bar_; }

private:
    void OnProgress(qint64 received, qint64 total);

    QLabel* label_;
    QProgressBar* bar_;
    QPushButton* cancel_;
};
