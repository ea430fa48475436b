#pragma once
// Command ids of the main menu, the paper pop-up menu and the main form's
// controls; the language menu's commands are in the language table, the
// paper pop-up menu's beside the paper.
#include "print/ui/PaperMenuCommands.h"

namespace Cmd {
// Main menu: File.
inline constexpr int New = 57600;
inline constexpr int OpenLeft = 32794;
inline constexpr int OpenRight = 32795;
inline constexpr int Paste = 32837;
inline constexpr int RotateLeft = 32778;
inline constexpr int RotateRight = 32779;
inline constexpr int PrintLeft = 32816;
inline constexpr int PrintRight = 32817;
inline constexpr int PrintBoth = 57607;
inline constexpr int PrintPreview = 57609;
inline constexpr int PrintSetup = 57606;
inline constexpr int Exit = 57665;
inline constexpr int FindCoverOnline = 32860;
inline constexpr int ScanCover = 32861;
// Main menu: Options.
inline constexpr int Options = 32772;
inline constexpr int SkinDefault = 32809;
inline constexpr int SkinAlternative = 32810;
inline constexpr int SkinClean = 32831;
inline constexpr int SkinRandom = 32824;
inline constexpr int SkinFolderFirst = 12345;  // 12345 ... 12355
inline constexpr int SkinFolderLast = 12355;
inline constexpr int MailTranslation = 32789;
inline constexpr int FormatEditor = 32805;
inline constexpr int EditFormatsFile = 32777;
inline constexpr int CalibrationPage = 32850;
// Main menu: Help.
inline constexpr int OnlineHelp = 32780;
inline constexpr int Website = 32781;
inline constexpr int DownloadCovers1 = 32826;
inline constexpr int DownloadCovers2 = 32827;
inline constexpr int About = 32828;
// Main menu: File, the items added since.
inline constexpr int SwapSlots = 32910;
inline constexpr int RecentFileFirst = 32911;  // 32911 ... 32918, most recent first
inline constexpr int RecentFileLast = 32918;

}  // namespace Cmd

// Controls of the main form (template 101).
namespace Ctl {
inline constexpr int LeftCombo = 1004;
inline constexpr int PrintLeft = 1005;
inline constexpr int PrintBoth = 1006;
inline constexpr int RightCombo = 1010;
inline constexpr int LeftPaper = 1015;
inline constexpr int RightPaper = 1020;
inline constexpr int SinglePageLabel = 1021;
inline constexpr int CutLinesLabel = 1022;
inline constexpr int LeftLabel = 1026;
inline constexpr int RightLabel = 1027;
inline constexpr int SinglePage = 1034;
inline constexpr int PrintRight = 1035;
inline constexpr int CutLines = 1036;
}  // namespace Ctl

// Text numbers of the main form.
namespace Txt {
inline constexpr int CaptionTail = 1000;
inline constexpr int SinglePage = 2004;
inline constexpr int CutLines = 2005;
inline constexpr int NoImage = 2006;
inline constexpr int PrintLeft = 2007;
inline constexpr int PrintBoth = 2008;
inline constexpr int PrintRight = 2009;
inline constexpr int FromClipboard = 2010;
}  // namespace Txt
