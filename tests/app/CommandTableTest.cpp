// The command table: when each command can run, what a run does to the
// document and the view state, and what it asks of the window.
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/KorvaneDoc.h"
#include "print/PrintTestUtil.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/SettingsStore.h"
#include "app/Skin.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace testutil;

namespace {

// Records each request as a word, with its slot or value.
class RecordingWindow : public ICommandWindow {
public:
    std::vector<std::string> calls;
    const ViewState* state = nullptr;
    static std::string Side(Slot s) { return s == Slot::Left ? "left" : "right"; }
    void OpenImage(Slot s) override { calls.push_back("open " + Side(s)); }
    void LoadFromPaper(Slot s) override { calls.push_back("paper load " + Side(s)); }
    void PasteInto(Slot s) override { calls.push_back("paste " + Side(s)); }
    void Print(bool preview) override
    {
        calls.push_back((preview ? "preview " : "print ") + std::to_string(PrintModeNumber(state->printMode)));
    }
    void PrintSetup() override { calls.push_back("setup"); }
    void Exit() override { calls.push_back("exit"); }
    void ShowOptions() override { calls.push_back("options"); }
    void ChooseSkin(int skin) override { calls.push_back("skin " + std::to_string(skin)); }
    void OpenLink(int id) override { calls.push_back("link " + std::to_string(id)); }
    void ShowAbout() override { calls.push_back("about"); }
    void EditFormats() override { calls.push_back("editor"); }
    void EditFormatsFile() override { calls.push_back("formats file"); }
    void RunCalibration() override { calls.push_back("calibration"); }
    void SelectLanguage(int language) override { calls.push_back("language " + std::to_string(language)); }
};

CommandState Loaded(bool left, bool right)
{
    CommandState s;
    s.leftLoaded = left;
    s.rightLoaded = right;
    s.canPrint = true;
    s.canSetUpPrinter = true;
    return s;
}

struct Fixture {
    TempFolder dir;
    AppSettings settings;
    CSettingsStore store{dir.file("Korvane.cfg")};
    CKorvaneDoc doc{settings, store};
    ViewState state;
    RecordingWindow window;
    Fixture()
    {
        window.state = &state;
        doc.leftImage = Solid(30, 20, kRed);
        doc.rightImage = Solid(20, 30, kBlue);
    }
    std::vector<std::string> Run(int id, const CommandState& st, Slot paper = Slot::Left)
    {
        CommandTarget target{doc, state, window, paper};
        window.calls.clear();
        if (!RunCommand(id, target, st))
            window.calls.push_back("refused");
        return window.calls;
    }
};

}  // namespace

TEST(CommandTable, EveryIdHasOneRowWithRulesAndAnAction)
{
    std::set<int> ids;
    for (const CommandRow& row : CommandTable()) {
        EXPECT_TRUE(ids.insert(row.id).second) << row.id;
        EXPECT_NE(row.enabled, nullptr) << row.id;
        EXPECT_NE(row.run, nullptr) << row.id;
    }
    for (int i = 0; i < kLanguageCount; ++i)
        EXPECT_TRUE(ids.count(Languages()[i].menuCommand)) << i;
    for (int id = Cmd::SkinFolderFirst; id <= Cmd::SkinFolderLast; ++id)
        EXPECT_TRUE(ids.count(id)) << id;
    EXPECT_EQ(FindCommand(4711), nullptr);
    EXPECT_FALSE(IsCommandEnabled(4711, Loaded(true, true)));
    EXPECT_EQ(std::string(FindCommand(Cmd::PrintLeft)->shortcut), "Ctrl+P");
}

TEST(CommandTable, StandardShortcutsAreTheirCommandsAloneAndNoTwoRowsShareOne)
{
    const std::pair<int, const char*> standard[] = {
        {Cmd::New, "Ctrl+N"},       {Cmd::OpenLeft, "Ctrl+O"}, {Cmd::OpenRight, "Shift+Ctrl+O"},
        {Cmd::Paste, "Ctrl+V"},     {Cmd::PrintLeft, "Ctrl+P"}, {Cmd::Exit, "Ctrl+Q"},
        {Cmd::OnlineHelp, "F1"},
    };
    for (const auto& [id, keys] : standard) {
        ASSERT_NE(FindCommand(id)->shortcut, nullptr) << id;
        EXPECT_EQ(std::string(FindCommand(id)->shortcut), keys) << id;
    }
    std::set<std::string> taken;
    for (const CommandRow& row : CommandTable()) {
        if (row.shortcut) {
            EXPECT_TRUE(taken.insert(row.shortcut).second) << row.shortcut << " twice";
        }
    }
}

