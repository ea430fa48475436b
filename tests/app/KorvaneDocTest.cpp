// The document's slot operations with real files, the real settings store
// and a view that records what it was told.
#include "app/DocView.h"
#include "app/KorvaneDoc.h"
#include "app/PrintRequest.h"
#include "print/PrintTestUtil.h"
#include "image/TestEncoders.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace testutil;

namespace {
class RecordingView : public IDocView {
public:
    ViewState state;
    int controlWrites = 0;
    int refreshes = 0;
    std::vector<Slot> paperUpdates;
    std::vector<bool> cursor;  // true = wait
    ViewState& State() override { return state; }
    void WriteControls() override { ++controlWrites; }
    void UpdatePapers(Slot slot) override { paperUpdates.push_back(slot); }
    void Refresh() override { ++refreshes; }
    void SetWaitCursor(bool wait) override { cursor.push_back(wait); }
    int LabelWidth(Slot) const override { return 100; }
    int TextWidth(const std::string& text) const override { return static_cast<int>(text.size()) * 10; }
};

CoverFormat Candidate(const std::string& name, double w, double h) {
    CoverFormat f = Format(name, "CUSTOM", w, h);
    f.autodetect = 1;
    return f;
}

// A document over a fresh settings file, two recognisable formats and a view.
struct Fixture {
    TempFolder dir;
    AppSettings settings;
    CSettingsStore store{dir.file("Korvane.cfg")};
    CKorvaneDoc doc{settings, store};
    RecordingView view;
    RecordingPrompter prompter;
    Fixture() {
        SplitAutoFileKeywords(settings);
        doc.formats = List({Candidate("Square", 100.0, 100.0), Candidate("Wide", 200.0, 100.0)});
        doc.Attach(&view, &prompter);
        view.state.leftFormat = view.state.rightFormat = -1;
    }
};

// A device-independent bitmap as the clipboard hands it over: a BMP file
// without its 14-byte file header.
std::vector<std::uint8_t> ClipboardBitmap(int w, int h, Rgb c) {
    std::vector<std::uint8_t> file = BmpBytes(w, h, [c](int, int) { return c; });
    return std::vector<std::uint8_t>(file.begin() + 14, file.end());
}
}  // namespace

TEST(LoadImage, LeftFileBringsItsBackCoverAndEverySlotValue) {
    Fixture f;
    const std::string front = f.dir.file("covers/A very long album name Front.bmp");
    const std::string back = f.dir.file("covers/A very long album name back.bmp");
    std::filesystem::create_directories(f.dir.file("covers"));
    WriteBmp(front, 40, 40, kRed);
    WriteBmp(back, 80, 40, kBlue);

    EXPECT_TRUE(f.doc.LoadLeftImage(front, true));
    EXPECT_TRUE(f.doc.IsLoaded(Slot::Left));
    EXPECT_TRUE(f.doc.IsLoaded(Slot::Right));
    const ViewState& s = f.view.state;
    EXPECT_EQ(s.leftName, "A very long album name Front.bmp");
    EXPECT_EQ(s.rightName, "A very long album name back.bmp");
    EXPECT_EQ(s.leftLabel, "... Front.bmp");  // fitted to 100 pixels at 10 per character
    EXPECT_EQ(s.leftFormat, 0);
    EXPECT_EQ(s.rightFormat, 1);
    EXPECT_EQ(f.settings.recentFileLeft, front);
    EXPECT_EQ(f.settings.recentFileRight, back);
    EXPECT_EQ(ReadLastUsedFolder(f.store), f.dir.file("covers"));
    EXPECT_EQ(f.view.paperUpdates, (std::vector<Slot>{Slot::Left, Slot::Right}));
    EXPECT_EQ(f.view.cursor, (std::vector<bool>{true, false}));
    EXPECT_GE(f.view.refreshes, 2);
}

