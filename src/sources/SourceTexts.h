#pragma once
// Text numbers of the cover sources: the two commands, the cover search
// dialog and its messages, the scan dialog.
namespace SourceText {
inline constexpr int FindCoverCommand = 9720;
inline constexpr int ScanCoverCommand = 9721;
inline constexpr int SearchTitle = 9722;
inline constexpr int Artist = 9723;
inline constexpr int Album = 9724;
inline constexpr int Search = 9725;
inline constexpr int Drive = 9726;
inline constexpr int ReadDisc = 9727;
inline constexpr int UseCovers = 9728;
inline constexpr int Searching = 9729;
inline constexpr int NoRelease = 9730;
inline constexpr int NoArt = 9731;
inline constexpr int NoConnection = 9732;  // Qt's words
inline constexpr int Refused = 9733;       // status
inline constexpr int TimedOut = 9734;
inline constexpr int Malformed = 9735;     // reason
inline constexpr int NoDrive = 9736;
inline constexpr int NoDisc = 9737;        // libdiscid's words
inline constexpr int ArtistColumn = 9738;
inline constexpr int TitleColumn = 9739;
inline constexpr int YearColumn = 9740;
inline constexpr int CountryColumn = 9741;
inline constexpr int FormatColumn = 9742;
inline constexpr int TracksColumn = 9743;
inline constexpr int Downloading = 9744;
inline constexpr int ScanTitle = 9745;
inline constexpr int Scanner = 9746;
inline constexpr int Resolution = 9747;
inline constexpr int Colour = 9748;
inline constexpr int Grey = 9749;
inline constexpr int Preview = 9750;
inline constexpr int Scan = 9751;
inline constexpr int Crop = 9752;
inline constexpr int NoScanner = 9753;
inline constexpr int ScanFailed = 9754;    // SANE's words
inline constexpr int ScannedLabel = 9755;
inline constexpr int Into = 9756;
inline constexpr int LeftImage = 9757;
inline constexpr int RightImage = 9758;
inline constexpr int TooLarge = 9759;
inline constexpr int Cancel = 9555;        // the Print Setup dialog's
}  // namespace SourceText
