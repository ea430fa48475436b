#include "app/ui/KorvaneApp.h"

#include "app/KorvaneDoc.h"
#include "app/ui/ImageLoadWorker.h"
#include "app/ui/MainFrame.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/TheView.h"
#include "image/ui/SplashScreen.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingsStore.h"
#include "settings/ui/QtTranslations.h"
#include "settings/ui/SystemLanguage.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMessageBox>

namespace {
constexpr int kSplashMs = 3000;
}

CKorvaneApp::CKorvaneApp() = default;

CKorvaneApp::~CKorvaneApp()
{
    if (frame_)
        ExitInstance();
}

CTheView* CKorvaneApp::View() const
{
    return frame_ ? frame_->View() : nullptr;
}

int CKorvaneApp::SystemPrimaryLanguageId()
{
    const QStringList ui = QLocale::system().uiLanguages();
    const QLocale locale = ui.isEmpty() ? QLocale::system() : QLocale(ui.front());
    return PrimaryLanguageId(locale.language());
}

void CKorvaneApp::ReadSettingsAndLanguage()
{
    // The settings file of this start, read on first use.
    ResetSettings(JoinPath(ProgramFolder(), "Korvane.cfg"));
    AppSettings& s = RunningValues();
    s = AppSettings{};
    ReadStartSettings(s);

    CLanguageTable& language = Language();
    if (s.language == -1)
        language.SelectLanguageForSystem(SystemPrimaryLanguageId());
    else
        language.SelectLanguage(s.language);
}

bool CKorvaneApp::InitInstance()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Osterby Labs"));
    QCoreApplication::setApplicationName(QStringLiteral("Korvane"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));

    ReadSettingsAndLanguage();
    const AppSettings& s = RunningValues();
    CLanguageTable& language = Language();
    InstallQtTranslations(language.GetCurrentLanguage());

    if (s.showSplash == 1) {
        CSplashScreen splash;
        splash.ShowModal(kSplashMs);
    }

    doc_ = std::make_unique<CKorvaneDoc>();
    frame_ = std::make_unique<CMainFrame>(*doc_);
    // Pictures decode beside the window, which goes on painting.
    loader_ = std::make_unique<CImageLoadWorker>();
    doc_->SetImageLoader(loader_.get());
    frame_->InitialUpdateAndShow();
    return true;
}

int CKorvaneApp::ExitInstance()
{
    // Loads under way end first: they would report to the window.
    if (doc_)
        doc_->SetImageLoader(nullptr);
    loader_.reset();
    // The main window goes first (its position, then the view's settings).
    frame_.reset();
    const AppSettings& s = RunningValues();
    // The chosen language stays chosen when its file could not be used in
    // this run (English stood in).
    // A settings file that cannot be written costs this run's changes: said
    // once, here, with the file and the reason.
    if (!WriteExitSettings(s, Language().GetChosenLanguage()))
        QMessageBox::warning(nullptr, MessageBoxTitle(), QString::fromStdString(Settings().SaveFailureNotice()));
    const std::string notice = Settings().TakeBackupNotice();
    if (!notice.empty())
        QMessageBox::information(nullptr, MessageBoxTitle(), QString::fromStdString(notice));
    doc_.reset();
    return 0;
}
