#include "app/ui/MainMenu.h"

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "settings/LanguageTable.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

QString EnglishText(int number)
{
    return QString::fromStdString(BuiltinEnglishText(number));
}

}  // namespace

CMainMenu::CMainMenu(QMenuBar* bar) : QObject(bar), bar_(bar)
{
    QMenu* file = AddMenu(bar, 3000);
    AddItem(file, Cmd::New);
    AddItem(file, Cmd::OpenLeft);
    AddItem(file, Cmd::OpenRight);
    recent_ = AddMenu(file, 9815);
    for (int id = Cmd::RecentFileFirst; id <= Cmd::RecentFileLast; ++id)
        AddItem(recent_, id)->setVisible(false);
    file->addSeparator();
    AddItem(file, Cmd::Paste);
    QMenu* rotate = AddMenu(file, 3022);
    AddItem(rotate, Cmd::RotateLeft);
    AddItem(rotate, Cmd::RotateRight);
    AddItem(file, Cmd::SwapSlots);
    AddItem(file, Cmd::FindCoverOnline);
    AddItem(file, Cmd::ScanCover);
    file->addSeparator();
    AddItem(file, Cmd::PrintLeft);
    AddItem(file, Cmd::PrintRight);
    AddItem(file, Cmd::PrintBoth);
    AddItem(file, Cmd::PrintPreview);
    AddItem(file, Cmd::PrintSetup);
    file->addSeparator();
    AddItem(file, Cmd::Exit);

    QMenu* options = AddMenu(bar, 3006);
    AddItem(options, Cmd::Options);
    options->addSeparator();
    skins_ = AddMenu(options, 3045);
    AddItem(skins_, Cmd::SkinDefault)->setCheckable(true);
    AddItem(skins_, Cmd::SkinAlternative)->setCheckable(true);
    AddItem(skins_, Cmd::SkinClean)->setCheckable(true);
    AddItem(skins_, Cmd::SkinRandom)->setCheckable(true);
    skins_->addSeparator();
    language_ = AddMenu(options, 3008);
    for (const CommandRow& row : CommandTable()) {
        if (LanguageIndexForCommand(row.id) >= 0)
            AddItem(language_, row.id)->setCheckable(true);
    }
    language_->addSeparator();
    AddItem(language_, Cmd::MailTranslation);
    options->addSeparator();
    AddItem(options, Cmd::FormatEditor);
    AddItem(options, Cmd::EditFormatsFile);
    AddItem(options, Cmd::CalibrationPage);

    QMenu* help = AddMenu(bar, 3026);
    AddItem(help, Cmd::OnlineHelp);
    AddItem(help, Cmd::Website);
    QMenu* download = AddMenu(help, 3053);
    AddItem(download, Cmd::DownloadCovers1);
    AddItem(download, Cmd::DownloadCovers2);
    help->addSeparator();
    AddItem(help, Cmd::About);
}

QMenu* CMainMenu::AddMenu(QWidget* parent, int number)
{
    if (auto* bar = qobject_cast<QMenuBar*>(parent)) {
        QMenu* menu = bar->addMenu(EnglishText(number));
        connect(menu, &QMenu::aboutToShow, this, &CMainMenu::MenuAboutToShow);
        return menu;
    }
    return static_cast<QMenu*>(parent)->addMenu(EnglishText(number));
}

QAction* CMainMenu::AddItem(QMenu* menu, int commandId)
{
    // Text number and shortcut come with the command's row.
    const CommandRow* row = FindCommand(commandId);
    QAction* a = menu->addAction(row && row->textNumber ? EnglishText(row->textNumber) : QString());
    if (row && row->shortcut)
        a->setShortcut(QKeySequence(QString::fromLatin1(row->shortcut)));
    a->setData(commandId);
    connect(a, &QAction::triggered, this, [this, commandId] { emit CommandChosen(commandId); });
    actions_[commandId] = a;
    return a;
}

void CMainMenu::AddSkinFolders(const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        const int command = Cmd::SkinFolderFirst + static_cast<int>(skinFolders_.size());
        QAction* a = nullptr;
        if (command <= Cmd::SkinFolderLast) {
            a = AddItem(skins_, command);
        } else {
            a = skins_->addAction(QString());
            a->setEnabled(false);
        }
        // The name as it stands: "&" is no mnemonic here.
        a->setText(QString::fromStdString(name).replace(QLatin1Char('&'), QStringLiteral("&&")));
        a->setCheckable(true);
        skinFolders_.push_back(a);
    }
}

QAction* CMainMenu::Action(int commandId) const
{
    auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
}