TEST(LoadImage, ReloadedFilesDoNotMoveTheOpenDialogsFolderAndOptionsAreObeyed) {
    Fixture f;
    WriteBmp(f.dir.file("Front.bmp"), 40, 40, kRed);
    WriteBmp(f.dir.file("back.bmp"), 40, 40, kBlue);
    f.settings.autoLoad2ndImage = 0;
    f.settings.autoDetectFormat = 0;
    f.view.state.leftFormat = 1;
    EXPECT_TRUE(f.doc.LoadLeftImage(f.dir.file("Front.bmp"), false));
    EXPECT_EQ(ReadLastUsedFolder(f.store), "");
    EXPECT_FALSE(f.doc.IsLoaded(Slot::Right));
    EXPECT_EQ(f.view.state.leftFormat, 1);  // not recognised
}

TEST(LoadImage, UnsupportedFilesAreRefusedAndBrokenOnesKeepTheSlotsValuesSayingWhy) {
    Fixture f;
    f.doc.SetTextSource([](int n) { return Language().GetText(n); });
    WriteBmp(f.dir.file("first.bmp"), 40, 40, kRed);
    WriteFile(f.dir.file("cover.psd"), {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 3});
    // The content decides, not the name.
    WriteBmp(f.dir.file("bitmap.tif"), 40, 40, kBlue);
    WriteFile(f.dir.file("broken.png"), {'n', 'o', 'p', 'e'});
    ASSERT_TRUE(f.doc.LoadRightImage(f.dir.file("first.bmp"), true));
    const ViewState before = f.view.state;
    const int refreshes = f.view.refreshes;

    EXPECT_FALSE(f.doc.LoadRightImage(f.dir.file("cover.psd"), true));
    EXPECT_EQ(f.view.state.rightName, before.rightName);  // nothing changes, but the user hears why
    ASSERT_EQ(f.prompter.errors.size(), 1u);
    EXPECT_EQ(f.prompter.errors[0], "Korvane cannot load pictures of this kind:\n" + f.dir.file("cover.psd"));

    EXPECT_FALSE(f.doc.LoadRightImage(f.dir.file("broken.png"), true));
    EXPECT_EQ(f.view.refreshes, refreshes + 2);
    ASSERT_EQ(f.prompter.errors.size(), 2u);
    EXPECT_EQ(f.prompter.errors[1], "The picture could not be loaded:\n" + f.dir.file("broken.png") + "\n\n" +
                                        f.doc.rightImage.GetLastError());
    EXPECT_FALSE(f.doc.rightImage.GetLastError().empty());
    EXPECT_EQ(f.view.state.rightName, before.rightName);
    EXPECT_EQ(f.view.state.rightLabel, before.rightLabel);
    EXPECT_EQ(f.view.state.rightFormat, before.rightFormat);
    EXPECT_EQ(f.doc.rightImage.GetWidth(), 40);  // the picture stays
    EXPECT_EQ(f.settings.recentFileRight, f.dir.file("first.bmp"));

    EXPECT_TRUE(f.doc.LoadRightImage(f.dir.file("bitmap.tif"), true));
    EXPECT_EQ(f.doc.rightImage.GetType(), IMAGE_BMP);
}

TEST(LoadImage, TheFilesOfThePreviousRunReloadWithoutAWord) {
    Fixture f;
    WriteFile(f.dir.file("broken.jpg"), {'t', 'e', 'x', 't'});
    EXPECT_FALSE(f.doc.LoadLeftImage(f.dir.file("broken.jpg"), false));
    EXPECT_FALSE(f.doc.LoadLeftImage(f.dir.file("gone.png"), false));
    EXPECT_FALSE(f.doc.LoadLeftImage(f.dir.file("cover.tif"), false));
    EXPECT_TRUE(f.prompter.errors.empty());
}

