#pragma once
// The main view's skin: the skin folders listed into the Skins menu and the
// stored skin applied at start, a skin applied on a command, handed to the
// papers and the controls, its pictures loaded beside the window, and the
// window background painted with it.
#include "app/Skin.h"
#include "app/ui/SkinPictureLoader.h"
#include "base/Rgb.h"

class CMainMenu;
class CPaper;
class IPrompter;
class QCheckBox;
class QComboBox;
class QLabel;
class QWidget;

class CViewSkin final {
public:
    // What the skin is shown on: the view's window and controls.
    struct Controls {
        QWidget* window = nullptr;
        CPaper* papers[2] = {};
        QLabel* fileLabels[2] = {};  // the file names under the papers
        QLabel* captions[2] = {};    // the check boxes' clickable captions
        QComboBox* combos[2] = {};
        QCheckBox* checkBoxes[2] = {};
    };

    CViewSkin(const Controls& controls, IPrompter& prompter);

    const SkinSettings& Settings() const { return skin_; }
    // Once, at start: the folders listed into `menu` (when there is one) and
    // the stored skin applied and shown.
    void Init(CMainMenu* menu);
    // A skin chosen by number; the user is told why a folder's skin was
    // refused. `keepRandomPick`: Random keeps the skin it drew.
    void Apply(int number, bool keepRandomPick = false);
    // The Skins menu's check marks.
    void UpdateMenu(CMainMenu& menu) const;
    // The window background: the skin's colour, then its main picture at its
    // natural size.
    void Paint(QWidget& window) const;

private:
    void Show();
    void LoadPendingPictures();
    Rgb Background() const;

    Controls controls_;
    IPrompter& prompter_;
    SkinSettings skin_;
    // Last: destroyed first, so no late picture reaches a skin that is gone.
    CSkinPictureLoader pictures_;
};
