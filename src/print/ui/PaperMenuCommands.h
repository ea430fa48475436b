#pragma once
// Commands of the paper's pop-up menu; the paper posts the chosen one to the
// main view, which acts on the slot whose paper owns the menu.

namespace Cmd {
inline constexpr int PaperLoad = 32811;
inline constexpr int PaperPaste = 32839;
inline constexpr int PaperRotateCw = 32833;
inline constexpr int PaperRotateCcw = 32834;
inline constexpr int PaperNew = 32814;
inline constexpr int PaperPrint = 32815;
inline constexpr int PaperFindCover = 32862;
inline constexpr int PaperScanCover = 32863;
}  // namespace Cmd
