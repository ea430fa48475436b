#include "app/ui/RecentPicturesMenu.h"

#include "app/CommandIds.h"
#include "app/ui/MainMenu.h"
#include "settings/AppSettings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMenu>

namespace {

// Wide enough for a long folder; the middle of a longer path is left out.
constexpr int kItemWidthPx = 420;

}  // namespace

bool RecentPictureUsable(int index)
{
    const std::vector<std::string>& list = RunningValues().recentPictures;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return false;
    const QFileInfo file(QString::fromStdString(list[index]));
    return file.isFile() && file.isReadable();
}

void ShowRecentPictures(CMainMenu& menu)
{
    const std::vector<std::string>& list = RunningValues().recentPictures;
    for (int i = 0; i < kMaxRecentPictures; ++i) {
        QAction* item = menu.Action(Cmd::RecentFileFirst + i);
        if (!item)
            continue;
        const bool shown = i < static_cast<int>(list.size());
        item->setVisible(shown);
        if (!shown)
            continue;
        const QString path = QDir::toNativeSeparators(QString::fromStdString(list[i]));
        const QString fitted = QFontMetrics(item->font()).elidedText(path, Qt::ElideMiddle, kItemWidthPx);
        // The number is the item's access key; an "&" of the path is none.
        QString text = QStringLiteral("&%1 ").arg(i + 1) + QString(fitted).replace(QLatin1Char('&'), QStringLiteral("&&"));
        item->setText(text);
        item->setToolTip(path);
    }
    if (QMenu* recent = menu.RecentMenu())
        recent->menuAction()->setEnabled(!list.empty());
}

std::optional<std::string> RecentPicture(int index)
{
    const std::vector<std::string>& list = RunningValues().recentPictures;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return std::nullopt;
    return list[index];
}
