// Reading the formats file (Korvane.dat) into a CoverFormatList.
#include "formats/CoverFormatList.h"
#include "formats/FormatsGrammar.h"
#include "formats/FormatsReporter.h"

#include "settings/TextFile.h"

#include <memory>
#include <unordered_map>

namespace {
// Far more than any formats file; keeps a wrong path (a device, a huge file)
// from exhausting memory.
constexpr std::size_t kMaxFileBytes = 64u << 20;

// The file's bytes, or the message that says why there are none.
bool readWholeFile(const std::string& path, std::string& bytes, FormatsMessage& failure) {
    FileReadFailure why;
    switch (ReadWholeFile(path, kMaxFileBytes, bytes, &why)) {
    case FileReadResult::Ok:
        return true;
    case FileReadResult::Missing:
        failure = FormatsMessage{FormatsMessageKind::FileNotFound, 0, std::string()};
        break;
    case FileReadResult::TooLarge:
        failure = FormatsMessage{FormatsMessageKind::FileTooLarge, 0, std::string()};
        failure.fileBytes = why.size;
        failure.limitBytes = kMaxFileBytes;
        break;
    case FileReadResult::Unreadable:
        failure = FormatsMessage{FormatsMessageKind::FileUnreadable, 0, std::string()};
        failure.reason = why.reason;
        break;
    }
    return false;
}

struct RemapRequest {
    bool present = false;
    std::string name;          // after the "=", leading blanks removed
    std::string writtenName;   // after the "= " the writer puts before the name
};

double number(const FormatKeyLine& k, int n) {
    double v = 0;
    readNumber(k.value, n, k.inches, v);
    return v;
}

bool has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

void applyToFormat(CoverFormat& f, RemapRequest& remap, const std::string& line, const FormatKeyLine& k) {
    switch (k.keyword) {
    case FormatKeyword::Spine:
        f.spine = number(k, 1);
        break;
    case FormatKeyword::PaperSource:
        f.paperSource = TruncateToInt(number(k, 1));
        break;
    case FormatKeyword::MediaType:
        f.mediaType = TruncateToInt(number(k, 1));
        break;
    case FormatKeyword::Type: {
        std::string token;
        if (readToken(k.value, 1, token)) f.type = token;
        break;
    }
    case FormatKeyword::Autodetect:
        f.autodetect = has(k.value, "YES") ? 1 : 0;
        f.detectWidth = number(k, 1);
        f.detectHeight = number(k, 2);
        break;
    case FormatKeyword::Remap: {
        const std::string asRead = line.substr(line.find('='));
        remap.present = true;
        readToken(asRead, -1, remap.name);
        remap.writtenName = asRead.substr(asRead.size() > 1 && asRead[1] == ' ' ? 2 : 1);
        f.remapIndex = 1;  // a remap name exists; resolved after the whole file
        break;
    }
    case FormatKeyword::Paper:
        f.paperWidth = number(k, 1);
        f.paperHeight = number(k, 2);
        break;
    case FormatKeyword::HoleSize:
        f.holeSize = number(k, 1);
        break;
    case FormatKeyword::TranslationId: {
        double v = 0;
        readNumber(k.value, 1, false, v);  // a text number is never in inches
        f.translationId = TruncateToInt(v);
        break;
    }
    case FormatKeyword::Size:
        f.width = number(k, 1);
        f.height = number(k, 2);
        break;
    case FormatKeyword::Position2:
        if (has(k.value, "MIRROR"))
            f.rightX = f.rightY = MIRROR_POSITION;
        else if (has(k.value, "AUTO"))
            f.rightX = f.rightY = AUTO_POSITION;
        else
            f.rightX = number(k, 1), f.rightY = number(k, 2);
        break;
    case FormatKeyword::Position:
        if (has(k.value, "AUTO"))
            f.leftX = f.leftY = AUTO_POSITION;
        else
            f.leftX = number(k, 1), f.leftY = number(k, 2);
        break;
    case FormatKeyword::Line: {
        CutLine l;
        if (has(k.value, "LEFT"))
            l.x1 = EDGE_LEFT;
        else if (has(k.value, "RIGHT"))
            l.x1 = EDGE_RIGHT;
        else if (has(k.value, "TOP"))
            l.x1 = EDGE_TOP;
        else if (has(k.value, "BOTTOM"))
            l.x1 = EDGE_BOTTOM;
        else
            l = CutLine{number(k, 1), number(k, 2), number(k, 3), number(k, 4), 0};
        l.solid = has(k.value, "SOLID") ? 1 : 0;
        f.lines.push_back(l);
        break;
    }
    case FormatKeyword::Rect:
        f.rects.push_back(CutRect{number(k, 1), number(k, 2), number(k, 3), number(k, 4),
                                  has(k.value, "SOLID") ? 1 : 0});
        break;
    case FormatKeyword::Label:
        // Looked for in the line as read: "yes" in lower case does not count.
        f.label = line.find("YES", line.find('=')) != std::string::npos ? 1 : 0;
        break;
    case FormatKeyword::CalibrateX:
    case FormatKeyword::CalibrateY:
    case FormatKeyword::None:
        break;
    }
}

// Each name's first format, for REMAP lookups in time linear in the file.
class FirstByName {
public:
    explicit FirstByName(const std::vector<CoverFormat>& formats) {
        index_.reserve(formats.size());
        for (std::size_t j = 0; j < formats.size(); ++j) index_.emplace(formats[j].name, static_cast<int>(j));
    }
    int find(const std::string& name) const {
        const auto it = index_.find(name);
        return it == index_.end() ? -1 : it->second;
    }

private:
    std::unordered_map<std::string, int> index_;
};
}  // namespace

