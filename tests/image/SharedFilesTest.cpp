// Other people's files: the public test suites under the shared folder.
// Good files decode to their reference pixels (sizes exactly, colours where
// both are opaque); where our rules differ on purpose the test says which
// rule. Bad and damaged files are refused or decoded, never crash.
#include "image/RasterImage.h"

#include "TestImages.h"

#include <gtest/gtest.h>

#include <map>

namespace {
int TypeOfFolder(const std::string& path) {
    static const std::map<std::string, int> kTypes = {{"bmp", 1}, {"gif", 2}, {"jpeg", 3}, {"png", 4}, {"ico", 5},
                                                      {"tga", 6}, {"pcx", 7}, {"wbmp", 8}, {"wmf", 9}, {"emf", 9},
                                                      {"webp", IMAGE_WEBP}, {"heif", IMAGE_HEIF}, {"heic", IMAGE_HEIF},
                                                      {"avif", IMAGE_HEIF}, {"jxl", IMAGE_JXL}, {"tiff", IMAGE_TIFF},
                                                      {"tif", IMAGE_TIFF}};
    const auto it = kTypes.find(path.substr(0, path.find('/')));
    return it == kTypes.end() ? 0 : it->second;
}

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

// How a good file is compared. Colour tolerance per channel, or -1 to
// compare the size only.
int ToleranceFor(const std::string& path) {
    // Lossy kinds decoded by another build or version of their library
    // round a level or two apart; TIFF's 16-bit samples scale either way.
    if (TypeOfFolder(path) > IMAGE_WMF)
        return TypeOfFolder(path) == IMAGE_TIFF ? 1 : 3;
    // 15- and 16-bit channels widen by repeating their high bits (31 -> 255);
    // the references scale and round down, one level apart at most.
    if (Contains(path, "rgb16") || Contains(path, "p_16.tga") || Contains(path, "rgba16.tga"))
        return 1;
    // Only frame 0 is decoded; these references show later frames composed.
    for (const char* composed : {"dispose-restore-previous", "high-color", "images-combine", "images-overlap"})
        if (Contains(path, composed))
            return -1;
    // Their cHRM chunk gives primaries that are shown through a profile;
    // the reference's decoder ignored it.
    if (Contains(path, "pngsuite/png/ccwn"))
        return -1;
    // Four 1-bit planes: we take the header palette as written, the
    // reference's decoder did not.
    if (Contains(path, "p_4_planes.pcx"))
        return -1;
    return 0;
}

void CheckGoodFiles(const std::string& prefix, bool mayBeAbsent = false) {
    KORVANE_NEED_SHARED_TEST_DATA();
    if (mayBeAbsent && SharedTestFiles(prefix).empty())
        GTEST_SKIP() << "no shared " << prefix << " files here";
    int compared = 0;
    for (const TestFileEntry& e : SharedTestFiles(prefix)) {
        if (e.kind != "good" || e.reference.empty())
            continue;
        SCOPED_TRACE(e.path);
        CRasterImage img;
        ASSERT_TRUE(img.Load(SharedTestFile(e.path), TypeOfFolder(e.path))) << img.GetLastError();
        RgbaPicture ref;
        ASSERT_TRUE(ReadPngRgba(SharedTestFile(e.reference), ref));
        const int tolerance = ToleranceFor(e.path);
        if (tolerance < 0) {
            if (ref.width == img.GetWidth()) {
                EXPECT_EQ(img.GetHeight(), ref.height);
            }
            continue;
        }
        EXPECT_EQ(CompareWithReference(img, ref, tolerance, false), "");
        ++compared;
    }
    EXPECT_GT(compared, 0);
}

// Every file of the folder, good or not, with its own type and with type 0:
// a refusal leaves the image empty; nothing crashes or hangs.
void CheckEveryFileIsSafe(const std::string& prefix, bool mayBeAbsent = false) {
    KORVANE_NEED_SHARED_TEST_DATA();
    if (mayBeAbsent && SharedTestFiles(prefix).empty())
        GTEST_SKIP() << "no shared " << prefix << " files here";
    int seen = 0;
    for (const TestFileEntry& e : SharedTestFiles(prefix)) {
        if (e.kind == "doc")
            continue;
        SCOPED_TRACE(e.path);
        for (int type : {TypeOfFolder(e.path), 0}) {
            CRasterImage img;
            const bool ok = img.Load(SharedTestFile(e.path), type);
            EXPECT_EQ(ok, img.IsValid());
            if (ok) {
                EXPECT_GT(img.GetWidth(), 0);
                EXPECT_GT(img.GetHeight(), 0);
            }
        }
        ++seen;
    }
    EXPECT_GT(seen, 0);
}
}  // namespace

TEST(SharedFiles, BmpSuiteGoodFilesMatchTheirReferences) { CheckGoodFiles("bmp/"); }
TEST(SharedFiles, GifSuiteGoodFilesMatchTheirReferences) { CheckGoodFiles("gif/"); }
TEST(SharedFiles, PngSuiteGoodFilesMatchTheirReferences) { CheckGoodFiles("png/"); }
TEST(SharedFiles, JpegFilesMatchTheirReferences) { CheckGoodFiles("jpeg/"); }
TEST(SharedFiles, TgaFilesMatchTheirReferences) { CheckGoodFiles("tga/"); }
TEST(SharedFiles, PcxFilesMatchTheirReferences) { CheckGoodFiles("pcx/"); }
TEST(SharedFiles, WbmpFilesMatchTheirReferences) { CheckGoodFiles("wbmp/"); }

