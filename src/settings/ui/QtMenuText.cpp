#include "settings/ui/QtMenuText.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

CQtMenuText::CQtMenuText(QWidget* menu) : menu_(menu) {}

CQtMenuText::~CQtMenuText() = default;

QAction* CQtMenuText::ItemAt(int pos) const
{
    if (!menu_ || pos < 0)
        return nullptr;
    int n = 0;
    for (QAction* a : menu_->actions()) {
        if (a->isSeparator())
            continue;
        if (n++ == pos)
            return a;
    }
    return nullptr;
}

int CQtMenuText::ItemCount() const
{
    if (!menu_)
        return 0;
    int n = 0;
    for (QAction* a : menu_->actions())
        n += a->isSeparator() ? 0 : 1;
    return n;
}

std::string CQtMenuText::ItemText(int pos) const
{
    QAction* a = ItemAt(pos);
    return a ? a->text().toStdString() : std::string();
}

void CQtMenuText::SetItemText(int pos, const std::string& text)
{
    if (QAction* a = ItemAt(pos))
        a->setText(QString::fromStdString(text));
}

IMenuText* CQtMenuText::SubMenu(int pos)
{
    QAction* a = ItemAt(pos);
    QMenu* sub = a ? a->menu() : nullptr;
    if (!sub)
        return nullptr;
    auto& slot = subMenus_[sub];
    if (!slot)
        slot = std::make_unique<CQtMenuText>(sub);
    return slot.get();
}

void CQtMenuText::Redraw()
{
    if (menu_)
        menu_->update();
}
