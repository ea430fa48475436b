#include "controls/ui/OpenAddress.h"

#include "settings/WebAddress.h"

#include <QDesktopServices>
#include <QUrl>

int OpenAddress(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty())
        return kOpenNoAddress;
    if (!IsOpenableAddress(trimmed.toStdString()))
        return kOpenRefused;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid())
        return kOpenNoAddress;
    // Qt's reading of the address must agree with ours.
    if (!IsOpenableAddress(url.toString(QUrl::FullyEncoded).toStdString()))
        return kOpenRefused;
    return QDesktopServices::openUrl(url) ? kOpenDone : kOpenNoHandler;
}
