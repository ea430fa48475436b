#include "app/ui/ViewSkin.h"

#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/ui/MainMenu.h"
#include "controls/ui/WidgetColors.h"
#include "print/ui/PaperWidget.h"
#include "image/ui/QtPainterSurface.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/Prompter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include <utility>

namespace {

// The words the built-in skins' placeholder picture shows (it has none of its own).
constexpr int kPlaceholderWordsText = 9643;
constexpr int kSkinRefusedText = 9645;

}  // namespace

CViewSkin::CViewSkin(const Controls& controls, IPrompter& prompter) : controls_(controls), prompter_(prompter) {}

void CViewSkin::Init(CMainMenu* menu)
{
    // A folder's pictures are loaded beside the window, fitted into where it
    // draws them, so that a huge picture neither holds back the window nor
    // fills memory.
    const QWidget* window = controls_.window;
    const CPaper* paper = controls_.papers[0];
    skin_.deferred = true;
    skin_.areas = SkinPictureAreas{window->width(), window->height(), paper->width(), paper->height()};
    skin_.folders = ListSkinFolders();
    if (menu)
        menu->AddSkinFolders(skin_.folders);
    const AppSettings& s = RunningValues();
    skin_.selectedSkin = ChooseStartupSkin(s.selectedSkin, skin_.folders, CurrentVersionNumber(), s.lastRanVersion);
    ::ApplySkin(skin_, skin_.selectedSkin, s.grayScale == 1);
    // Shown even when a folder's skin.ini could not be read: the window then
    // keeps the colours a skin.ini without keys gives.
    Show();
}

void CViewSkin::Apply(int number, bool keepRandomPick)
{
    skin_.refusal.clear();
    if (::ApplySkin(skin_, number, RunningValues().grayScale == 1, keepRandomPick)) {
        Show();
    } else if (!skin_.refusal.empty()) {
        // The user chose this skin and sees nothing change: say why.
        const int k = number - kFirstSkinFolder;
        const std::string name = k >= 0 && k < static_cast<int>(skin_.folders.size()) ? skin_.folders[k] : "";
        prompter_.Warning(FillTextPlaceholders(Language().GetText(kSkinRefusedText), {name, skin_.refusal}));
    }
}

Rgb CViewSkin::Background() const
{
    if (!skin_.values.useSystemColors)
        return skin_.values.background;
    const QColor face = QApplication::palette().color(QPalette::Button);
    return Rgb{static_cast<std::uint8_t>(face.red()), static_cast<std::uint8_t>(face.green()),
               static_cast<std::uint8_t>(face.blue())};
}

void CViewSkin::Show()
{
    const auto shown = [](CRasterImage& picture) { return picture.IsValid() ? &picture : nullptr; };
    const SkinIniValues& v = skin_.values;
    const int skinShown = skin_.selectedSkin == kSkinRandom ? skin_.randomPick : skin_.selectedSkin;
    const bool builtin = skinShown >= kSkinDefault && skinShown < kFirstSkinFolder;
    for (CPaper* paper : controls_.papers) {
        paper->SetBackgroundColor(Background());
        paper->SetPlaceholder(shown(skin_.backgroundPicture));
        paper->SetPlaceholderWords(builtin ? kPlaceholderWordsText : 0);
        paper->SetDrawBorder(v.drawEdge);
    }
    controls_.papers[0]->SetOverlay(shown(skin_.leftOverlay), v.leftX, v.leftY);
    controls_.papers[1]->SetOverlay(shown(skin_.rightOverlay), v.rightX, v.rightY);

    const SkinControlColors colors{v.useSystemColors, v.text, v.comboText, v.comboBackground};
    for (QLabel* label : controls_.fileLabels)
        ApplyControlColors(label, ColorsForControl(ControlKind::FileNameLabel, colors));
    for (QLabel* label : controls_.captions)
        ApplyControlColors(label, ColorsForControl(ControlKind::Label, colors));
    for (QComboBox* combo : controls_.combos)
        ApplyControlColors(combo, ColorsForControl(ControlKind::ComboBox, colors));
    for (QCheckBox* box : controls_.checkBoxes)
        ApplyControlColors(box, ColorsForControl(ControlKind::Other, colors));
    controls_.window->update();
    LoadPendingPictures();
}

void CViewSkin::LoadPendingPictures()
{
    if (skin_.pendingPictures.empty())
        return;
    const int change = skin_.change;
    pictures_.Start(std::exchange(skin_.pendingPictures, std::string()), skin_.areas,
                    RunningValues().grayScale == 1, [this, change](SkinPictures& pictures) {
                        // Pictures of a skin that is no longer the one shown are dropped.
                        if (change != skin_.change)
                            return;
                        TakeSkinPictures(skin_, std::move(pictures));
                        Show();
                    });
}

void CViewSkin::UpdateMenu(CMainMenu& menu) const
{
    // The fixed items' rows carry the skin they choose.
    for (int id : {Cmd::SkinDefault, Cmd::SkinAlternative, Cmd::SkinClean, Cmd::SkinRandom}) {
        if (QAction* a = menu.Action(id))
            a->setChecked(skin_.selectedSkin == FindCommand(id)->arg);
    }
    for (int k = 0; k < menu.SkinFolderCount(); ++k)
        menu.SkinFolderItem(k)->setChecked(skin_.selectedSkin == kFirstSkinFolder + k);
}

void CViewSkin::Paint(QWidget& window) const
{
    // Off-screen: the background colour, then the skin's main picture at its
    // natural size, copied to the window in one step.
    const int width = window.width(), height = window.height();
    QImage buffer(window.size(), QImage::Format_RGB32);
    {
        QPainter p(&buffer);
        CQtPainterSurface pixels(p, width, height);
        CDrawContext surface(pixels);
        surface.FillRect(SurfaceRect{0, 0, width, height}, Background());
        if (skin_.mainPicture.IsValid())
            skin_.mainPicture.Draw(&surface, skin_.values.mainX, skin_.values.mainY);
    }
    QPainter(&window).drawImage(0, 0, buffer);
}
