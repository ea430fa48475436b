#include "app/ui/ProgramDialogs.h"

#include "app/ui/AboutDialog.h"
#include "app/ui/OptionsDialog.h"
#include "app/ui/UpdateChecker.h"
#include "settings/AppSettings.h"
#include "settings/UpdateCheck.h"
#include "settings/ui/WebLinks.h"

bool RunOptionsDialog(QWidget* parent)
{
    AppSettings& s = RunningValues();
    const int grayBefore = s.grayScale;
    {
        COptionsDialog dialog(s, parent);
        dialog.exec();
    }
    return s.grayScale != grayBefore;
}

void ShowAboutBox(QWidget* parent)
{
    CAboutDlg about(parent);
    about.exec();
}

void StartUpdateCheck(QWidget* parent)
{
    const QString home = HomePageAddress();
    // No site to ask (none set, or the placeholder domain): no request at all.
    if (!UpdateCheckWanted(home.toStdString()))
        return;
    const AppSettings& s = RunningValues();
    auto* checker = new CUpdateChecker(parent);
    checker->Start(UpdateCheckSetup{home, VersionPageAddress(), s.useProxy, s.proxy});
}
