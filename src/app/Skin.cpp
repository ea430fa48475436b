#include "app/Skin.h"

#include "base/AsciiText.h"
#include "image/PictureFit.h"
#include "settings/ProgramFolder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <initializer_list>
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
// be loaded; the image layer recognises the format from the content. A
// picture larger than areaWidth x areaHeight is fitted into it.
void LoadFolderPicture(CRasterImage& picture, const std::string& folder, int areaWidth, int areaHeight,
                       const std::atomic<bool>* cancel, const char* first, const char* second = nullptr) {
    const auto load = [&](const char* name) {
        CRasterImage loaded;
        loaded.SetDecodeLimit(areaWidth, areaHeight);
        if (!loaded.Load(JoinPath(folder, name), IMAGE_UNKNOWN, cancel)) return false;
        ReduceToFit(loaded, areaWidth, areaHeight);
        picture = std::move(loaded);
        return true;
    };
    if (!load(first) && second) load(second);
}

void MakeGray(std::initializer_list<CRasterImage*> pictures) {
    for (CRasterImage* p : pictures) {
        if (p->IsValid()) p->ConvertToGray();
    }
}

void MakeGray(SkinSettings& skin) {
    MakeGray({&skin.mainPicture, &skin.leftOverlay, &skin.rightOverlay, &skin.backgroundPicture});
}

void ApplyBuiltin(SkinSettings& skin, int number, bool grayScale) {
    const BuiltinSkin& b = kBuiltinSkins[number];
    skin.selectedSkin = number;
    ++skin.change;
    skin.pendingPictures.clear();
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
    ++skin.change;
    for (CRasterImage* p : {&skin.mainPicture, &skin.leftOverlay, &skin.rightOverlay, &skin.backgroundPicture})
        p->Clear();
    skin.pendingPictures.clear();
    if (skin.deferred)
        skin.pendingPictures = folder;
    else
        TakeSkinPictures(skin, LoadSkinPictures(folder, skin.areas, grayScale));
    return true;
}

SkinPictures LoadSkinPictures(const std::string& folder, const SkinPictureAreas& areas, bool grayScale,
                              const std::atomic<bool>* cancel) {
    SkinPictures p;
    const int paperW = areas.paperWidth, paperH = areas.paperHeight;
    LoadFolderPicture(p.main, folder, areas.windowWidth, areas.windowHeight, cancel, "main.jpg", "main.png");
    LoadFolderPicture(p.leftOverlay, folder, paperW, paperH, cancel, "left.gif");
    LoadFolderPicture(p.rightOverlay, folder, paperW, paperH, cancel, "right.gif");
    LoadFolderPicture(p.background, folder, paperW, paperH, cancel, "background.jpg", "background.png");
    if (grayScale) MakeGray({&p.main, &p.leftOverlay, &p.rightOverlay, &p.background});
    return p;
}

void TakeSkinPictures(SkinSettings& skin, SkinPictures&& pictures) {
    skin.mainPicture = std::move(pictures.main);
    skin.leftOverlay = std::move(pictures.leftOverlay);
    skin.rightOverlay = std::move(pictures.rightOverlay);
    skin.backgroundPicture = std::move(pictures.background);
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
