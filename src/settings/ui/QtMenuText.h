#pragma once
// The language table's view of a Qt menu bar or menu: item texts by position,
// separators not counted.
#include "settings/LanguageTable.h"

#include <QPointer>

#include <map>
#include <memory>

class QAction;
class QMenu;
class QWidget;

class CQtMenuText : public IMenuText {
public:
    // `menu` is a QMenuBar or a QMenu; it is not owned.
    explicit CQtMenuText(QWidget* menu);
    ~CQtMenuText() override;

    int ItemCount() const override;
    std::string ItemText(int pos) const override;
    void SetItemText(int pos, const std::string& text) override;
    IMenuText* SubMenu(int pos) override;
    void Redraw() override;

    // The item at `pos` (separators not counted), nullptr past the end.
    QAction* ItemAt(int pos) const;

private:
    QPointer<QWidget> menu_;
    std::map<QMenu*, std::unique_ptr<CQtMenuText>> subMenus_;
};
