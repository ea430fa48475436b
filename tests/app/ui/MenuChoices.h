#pragma once
// Menu commands chosen as a user chooses them: a click on a menu's title in
// the menu bar and the item's letter; in a pop-up menu, the arrow keys into a
// sub-menu and Return.
#include "UiTestHome.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

// The main menu's command: a click on menu `menuIndex`'s title, then the
// item's letter.
inline void ChooseFromMenu(QMenuBar* bar, int menuIndex, Qt::Key itemKey)
{
    AnswerNextPopup([itemKey](QWidget* popup) { QTest::keyClick(popup, itemKey); });
    QAction* title = bar->actions().at(menuIndex);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(title).center());
}

// A command of the next pop-up menu's sub-menus, by keys.
inline void ChooseInSubMenu(int commandId)
{
    AnswerNextPopup([commandId](QWidget* w) {
        auto* menu = qobject_cast<QMenu*>(w);
        QVERIFY(menu);
        for (QAction* a : menu->actions()) {
            QMenu* sub = a->menu();
            if (!sub)
                continue;
            for (QAction* s : sub->actions()) {
                if (s->data().toInt() != commandId)
                    continue;
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Right);
                QVERIFY(QApplication::activePopupWidget() == sub);
                sub->setActiveAction(s);
                QTest::keyClick(sub, Qt::Key_Return);
                return;
            }
        }
        menu->close();
        QFAIL("command not in the menu");
    });
}
