// The File menu's recent pictures: one item per picture, most recent first,
// a missing file shown but not available; choosing one opens it into the
// left slot, as "Open Left Image..." does.
#include "app/CommandIds.h"
#include "app/KorvaneDoc.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
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

bool CTheView::RecentPictureUsable(int index) const
{
    const std::vector<std::string>& list = RunningValues().recentPictures;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return false;
    const QFileInfo file(QString::fromStdString(list[index]));
    return file.isFile() && file.isReadable();
}

void CTheView::UpdateRecentMenu()
{
    if (!menu_)
        return;
    const std::vector<std::string>& list = RunningValues().recentPictures;
    for (int i = 0; i < kMaxRecentPictures; ++i) {
        QAction* item = menu_->Action(Cmd::RecentFileFirst + i);
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
    if (QMenu* recent = menu_->RecentMenu())
        recent->menuAction()->setEnabled(!list.empty());
}

void CTheView::OpenRecentFile(int index)
{
    const std::vector<std::string>& list = RunningValues().recentPictures;
    if (index < 0 || index >= static_cast<int>(list.size()))
        return;
    // A copy: the load puts the picture at the top of the list.
    const std::string path = list[index];
    doc_.LoadLeftImage(path, true);
}
