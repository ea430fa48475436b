#pragma once
// The current skin of the main window (SkinSettings): colours, positions and
// pictures, chosen among the three built-in skins (Default, Alternative,
// Clean), the skin folders under skins/ in the program's folder, and Random.
// The main view holds one and hands its pictures to the paper previews.
#include "image/RasterImage.h"
#include "app/SkinIni.h"

#include <atomic>
#include <string>
#include <vector>

// Skin numbers: the built-in skins, Random, and the first skin folder (3 + k
// is folder k).
inline constexpr int kSkinDefault = 0;
inline constexpr int kSkinAlternative = 1;
inline constexpr int kSkinClean = 2;
inline constexpr int kSkinRandom = -1;
inline constexpr int kFirstSkinFolder = 3;

// Where the window draws the skin's pictures: the main picture in the
// window, the others in a paper preview. A picture larger than its area is
// decoded fitted into it (JPEG at a reduced scale, the rest reduced by area
// averaging); 0 x 0 keeps every picture at its natural size.
struct SkinPictureAreas {
    int windowWidth = 0, windowHeight = 0;
    int paperWidth = 0, paperHeight = 0;
};

// The four pictures of a skin folder.
struct SkinPictures {
    CRasterImage main, leftOverlay, rightOverlay, background;
};

struct SkinSettings {
    int selectedSkin = kSkinRandom;
    int randomPick = 0;  // the skin Random drew last
    // How a folder's pictures are loaded: fitted into `areas`; and when the
    // window loads them beside itself (`deferred`), the folder whose pictures
    // are still to be loaded, and the number of the skin change they belong
    // to (every applied skin counts one up), so that late pictures of an
    // earlier choice are dropped.
    SkinPictureAreas areas;
    bool deferred = false;
    std::string pendingPictures;
    int change = 0;
    // Positions, colours and flags; for a skin with use-system-colours the
    // background is replaced by the platform's button face when painting.
    SkinIniValues values;
    CRasterImage mainPicture;
    CRasterImage leftOverlay;
    CRasterImage rightOverlay;
    CRasterImage backgroundPicture;
    std::vector<std::string> folders;  // names of the folders under skins/
    // Why the last skin folder asked for was not applied (its skin.ini
    // could not be read); empty after a skin that was applied.
    std::string refusal;
};

// The folders skin folders are looked for in, first choice first: skins/ in
// each of the program's data folders (the user's, then the shipped one).
std::vector<std::string> SkinsFolders();
// The names of the folders under those (not "." and ".."), a name found twice
// listed once, sorted without regard to letter case.
std::vector<std::string> ListSkinFolders(const std::vector<std::string>& skinsFolders = SkinsFolders());
// The folder of the skin `name`: in the first of SkinsFolders() that has it.
std::string SkinFolderPath(const std::string& name);

// The skin to start with: the stored choice, except that on the first run of
// version 123 a folder named exactly "Anime" is chosen, and a number outside
// -1 ... folder count + 2 becomes Random.
int ChooseStartupSkin(int stored, const std::vector<std::string>& folders, int currentVersion,
                      int lastRanVersion);

// Random's draw: a number from 0 to folderCount + 2.
int DrawRandomSkin(int folderCount);

// The pictures of the skin folder at `folder` ("main.jpg" or "main.png",
// "left.gif", "right.gif", "background.jpg" or "background.png"), fitted
// into `areas`, grey when `grayScale`. Touches nothing else, so it may run on
// any thread; stops early, with what it has, when `cancel` becomes true.
SkinPictures LoadSkinPictures(const std::string& folder, const SkinPictureAreas& areas, bool grayScale,
                              const std::atomic<bool>* cancel = nullptr);
// Puts loaded pictures into the skin.
void TakeSkinPictures(SkinSettings& skin, SkinPictures&& pictures);

// Applies skin `number`: 0, 1, 2 the built-in skins, -1 Random (a new draw
// unless `keepRandomPick`, for re-applying the same skin), 3 + k folder k.
// Pictures are turned grey when `grayScale`. Returns false when nothing
// changed: a folder that is not in the list or whose skin.ini cannot be read.
bool ApplySkin(SkinSettings& skin, int number, bool grayScale, bool keepRandomPick = false);
// Loads folder k of skin.folders (its skin.ini and up to four pictures;
// when `skin.deferred`, the pictures are emptied and the folder is left in
// `skin.pendingPictures` instead); false, changing nothing, when k is not in
// the list or its skin.ini cannot be read.
bool LoadSkinFolder(SkinSettings& skin, int k, bool grayScale);
