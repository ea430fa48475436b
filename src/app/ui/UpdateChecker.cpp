#include "app/ui/UpdateChecker.h"

#include "controls/ui/OpenAddress.h"
#include "settings/UpdateCheck.h"

#include <QMessageBox>

namespace {

// The texts keep their Windows line ends in the program; a message box
// wants plain line feeds.
QString MessageText(const char* text)
{
    return QString::fromLatin1(text).remove(QLatin1Char('\r'));
}

}  // namespace

CUpdateChecker::CUpdateChecker(QWidget* window) : QObject(window), window_(window) {}

void CUpdateChecker::Start(const UpdateCheckSetup& setup)
{
    if (thread_)
        return;
    homePage_ = setup.homePage;
    thread_ = new CUpdateCheckThread(setup, this);
    connect(thread_, &CUpdateCheckThread::ConnectionFailed, this, &CUpdateChecker::OnConnectionFailed);
    connect(thread_, &CUpdateCheckThread::NewVersionAvailable, this, &CUpdateChecker::OnNewVersion);
    connect(thread_, &QThread::finished, this, &CUpdateChecker::Finished);
    thread_->start();
}

bool CUpdateChecker::IsRunning() const
{
    return thread_ && thread_->isRunning();
}

void CUpdateChecker::OnConnectionFailed()
{
    QMessageBox::warning(window_, QStringLiteral("Korvane"), MessageText(kTextNoInternet), QMessageBox::Ok);
}

void CUpdateChecker::OnNewVersion()
{
    const QString home = homePage_;  // the program may close while the box is up
    const auto answer = QMessageBox::question(window_, QStringLiteral("Korvane"), MessageText(kTextNewVersion),
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        OpenAddress(home);
}
