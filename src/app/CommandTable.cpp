#include "app/CommandTable.h"

#include "app/CommandIds.h"
#include "app/KorvaneDoc.h"
#include "settings/LanguageTable.h"
#include "app/Skin.h"

#include <unordered_map>

namespace {

using State = CommandState;
using Target = CommandTarget;

// --- when a command can run ---------------------------------------------------

bool Always(const State&, int) { return true; }
bool LeftLoaded(const State& s, int) { return s.leftLoaded; }
bool RightLoaded(const State& s, int) { return s.rightLoaded; }
bool CanPrintLeft(const State& s, int) { return s.canPrint && s.leftLoaded; }
// A single page holds the left cover only.
bool CanPrintRight(const State& s, int) { return s.canPrint && s.rightLoaded && !s.singlePage; }
bool CanPrintBoth(const State& s, int) { return s.canPrint && s.leftLoaded && s.rightLoaded && !s.singlePage; }
bool CanPreview(const State& s, int) { return s.canPrint && (s.leftLoaded || s.rightLoaded); }
bool CanSetUpPrinter(const State& s, int) { return s.canSetUpPrinter; }
bool EitherLoaded(const State& s, int) { return s.leftLoaded || s.rightLoaded; }
bool PaperSlotLoaded(const State& s, int) { return s.loaded(s.paperSlot); }
bool CanPrintPaper(const State& s, int) { return s.canPrint && s.loaded(s.paperSlot); }
bool SkinFolderListed(const State& s, int folder) { return folder < s.skinFolders; }
bool RecentPictureUsable(const State& s, int index) { return s.recentPictureUsable && s.recentPictureUsable(index); }
bool LanguageAvailable(const State& s, int language)
{
    return language == 0 || (s.languageAvailable && s.languageAvailable(language));
}

// --- what a command does --------------------------------------------------------

void PrintIn(Target& t, PrintMode mode)
{
    t.state.printMode = mode;
    t.window.Print(false);
}

void New(Target& t, const State&, int) { t.doc.ClearBoth(); }
void OpenLeft(Target& t, const State&, int) { t.window.OpenImage(Slot::Left); }
void OpenRight(Target& t, const State&, int) { t.window.OpenImage(Slot::Right); }
void Paste(Target& t, const State&, int) { t.window.PasteInto(Slot::Left); }
void RotateLeft(Target& t, const State&, int) { t.doc.RotateSlot(Slot::Left, 90); }
void RotateRight(Target& t, const State&, int) { t.doc.RotateSlot(Slot::Right, 90); }
void PrintLeft(Target& t, const State&, int) { PrintIn(t, PrintMode::Left); }
void PrintRight(Target& t, const State&, int) { PrintIn(t, PrintMode::Right); }
void Swap(Target& t, const State&, int) { t.doc.SwapSlots(); }
// What its name says, whatever the last job printed.
void PrintBoth(Target& t, const State&, int) { PrintIn(t, PrintMode::Both); }
void Preview(Target& t, const State&, int) { t.window.Print(true); }
void PrintSetup(Target& t, const State&, int) { t.window.PrintSetup(); }
void Exit(Target& t, const State&, int) { t.window.Exit(); }
void Options(Target& t, const State&, int) { t.window.ShowOptions(); }
void ChooseSkin(Target& t, const State&, int skin) { t.window.ChooseSkin(skin); }
void SkinFolder(Target& t, const State&, int folder) { t.window.ChooseSkin(kFirstSkinFolder + folder); }
void Link(Target& t, const State&, int id) { t.window.OpenLink(id); }
void About(Target& t, const State&, int) { t.window.ShowAbout(); }
void FormatEditor(Target& t, const State&, int) { t.window.EditFormats(); }
void FormatsFile(Target& t, const State&, int) { t.window.EditFormatsFile(); }
void Calibration(Target& t, const State&, int) { t.window.RunCalibration(); }
void ChooseLanguage(Target& t, const State&, int language) { t.window.SelectLanguage(language); }
void FindCover(Target& t, const State&, int) { t.window.FindCoverOnline(Slot::Left); }
void ScanCover(Target& t, const State&, int) { t.window.ScanCover(Slot::Left); }
void OpenRecent(Target& t, const State&, int index) { t.window.OpenRecentFile(index); }

void PaperLoad(Target& t, const State&, int) { t.window.LoadFromPaper(t.paperSlot); }
void PaperPaste(Target& t, const State&, int) { t.window.PasteInto(t.paperSlot); }
void PaperRotateCw(Target& t, const State&, int) { t.doc.RotateSlot(t.paperSlot, 90); }
void PaperRotateCcw(Target& t, const State&, int) { t.doc.RotateSlot(t.paperSlot, -90); }
void PaperNew(Target& t, const State&, int) { t.doc.ClearSlot(t.paperSlot); }
void PaperPrint(Target& t, const State&, int) { PrintIn(t, PrintModeOf(t.paperSlot)); }
void PaperFindCover(Target& t, const State&, int) { t.window.FindCoverOnline(t.paperSlot); }
void PaperScanCover(Target& t, const State&, int) { t.window.ScanCover(t.paperSlot); }
void PaperPictureFit(Target& t, const State&, int fit) { t.doc.SetSlotFit(t.paperSlot, static_cast<CoverFit>(fit)); }

// The Language menu's items in menu order: text number and language index.
struct LanguageItem {
    int number;
    int language;
};
constexpr LanguageItem kLanguageItems[] = {
    {3009, 0},  {3010, 1},  {3038, 9},  {3011, 6},  {3012, 5},  {3013, 2},  {3051, 24},
    {3014, 7},  {3015, 4},  {3016, 3},  {3017, 15}, {3018, 8},  {3019, 11}, {3020, 13},
    {3032, 10}, {3039, 12}, {3033, 22}, {3034, 16}, {3035, 17}, {3036, 19}, {3037, 20},
    {3040, 14}, {3041, 18}, {3043, 21}, {3050, 23}, {3056, 25}, {3058, 26}, {3060, 27},
};

std::vector<CommandRow> BuildTable()
{
    std::vector<CommandRow> rows = {
        // File menu.
        {Cmd::New, 3001, "Ctrl+N", 0, Always, New},
        {Cmd::OpenLeft, 3030, "Ctrl+O", 0, Always, OpenLeft},
        {Cmd::OpenRight, 3031, "Shift+Ctrl+O", 0, Always, OpenRight},
        {Cmd::Paste, 3059, "Ctrl+V", 0, Always, Paste},
        {Cmd::RotateLeft, 3023, nullptr, 0, LeftLoaded, RotateLeft},
        {Cmd::RotateRight, 3024, nullptr, 0, RightLoaded, RotateRight},
        {Cmd::SwapSlots, 9816, nullptr, 0, EitherLoaded, Swap},
        {Cmd::PrintLeft, 3048, "Ctrl+P", 0, CanPrintLeft, PrintLeft},
        {Cmd::PrintRight, 3049, nullptr, 0, CanPrintRight, PrintRight},
        {Cmd::PrintBoth, 3002, nullptr, 0, CanPrintBoth, PrintBoth},
        {Cmd::PrintPreview, 3003, nullptr, 0, CanPreview, Preview},
        {Cmd::PrintSetup, 3004, nullptr, 0, CanSetUpPrinter, PrintSetup},
        {Cmd::Exit, 3005, "Ctrl+Q", 0, Always, Exit},
        // Options menu.
        {Cmd::Options, 3007, nullptr, 0, Always, Options},
        {Cmd::SkinDefault, 3046, nullptr, kSkinDefault, Always, ChooseSkin},
        {Cmd::SkinAlternative, 3047, nullptr, kSkinAlternative, Always, ChooseSkin},
        {Cmd::SkinClean, 3057, nullptr, kSkinClean, Always, ChooseSkin},
        {Cmd::SkinRandom, 3052, nullptr, kSkinRandom, Always, ChooseSkin},
        {Cmd::MailTranslation, 3021, nullptr, Cmd::MailTranslation, Always, Link},
        {Cmd::FormatEditor, 3044, nullptr, 0, Always, FormatEditor},
        {Cmd::EditFormatsFile, 7039, nullptr, 0, Always, FormatsFile},
        {Cmd::CalibrationPage, 9500, nullptr, 0, Always, Calibration},
        // Help menu.
        {Cmd::OnlineHelp, 3027, "F1", Cmd::OnlineHelp, Always, Link},
        {Cmd::Website, 3028, nullptr, Cmd::Website, Always, Link},
        {Cmd::DownloadCovers1, 3054, nullptr, Cmd::DownloadCovers1, Always, Link},
        {Cmd::DownloadCovers2, 3055, nullptr, Cmd::DownloadCovers2, Always, Link},
        {Cmd::About, 3029, nullptr, 0, Always, About},
        // The paper's pop-up menu, on the slot whose paper owns it.
        {Cmd::PaperLoad, 8000, nullptr, 0, Always, PaperLoad},
        {Cmd::PaperPaste, 8006, nullptr, 0, Always, PaperPaste},
        {Cmd::PaperRotateCw, 8002, nullptr, 0, PaperSlotLoaded, PaperRotateCw},
        {Cmd::PaperRotateCcw, 8003, nullptr, 0, PaperSlotLoaded, PaperRotateCcw},
        {Cmd::PaperNew, 8004, nullptr, 0, PaperSlotLoaded, PaperNew},
        {Cmd::PaperPrint, 8005, nullptr, 0, CanPrintPaper, PaperPrint},
        // Covers from the online services and the scanner.
        {Cmd::FindCoverOnline, 9720, nullptr, 0, Always, FindCover},
        {Cmd::ScanCover, 9721, nullptr, 0, Always, ScanCover},
        {Cmd::PaperFindCover, 9720, nullptr, 0, Always, PaperFindCover},
        {Cmd::PaperScanCover, 9721, nullptr, 0, Always, PaperScanCover},
        {Cmd::PaperStretch, 9781, nullptr, static_cast<int>(CoverFit::Stretch), Always, PaperPictureFit},
        {Cmd::PaperFit, 9782, nullptr, static_cast<int>(CoverFit::Fit), Always, PaperPictureFit},
        {Cmd::PaperFill, 9783, nullptr, static_cast<int>(CoverFit::Fill), Always, PaperPictureFit},
    };
    for (int id = Cmd::SkinFolderFirst; id <= Cmd::SkinFolderLast; ++id)
        rows.push_back({id, 0, nullptr, id - Cmd::SkinFolderFirst, SkinFolderListed, SkinFolder});
    for (int id = Cmd::RecentFileFirst; id <= Cmd::RecentFileLast; ++id)
        rows.push_back({id, 0, nullptr, id - Cmd::RecentFileFirst, RecentPictureUsable, OpenRecent});
    for (const LanguageItem& item : kLanguageItems)
        rows.push_back({Languages()[item.language].menuCommand, item.number, nullptr, item.language,
                        LanguageAvailable, ChooseLanguage});
    return rows;
}

}  // namespace

