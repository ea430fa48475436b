// The main view's web-link commands: the Help menu's pages, the cover sites,
// the translation contact and the About box.
#include "app/ui/CommandIds.h"
#include "app/ui/TheView.h"
#include "controls/ui/OpenAddress.h"
#include "settings/ui/AboutDialog.h"
#include "settings/ui/WebLinks.h"
#include "settings/LanguageTable.h"

namespace {

constexpr int kNoBrowserText = 9644;

// The address a link command opens; empty for the About box and for
// commands that are not links.
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

bool IsLinkCommand(int id)
{
    return id == Cmd::OnlineHelp || id == Cmd::Website || id == Cmd::DownloadCovers1 ||
           id == Cmd::DownloadCovers2 || id == Cmd::MailTranslation || id == Cmd::About;
}

}  // namespace

bool CTheView::LinkCommandEnabled(int id, bool& enabled) const
{
    if (!IsLinkCommand(id))
        return false;
    enabled = true;
    return true;
}

bool CTheView::RunLinkCommand(int id)
{
    if (!IsLinkCommand(id))
        return false;
    if (id == Cmd::About) {
        CAboutDlg about(this);
        about.exec();
    } else {
        const QString address = LinkAddress(id);
        // Other failures pass as with the shell; finding no program to open
        // the page with is said once, or every link seems dead.
        if (OpenAddress(address) == kOpenNoHandler && !noBrowserTold_) {
            noBrowserTold_ = true;
            prompter_.Warning(FillTextPlaceholders(Language().GetText(kNoBrowserText), {address.toStdString()}));
        }
    }
    return true;
}
