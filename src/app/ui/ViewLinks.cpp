// The main view's web-link commands: the Help menu's pages, the cover sites,
// the translation contact and the About box.
#include "app/CommandIds.h"
#include "app/ui/TheView.h"
#include "controls/ui/OpenAddress.h"
#include "app/ui/AboutDialog.h"
#include "settings/ui/WebLinks.h"
#include "settings/LanguageTable.h"

namespace {

constexpr int kNoBrowserText = 9644;

// The address a link command opens; empty for commands that are not links.
QString LinkAddress(int id)
{
    switch (id) {
    case Cmd::OnlineHelp: return OnlineHelpAddress();
    case Cmd::Website: return HomePageAddress();
    case Cmd::DownloadCovers1: return CoverSiteAddress(0);
    case Cmd::DownloadCovers2: return CoverSiteAddress(1);
    case Cmd::MailTranslation: return TranslationContactAddress();
    default: return {};
    }
}

}  // namespace

void CTheView::ShowAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CTheView::OpenLink(int id)
{
    const QString address = LinkAddress(id);
    // Other failures pass as with the shell; finding no program to open
    // the page with is said once, or every link seems dead.
    if (OpenAddress(address) == kOpenNoHandler && !noBrowserTold_) {
        noBrowserTold_ = true;
        prompter_.Warning(FillTextPlaceholders(Language().GetText(kNoBrowserText), {address.toStdString()}));
    }
}
