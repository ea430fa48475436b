#include "settings/Skin.h"

#include "base/AsciiText.h"
#include "settings/ProgramFolder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>

namespace {

struct BuiltinPictureRef {
    const char* name;  // null: no picture
    const char* resourceType;
    int imageType;
};

struct BuiltinSkin {
    BuiltinPictureRef main;
    int mainX, mainY;
    BuiltinPictureRef leftOverlay;
    int leftX, leftY;
    BuiltinPictureRef background;
    bool useSystemColors;
    bool drawEdge;
};

constexpr BuiltinPictureRef kNone{nullptr, nullptr, IMAGE_UNKNOWN};

// Default, Alternative, Clean. Default and Alternative take the skin.ini
// default colours.
constexpr BuiltinSkin kBuiltinSkins[] = {
    {{"IDJ_ANIME_GIRL", "JPG", IMAGE_JPG}, 170, 30, {"IDG_LEFTOVERLAY", "GIF", IMAGE_GIF}, 160, 33,
     {"IDJ_WHEELS", "JPG", IMAGE_JPG}, false, false},
    {{"IDJ_ANOTHER_ANIME_GIRL", "JPG", IMAGE_JPG}, 160, 35, {"IDG_ANOTHER_LEFTOVERLAY", "GIF", IMAGE_GIF}, 150, 150,
     {"IDJ_WHEELS", "JPG", IMAGE_JPG}, false, false},
    {{"IDP_PHOTOSVIDEOS", "PNG_IMAGES", IMAGE_PNG}, 190, 50, kNone, 0, 0, kNone, true, true},
};

void LoadBuiltin(CRasterImage& picture, const BuiltinPictureRef& ref) {
    picture.Clear();
    if (ref.name) picture.LoadFromResource(ref.name, ref.resourceType, ref.imageType);
}

// A picture file of the folder, or its second choice when the first cannot
// be loaded; the image layer recognises the format from the content.
void LoadFolderPicture(CRasterImage& picture, const std::string& folder, const char* first,
                       const char* second = nullptr) {
    if (picture.Load(JoinPath(folder, first), IMAGE_UNKNOWN)) return;
    if (second) picture.Load(JoinPath(folder, second), IMAGE_UNKNOWN);
}

void MakeGray(SkinSettings& skin) {
    for (CRasterImage* p : {&skin.mainPicture, &skin.leftOverlay, &skin.rightOverlay, &skin.backgroundPicture}) {
        if (p->IsValid()) p->ConvertToGray();
    }
}

void ApplyBuiltin(SkinSettings& skin, int number, bool grayScale) {
    const BuiltinSkin& b = kBuiltinSkins[number];
    skin.selectedSkin = number;
    // Clean leaves the text and combo colours as they were: it shows the
    // platform's colours instead.
    const SkinIniValues before = skin.values;
    skin.values = SkinIniValues{};
    if (b.useSystemColors) {
        skin.values.text = before.text;
        skin.values.comboText = before.comboText;
        skin.values.comboBackground = before.comboBackground;
    }
    skin.values.mainX = b.mainX;
    skin.values.mainY = b.mainY;
    skin.values.leftX = b.leftX;
    skin.values.leftY = b.leftY;
    skin.values.useSystemColors = b.useSystemColors;
    skin.values.drawEdge = b.drawEdge;
    LoadBuiltin(skin.mainPicture, b.main);
    LoadBuiltin(skin.leftOverlay, b.leftOverlay);
    LoadBuiltin(skin.backgroundPicture, b.background);
    skin.rightOverlay.Clear();
    if (grayScale) MakeGray(skin);
}

}  // namespace

std::vector<std::string> SkinsFolders() {
    std::vector<std::string> folders;
    for (const std::string& data : ProgramDataFolders()) folders.push_back(JoinPath(data, "skins"));
    return folders;
}

std::vector<std::string> ListSkinFolders(const std::vector<std::string>& skinsFolders) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    for (const std::string& skins : skinsFolders) {
        std::error_code ec;
        fs::directory_iterator it(skins, ec);
        if (ec) continue;
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            if (ec) break;
            std::error_code typeError;
            const std::string name = it->path().filename().string();
            if (it->is_directory(typeError) && std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    // The platform lists a folder in no particular order; the menu shows the
    // skins alphabetically.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = AsciiLower(a), lb = AsciiLower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

std::string SkinFolderPath(const std::string& name) { return FindProgramFile(JoinPath("skins", name)); }

int ChooseStartupSkin(int stored, const std::vector<std::string>& folders, int currentVersion, int lastRanVersion) {
    int skin = stored;
    if (currentVersion == 123 && lastRanVersion < 123) {
        const auto anime = std::find(folders.begin(), folders.end(), "Anime");
        if (anime != folders.end()) skin = kFirstSkinFolder + static_cast<int>(anime - folders.begin());
    }
    const int count = static_cast<int>(folders.size());
    if (skin < kSkinRandom || skin >= count + kFirstSkinFolder) skin = kSkinRandom;
    return skin;
}

int DrawRandomSkin(int folderCount) {
    static std::mt19937 generator(static_cast<unsigned>(
        std::chrono::system_clock::now().time_since_epoch().count() ^ std::random_device{}()));
    std::uniform_int_distribution<int> pick(0, std::max(0, folderCount) + kFirstSkinFolder - 1);
    return pick(generator);
}

bool LoadSkinFolder(SkinSettings& skin, int k, bool grayScale) {
    skin.refusal.clear();
    if (k < 0 || k >= static_cast<int>(skin.folders.size())) return false;
    const std::string folder = SkinFolderPath(skin.folders[k]);
    std::string text;
    if (!ReadSkinIniFile(JoinPath(folder, "skin.ini"), text, &skin.refusal)) return false;

    skin.selectedSkin = kFirstSkinFolder + k;
    skin.values = ReadSkinIni(text);
    for (CRasterImage* p : {&skin.mainPicture, &skin.leftOverlay, &skin.rightOverlay, &skin.backgroundPicture})
        p->Clear();
    LoadFolderPicture(skin.mainPicture, folder, "main.jpg", "main.png");
    LoadFolderPicture(skin.leftOverlay, folder, "left.gif");
    LoadFolderPicture(skin.rightOverlay, folder, "right.gif");
    LoadFolderPicture(skin.backgroundPicture, folder, "background.jpg", "background.png");
    if (grayScale) MakeGray(skin);
    return true;
}

bool ApplySkin(SkinSettings& skin, int number, bool grayScale, bool keepRandomPick) {
    if (number == kSkinRandom) {
        if (!keepRandomPick) skin.randomPick = DrawRandomSkin(static_cast<int>(skin.folders.size()));
        ApplySkin(skin, skin.randomPick, grayScale);
        skin.selectedSkin = kSkinRandom;
        return true;
    }
    if (number >= kSkinDefault && number < kFirstSkinFolder) {
        ApplyBuiltin(skin, number, grayScale);
        return true;
    }
    return LoadSkinFolder(skin, number - kFirstSkinFolder, grayScale);
}
