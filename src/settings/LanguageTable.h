#pragma once
// Every user-visible text the program translates has a number. The language
// table holds the English texts, the texts of the language loaded from its
// .lng file, which language is current and which languages are available.
// Menus and dialogs are reached through the small interfaces below, which
// the windows implement, so the table itself knows no window system.
#include <array>
#include <span>
#include <initializer_list>
#include <string>
#include <vector>

// One menu whose item texts are read and rewritten by position. Positions
// count the menu's items without its separators.
class IMenuText {
public:
    virtual ~IMenuText() = default;
    virtual int ItemCount() const = 0;
    virtual std::string ItemText(int pos) const = 0;
    // Replaces the text only; the item keeps its command and submenu.
    virtual void SetItemText(int pos, const std::string& text) = 0;
    // The submenu opened by the item at `pos`, nullptr when it opens none.
    virtual IMenuText* SubMenu(int pos) = 0;
    // Called on the menu bar after its texts changed.
    virtual void Redraw() {}
};

// The captions of a dialog's (or the main form's) controls, by control id.
class IControlTexts {
public:
    virtual ~IControlTexts() = default;
    virtual std::string ControlText(int controlId) const = 0;
    virtual void SetControlText(int controlId, const std::string& text) = 0;
};

// A dialog's table of control and text number.
struct ControlTextNumber {
    int controlId;
    int number;
};

// One of the 28 languages: index 0 English (no file), 1..27 from
// languages/<fileName>.lng.
struct LanguageInfo {
    const char* fileName;
    int menuCommand;        // command of its item in the Language menu
    int menuTextNumber;     // text number of that item
    int primaryLanguageId;  // the platform's primary language id choosing it at first start
};
inline constexpr int kLanguageCount = 28;
const std::array<LanguageInfo, kLanguageCount>& Languages();
// The language index of a Language menu command, -1 for another command.
int LanguageIndexForCommand(int menuCommand);

// A menu item bound to a text number: the item at positions pos[0..depth-1]
// from the menu bar (top-level menu, item, submenu item).
struct MenuTextRow {
    int depth;
    int pos[3];
    int number;
};
inline constexpr int kMenuTextRowCount = 65;
const std::array<MenuTextRow, kMenuTextRowCount>& MenuTextRows();

// The English text built into the program for a number ("" when it has none;
// menu items have theirs here too, so the menu bar can be built from them).
std::string BuiltinEnglishText(int number);

// The plain form of a text: without "&", without a final "...", without
// trailing colons ("&About Korvane..." gives "About Korvane").
std::string PlainText(const std::string& text);

class CLanguageTable {
public:
    // English texts built in, every language available, English current.
    // Language files are looked for in languages/ of the user's folder, then
    // of the shipped one (ProgramDataFolders()).
    CLanguageTable();
    // Language files are looked for in `languageFolder` (tests, tools).
    explicit CLanguageTable(std::string languageFolder);

    // The text numbers in their fixed order (a number's position is its
    // row in every table).
    static const std::vector<int>& TextNumbers();
    // The row of a number, -1 when it is not in the list.
    static int RowOf(int number);

    // The text in the current language, else English; "???" for a number not
    // in the list or while the current language is unavailable.
    std::string GetText(int number, bool plain = false) const;
    // Stores the English text of a number in the list (no effect otherwise).
    void SetEnglishText(int number, const std::string& text);
    // Captions one control: an empty English row first takes the control's
    // caption; then the current language's own text (plain form if asked),
    // when not empty, becomes the caption.
    void SetControlText(IControlTexts& controls, int controlId, int number, bool plain = false);
    // SetControlText for every row of a dialog's table.
    void SetControlTexts(IControlTexts& controls, std::span<const ControlTextNumber> rows, bool plain = false);

    // Makes an available language current, loading its file; a file that
    // cannot be used makes English current for this run, while the language
    // stays the chosen one (GetChosenLanguage). Unavailable or unknown
    // indices change nothing.
    void SelectLanguage(int index);
    // English first, then the first language with that primary language id
    // (the platform's user-interface language id & 0x3FF).
    void SelectLanguageForSystem(int primaryLanguageId);
    int GetCurrentLanguage() const { return current_; }
    // The language to keep in the settings: the last one selected, also when
    // its file could not be used in this run.
    int GetChosenLanguage() const { return chosen_; }
    bool IsLanguageAvailable(int index) const;

    // Once, at the main view's start: the English table from the built-in
    // texts and the menu bar's own texts, then the language files probed.
    void BuildEnglishTable(IMenuText& menuBar);
    // A language is available when its file can be opened for reading. A
    // current language that became unavailable gives way to English.
    void ProbeLanguageFiles();
    // Rewrites the bound menu items in the current language, then redraws.
    void TranslateMenu(IMenuText& menuBar) const;

    std::string LanguageFilePath(int index) const;

private:
    bool LoadLanguageFile(int index);
    void FillBuiltinEnglish();

    std::string folder_;  // empty: ProgramFolder()/languages
    int current_ = 0;
    int chosen_ = 0;
    std::array<std::vector<std::string>, kLanguageCount> tables_;
    std::array<bool, kLanguageCount> available_{};
};

// The program-wide language table.
CLanguageTable& Language();

// A text with each "%s" in turn replaced by the next of `parts` (a "%s"
// inside a part stays as it is; placeholders beyond the parts stay too).
std::string FillTextPlaceholders(const std::string& text, std::initializer_list<std::string> parts);