TEST(CommandTable, PrintCommandsNeedTheirPicturesThePrintWindowsAndRoomOnThePage)
{
    const int printing[] = {Cmd::PrintLeft, Cmd::PrintRight, Cmd::PrintBoth, Cmd::PrintPreview};
    const CommandState none = Loaded(false, false);
    for (int id : printing)
        EXPECT_FALSE(IsCommandEnabled(id, none)) << id;

    const CommandState left = Loaded(true, false);
    EXPECT_TRUE(IsCommandEnabled(Cmd::PrintLeft, left));
    EXPECT_FALSE(IsCommandEnabled(Cmd::PrintRight, left));
    EXPECT_FALSE(IsCommandEnabled(Cmd::PrintBoth, left));
    EXPECT_TRUE(IsCommandEnabled(Cmd::PrintPreview, left));

    const CommandState right = Loaded(false, true);
    EXPECT_FALSE(IsCommandEnabled(Cmd::PrintLeft, right));
    EXPECT_TRUE(IsCommandEnabled(Cmd::PrintRight, right));
    EXPECT_TRUE(IsCommandEnabled(Cmd::PrintPreview, right));

    CommandState both = Loaded(true, true);
    for (int id : printing)
        EXPECT_TRUE(IsCommandEnabled(id, both)) << id;
    // A single page holds the left cover only.
    both.singlePage = true;
    EXPECT_TRUE(IsCommandEnabled(Cmd::PrintLeft, both));
    EXPECT_FALSE(IsCommandEnabled(Cmd::PrintRight, both));
    EXPECT_FALSE(IsCommandEnabled(Cmd::PrintBoth, both));
    EXPECT_TRUE(IsCommandEnabled(Cmd::PrintPreview, both));

    // Without the print windows the commands stay present but disabled.
    CommandState noPrinting = Loaded(true, true);
    noPrinting.canPrint = false;
    noPrinting.canSetUpPrinter = false;
    for (int id : printing)
        EXPECT_FALSE(IsCommandEnabled(id, noPrinting)) << id;
    EXPECT_FALSE(IsCommandEnabled(Cmd::PrintSetup, noPrinting));
    EXPECT_FALSE(IsCommandEnabled(Cmd::PaperPrint, noPrinting));
    EXPECT_TRUE(IsCommandEnabled(Cmd::PrintSetup, Loaded(false, false)));
}

TEST(CommandTable, RotateAndThePapersPictureCommandsNeedAPictureInTheirSlot)
{
    CommandState st = Loaded(true, false);
    EXPECT_TRUE(IsCommandEnabled(Cmd::RotateLeft, st));
    EXPECT_FALSE(IsCommandEnabled(Cmd::RotateRight, st));
    for (Slot paper : {Slot::Left, Slot::Right}) {
        st.paperSlot = paper;
        const bool loaded = paper == Slot::Left;
        EXPECT_TRUE(IsCommandEnabled(Cmd::PaperLoad, st));
        EXPECT_TRUE(IsCommandEnabled(Cmd::PaperPaste, st));
        for (int id : {Cmd::PaperRotateCw, Cmd::PaperRotateCcw, Cmd::PaperNew, Cmd::PaperPrint})
            EXPECT_EQ(IsCommandEnabled(id, st), loaded) << id;
    }
    // Opening, pasting, leaving and the dialogs run with nothing loaded.
    const CommandState none = Loaded(false, false);
    for (int id : {Cmd::New, Cmd::OpenLeft, Cmd::OpenRight, Cmd::Paste, Cmd::Exit, Cmd::Options, Cmd::FormatEditor,
                   Cmd::EditFormatsFile, Cmd::CalibrationPage, Cmd::About, Cmd::OnlineHelp, Cmd::MailTranslation})
        EXPECT_TRUE(IsCommandEnabled(id, none)) << id;
}

TEST(CommandTable, SkinFoldersAndLanguagesAreEnabledWhenTheyExist)
{
    CommandState st = Loaded(false, false);
    st.skinFolders = 2;
    EXPECT_TRUE(IsCommandEnabled(Cmd::SkinFolderFirst, st));
    EXPECT_TRUE(IsCommandEnabled(Cmd::SkinFolderFirst + 1, st));
    EXPECT_FALSE(IsCommandEnabled(Cmd::SkinFolderFirst + 2, st));
    EXPECT_FALSE(IsCommandEnabled(Cmd::SkinFolderLast, st));
    for (int id : {Cmd::SkinDefault, Cmd::SkinAlternative, Cmd::SkinClean, Cmd::SkinRandom})
        EXPECT_TRUE(IsCommandEnabled(id, st));

    // English always; another language only when its file was found.
    EXPECT_TRUE(IsCommandEnabled(Languages()[0].menuCommand, st));
    EXPECT_FALSE(IsCommandEnabled(Languages()[3].menuCommand, st));
    st.languageAvailable = [](int language) { return language == 3; };
    EXPECT_TRUE(IsCommandEnabled(Languages()[3].menuCommand, st));
    EXPECT_FALSE(IsCommandEnabled(Languages()[4].menuCommand, st));
}

