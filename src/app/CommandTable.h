#pragma once
// Every command of the main menu, the paper pop-up menu and the print
// buttons in one table: its id, its menu text and shortcut, when it can run
// and what it does. The window builds its items from the rows, asks a row
// whether it is enabled and forwards a chosen command to it; the rows decide.
#include "app/ViewState.h"

#include <functional>
#include <vector>

class CKorvaneDoc;

// What the enabling rules read.
struct CommandState {
    bool leftLoaded = false;
    bool rightLoaded = false;
    bool canPrint = false;         // the print windows are installed
    bool canSetUpPrinter = false;  // the printer set-up is installed
    bool singlePage = false;
    int skinFolders = 0;           // skin folders listed into the Skins menu
    Slot paperSlot = Slot::Left;   // the slot whose paper's menu is used
    // Whether a language's file was found (index 0, English, always is).
    std::function<bool(int language)> languageAvailable;
    // Whether the recent picture at `index` (0 the most recent) can be opened.
    std::function<bool(int index)> recentPictureUsable;

    bool loaded(Slot s) const { return s == Slot::Left ? leftLoaded : rightLoaded; }
};

// The window's side of a command: what needs a dialog, the clipboard, a
// browser or the screen.
class ICommandWindow {
public:
    virtual ~ICommandWindow() = default;
    // "Open Left/Right Image..." of the File menu.
    virtual void OpenImage(Slot slot) = 0;
    // A click on a paper or its "Load Image..." item (the left one may
    // choose several files in batch mode).
    virtual void LoadFromPaper(Slot slot) = 0;
    virtual void PasteInto(Slot slot) = 0;
    // A print job (or its preview) in the state's printMode.
    virtual void Print(bool preview) = 0;
    virtual void PrintSetup() = 0;
    virtual void Exit() = 0;
    virtual void ShowOptions() = 0;
    virtual void ChooseSkin(int skin) = 0;
    // A web-link command's page (help, site, cover sites, translation contact).
    virtual void OpenLink(int commandId) = 0;
    virtual void ShowAbout() = 0;
    virtual void EditFormats() = 0;
    virtual void EditFormatsFile() = 0;
    virtual void RunCalibration() = 0;
    virtual void SelectLanguage(int language) = 0;
    // "Find Cover Online..." and "Scan Cover...": covers from the online
    // services or the scanner, into the slot (the File menu's: the left).
    virtual void FindCoverOnline(Slot) {}
    virtual void ScanCover(Slot) {}
    // A recent picture of the File menu (0 the most recent).
    virtual void OpenRecentFile(int index) { (void)index; }
};

// What a command acts on.
struct CommandTarget {
    CKorvaneDoc& doc;
    ViewState& state;
    ICommandWindow& window;
    Slot paperSlot = Slot::Left;
};

struct CommandRow {
    int id = 0;
    int textNumber = 0;            // the menu item's text, 0 for none of its own
    const char* shortcut = nullptr;
    int arg = 0;                   // the skin or language a row chooses
    bool (*enabled)(const CommandState& state, int arg) = nullptr;
    void (*run)(CommandTarget& target, const CommandState& state, int arg) = nullptr;
};

// The rows, one per command id.
const std::vector<CommandRow>& CommandTable();
// The row of a command, nullptr when there is none.
const CommandRow* FindCommand(int commandId);
// Whether a command can run in this state; false for unknown ids.
bool IsCommandEnabled(int commandId, const CommandState& state);
// Whether a command is one of the paper pop-up menu's (it acts on the
// slot whose paper owns the menu).
bool IsPaperCommand(int commandId);
// Runs a command when it is enabled; returns whether it ran.
bool RunCommand(int commandId, CommandTarget& target, const CommandState& state);
