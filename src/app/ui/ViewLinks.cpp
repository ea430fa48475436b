// The main view's web-link commands: the Help menu's pages, the cover sites,
// the translation contact and the About box.
#include "app/ui/CommandIds.h"
#include "app/ui/TheView.h"
#include "settings/ui/WebLinks.h"

#include <QDesktopServices>
#include <QUrl>

bool CTheView::LinkCommandEnabled(int id, bool& enabled) const
{
    if (id != Cmd::MailTranslation)
        return false;
    enabled = true;
    return true;
}

bool CTheView::RunLinkCommand(int id)
{
    if (id != Cmd::MailTranslation)
        return false;
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kTranslationContact)));
    return true;
}
