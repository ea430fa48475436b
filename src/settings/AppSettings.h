#pragma once
// The running values of the settings: read from the settings store at the
// moments the program starts and its main view starts, changed in memory
// during the run (the options dialog, the view's controls), and written back
// when the view closes, the main window is destroyed and the program exits.
#include <string>
#include <vector>

#include "base/VersionNumber.h"
#include "settings/SettingsStore.h"

// The program's version text and number (the hundredths it names: 123).
inline constexpr const char* kVersionText = "1.23";
// VersionNumber(kVersionText): 123.
int CurrentVersionNumber();

struct AppSettings {
    // Read at start (section Options unless noted).
    int language = -1;            // Options/Language; -1: follow the system's language
    int lastRanVersion = 0;       // Settings/LastRanVersion: the previous run's version
    std::string leftAutoFiles = "front;front + inside;-f";
    std::string rightAutoFiles = "back;back;-b";
    std::vector<std::string> leftKeywords;   // leftAutoFiles split (SplitAutoFiles)
    std::vector<std::string> rightKeywords;  // rightAutoFiles split
    int showSplash = 1;
    int grayScale = 0;
    int checkForUpdates = 1;      // read at start and again at view start
    int useProxy = 0;
    std::string proxy = "server:port";

    // Read at view start.
    int drawCutAndFoldLines = 1;
    int autoRotate = 1;
    int batchMode = 0;
    int checkForPrintableArea = 1;
    int maskPrintJobName = 0;
    std::string printJobName = "Microsoft Word - Document1";
    int autoLoad2ndImage = 1;
    int reloadOnStartup = 1;
    std::string recentFileLeft;
    std::string recentFileRight;
    int autoDetectFormat = 1;
    int lastUsedLeftFormat = 0;   // the view validates these against the format count
    int lastUsedRightFormat = 0;
    int selectedSkin = -1;
    int printBorder = 1;          // key "Print Border"
    int pictureFit = 0;           // PictureFit: a slot's start, 0 stretch, 1 fit, 2 fill
    double bleedMm = 0.0;         // BleedMm: 0 to 3 millimetres beyond the cut lines

    // Main window placement (section Position).
    int positionX = -1;           // -1 centres the window
    int positionY = 0;

    // Read at view start, added since: Options/RecentPictures, the pictures
    // last opened into either slot, most recent first (kMaxRecentPictures).
    std::vector<std::string> recentPictures;
};

inline constexpr int kMaxRecentPictures = 8;
// A picture opened into a slot goes to the top of the recent pictures; one
// that was there already moves up; the oldest beyond the eighth drop out.
void RememberRecentPicture(AppSettings& s, const std::string& path);
// The recent pictures as one settings value and back: paths joined by ";",
// each with "%", ";" and control characters written as "%" and two hex digits.
std::string JoinRecentPictures(const std::vector<std::string>& paths);
std::vector<std::string> SplitRecentPictures(const std::string& value);

// The program-wide running values.
AppSettings& RunningValues();

// Cuts a keyword list at every semicolon: each piece before a semicolon is an
// entry even when empty, the piece after the last one only when not empty.
std::vector<std::string> SplitAutoFiles(const std::string& text);
// Splits leftAutoFiles and rightAutoFiles into their keyword lists (at start
// and whenever the options dialog closes).
void SplitAutoFileKeywords(AppSettings& s);

// Start-up, before any window: Language, LastRanVersion, LeftAutoFiles,
// RightAutoFiles (then split), ShowSplash, GrayScale, CheckForUpdates,
// UseProxy, Proxy. The caller then chooses the language from `language`.
void ReadStartSettings(AppSettings& s, CSettingsStore& store = Settings());
// The main view's initialisation: DrawCutAndFoldLines, AutoRotate, BatchMode,
// CheckForPrintableArea, MaskPrintJobName, PrintJobName, Autoload2ndImage,
// ReloadOnStartup, RecentFileLeft, RecentFileRight, AutoDetectFormat,
// LastUsedLeftFormat, LastUsedRightFormat, SelectedSkin, "Print Border",
// CheckForUpdates.
void ReadViewStartSettings(AppSettings& s, CSettingsStore& store = Settings());
// At shut-down the main window is destroyed before the view inside it:
// WriteWindowPosition, then WriteViewCloseSettings, then WriteExitSettings.
// Main window creation and destruction: Position/X and Position/Y.
void ReadWindowPosition(AppSettings& s, CSettingsStore& store = Settings());
void WriteWindowPosition(const AppSettings& s, CSettingsStore& store = Settings());
// The main view's destruction, in this order: CheckForPrintableArea,
// DrawCutAndFoldLines, AutoRotate, MaskPrintJobName, AutoLoad2ndImage,
// ReloadOnStartup, RecentFileLeft, RecentFileRight (quoted strings),
// AutoDetectFormat, BatchMode, LastUsedLeftFormat, LastUsedRightFormat,
// SelectedSkin, "Print Border", CheckForUpdates, then the options dialog's
// typed values: PrintJobName, LeftAutoFiles, RightAutoFiles (quoted
// strings), UseProxy, Proxy; last RecentPictures, only while there are any
// (a run that opens no picture leaves the file as it was). The view copies its own
// state (drawCutLines, leftFormat, rightFormat, ...) into `s` first.
void WriteViewCloseSettings(const AppSettings& s, CSettingsStore& store = Settings());
// The program's exit: ShowSplash, GrayScale, Settings/LastRanVersion (123),
// Options/Language (`currentLanguage`, the language table's current index),
// then the file is saved. Returns SaveCfgFile's result.
bool WriteExitSettings(const AppSettings& s, int currentLanguage, CSettingsStore& store = Settings());

// The image open dialog's own settings, read when it opens and written as
// they change during the run.
int ReadShowPreview(CSettingsStore& store = Settings());  // Options/ShowPreview, default 1
void WriteShowPreview(int show, CSettingsStore& store = Settings());
// Paths/LastUsed, default "": the folder of the image last loaded by the user.
std::string ReadLastUsedFolder(CSettingsStore& store = Settings());
void WriteLastUsedFolder(const std::string& folder, CSettingsStore& store = Settings());
