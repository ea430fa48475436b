#include "formats/FormatsGrammar.h"

#include "base/Length.h"
#include "formats/CoverFormat.h"
#include "formats/NumberText.h"

#include <climits>
#include <cmath>
#include <string_view>

namespace {
struct KeywordName {
    const char* text;
    FormatKeyword keyword;
};

constexpr KeywordName kKeywords[] = {
    {"SPINE", FormatKeyword::Spine},
    {"PAPERSOURCE", FormatKeyword::PaperSource},
    {"MEDIATYPE", FormatKeyword::MediaType},
    {"TYPE", FormatKeyword::Type},
    {"AUTODETECT", FormatKeyword::Autodetect},
    {"REMAP", FormatKeyword::Remap},
    {"PAPER", FormatKeyword::Paper},
    {"CALIBRATEX", FormatKeyword::CalibrateX},
    {"CALIBRATEY", FormatKeyword::CalibrateY},
    {"HOLESIZE", FormatKeyword::HoleSize},
    {"TRANSLATION_ID", FormatKeyword::TranslationId},
    {"SIZE", FormatKeyword::Size},
    {"POSITION2", FormatKeyword::Position2},
    {"POSITION", FormatKeyword::Position},
    {"LINE", FormatKeyword::Line},
    {"RECT", FormatKeyword::Rect},
    {"LABEL", FormatKeyword::Label},
};

constexpr std::string_view kNumberStart = "0123456789+-.";
constexpr std::string_view kNumberEnd = "(), ";

bool contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }
}  // namespace

FormatKeyword MatchFormatKeyword(const std::string& upperKey) {
    for (const KeywordName& k : kKeywords)
        if (contains(upperKey, k.text)) return k.keyword;
    return FormatKeyword::None;
}

std::vector<std::string> SplitFormatLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line;
        line.reserve(end - start);
        for (std::size_t i = start; i < end; ++i)
            if (bytes[i] != '\r') line += bytes[i];
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

FormatLineKind ClassifyFormatLine(const std::string& line) {
    if (line.empty() || line[0] == ';') return FormatLineKind::Skipped;
    if (line[0] == '[') return FormatLineKind::Section;
    if (line.find('=') != std::string::npos) return FormatLineKind::Key;
    return FormatLineKind::Other;
}

std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

FormatKeyLine SplitFormatKeyLine(const std::string& line) {
    FormatKeyLine k;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return k;
    k.key = UpperAscii(line.substr(0, eq));
    k.value = UpperAscii(line.substr(eq));
    k.inches = contains(k.key, "INCHES");
    k.keyword = MatchFormatKeyword(k.key);
    return k;
}

bool readNumber(const std::string& value, int n, bool inches, double& result) {
    result = 0;
    if (n < 1) return false;
    // Walk to the n-th number: each step starts where the previous number
    // ended (at its first end character), or at the previous start when the
    // number runs to the end of the value, so that number is found again.
    std::string_view s = value;
    std::size_t p = 0;
    for (int k = 0; k < n; ++k) {
        s = s.substr(p == std::string_view::npos ? 0 : p);
        const std::size_t start = s.find_first_of(kNumberStart);
        if (start == std::string_view::npos) break;  // the remainder is what is left of s
        s = s.substr(start);
        p = s.find_first_of(kNumberEnd);
    }
    const std::string_view r = s;
    if (contains(r, "TOP")) return result = EDGE_TOP, true;
    if (contains(r, "LEFT")) return result = EDGE_LEFT, true;
    if (contains(r, "RIGHT")) return result = EDGE_RIGHT, true;
    if (contains(r, "BOTTOM")) return result = EDGE_BOTTOM, true;
    if (contains(r, "MIN")) return result = MARKER_MIN, true;
    if (contains(r, "MAX")) return result = MARKER_MAX, true;
    const std::size_t start = r.find_first_of(kNumberStart);
    if (start == std::string_view::npos) return false;
    double v = 0;
    if (!ParseDecimalPrefix(r.substr(start), v)) return false;  // too large to use
    result = inches ? v * kMmPerInch : v;
    if (!std::isfinite(result)) {  // inches on a number near the double limit
        result = 0;
        return false;
    }
    return true;
}

bool readToken(const std::string& value, int n, std::string& token) {
    token.clear();
    const std::size_t eq = value.find('=');
    if (eq == std::string::npos) return false;
    std::string_view s = std::string_view(value).substr(eq + 1);
    if (n == -1) {
        const std::size_t first = s.find_first_not_of(' ');
        token = first == std::string_view::npos ? std::string() : std::string(s.substr(first));
        return true;
    }
    if (n < 1) return false;
    for (int k = 1; k <= n; ++k) {
        const std::size_t sep = s.find_first_of("= ,()[]");
        if (sep == std::string_view::npos) return false;
        s = s.substr(sep + 1);
        if (k == n) {
            token = std::string(s.substr(0, s.find_first_of(" ,()[]")));
            return true;
        }
    }
    return false;
}

int TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}
