#pragma once
// The line grammar of the formats file (Korvane.dat), shared by the reader
// and the writer: what kind a line is, which keyword a key names, and the
// forgiving number and token readers.
#include <string>
#include <vector>

// The closing comment block of the file starts at the first occurrence of this.
inline constexpr const char* kTrailerMarker = "; ******";

// Keywords in the order in which they are tested; the first keyword that the
// upper-cased key contains wins ("PAPERSOURCE" before "PAPER", "MEDIATYPE"
// before "TYPE", "POSITION2" before "POSITION", "HOLESIZE" before "SIZE").
enum class FormatKeyword {
    None,
    Spine,
    PaperSource,
    MediaType,
    Type,
    Autodetect,
    Remap,
    Paper,
    CalibrateX,
    CalibrateY,
    HoleSize,
    TranslationId,
    Size,
    Position2,
    Position,
    Line,
    Rect,
    Label,
};

FormatKeyword MatchFormatKeyword(const std::string& upperKey);

// The file's lines as the program reads them: a line ends at LF, every CR
// is dropped, and a UTF-8 byte-order mark that an editor may have put at the
// start is not part of the first line.
std::vector<std::string> SplitFormatLines(const std::string& bytes);

enum class FormatLineKind {
    Skipped,  // empty, or a comment (first character ";")
    Section,  // first character "["
    Key,      // contains "="
    Other,    // no "=": ignored without a message
};

FormatLineKind ClassifyFormatLine(const std::string& line);

// Upper-cases the letters a-z only; other bytes (UTF-8 included) stay as they are.
std::string UpperAscii(std::string text);

// A key line split at its first "=": key before it, value from it on (the
// "=" included), both upper-cased.
struct FormatKeyLine {
    std::string key;
    std::string value;
    bool inches = false;  // the key contains "INCHES"
    FormatKeyword keyword = FormatKeyword::None;
};
FormatKeyLine SplitFormatKeyLine(const std::string& line);

// The n-th number (n from 1) of an upper-cased value. A keyword TOP, LEFT,
// RIGHT, BOTTOM, MIN or MAX anywhere after the n-th number's start gives its
// marker (never scaled). With `inches` numbers are multiplied by 25.4.
// Returns false and result 0 when there is no such number.
bool readNumber(const std::string& value, int n, bool inches, double& result);

// The n-th token of a value (n from 1): the text after the n-th separator
// ("=", blank, ",", "(", ")", "[", "]") up to the next separator other than
// "=". With n = -1 the text after the first "=" with leading blanks removed.
bool readToken(const std::string& value, int n, std::string& token);

// A double truncated toward zero into an int, saturating at the int range.
int TruncateToInt(double value);
