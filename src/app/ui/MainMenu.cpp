#include "app/ui/MainMenu.h"

#include "app/ui/CommandIds.h"
#include "settings/LanguageTable.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

// The Language menu's items in menu order: text number and language index.
struct LanguageItem {
    int number;
    int language;
};
constexpr LanguageItem kLanguageItems[] = {
    {3009, 0},  {3010, 1},  {3038, 9},  {3011, 6},  {3012, 5},  {3013, 2},  {3051, 24},
    {3014, 7},  {3015, 4},  {3016, 3},  {3017, 15}, {3018, 8},  {3019, 11}, {3020, 13},
    {3032, 10}, {3039, 12}, {3033, 22}, {3034, 16}, {3035, 17}, {3036, 19}, {3037, 20},
    {3040, 14}, {3041, 18}, {3043, 21}, {3050, 23}, {3056, 25}, {3058, 26}, {3060, 27},
};

QString EnglishText(int number)
{
    return QString::fromStdString(BuiltinEnglishText(number));
}

}  // namespace

CMainMenu::CMainMenu(QMenuBar* bar) : QObject(bar), bar_(bar)
{
    QMenu* file = AddMenu(bar, 3000);
    AddItem(file, Cmd::New, 3001, "Ctrl+N");
    AddItem(file, Cmd::OpenLeft, 3030);
    AddItem(file, Cmd::OpenRight, 3031);
    file->addSeparator();
    AddItem(file, Cmd::Paste, 3059, "Ctrl+V");
    QMenu* rotate = AddMenu(file, 3022);
    AddItem(rotate, Cmd::RotateLeft, 3023);
    AddItem(rotate, Cmd::RotateRight, 3024);
    file->addSeparator();
    AddItem(file, Cmd::PrintLeft, 3048, "Ctrl+P");
    AddItem(file, Cmd::PrintRight, 3049);
    AddItem(file, Cmd::PrintBoth, 3002);
    AddItem(file, Cmd::PrintPreview, 3003);
    AddItem(file, Cmd::PrintSetup, 3004);
    file->addSeparator();
    AddItem(file, Cmd::Exit, 3005);

    QMenu* options = AddMenu(bar, 3006);
    AddItem(options, Cmd::Options, 3007);
    options->addSeparator();
    skins_ = AddMenu(options, 3045);
    AddItem(skins_, Cmd::SkinDefault, 3046)->setCheckable(true);
    AddItem(skins_, Cmd::SkinAlternative, 3047)->setCheckable(true);
    AddItem(skins_, Cmd::SkinClean, 3057)->setCheckable(true);
    AddItem(skins_, Cmd::SkinRandom, 3052)->setCheckable(true);
    language_ = AddMenu(options, 3008);
    for (const LanguageItem& item : kLanguageItems)
        AddItem(language_, Languages()[item.language].menuCommand, item.number)->setCheckable(true);
    language_->addSeparator();
    AddItem(language_, Cmd::MailTranslation, 3021);
    options->addSeparator();
    AddItem(options, Cmd::FormatEditor, 3044);
    AddItem(options, Cmd::EditFormatsFile, 7039);
    AddItem(options, Cmd::CalibrationPage, 9500);

    QMenu* help = AddMenu(bar, 3026);
    AddItem(help, Cmd::OnlineHelp, 3027);
    AddItem(help, Cmd::Website, 3028);
    QMenu* download = AddMenu(help, 3053);
    AddItem(download, Cmd::DownloadCovers1, 3054);
    AddItem(download, Cmd::DownloadCovers2, 3055);
    help->addSeparator();
    AddItem(help, Cmd::About, 3029);
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

QAction* CMainMenu::AddItem(QMenu* menu, int commandId, int number, const char* shortcut)
{
    QAction* a = menu->addAction(EnglishText(number));
    if (shortcut)
        a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
    a->setData(commandId);
    connect(a, &QAction::triggered, this, [this, commandId] { emit CommandChosen(commandId); });
    actions_[commandId] = a;
    return a;
}

QAction* CMainMenu::Action(int commandId) const
{
    auto it = actions_.find(commandId);
    return it == actions_.end() ? nullptr : it->second;
}
