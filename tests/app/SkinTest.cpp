// Skins: how skin.ini is read, which skin the program starts with, Random's
// draw, and what applying a built-in or folder skin leaves in SkinSettings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "settings/TempFolder.h"
#include "image/TestEncoders.h"
#include "settings/ProgramFolder.h"
#include "app/Skin.h"

namespace {

constexpr Rgb kDark{0x3C, 0x3C, 0x3C};

bool IsGray(const CRasterImage& image) {
    for (int y = 0; y < image.GetHeight(); y += 7) {
        for (int x = 0; x < image.GetWidth(); x += 7) {
            const Rgb c = image.GetPixelColor(x, y);
            if (c.r != c.g || c.g != c.b) return false;
        }
    }
    return true;
}

// A program folder with skins/ holding the given skin folders, each a copy of
// the shipped Ocean skin unless told otherwise.
class SkinFolders : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(home_.Path()); }
    void TearDown() override { SetProgramFolder(""); }

    void AddOcean(const std::string& name) {
        namespace fs = std::filesystem;
        fs::create_directories(home_.File("skins"));
        fs::copy(fs::path(KORVANE_SOURCE_DIR) / "resources/skins/Ocean", home_.File("skins/" + name),
                 fs::copy_options::recursive);
    }

    TempFolder home_;
};

}  // namespace

TEST(SkinIni, ReadsKeysLiterallyAsSkinsAreWritten) {
    const SkinIniValues d = ReadSkinIni("MainPosY=4\r\n");
    EXPECT_EQ(d.mainX, 0) << "a missing number is 0";
    EXPECT_EQ(d.comboBackground, (Rgb{0x80, 0x80, 0x80})) << "a missing colour its default";

    const SkinIniValues v = ReadSkinIni(
        "[Skin]\r\nMainPosX=170\r\nMainPosY= -12\r\nLeftPosX =160\r\nRightPosY=+9px\r\n"
        "BackgroundColor=FF0000\r\nTextColor=      10a0Ff\r\nComboTextColor= 112233\r\nComboBkColor=   445566\r\n"
        "UseSystemColors=2\r\nDrawEdgeAroundPreview=1\r\n");
    EXPECT_EQ(v.mainX, 170);
    EXPECT_EQ(v.mainY, -12);
    EXPECT_EQ(v.leftX, 0) << "a blank before \"=\" leaves no number to read";
    EXPECT_EQ(v.rightY, 9);
    EXPECT_EQ(v.background, (Rgb{0xFF, 0, 0}));
    EXPECT_EQ(v.text, (Rgb{0x10, 0xA0, 0xFF}));
    EXPECT_EQ(v.comboText, (Rgb{0x11, 0x22, 0x33}));
    EXPECT_EQ(v.comboBackground, (Rgb{0x44, 0x55, 0x66}));
    EXPECT_FALSE(v.useSystemColors) << "only 1 switches it on";
    EXPECT_TRUE(v.drawEdge);
}

TEST(SkinIni, FirstOccurrenceCountsSoComboTextColorMustFollowTextColor) {
    // "TextColor=" is found inside the combo line; its digits are read from
    // 16 characters after that, past the combo's value.
    const std::string text = "ComboTextColor= 112233\r\nTextColor=      445566\r\n";
    const SkinIniValues v = ReadSkinIni(text);
    EXPECT_EQ(v.comboText, (Rgb{0x11, 0x22, 0x33}));
    EXPECT_EQ(v.text, (Rgb{0x03, 0x00, 0x0E}));
    EXPECT_NE(v.text, (Rgb{0x44, 0x55, 0x66}));

    // A colour key without "=" is missing; a value cut short reads what is there.
    EXPECT_EQ(SkinIniColor("BackgroundColor FF0000", "BackgroundColor", kDark), kDark);
    EXPECT_EQ(SkinIniColor("BackgroundColor=FF00", "BackgroundColor", kDark), (Rgb{0xFF, 0, 0}));
    EXPECT_EQ(SkinIniInt("MainPosX", "MainPosX", 5), 0);
    EXPECT_EQ(SkinIniInt("MainPosX=99999999999", "MainPosX"), 2147483647);
}

TEST(SkinIni, FileLinesAreJoinedWithCrLf) {
    TempFolder dir;
    dir.Write("skin.ini", "MainPosX=5\nTextColor=      102030\r\nMainPosY=6");
    std::string text;
    ASSERT_TRUE(ReadSkinIniFile(dir.File("skin.ini"), text));
    EXPECT_EQ(text, "MainPosX=5\r\nTextColor=      102030\r\nMainPosY=6\r\n");
    EXPECT_FALSE(ReadSkinIniFile(dir.File("missing.ini"), text));
}

