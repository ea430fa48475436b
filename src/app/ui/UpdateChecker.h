#pragma once
// The update check as the main window runs it: starts the worker thread and
// shows its findings on the main thread ("Could not connect to the
// internet.", the offer of a newer version); opens the home page when the
// offer is taken. Destroying it ends a check still running.
#include "settings/ui/UpdateCheckThread.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

class CUpdateChecker : public QObject {
    Q_OBJECT
public:
    // Message boxes are shown over `window`.
    explicit CUpdateChecker(QWidget* window);

    // Starts the check; once per checker.
    void Start(const UpdateCheckSetup& setup);
    bool IsRunning() const;

signals:
    // The worker has ended (its messages may still be on screen).
    void Finished();

private:
    void OnConnectionFailed();
    void OnNewVersion();

    QPointer<QWidget> window_;
    CUpdateCheckThread* thread_ = nullptr;
    QString homePage_;
};