const std::vector<CommandRow>& CommandTable()
{
    static const std::vector<CommandRow> rows = BuildTable();
    return rows;
}

const CommandRow* FindCommand(int commandId)
{
    static const std::unordered_map<int, const CommandRow*> byId = [] {
        std::unordered_map<int, const CommandRow*> map;
        for (const CommandRow& row : CommandTable())
            map.emplace(row.id, &row);
        return map;
    }();
    const auto it = byId.find(commandId);
    return it == byId.end() ? nullptr : it->second;
}

bool IsCommandEnabled(int commandId, const CommandState& state)
{
    const CommandRow* row = FindCommand(commandId);
    return row && row->enabled(state, row->arg);
}

bool IsPaperCommand(int commandId)
{
    switch (commandId) {
    case Cmd::PaperLoad:
    case Cmd::PaperPaste:
    case Cmd::PaperRotateCw:
    case Cmd::PaperRotateCcw:
    case Cmd::PaperNew:
    case Cmd::PaperPrint:
    case Cmd::PaperFindCover:
    case Cmd::PaperScanCover:
    case Cmd::PaperStretch:
    case Cmd::PaperFit:
    case Cmd::PaperFill:
        return true;
    default:
        return false;
    }
}

bool RunCommand(int commandId, CommandTarget& target, const CommandState& state)
{
    const CommandRow* row = FindCommand(commandId);
    if (!row || !row->enabled(state, row->arg))
        return false;
    row->run(target, state, row->arg);
    return true;
}
