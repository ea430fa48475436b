// Where the update check starts after the main view's first timer: a worker
// thread asks the web site; its messages come up over the view.
#include "app/ui/TheView.h"
#include "settings/AppSettings.h"
#include "settings/UpdateCheck.h"
#include "app/ui/UpdateChecker.h"
#include "settings/ui/WebLinks.h"

void CTheView::StartUpdateCheck()
{
    const QString home = HomePageAddress();
    // No site to ask (none set, or the placeholder domain): no request at all.
    if (!UpdateCheckWanted(home.toStdString()))
        return;
    const AppSettings& s = RunningValues();
    auto* checker = new CUpdateChecker(this);
    checker->Start(UpdateCheckSetup{home, VersionPageAddress(), s.useProxy, s.proxy});
}