TEST(LoadImage, APictureReadOnlyInPartLoadsWithAWarningNamingTheFile) {
    Fixture f;
    f.doc.SetTextSource([](int n) { return Language().GetText(n); });
    JpegRecipe s;
    s.width = s.height = 64;
    for (int i = 0; i < 64 * 64 * 3; ++i)
        s.pixels.push_back(static_cast<std::uint8_t>((i * 37) % 251));  // noise: mostly scan data
    std::vector<std::uint8_t> jpeg = EncodeJpeg(s);
    jpeg.resize(jpeg.size() / 2);
    const std::string path = f.dir.file("Album Front.jpg");
    WriteFile(path, jpeg);
    EXPECT_TRUE(f.doc.LoadLeftImage(path, true));
    EXPECT_TRUE(f.doc.IsLoaded(Slot::Left));
    EXPECT_EQ(f.view.state.leftName, "Album Front.jpg");
    EXPECT_TRUE(f.prompter.errors.empty());
    ASSERT_EQ(f.prompter.warnings.size(), 1u);
    EXPECT_EQ(f.prompter.warnings[0], "Only part of the picture could be read; the rest shows grey:\n" + path +
                                          "\n\nTruncated data: the JPEG file ends early");
    // A whole picture loads without a word.
    jpeg = EncodeJpeg(s);
    WriteFile(path, jpeg);
    EXPECT_TRUE(f.doc.LoadLeftImage(path, true));
    EXPECT_EQ(f.prompter.warnings.size(), 1u);
}

TEST(LoadImage, PathsLongerThanTheOldLimitLoad) {
    Fixture f;
    std::string folder = f.dir.path();
    while (folder.size() < 600)
        folder += "/another-level-of-cover-folders";
    std::filesystem::create_directories(folder);
    WriteBmp(folder + "/deep front.bmp", 40, 40, kRed);
    WriteBmp(folder + "/deep back.bmp", 40, 40, kBlue);
    EXPECT_TRUE(f.doc.LoadLeftImage(folder + "/deep front.bmp", true));
    EXPECT_TRUE(f.doc.IsLoaded(Slot::Right));
    EXPECT_EQ(f.view.state.leftName, "deep front.bmp");
    EXPECT_EQ(ReadLastUsedFolder(f.store), folder);
}

TEST(Paste, ClipboardPictureKeepsTheSlotsFileName) {
    Fixture f;
    WriteBmp(f.dir.file("old.bmp"), 40, 40, kRed);
    ASSERT_TRUE(f.doc.LoadRightImage(f.dir.file("old.bmp"), true));
    const std::vector<std::uint8_t> dib = ClipboardBitmap(60, 30, kGreen);
    EXPECT_TRUE(f.doc.PasteRight(dib.data(), dib.size()));
    EXPECT_EQ(f.doc.rightImage.GetWidth(), 60);
    EXPECT_EQ(f.view.state.rightLabel, "Image from Clipboard");
    EXPECT_EQ(f.view.state.rightName, "old.bmp");  // a job is still named after it
    EXPECT_EQ(f.view.state.rightFormat, 1);        // recognised as 2:1
    EXPECT_EQ(f.settings.recentFileRight, f.dir.file("old.bmp"));
}

TEST(Paste, NothingOnTheClipboardOrAnUnreadableBitmapChangesNothing) {
    Fixture f;
    WriteBmp(f.dir.file("kept.bmp"), 40, 40, kRed);
    ASSERT_TRUE(f.doc.LoadLeftImage(f.dir.file("kept.bmp"), true));
    const int refreshes = f.view.refreshes;
    EXPECT_FALSE(f.doc.PasteLeft(nullptr, 0));
    const std::vector<std::uint8_t> junk(10, 0xFF);
    EXPECT_FALSE(f.doc.PasteLeft(junk.data(), junk.size()));
    EXPECT_EQ(f.view.refreshes, refreshes);
    EXPECT_EQ(f.doc.leftImage.GetWidth(), 40);
    EXPECT_EQ(f.view.state.leftLabel, "kept.bmp");
}