bool CoverFormatList::load(const std::string& path, CFormatsReporter& reporter) {
    std::string bytes;
    FormatsMessage failure;
    if (!readWholeFile(path, bytes, failure)) {
        reporter.report(failure);
        return false;
    }
    loadText(bytes, path, reporter);
    return true;
}

void CoverFormatList::loadText(const std::string& bytes, const std::string& path, CFormatsReporter& reporter) {
    filePath = path;
    trailer.clear();
    const std::vector<std::string> lines = SplitFormatLines(bytes);

    // The closing comment block is kept verbatim for the writer; its lines are
    // still read like all others.
    std::string joined;
    for (const std::string& line : lines) joined += line + "\r\n";
    const std::size_t marker = joined.find(kTrailerMarker);
    if (marker != std::string::npos) trailer = joined.substr(marker);

    const std::size_t firstNew = formats.size();
    std::vector<RemapRequest> remaps;  // one per section read here
    std::unique_ptr<CoverFormat> current;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& line = lines[n];
        switch (ClassifyFormatLine(line)) {
        case FormatLineKind::Section:
            if (current) formats.push_back(std::move(*current));
            // The name is the line without its first and last character.
            current = std::make_unique<CoverFormat>(
                CoverFormat::FromFileSection(line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string()));
            remaps.emplace_back();
            break;
        case FormatLineKind::Key: {
            const FormatKeyLine k = SplitFormatKeyLine(line);
            if (k.keyword == FormatKeyword::None) {
                reporter.report(FormatsMessage{FormatsMessageKind::InvalidKeyword, n + 1, line});
            } else if (k.keyword == FormatKeyword::CalibrateX) {
                calibrateX = number(k, 1);
            } else if (k.keyword == FormatKeyword::CalibrateY) {
                calibrateY = number(k, 1);
            } else if (current) {
                applyToFormat(*current, remaps.back(), line, k);
            }
            // A format keyword before the first section has nothing to apply to.
            break;
        }
        case FormatLineKind::Skipped:
        case FormatLineKind::Other:
            break;
        }
    }
    if (current) formats.push_back(std::move(*current));

    // REMAP names the target by its exact section name; the first format of
    // that name wins, and a name that matches none leaves -1. A name the
    // writer wrote for a target whose name begins with blanks is found by its
    // written form.
    const FirstByName byName(formats);
    for (std::size_t s = 0; s < remaps.size(); ++s) {
        if (!remaps[s].present) continue;
        CoverFormat& f = formats[firstNew + s];
        f.remapIndex = byName.find(remaps[s].name);
        if (f.remapIndex == -1 && remaps[s].writtenName != remaps[s].name)
            f.remapIndex = byName.find(remaps[s].writtenName);
    }
    reporter.finish();
}