TEST(SkinStartup, AnimeOnFirstRunStoredChoiceLaterOutOfRangeBecomesRandom) {
    const std::vector<std::string> folders = {"Ember", "Anime"};
    EXPECT_EQ(ChooseStartupSkin(1, folders, 123, 0), 4) << "first run picks the Anime folder";
    EXPECT_EQ(ChooseStartupSkin(1, folders, 123, 123), 1) << "the next run keeps the stored choice";
    EXPECT_EQ(ChooseStartupSkin(1, {"anime"}, 123, 0), 1) << "letter case matters";
    EXPECT_EQ(ChooseStartupSkin(1, folders, 124, 0), 1) << "only version 1.23 does this";
    EXPECT_EQ(ChooseStartupSkin(7, folders, 123, 123), kSkinRandom);
    EXPECT_EQ(ChooseStartupSkin(5, folders, 123, 123), kSkinRandom);
    EXPECT_EQ(ChooseStartupSkin(4, folders, 123, 123), 4);
    EXPECT_EQ(ChooseStartupSkin(-2, folders, 123, 123), kSkinRandom);
}

TEST(SkinRandom, WithoutFoldersDrawsAmongTheBuiltInSkins) {
    std::set<int> seen;
    for (int i = 0; i < 300; ++i) seen.insert(DrawRandomSkin(0));
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
    seen.clear();
    for (int i = 0; i < 300; ++i) seen.insert(DrawRandomSkin(2));
    EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4}));
}

TEST_F(SkinFolders, ListsFoldersOnlySortedByName) {
    AddOcean("beta");
    AddOcean("Alpha");
    home_.Write("skins/notes.txt", "not a skin");
    EXPECT_EQ(ListSkinFolders(), (std::vector<std::string>{"Alpha", "beta"}));
    EXPECT_EQ(SkinFolderPath("beta"), home_.File("skins/beta"));
    // The user's skins and the shipped ones together, each name once.
    TempFolder shipped;
    std::filesystem::create_directories(shipped.File("skins/Alpha"));
    std::filesystem::create_directories(shipped.File("skins/Gamma"));
    EXPECT_EQ(ListSkinFolders({home_.File("skins"), home_.File("nowhere"), shipped.File("skins")}),
              (std::vector<std::string>{"Alpha", "beta", "Gamma"}));
}

TEST_F(SkinFolders, FolderSkinLoadsValuesAndPicturesWithTheirFallbacks) {
    AddOcean("Ocean");
    // main.jpg that is no picture: main.png is taken instead.
    home_.Write("skins/Ocean/main.jpg", "not a jpeg");
    SkinSettings skin;
    skin.folders = ListSkinFolders();
    ASSERT_TRUE(ApplySkin(skin, 3, false));
    EXPECT_EQ(skin.selectedSkin, 3);
    EXPECT_EQ(skin.values.background, (Rgb{0x1E, 0x3A, 0x5F}));
    EXPECT_EQ(skin.values.mainX, 190);
    EXPECT_TRUE(skin.mainPicture.IsValid());
    EXPECT_EQ(skin.mainPicture.GetWidth(), 240);
    EXPECT_TRUE(skin.leftOverlay.IsValid());
    EXPECT_FALSE(skin.rightOverlay.IsValid()) << "no right.gif";
    EXPECT_TRUE(skin.backgroundPicture.IsValid()) << "background.png stands in for background.jpg";
    EXPECT_FALSE(IsGray(skin.mainPicture));

    // Grey scale turns every picture grey.
    ASSERT_TRUE(ApplySkin(skin, 3, true));
    EXPECT_TRUE(IsGray(skin.mainPicture));
    EXPECT_TRUE(IsGray(skin.backgroundPicture));

    // Back to a built-in skin: its values, no right overlay.
    ASSERT_TRUE(ApplySkin(skin, kSkinClean, false));
    EXPECT_EQ(skin.selectedSkin, kSkinClean);
    EXPECT_TRUE(skin.values.useSystemColors);
    EXPECT_TRUE(skin.values.drawEdge);
    EXPECT_EQ(skin.values.text, (Rgb{0xD0, 0xE4, 0xF5})) << "Clean leaves the text colour as it was";
    EXPECT_EQ(skin.values.mainY, 50);
    EXPECT_FALSE(skin.leftOverlay.IsValid());
    EXPECT_FALSE(skin.backgroundPicture.IsValid());
}

TEST_F(SkinFolders, FolderWithoutSkinIniOrOutOfTheListChangesNothing) {
    AddOcean("Ocean");
    std::filesystem::create_directories(home_.File("skins/Empty"));
    SkinSettings skin;
    skin.folders = ListSkinFolders();
    ASSERT_EQ(skin.folders, (std::vector<std::string>{"Empty", "Ocean"}));
    ASSERT_TRUE(ApplySkin(skin, kSkinAlternative, false));
    EXPECT_FALSE(ApplySkin(skin, 3, false));
    EXPECT_FALSE(ApplySkin(skin, 5, false));
    EXPECT_EQ(skin.selectedSkin, kSkinAlternative);
    EXPECT_EQ(skin.values.leftX, 150);
    EXPECT_TRUE(skin.leftOverlay.IsValid());
}