TEST(ClearAndRotate, NewForgetsImagesNamesAndRecentFiles) {
    Fixture f;
    WriteBmp(f.dir.file("Front.bmp"), 40, 40, kRed);
    WriteBmp(f.dir.file("back.bmp"), 80, 40, kBlue);
    ASSERT_TRUE(f.doc.LoadLeftImage(f.dir.file("Front.bmp"), true));
    ASSERT_TRUE(f.doc.IsLoaded(Slot::Right));

    f.doc.RotateSlot(Slot::Right, 90);
    EXPECT_EQ(f.doc.rightImage.GetWidth(), 40);
    EXPECT_EQ(f.doc.rightImage.GetHeight(), 80);
    EXPECT_EQ(f.view.state.rightFormat, 1);  // recognition is not repeated

    f.view.paperUpdates.clear();
    f.doc.ClearSlot(Slot::Right);
    EXPECT_FALSE(f.doc.IsLoaded(Slot::Right));
    EXPECT_TRUE(f.doc.IsLoaded(Slot::Left));
    EXPECT_EQ(f.view.state.rightLabel, "no image selected");
    EXPECT_EQ(f.view.state.leftLabel, "Front.bmp");
    EXPECT_EQ(f.settings.recentFileRight, "");
    EXPECT_EQ(f.view.paperUpdates, std::vector<Slot>{Slot::Right});

    f.doc.ClearBoth();
    EXPECT_FALSE(f.doc.IsLoaded(Slot::Left));
    EXPECT_EQ(f.view.state.leftName, "");
    EXPECT_EQ(f.view.state.leftLabel, "no image selected");
    EXPECT_EQ(f.settings.recentFileLeft, "");
    EXPECT_EQ(f.view.state.leftFormat, 0);  // the format choice stays
}

TEST(Document, WorksWithoutAView) {
    TempFolder dir;
    AppSettings settings;
    CSettingsStore store(dir.file("Korvane.cfg"));
    CKorvaneDoc doc(settings, store);
    doc.formats = List({Candidate("Square", 100.0, 100.0)});
    WriteBmp(dir.file("cover.bmp"), 10, 10, kRed);
    EXPECT_TRUE(doc.LoadLeftImage(dir.file("cover.bmp"), true));
    EXPECT_EQ(doc.State().leftName, "cover.bmp");
    EXPECT_EQ(doc.State().leftLabel, "cover.bmp");
    doc.ClearBoth();
    EXPECT_EQ(doc.State().leftLabel, "no image selected");
}

TEST(PrintRequest, GathersTheViewStateAndTheRunningValues) {
    ViewState state;
    state.printMode = PrintMode::Right;
    state.singlePage = 1;
    state.drawCutLines = 0;
    state.leftFormat = 3;
    state.rightFormat = 4;
    state.leftName = "a.jpg";
    state.rightName = "b.jpg";
    state.batchFiles = {"x.jpg", "y.png"};
    AppSettings settings;
    settings.checkForPrintableArea = 0;
    settings.printBorder = 0;
    settings.maskPrintJobName = 1;
    settings.printJobName = "Report";
    settings.autoRotate = 0;
    const PrintJobRequest r = MakePrintJobRequest(state, settings);
    EXPECT_EQ(r.printMode, PrintMode::Right);
    EXPECT_EQ(r.singlePage, 1);
    EXPECT_EQ(r.drawCutLines, 0);
    EXPECT_EQ(r.leftFormat, 3);
    EXPECT_EQ(r.rightFormat, 4);
    EXPECT_EQ(r.checkForPrintableArea, 0);
    EXPECT_EQ(r.printBorder, 0);
    EXPECT_EQ(PrintJobName(r), "Report");
    const BatchJob b = MakeBatchJob(state, settings, -1);
    EXPECT_EQ(b.files, state.batchFiles);
    EXPECT_EQ(b.format, -1);
    EXPECT_EQ(b.autoRotate, 0);
    EXPECT_EQ(b.drawCutLines, 0);
}
