#pragma once
// The main window's menu bar (menu 128): File, Options, Help, with every item
// bound to its command id. Item texts and shortcuts come from the command
// table, in the built-in English; the language table rewrites them by position.
#include <QObject>

#include <map>
#include <string>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

class CMainMenu : public QObject {
    Q_OBJECT
public:
    // Fills `bar` (not owned).
    explicit CMainMenu(QMenuBar* bar);

    QMenuBar* Bar() const { return bar_; }
    // The item of a command, nullptr when there is none.
    QAction* Action(int commandId) const;
    QMenu* SkinsMenu() const { return skins_; }
    QMenu* LanguageMenu() const { return language_; }
    // File > Recent Files: one item per recent picture, hidden while unused.
    QMenu* RecentMenu() const { return recent_; }
    // One Skins item per skin folder after the fixed items, the folder's name
    // as its text: the first eleven run commands 12345 to 12355, further
    // ones have no command and stay unavailable.
    void AddSkinFolders(const std::vector<std::string>& names);
    int SkinFolderCount() const { return static_cast<int>(skinFolders_.size()); }
    QAction* SkinFolderItem(int k) const { return skinFolders_[k]; }

signals:
    void CommandChosen(int commandId);
    // A menu of the bar is about to open: its items' states are due.
    void MenuAboutToShow();

private:
    QMenu* AddMenu(QWidget* parent, int number);
    QAction* AddItem(QMenu* menu, int commandId);

    QMenuBar* bar_;
    QMenu* skins_ = nullptr;
    QMenu* language_ = nullptr;
    QMenu* recent_ = nullptr;
    std::map<int, QAction*> actions_;
    std::vector<QAction*> skinFolders_;
};