TEST(CommandTable, PrintCommandsSetTheModeThePreviewKeepsIt)
{
    Fixture f;
    const CommandState both = Loaded(true, true);
    f.state.printMode = PrintMode::Both;
    EXPECT_EQ(f.Run(Cmd::PrintLeft, both), std::vector<std::string>{"print 0"});
    EXPECT_EQ(f.Run(Cmd::PrintPreview, both), std::vector<std::string>{"preview 0"});
    EXPECT_EQ(f.Run(Cmd::PrintRight, both), std::vector<std::string>{"print 1"});
    EXPECT_EQ(f.Run(Cmd::PrintBoth, both), std::vector<std::string>{"print 2"});
    EXPECT_EQ(f.Run(Cmd::PaperPrint, both, Slot::Right), std::vector<std::string>{"print 1"});
    EXPECT_EQ(f.Run(Cmd::PaperPrint, both, Slot::Left), std::vector<std::string>{"print 0"});

    // A refused command leaves the mode as it was.
    CommandState single = both;
    single.singlePage = true;
    EXPECT_EQ(f.Run(Cmd::PrintBoth, single), std::vector<std::string>{"refused"});
    EXPECT_EQ(f.state.printMode, PrintMode::Left);
}

TEST(CommandTable, PaperCommandsActOnThePapersSlot)
{
    Fixture f;
    CommandState st = Loaded(true, true);
    st.paperSlot = Slot::Right;
    EXPECT_EQ(f.Run(Cmd::PaperLoad, st, Slot::Right), std::vector<std::string>{"paper load right"});
    EXPECT_EQ(f.Run(Cmd::PaperPaste, st, Slot::Right), std::vector<std::string>{"paste right"});
    EXPECT_TRUE(f.Run(Cmd::PaperRotateCw, st, Slot::Right).empty());
    EXPECT_EQ(f.doc.rightImage.GetWidth(), 30);  // turned a quarter
    EXPECT_EQ(f.doc.leftImage.GetWidth(), 30);   // untouched
    EXPECT_TRUE(f.Run(Cmd::PaperNew, st, Slot::Right).empty());
    EXPECT_FALSE(f.doc.IsLoaded(Slot::Right));
    EXPECT_TRUE(f.doc.IsLoaded(Slot::Left));
    // The emptied slot refuses what needs a picture.
    st.rightLoaded = false;
    EXPECT_EQ(f.Run(Cmd::PaperRotateCcw, st, Slot::Right), std::vector<std::string>{"refused"});
}

TEST(CommandTable, MenuCommandsReachTheDocumentOrTheWindow)
{
    Fixture f;
    const CommandState st = Loaded(true, true);
    EXPECT_EQ(f.Run(Cmd::OpenLeft, st), std::vector<std::string>{"open left"});
    EXPECT_EQ(f.Run(Cmd::OpenRight, st), std::vector<std::string>{"open right"});
    EXPECT_EQ(f.Run(Cmd::Paste, st), std::vector<std::string>{"paste left"});
    EXPECT_EQ(f.Run(Cmd::SkinClean, st), std::vector<std::string>{"skin " + std::to_string(kSkinClean)});
    EXPECT_EQ(f.Run(Cmd::SkinRandom, st), std::vector<std::string>{"skin " + std::to_string(kSkinRandom)});
    EXPECT_EQ(f.Run(Cmd::Website, st), std::vector<std::string>{"link " + std::to_string(Cmd::Website)});
    EXPECT_EQ(f.Run(Languages()[0].menuCommand, st), std::vector<std::string>{"language 0"});
    CommandState folders = st;
    folders.skinFolders = 1;
    EXPECT_EQ(f.Run(Cmd::SkinFolderFirst, folders),
              std::vector<std::string>{"skin " + std::to_string(kFirstSkinFolder)});

    EXPECT_TRUE(f.Run(Cmd::RotateLeft, st).empty());
    EXPECT_EQ(f.doc.leftImage.GetWidth(), 20);
    EXPECT_TRUE(f.Run(Cmd::New, st).empty());
    EXPECT_FALSE(f.doc.IsLoaded(Slot::Left));
    EXPECT_FALSE(f.doc.IsLoaded(Slot::Right));
}

TEST(CommandTable, SwapNeedsAPictureInEitherSlotAndExchangesTheSlots)
{
    Fixture f;
    f.state.leftFormat = 0;
    f.state.rightFormat = 3;
    f.state.leftName = "front.png";
    f.state.leftLabel = "front.png";
    f.settings.recentFileLeft = "/c/front.png";
    EXPECT_FALSE(IsCommandEnabled(Cmd::SwapSlots, Loaded(false, false)));
    EXPECT_TRUE(IsCommandEnabled(Cmd::SwapSlots, Loaded(false, true)));
    // The document's own state stands in for the view's.
    CommandTarget target{f.doc, f.doc.State(), f.window, Slot::Left};
    f.doc.State() = f.state;
    ASSERT_TRUE(RunCommand(Cmd::SwapSlots, target, Loaded(true, true)));
    EXPECT_EQ(f.doc.leftImage.GetWidth(), 20);
    EXPECT_EQ(f.doc.rightImage.GetWidth(), 30);
    EXPECT_EQ(f.doc.State().leftFormat, 3);
    EXPECT_EQ(f.doc.State().rightFormat, 0);
    EXPECT_EQ(f.doc.State().rightName, "front.png");
    EXPECT_EQ(f.doc.State().leftName, "");
    EXPECT_EQ(f.settings.recentFileRight, "/c/front.png");
    EXPECT_EQ(f.settings.recentFileLeft, "");
}
