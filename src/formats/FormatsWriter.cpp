// Writing a CoverFormatList back to the formats file.
#include "formats/CoverFormatList.h"
#include "formats/FormatsGrammar.h"
#include "formats/NumberText.h"
#include "settings/AtomicFile.h"

namespace {
const std::string kSeparator = ";" + std::string(77, '-');

// One decimal, without the ".0" of whole numbers: "120", "118.5", "-0".
std::string length(double v) {
    std::string s = FormatFixed1(v);
    if (s.size() >= 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
    return s;
}

// The value a written length reads back as.
double writtenValue(double v) {
    double r = 0;
    ParseDecimalPrefix(FormatFixed1(v), r);
    return r;
}

// Names and types are written on one line and must not start the trailer
// early: line breaks are dropped and the trailer marker is broken up.
std::string freeText(const std::string& text) {
    std::string s;
    for (char c : text)
        if (c != '\r' && c != '\n') s += c;
    for (std::size_t at = s.find(kTrailerMarker); at != std::string::npos; at = s.find(kTrailerMarker))
        s.erase(at + 1, 1);
    return s;
}

std::string key(const char* name) {
    std::string k = name;
    if (k.size() < 10) k.resize(10, ' ');
    return k + " = ";
}

void put(std::string& out, const std::string& text) {
    out += text;
    out += "\r\n";
}

const char* solidText(int solid) { return solid ? "SOLID" : "DASHED"; }

// Edge markers are chosen by the whole-number part of x1; a custom line whose
// written x1 would read back as an edge is written as that edge, so that
// saving again gives the same file.
const char* edgeName(double x1) {
    auto edge = [](double v) -> const char* {
        if (!(v >= EDGE_LEFT && v < EDGE_BOTTOM + 1)) return nullptr;
        static const char* const names[] = {"LEFT", "RIGHT", "TOP", "BOTTOM"};
        return names[static_cast<int>(v) - static_cast<int>(EDGE_LEFT)];
    };
    const char* e = edge(x1);
    return e ? e : edge(writtenValue(x1));
}

std::string positionValue(double x, double y) {
    // 5000.0 is the automatic marker: a manual value that would be written
    // as 5000 is automatic once read back, so it is written as such.
    if (x == AUTO_POSITION || writtenValue(x) == AUTO_POSITION) return "AUTO";
    return length(x) + ", " + length(y);
}

void writeFormat(std::string& out, const CoverFormat& f, const std::vector<CoverFormat>& all) {
    put(out, kSeparator);
    put(out, "[" + freeText(f.name) + "]");
    if (f.type == "CD_TRAY") put(out, key("PAPER") + length(f.paperWidth) + ", " + length(f.paperHeight));
    put(out, key("SIZE") + length(f.width) + ", " + length(f.height));
    put(out, key("POSITION") + positionValue(f.leftX, f.leftY));
    put(out, key("POSITION2") + positionValue(f.rightX, f.rightY));
    if (f.spine != NO_SPINE) put(out, key("SPINE") + length(f.spine));
    if (f.label) {
        put(out, key("LABEL") + "YES");
        put(out, key("HOLESIZE") + length(f.holeSize));
    }
    if (!f.autodetect)
        put(out, key("AUTODETECT") + "NO");
    else if (f.detectWidth > 0.01 && writtenValue(f.detectWidth) > 0.01)
        put(out, key("AUTODETECT") + "YES, " + length(f.detectWidth) + ", " + length(f.detectHeight));
    else
        put(out, key("AUTODETECT") + "YES");
    // A link to a format that no longer exists is not written.
    if (f.remapIndex >= 0 && f.remapIndex < static_cast<int>(all.size()))
        put(out, key("REMAP") + freeText(all[static_cast<std::size_t>(f.remapIndex)].name));
    put(out, "TYPE\t   = " + freeText(f.type));
    if (f.paperSource != -1) put(out, "PAPERSOURCE = " + std::to_string(f.paperSource));
    if (f.mediaType != -1) put(out, "  MEDIATYPE = " + std::to_string(f.mediaType));
    put(out, "TRANSLATION_ID = " + std::to_string(f.translationId));
    for (const CutLine& l : f.lines) {
        const char* edge = edgeName(l.x1);
        const std::string where = edge ? std::string(edge)
                                       : "(" + length(l.x1) + ", " + length(l.y1) + ")(" + length(l.x2) + ", " +
                                             length(l.y2) + ")";
        put(out, key("LINE") + where + ", " + solidText(l.solid));
    }
    for (const CutRect& r : f.rects)
        put(out, key("RECT") + length(r.x) + ", " + length(r.y) + ", " + length(r.width) + ", " +
                     length(r.height) + ", " + solidText(r.solid));
}

// The trailer as the reader will see it again: one CR LF per line. A section
// header or a format key line below the marker has already been read into
// the list, which is written above; it is turned into a comment so that the
// next load does not add it a second time. Comments and unknown lines stay
// as they are; CALIBRATEX/Y lines stay where they are with the list's current
// values (the calibration dialog changes them).
std::string trailerText(const std::string& trailer, double calibrateX, double calibrateY, bool& setsX, bool& setsY) {
    setsX = setsY = false;
    std::string out;
    for (std::string line : SplitFormatLines(trailer)) {
        const FormatLineKind kind = ClassifyFormatLine(line);
        if (kind == FormatLineKind::Section) {
            line = "; " + line;
        } else if (kind == FormatLineKind::Key) {
            const FormatKeyword k = SplitFormatKeyLine(line).keyword;
            if (k == FormatKeyword::CalibrateX) {
                setsX = true;
                line = "CALIBRATEX = " + FormatShortest(calibrateX);
            } else if (k == FormatKeyword::CalibrateY) {
                setsY = true;
                line = "CALIBRATEY = " + FormatShortest(calibrateY);
            } else if (k != FormatKeyword::None)
                line = "; " + line;
        }
        put(out, line);
    }
    return out;
}
}  // namespace

std::string CoverFormatList::fileText() const {
    std::string out;
    for (const CoverFormat& f : formats) writeFormat(out, f, formats);

    bool trailerSetsX = false, trailerSetsY = false;
    const std::string closing = trailerText(trailer, calibrateX, calibrateY, trailerSetsX, trailerSetsY);
    // Calibration read from between the sections would otherwise be lost.
    if (calibrateX != 0 && !trailerSetsX) put(out, "CALIBRATEX = " + FormatShortest(calibrateX));
    if (calibrateY != 0 && !trailerSetsY) put(out, "CALIBRATEY = " + FormatShortest(calibrateY));

    out += "\r\n";
    out += closing;
    return out;
}

int CoverFormatList::save(std::string* error) const {
    if (filePath.empty()) {
        if (error) *error = "The formats file was not found at start, so there is no file to save the formats to.";
        return 0;
    }
    return saveAs(filePath, error);
}

int CoverFormatList::saveAs(const std::string& path, std::string* error) const {
    return WriteFileAtomically(path, fileText(), error) ? 1 : 0;
}