TEST(SharedFiles, IconFramesMatchTheirReferences) {
    // Frame 0 is decoded, so a file whose reference shows a larger frame is
    // compared by frame 0's own size.
    KORVANE_NEED_SHARED_TEST_DATA();
    for (const TestFileEntry& e : SharedTestFiles("ico/")) {
        if (e.kind != "good" || e.reference.empty())
            continue;
        SCOPED_TRACE(e.path);
        CRasterImage img;
        ASSERT_TRUE(img.Load(SharedTestFile(e.path), IMAGE_ICO)) << img.GetLastError();
        RgbaPicture ref;
        ASSERT_TRUE(ReadPngRgba(SharedTestFile(e.reference), ref));
        if (ref.width != img.GetWidth()) {
            EXPECT_TRUE(Contains(e.path, "multiple_entries")) << "unexpected size";
            continue;
        }
        EXPECT_EQ(CompareWithReference(img, ref, 0, false), "");
    }
}

TEST(SharedFiles, MetafilesHaveTheirSizeAndDrawSomething) {
    KORVANE_NEED_SHARED_TEST_DATA();
    // Placeable WMF: box x 96 / units per inch. EMF: frame at 96 dpi.
    const std::map<std::string, std::pair<int, int>> sizes = {{"wmf/pillow/drawing.wmf", {110, 110}},
                                                              {"wmf/wmf2svg/fulltest.wmf", {1056, 816}},
                                                              {"emf/pillow/drawing.emf", {110, 110}},
                                                              {"emf/wmf2svg/fulltest.emf", {1056, 792}}};
    for (const auto& [path, size] : sizes) {
        SCOPED_TRACE(path);
        CRasterImage img;
        ASSERT_TRUE(img.Load(SharedTestFile(path), IMAGE_WMF)) << img.GetLastError();
        EXPECT_EQ(img.GetWidth(), size.first);
        EXPECT_EQ(img.GetHeight(), size.second);
        int coloured = 0;
        for (int y = 0; y < img.GetHeight(); y += 2)
            for (int x = 0; x < img.GetWidth(); x += 2)
                coloured += img.GetPixelColor(x, y) != Rgb{255, 255, 255};
        EXPECT_GT(coloured, 100);
    }
    // The Pillow drawing is one red disc: its centre is red.
    CRasterImage emf;
    ASSERT_TRUE(emf.Load(SharedTestFile("emf/pillow/drawing.emf"), IMAGE_WMF));
    EXPECT_EQ(emf.GetPixelColor(55, 55), (Rgb{255, 0, 0}));
}

// The newer kinds, wherever the shared folder holds them.
TEST(SharedFiles, NewerKindsMatchTheirReferences) {
    for (const char* folder : {"webp/", "heif/", "heic/", "avif/", "jxl/", "tiff/", "tif/"}) {
        if (SharedTestDataPresent() && !SharedTestFiles(folder).empty()) {
            CheckGoodFiles(folder, true);
            CheckEveryFileIsSafe(folder, true);
        }
    }
}

TEST(SharedFiles, EveryBmpFileIsSafe) { CheckEveryFileIsSafe("bmp/"); }
TEST(SharedFiles, EveryGifFileIsSafe) { CheckEveryFileIsSafe("gif/"); }
TEST(SharedFiles, EveryPngFileIsSafe) { CheckEveryFileIsSafe("png/"); }
TEST(SharedFiles, EveryJpegFileIsSafe) { CheckEveryFileIsSafe("jpeg/"); }
TEST(SharedFiles, EveryIconFileIsSafe) { CheckEveryFileIsSafe("ico/"); }
TEST(SharedFiles, EveryTgaFileIsSafe) { CheckEveryFileIsSafe("tga/"); }
TEST(SharedFiles, EveryPcxFileIsSafe) { CheckEveryFileIsSafe("pcx/"); }
TEST(SharedFiles, EveryWbmpFileIsSafe) { CheckEveryFileIsSafe("wbmp/"); }
TEST(SharedFiles, EveryMetafileIsSafe) {
    CheckEveryFileIsSafe("wmf/");
    CheckEveryFileIsSafe("emf/");
}

TEST(SharedFiles, BadFilesAreRefusedWithAMessage) {
    KORVANE_NEED_SHARED_TEST_DATA();
    // Files broken on purpose whose codec has a message for them.
    const char* const files[] = {"bmp/bmpsuite/b/badbitcount.bmp", "bmp/bmpsuite/b/badheadersize.bmp",
                                 "bmp/bmpsuite/b/badwidth.bmp",    "bmp/bmpsuite/b/reallybig.bmp",
                                 "png/pngsuite/png/xcsn0g01.png",  "png/pngsuite/png/xs1n0g01.png",
                                 "wbmp/made/bad/bad_type1.wbmp",   "wbmp/made/bad/bad_huge_dims.wbmp",
                                 "tga/pillow/bad/cross_scan_line_truncated.tga"};
    for (const char* f : files) {
        SCOPED_TRACE(f);
        CRasterImage img;
        EXPECT_FALSE(img.Load(SharedTestFile(f), TypeOfFolder(f)));
        EXPECT_FALSE(img.GetLastError().empty());
    }
    CRasterImage wbmp;
    EXPECT_FALSE(wbmp.Load(SharedTestFile("wbmp/made/bad/bad_type1.wbmp"), IMAGE_WBMP));
    EXPECT_EQ(wbmp.GetLastError(), "Unsupported WBMP type");
}
