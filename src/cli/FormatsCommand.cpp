// korvane-cli formats [FILE] [--rewrite OUT]: reads a formats file as the
// program does, prints it as JSON, reports each message the program would
// show as "FILE:LINE: text" on stderr, and can write it back as the format
// editor does.
#include "cli/CliCommand.h"
#include "cli/PaperOptions.h"
#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"
#include "formats/NumberText.h"
#include "settings/ProgramFolder.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {
// Length of the well-formed UTF-8 sequence at s[i], or 0.
std::size_t utf8Length(const std::string& s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = b(i);
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) n = 2;
    else if (c >= 0xE0 && c <= 0xEF) n = 3, lo = c == 0xE0 ? 0xA0 : 0x80, hi = c == 0xED ? 0x9F : 0xBF;
    else if (c >= 0xF0 && c <= 0xF4) n = 4, lo = c == 0xF0 ? 0x90 : 0x80, hi = c == 0xF4 ? 0x8F : 0xBF;
    else return 0;
    if (i + n > s.size()) return 0;
    if (b(i + 1) < lo || b(i + 1) > hi) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (b(i + k) < 0x80 || b(i + k) > 0xBF) return 0;
    return n;
}

// A JSON string: UTF-8 passes through; control characters, quotes and
// backslashes are escaped; a byte that is not part of well-formed UTF-8 is
// shown as the character with the same code (\u00XX), the file being 8-bit text.
std::string jsonString(const std::string& s) {
    std::string out = "\"";
    char esc[8];
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else if (c >= 0x80) {
            const std::size_t n = utf8Length(s, i);
            if (n == 0) {
                std::snprintf(esc, sizeof esc, "\\u%04x", c);
                out += esc;
            } else {
                out.append(s, i, n);
                i += n;
                continue;
            }
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
    return out + "\"";
}

// Shortest text that reads back to the same double; JSON has no NaN or infinity.
std::string jsonNumber(double v) { return std::isfinite(v) ? FormatShortest(v) : "null"; }

std::string field(const char* name, const std::string& value) { return std::string("\"") + name + "\": " + value; }

// An array with one object per row, or "[]".
std::string rows(const std::vector<std::string>& items) {
    if (items.empty()) return "[]";
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ",\n        " : "\n        ") + items[i];
    return out + "\n      ]";
}

std::string formatJson(const CoverFormat& f) {
    std::vector<std::string> lines, rects;
    for (const CutLine& l : f.lines) {
        lines.push_back("{" + field("x1", jsonNumber(l.x1)) + ", " + field("y1", jsonNumber(l.y1)) + ", " +
                 field("x2", jsonNumber(l.x2)) + ", " + field("y2", jsonNumber(l.y2)) + ", " +
                 field("solid", std::to_string(l.solid)) + "}");
    }
    for (const CutRect& r : f.rects) {
        rects.push_back("{" + field("x", jsonNumber(r.x)) + ", " + field("y", jsonNumber(r.y)) + ", " +
                 field("width", jsonNumber(r.width)) + ", " + field("height", jsonNumber(r.height)) + ", " +
                 field("solid", std::to_string(r.solid)) + "}");
    }
    const std::string sep = ",\n      ";
    return "    {\n      " + field("name", jsonString(f.name)) + sep + field("leftX", jsonNumber(f.leftX)) + sep +
           field("leftY", jsonNumber(f.leftY)) + sep + field("rightX", jsonNumber(f.rightX)) + sep +
           field("rightY", jsonNumber(f.rightY)) + sep + field("width", jsonNumber(f.width)) + sep +
           field("height", jsonNumber(f.height)) + sep + field("detectWidth", jsonNumber(f.detectWidth)) + sep +
           field("detectHeight", jsonNumber(f.detectHeight)) + sep +
           field("paperWidth", jsonNumber(f.paperWidth)) + sep + field("paperHeight", jsonNumber(f.paperHeight)) +
           sep + field("label", std::to_string(f.label)) + sep + field("autodetect", std::to_string(f.autodetect)) +
           sep + field("holeSize", jsonNumber(f.holeSize)) + sep + field("lines", rows(lines)) + sep +
           field("rects", rows(rects)) + sep + field("type", jsonString(f.type)) + sep +
           field("remapIndex", std::to_string(f.remapIndex)) + sep + field("spine", jsonNumber(f.spine)) + sep +
           field("paperSource", std::to_string(f.paperSource)) + sep +
           field("mediaType", std::to_string(f.mediaType)) + sep +
           field("translationId", std::to_string(f.translationId)) + "\n    }";
}

std::string listJson(const CoverFormatList& list) {
    std::string formats;
    for (const CoverFormat& f : list.formats) {
        if (!formats.empty()) formats += ",\n";
        formats += formatJson(f);
    }
    return "{\n  \"formats\": [" + (formats.empty() ? std::string() : "\n" + formats + "\n  ") + "],\n  " +
           field("calibrateX", jsonNumber(list.calibrateX)) + ",\n  " +
           field("calibrateY", jsonNumber(list.calibrateY)) + ",\n  " + field("trailer", jsonString(list.trailer)) +
           "\n}\n";
}

int runFormats(CCliArgs& args) {
    std::string rewrite;
    const bool hasRewrite = args.TakeValue("rewrite", rewrite);
    const std::vector<std::string> files = args.TakeOperands();
    if (files.size() > 1)
        args.SetError("one formats file at most, not '" + files[1] + "' as well");
    if (hasRewrite && rewrite.empty())
        args.SetError("--rewrite needs a file name");
    std::string error;
    if (!args.Finish(error))
        return CliUsageError("formats", error);
    // Without a file: the Korvane.dat the program itself reads.
    const std::string file = files.empty() ? JoinPath(ProgramFolder(), "Korvane.dat") : files.front();

    CoverFormatList list;
    CStderrFormatsReporter reporter(file, true);
    if (!list.load(file, reporter)) return kCliFailed;
    // "--rewrite -" puts the rewritten file where the JSON would go.
    const std::string out = rewrite == "-" ? list.fileText() : listJson(list);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return CliFail(kCliFailed, "cannot write to standard output");
    if (hasRewrite && rewrite != "-" && !list.saveAs(rewrite, &error)) return CliFail(kCliFailed, error);
    return kCliDone;
}

CliCommand reg({"formats", "[FILE] [--rewrite OUT]",
                "read a formats file as the program does, print it as JSON and report each line it cannot use",
                {{"rewrite", "OUT", "also write the formats to OUT as the format editor saves them; \"-\" writes "
                                    "them to standard output instead of the JSON"}},
                {{"FILE", "the formats file (default: the program's Korvane.dat)"}},
                runFormats});
}  // namespace
