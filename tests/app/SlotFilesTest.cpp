// Which files a slot takes, the parts of a path, the matching back cover and
// the label under a paper.
#include "app/SlotFiles.h"
#include "app/SlotLabel.h"
#include "image/RasterImage.h"
#include "print/PrintTestUtil.h"
#include "settings/AppSettings.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testutil;

namespace {
const std::vector<std::string> kLeft = SplitAutoFiles("front;front + inside;-f");
const std::vector<std::string> kRight = SplitAutoFiles("back;back;-b");

void Touch(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    WriteFile(path, {'x'});
}
}  // namespace

TEST(SlotFileTypes, OnlyGifBmpPngAndJpegByTheirExtension) {
    EXPECT_EQ(FileTypeFromExtension("/covers/a.gif"), 2);
    EXPECT_EQ(FileTypeFromExtension("/covers/a.BMP"), 1);
    EXPECT_EQ(FileTypeFromExtension("/covers/a.Png"), 4);
    EXPECT_EQ(FileTypeFromExtension("/covers/a.jpg"), 3);
    EXPECT_EQ(FileTypeFromExtension("C:\\covers\\a.JPEG"), 3);
    EXPECT_EQ(FileTypeFromExtension("/covers/cover.tif"), IMAGE_TIFF);  // the newer kinds too
    EXPECT_EQ(FileTypeFromExtension("/covers/cover.webp"), IMAGE_WEBP);
    EXPECT_EQ(FileTypeFromExtension("/covers/a.ico"), -1);
    EXPECT_EQ(FileTypeFromExtension("/covers/noextension"), -1);
    EXPECT_EQ(FileTypeFromExtension("/covers.jpg/noextension"), -1);
}

TEST(SlotFileNames, EitherSeparatorSplitsFolderAndName) {
    EXPECT_EQ(FileNameOf("/home/me/Album Front.jpg"), "Album Front.jpg");
    EXPECT_EQ(FolderOf("/home/me/Album Front.jpg"), "/home/me");
    EXPECT_EQ(FileNameOf("D:\\covers\\disc.png"), "disc.png");
    EXPECT_EQ(FolderOf("D:\\covers\\disc.png"), "D:\\covers");
    EXPECT_EQ(FileNameOf("disc.png"), "disc.png");
    EXPECT_EQ(FolderOf("disc.png"), "");
}

TEST(MatchingCover, FrontBecomesBackInTheFileName) {
    TempFolder dir;
    Touch(dir.file("covers/Album back.jpg"));
    EXPECT_EQ(FindMatchingCover(dir.file("covers/Album Front.jpg"), kLeft, kRight), dir.file("covers/Album back.jpg"));
    // Without the back cover on disk there is no match.
    EXPECT_EQ(FindMatchingCover(dir.file("covers/Other Front.jpg"), kLeft, kRight), std::nullopt);
}

TEST(MatchingCover, KeywordsAreLookedForInTheFileNameOnly) {
    TempFolder dir;
    Touch(dir.file("front/disc-b.jpg"));
    Touch(dir.file("back/disc-f.jpg"));  // what replacing "front" in the folder would give
    EXPECT_EQ(FindMatchingCover(dir.file("front/disc-f.jpg"), kLeft, kRight), dir.file("front/disc-b.jpg"));
}

TEST(MatchingCover, EveryOccurrenceOfTheMatchedTextIsReplaced) {
    TempFolder dir;
    Touch(dir.file("x/back-back.png"));
    EXPECT_EQ(FindMatchingCover(dir.file("x/front-front.png"), kLeft, kRight), dir.file("x/back-back.png"));
    // The matched text keeps its own letter case: "FRONT" is replaced, "front" would be too.
    Touch(dir.file("x/Cover back.png"));
    EXPECT_EQ(FindMatchingCover(dir.file("x/Cover FRONT.png"), kLeft, kRight), dir.file("x/Cover back.png"));
}

