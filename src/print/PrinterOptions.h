#pragma once
// A printer's paper sources, media types and paper sizes as its driver offers
// them, the numbers by which cover formats name them (PAPERSOURCE, MEDIATYPE),
// and the printer settings that print jobs use for the rest of the run.
//
// Numbers: a choice with a standard meaning gets the number that Korvane.dat
// files have always used for it (automatic source 7, manual feed 4, plain
// paper 1, glossy 3, ...); any other choice gets 256 + its position in the
// driver's list (the first driver-specific choice is 256). See
// StandardSourceNumber and StandardMediaNumber.
#include <string>
#include <utility>
#include <vector>

// Number of the list entry "Use printer default".
inline constexpr int kPrinterDefaultChoice = -1;
// First number of a driver's own choices: 256 + position in its list.
inline constexpr int kFirstDriverChoice = 256;

struct PrinterChoice {
    std::string keyword;  // the driver's name for it (PPD choice or IPP keyword)
    std::string text;     // the name shown to the user
    int number = kPrinterDefaultChoice;
    bool operator==(const PrinterChoice&) const = default;
};

struct PaperChoice {
    std::string keyword;  // PPD PageSize choice or IPP media name
    std::string text;
    double widthMm = 0;
    double heightMm = 0;
    bool operator==(const PaperChoice&) const = default;
};

// What one printer offers, in the driver's order.
struct PrinterCapabilities {
    std::string printer;                   // queue name
    std::string sourceOption = "InputSlot";  // job option that selects a source
    std::string mediaOption = "MediaType";   // ... a media type
    std::string paperOption = "PageSize";    // ... a paper size
    std::vector<PrinterChoice> sources;
    std::vector<PrinterChoice> mediaTypes;
    std::vector<PaperChoice> papers;
    std::string defaultPaper;  // keyword of the driver's default paper, may be empty
    int resolution = 0;        // the driver's default dots per inch, 0 when unknown
};

// The standard number of a paper source keyword, 0 when it has none
// (upper 1, lower 2, middle 3, manual 4, envelope 5, envelope manual 6,
// automatic 7, tractor 8, small format 9, large format 10, large capacity 11,
// cassette 14, form source 15). Case, '-' and '_' are ignored.
int StandardSourceNumber(const std::string& keyword);
// The standard number of a media type keyword, 0 when it has none
// (plain 1, transparency 2, glossy 3).
int StandardMediaNumber(const std::string& keyword);

// Gives every choice its number, in list order: the standard number of its
// keyword unless an earlier choice already took it, else 256 + its position.
void NumberSources(std::vector<PrinterChoice>& sources);
void NumberMediaTypes(std::vector<PrinterChoice>& mediaTypes);

// The choice with that number, or null.
const PrinterChoice* ChoiceByNumber(const std::vector<PrinterChoice>& list, int number);

// The disc tray's pieces, where the printer has them (else null / -1):
// the first paper whose name holds "cd-r tray" (case ignored), else the first
// disc-sized square paper (115 to 130 mm a side); the input slot and the
// media type whose names speak of a disc (CD, DVD, disc).
const PaperChoice* FindDiscPaper(const std::vector<PaperChoice>& papers);
const PrinterChoice* FindDiscSource(const std::vector<PrinterChoice>& sources);
const PrinterChoice* FindDiscMedia(const std::vector<PrinterChoice>& mediaTypes);

// The printer the program prints to and what it has set on it; kept for the
// whole run, so a source chosen for one job stays for the next.
class CPrinterSettings {
public:
    // The chosen queue ("" = the system's default printer).
    const std::string& PrinterName() const { return printerName_; }
    // Choosing another printer forgets what was set on the previous one.
    void SelectPrinter(const std::string& name);

    // Job options (option name, value) in the order they were first set.
    const std::vector<std::pair<std::string, std::string>>& JobOptions() const { return options_; }
    void SetJobOption(const std::string& name, const std::string& value);
    void RemoveJobOption(const std::string& name);
    // "" when the option is not set.
    std::string JobOption(const std::string& name) const;

    // The paper size (a paper keyword of the printer), "" = leave it.
    const std::string& PaperKeyword() const { return paperKeyword_; }
    void SetPaperKeyword(const std::string& keyword) { paperKeyword_ = keyword; }

    void Clear();

private:
    std::string printerName_;
    std::string paperKeyword_;
    std::vector<std::pair<std::string, std::string>> options_;
};

// The program-wide printer settings.
CPrinterSettings& AppPrinterSettings();

// Sets the paper source and the media type by their numbers; -1 leaves that
// setting as it is, and so does a number the printer has no choice for.
// Returns true when anything was set.
bool ApplyMediaAndSource(CPrinterSettings& settings, const PrinterCapabilities& caps,
                         int mediaType, int paperSource);
// Sets the disc tray's paper size, input slot and media type, each where the
// printer has one; leaves the rest alone. Returns true when anything was set.
bool ApplyDiscTrayPreset(CPrinterSettings& settings, const PrinterCapabilities& caps);

// What a job of a cover format needs: the disc-tray preset for a "CD_TRAY"
// format (discTray), then its media type and paper source (-1 = leave).
void ApplyPrinterRequest(CPrinterSettings& settings, const PrinterCapabilities& caps,
                         bool discTray, int mediaType, int paperSource);
