#include "app/ui/LinkCommands.h"

#include "app/CommandIds.h"
#include "controls/ui/OpenAddress.h"
#include "settings/LanguageTable.h"
#include "settings/Prompter.h"
#include "settings/ui/WebLinks.h"

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

void CLinkCommands::Open(int id)
{
    const QString address = LinkAddress(id);
    // Other failures pass as with the shell; finding no program to open
    // the page with is said once, or every link seems dead.
    if (OpenAddress(address) == kOpenNoHandler && !noBrowserTold_) {
        noBrowserTold_ = true;
        prompter_.Warning(FillTextPlaceholders(Language().GetText(kNoBrowserText), {address.toStdString()}));
    }
}