TEST(MatchingCover, EmptyKeywordsAndKeywordsWithoutAPartnerAreSkipped) {
    TempFolder dir;
    Touch(dir.file("Album back.jpg"));
    Touch(dir.file("Album Front.jpg"));
    EXPECT_EQ(SplitAutoFiles("a;;b;"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(FindMatchingCover(dir.file("Album Front.jpg"), {"", "front"}, {"zzz", "back"}),
              dir.file("Album back.jpg"));
    EXPECT_EQ(FindMatchingCover(dir.file("Album Front.jpg"), {"zzz", "front"}, {"back"}), std::nullopt);
    // A path without a folder has no file-name part to search.
    EXPECT_EQ(FindMatchingCover("Album Front.jpg", kLeft, kRight), std::nullopt);
}

TEST(MatchingCover, PathsLongerThanTheOldLimitWork) {
    TempFolder dir;
    std::string folder = dir.path();
    while (folder.size() < 400)
        folder += "/a-rather-long-folder-name-for-covers";
    Touch(folder + "/Album back.jpg");
    EXPECT_EQ(FindMatchingCover(folder + "/Album Front.jpg", kLeft, kRight), folder + "/Album back.jpg");
}

TEST(FitLabel, DropsLeadingCharactersAndMarksTheCut) {
    const TextWidthFunction sevenPerChar = [](const std::string& t) { return static_cast<int>(t.size()) * 7; };
    EXPECT_EQ(FitLabel("short.jpg", 70, sevenPerChar), "short.jpg");
    EXPECT_EQ(FitLabel("abcdefghijklmno", 70, sevenPerChar), "...fghijklmno");
    EXPECT_EQ(FitLabel("", 70, sevenPerChar), "");
    // Whole characters go: a two-byte letter is never split.
    const TextWidthFunction perLetter = [](const std::string& t) {
        int n = 0;
        for (unsigned char c : t)
            n += (c & 0xC0) != 0x80;
        return n * 10;
    };
    EXPECT_EQ(FitLabel("\xC3\xA9t\xC3\xA9.png", 60, perLetter), "...t\xC3\xA9.png");
}

TEST(MatchingCover, TheBackIsFoundWhateverTheLetterCaseOfItsName) {
    TempFolder dir;
    Touch(dir.file("covers/Artist - Album - Back.jpg"));
    Touch(dir.file("covers/Artist - Album - Front.jpg"));
    // The replacement gives "… - back.jpg"; the folder holds "… - Back.jpg".
    EXPECT_EQ(FindMatchingCover(dir.file("covers/Artist - Album - Front.jpg"), kLeft, kRight),
              dir.file("covers/Artist - Album - Back.jpg"));
    // A name as written wins over one in another case; of two others, the
    // first by name.
    Touch(dir.file("two/Disc BACK.png"));
    Touch(dir.file("two/Disc Back.png"));
    EXPECT_EQ(FindMatchingCover(dir.file("two/Disc Front.png"), kLeft, kRight), dir.file("two/Disc BACK.png"));
    Touch(dir.file("two/Disc back.png"));
    EXPECT_EQ(FindMatchingCover(dir.file("two/Disc Front.png"), kLeft, kRight), dir.file("two/Disc back.png"));
}

TEST(MatchingCover, LetterCaseIsIgnoredInReplacedFolderNamesButTheRulesStay) {
    TempFolder dir;
    // The replacement runs over the whole path; each part is found in its
    // folder whatever its letter case.
    Touch(dir.file("Front Side/x/Album Front.jpg"));
    Touch(dir.file("Back Side/x/Album Back.jpg"));
    EXPECT_EQ(FindMatchingCover(dir.file("Front Side/x/Album Front.jpg"), kLeft, kRight),
              dir.file("Back Side/x/Album Back.jpg"));
    // First match in keyword order: "front" is tried before "-f", so
    // "disc-f front" looks for "disc-f back" only, then "disc-b front".
    Touch(dir.file("k/DISC-B FRONT.jpg"));
    EXPECT_EQ(FindMatchingCover(dir.file("k/disc-f front.jpg"), kLeft, kRight), dir.file("k/DISC-B FRONT.jpg"));
    Touch(dir.file("k/Disc-F Back.jpg"));
    EXPECT_EQ(FindMatchingCover(dir.file("k/disc-f front.jpg"), kLeft, kRight), dir.file("k/Disc-F Back.jpg"));
    // A folder is never a match, nor a name that leads back to the front itself.
    std::filesystem::create_directories(dir.file("d/Set Back.jpg"));
    EXPECT_EQ(FindMatchingCover(dir.file("d/Set Front.jpg"), kLeft, kRight), std::nullopt);
    Touch(dir.file("s/Side A.jpg"));
    EXPECT_EQ(FindMatchingCover(dir.file("s/Side A.jpg"), {"a"}, {"a"}), std::nullopt);
}
