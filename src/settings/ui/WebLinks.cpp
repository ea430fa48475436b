#include "settings/ui/WebLinks.h"

#include "WebAddresses.h"

#include <QByteArray>
#include <QtGlobal>

namespace {

QString Overridable(const char* variable, const char* built)
{
    if (qEnvironmentVariableIsSet(variable))
        return qEnvironmentVariable(variable);
    return QString::fromUtf8(built);
}

}  // namespace

QString HomePageAddress()
{
    return Overridable("KORVANE_HOME_URL", KORVANE_BUILD_HOME_URL);
}

QString VersionPageAddress()
{
    return Overridable("KORVANE_VERSION_URL", KORVANE_BUILD_VERSION_URL);
}

QString OnlineHelpAddress()
{
    return QString::fromUtf8(KORVANE_BUILD_HELP_URL);
}

QString CoverSiteAddress(int site)
{
    return QString::fromUtf8(site == 0 ? KORVANE_BUILD_COVERS_URL_1 : KORVANE_BUILD_COVERS_URL_2);
}

QString ContactMailAddress()
{
    return QString::fromUtf8(KORVANE_BUILD_CONTACT_MAIL);
}

QString ContactAddress()
{
    const QString mail = ContactMailAddress();
    return mail.isEmpty() ? QString() : QStringLiteral("mailto:") + mail;
}

QString TranslationContactAddress()
{
    const QString contact = ContactAddress();
    return contact.isEmpty() ? QString() : contact + QStringLiteral("?subject=Korvane%20translation");
}
