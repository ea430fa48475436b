// korvane-cli formats [FILE] [--rewrite OUT]: reads a formats file as the
// program does, prints it as JSON, reports each message the program would
// show as "FILE:LINE: text" on stderr, and can write it back as the format
// editor does.
#include "base/JsonText.h"
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
// Shortest text that reads back to the same double; JSON has no NaN or infinity.
std::string jsonNumber(double v) { return std::isfinite(v) ? FormatShortest(v) : "null"; }

// An array with one object per row, or "[]".
std::string rows(const std::vector<std::string>& items) {
    if (items.empty()) return "[]";
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ",\n        " : "\n        ") + items[i];
    return out + "\n      ]";
}

std::string formatJson(const CoverFormat& f) {
    const auto number = [](const char* name, double v) { return JsonField(name, jsonNumber(v)); };
    const auto integer = [](const char* name, int v) { return JsonField(name, std::to_string(v)); };
    std::vector<std::string> lines, rects;
    for (const CutLine& l : f.lines) {
        lines.push_back("{" + number("x1", l.x1) + ", " + number("y1", l.y1) + ", " + number("x2", l.x2) + ", " +
                        number("y2", l.y2) + ", " + integer("solid", l.solid) + "}");
    }
    for (const CutRect& r : f.rects) {
        rects.push_back("{" + number("x", r.x) + ", " + number("y", r.y) + ", " + number("width", r.width) + ", " +
                        number("height", r.height) + ", " + integer("solid", r.solid) + "}");
    }
    const std::string sep = ",\n      ";
    return "    {\n      " + JsonField("name", JsonString(f.name)) + sep + number("leftX", f.leftX) + sep +
           number("leftY", f.leftY) + sep + number("rightX", f.rightX) + sep + number("rightY", f.rightY) + sep +
           number("width", f.width) + sep + number("height", f.height) + sep +
           number("detectWidth", f.detectWidth) + sep + number("detectHeight", f.detectHeight) + sep +
           number("paperWidth", f.paperWidth) + sep + number("paperHeight", f.paperHeight) + sep +
           integer("label", f.label) + sep + integer("autodetect", f.autodetect) + sep +
           number("holeSize", f.holeSize) + sep + JsonField("lines", rows(lines)) + sep +
           JsonField("rects", rows(rects)) + sep + JsonField("type", JsonString(f.type)) + sep +
           integer("remapIndex", f.remapIndex) + sep + number("spine", f.spine) + sep +
           integer("paperSource", f.paperSource) + sep + integer("mediaType", f.mediaType) + sep +
           integer("translationId", f.translationId) + "\n    }";
}

std::string listJson(const CoverFormatList& list) {
    std::string formats;
    for (const CoverFormat& f : list.formats) {
        if (!formats.empty()) formats += ",\n";
        formats += formatJson(f);
    }
    return "{\n  \"formats\": [" + (formats.empty() ? std::string() : "\n" + formats + "\n  ") + "],\n  " +
           JsonField("calibrateX", jsonNumber(list.calibrateX)) + ",\n  " +
           JsonField("calibrateY", jsonNumber(list.calibrateY)) + ",\n  " +
           JsonField("trailer", JsonString(list.trailer)) + "\n}\n";
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