TEST_F(SkinFolders, ALongSkinIniIsReadAndOneTooLargeIsRefusedSayingWhy) {
    namespace fs = std::filesystem;
    AddOcean("Long");
    AddOcean("Huge");
    // 100 KiB of comments before the keys: read as any other.
    const std::string comments = std::string(100 * 1024, ';') + "\r\n";
    home_.Write("skins/Long/skin.ini", comments + "MainPosX=77\r\nLeftPosY=12\r\n");
    home_.Write("skins/Huge/skin.ini", std::string(kMaxSkinIniSize + 1, ';'));
    SkinSettings skin;
    skin.folders = ListSkinFolders();
    ASSERT_EQ(skin.folders, (std::vector<std::string>{"Huge", "Long"}));
    ASSERT_TRUE(ApplySkin(skin, kFirstSkinFolder + 1, false));
    EXPECT_EQ(skin.values.mainX, 77);
    EXPECT_EQ(skin.values.leftY, 12);
    EXPECT_EQ(skin.refusal, "");
    EXPECT_FALSE(ApplySkin(skin, kFirstSkinFolder, false));
    EXPECT_EQ(skin.selectedSkin, kFirstSkinFolder + 1);
    EXPECT_EQ(skin.refusal, "it is 1025 KiB; at most 1024 KiB are read");
    // A skin.ini that is not there says so too.
    fs::remove(home_.File("skins/Long/skin.ini"));
    EXPECT_FALSE(ApplySkin(skin, kFirstSkinFolder + 1, false));
    EXPECT_FALSE(skin.refusal.empty());
}

namespace {
void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                               static_cast<std::streamsize>(bytes.size()));
}

// A flat orange JPEG of w x h pixels, written row by row.
std::vector<std::uint8_t> FlatJpeg(int w, int h) {
    JpegRecipe picture;
    picture.width = w;
    picture.height = h;
    picture.makeRow = [w](int, std::uint8_t* row) {
        for (int x = 0; x < w; ++x) {
            row[3 * x] = 240;
            row[3 * x + 1] = 120;
            row[3 * x + 2] = 0;
        }
    };
    return EncodeJpeg(picture);
}
}  // namespace

TEST_F(SkinFolders, PicturesLargerThanWhereTheyAreDrawnAreFittedIntoIt) {
    namespace fs = std::filesystem;
    fs::create_directories(home_.File("skins/Big"));
    home_.Write("skins/Big/skin.ini", "MainPosX=10\r\n");
    WriteFile(home_.File("skins/Big/main.jpg"), FlatJpeg(3000, 2000));
    PngRecipe png;
    png.width = 400;
    png.height = 100;
    png.rows.assign(100, std::vector<std::uint8_t>(400 * 3, 200));
    WriteFile(home_.File("skins/Big/background.png"), EncodePng(png));
    fs::copy_file(fs::path(KORVANE_SOURCE_DIR) / "resources/skins/Ocean/left.gif", home_.File("skins/Big/left.gif"));

    const SkinPictureAreas areas{600, 400, 150, 200};
    const SkinPictures p = LoadSkinPictures(home_.File("skins/Big"), areas, false);
    ASSERT_TRUE(p.main.IsValid());
    EXPECT_EQ(p.main.GetWidth(), 600);
    EXPECT_EQ(p.main.GetHeight(), 400);
    const Rgb orange = p.main.GetPixelColor(300, 200);
    EXPECT_NEAR(orange.r, 240, 3);
    EXPECT_NEAR(orange.g, 120, 3);
    EXPECT_NEAR(orange.b, 0, 3);
    ASSERT_TRUE(p.background.IsValid());
    EXPECT_EQ(p.background.GetWidth(), 150);
    EXPECT_EQ(p.background.GetHeight(), 38);
    EXPECT_EQ(p.background.GetPixelColor(75, 19), (Rgb{200, 200, 200}));
    // A picture that fits keeps its natural size; so does every one without areas.
    ASSERT_TRUE(p.leftOverlay.IsValid());
    CRasterImage gif;
    ASSERT_TRUE(gif.Load(home_.File("skins/Big/left.gif"), IMAGE_GIF));
    EXPECT_EQ(p.leftOverlay.GetWidth(), gif.GetWidth());
    const SkinPictures natural = LoadSkinPictures(home_.File("skins/Big"), SkinPictureAreas{}, false);
    EXPECT_EQ(natural.main.GetWidth(), 3000);
    EXPECT_EQ(natural.background.GetWidth(), 400);

    // Grey, and the window's way: the folder left to load, pictures emptied.
    SkinSettings skin;
    skin.folders = ListSkinFolders();
    skin.areas = areas;
    ASSERT_TRUE(ApplySkin(skin, 3, true));
    EXPECT_EQ(skin.mainPicture.GetWidth(), 600);
    EXPECT_TRUE(IsGray(skin.mainPicture));
    skin.deferred = true;
    const int change = skin.change;
    ASSERT_TRUE(ApplySkin(skin, 3, false));
    EXPECT_EQ(skin.change, change + 1);
    EXPECT_FALSE(skin.mainPicture.IsValid());
    EXPECT_EQ(skin.pendingPictures, home_.File("skins/Big"));
    ASSERT_TRUE(ApplySkin(skin, kSkinDefault, false));
    EXPECT_EQ(skin.change, change + 2);
    EXPECT_TRUE(skin.pendingPictures.empty()) << "a built-in skin has nothing to load";
}
