#include "cli/PaperOptions.h"

#include "app/SlotFiles.h"
#include "base/AsciiText.h"
#include "formats/FormatsReporter.h"
#include "image/RasterImage.h"
#include "settings/LanguageTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {
// Sheets and printable areas beyond this many pixels a side are refused.
constexpr int kMaxSheetPixels = 1000000;
// Paper sides and margins beyond this many millimetres are refused.
constexpr double kMaxPaperMm = 10000.0;

std::vector<std::string> SplitAt(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(sep, start);
        parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

// Numbers in the C locale, whole text only.
bool ParseDouble(const std::string& s, double& v) {
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, v);
    return ec == std::errc() && p == end && std::isfinite(v);
}

bool ParseInt(const std::string& s, int& v) {
    const char* end = s.data() + s.size();
    auto [p, ec] = std::from_chars(s.data(), end, v);
    return ec == std::errc() && p == end;
}

bool ParseDoubles(const std::string& text, std::size_t count, std::vector<double>& out) {
    const std::vector<std::string> parts = SplitAt(text, ',');
    if (parts.size() != count)
        return false;
    out.clear();
    for (const std::string& p : parts) {
        double v;
        if (!ParseDouble(p, v))
            return false;
        out.push_back(v);
    }
    return true;
}

bool ParseInts(const std::string& text, std::size_t count, std::vector<int>& out) {
    const std::vector<std::string> parts = SplitAt(text, ',');
    if (parts.size() != count)
        return false;
    out.clear();
    for (const std::string& p : parts) {
        int v;
        if (!ParseInt(p, v))
            return false;
        out.push_back(v);
    }
    return true;
}

}  // namespace

void CStderrFormatsReporter::report(const FormatsMessage& m) {
    if (m.kind == FormatsMessageKind::FileNotFound && !reportMissing_)
        return;  // the caller says it
    std::fprintf(stderr, "%s\n", FormatsMessageLine(file_, m).c_str());
}

std::vector<CliOption> PaperOptions() {
    return {
        {"paper", "A4|Letter|WxH", "the sheet, A4, Letter or WIDTHxHEIGHT in millimetres (default A4)"},
        {"dpi", "N", "device pixels per inch (default 600)"},
        {"margins", "L,T,R,B", "millimetres of unprintable border (default 0,0,0,0)"},
        {"sheet", "W,H", "the sheet in device pixels, as a printer driver reports it"},
        {"printable", "X,Y,W,H", "the printable area in device pixels, as a printer driver reports it"},
    };
}

bool HasPaperOption(const CCliArgs& args) {
    for (const CliOption& o : PaperOptions())
        if (args.Has(o.name))
            return true;
    return false;
}

std::vector<CliOption> WithPaperOptions(std::vector<CliOption> own) {
    for (CliOption& o : PaperOptions())
        own.push_back(std::move(o));
    return own;
}

std::vector<CliOption> WithCoverJobOptions(const std::string& verb, std::vector<CliOption> own) {
    std::vector<CliOption> options{
        {"formats", "FILE", "the cover formats file"},
        {"left", "IMG", "the left slot's picture"},
        {"left-format", "F", "the left cover's format: its index in the list or its exact name "
                             "(default: recognised from the picture)"},
        {"right", "IMG", "the right slot's picture"},
        {"right-format", "F", "the right cover's format, as --left-format"},
        {"mode", "left|right|both", "which covers to " + verb + " (default both)"},
        {"single-page", "", "both covers on one page"},
        {"no-cut-lines", "", "without cut and fold lines"},
        {"no-border", "", "without the border around the covers"},
        {"fit", "", "the pictures keep their proportions inside their covers"},
        {"fill", "", "the pictures keep their proportions and fill their covers, cropped"},
        {"crop", "X,Y", "with --fill: where the crop lies, 0 to 1 across and down (default 0.5,0.5: centred)"},
        {"bleed", "MM", "the pictures reach MM millimetres (0 to 3) beyond the cut lines"},
    };
    for (CliOption& o : own)
        options.push_back(std::move(o));
    return options;
}

PageMetrics TakePaperOptions(CCliArgs& args) {
    std::string paper = "A4", dpiText = "600", margins = "0,0,0,0", sheet, printable;
    args.TakeValue("paper", paper);
    args.TakeValue("dpi", dpiText);
    args.TakeValue("margins", margins);
    const bool hasSheet = args.TakeValue("sheet", sheet);
    const bool hasPrintable = args.TakeValue("printable", printable);

    int dpi = 0;
    if (!ParseInt(dpiText, dpi) || dpi <= 0 || dpi > 10000) {
        args.SetError("--dpi: a resolution from 1 to 10000 dots per inch is expected, not '" + dpiText + "'");
        return PageMetrics{};
    }
    double widthMm = 0, heightMm = 0;
    const std::string p = AsciiLower(paper);
    std::vector<double> v;
    if (p == "a4") {
        widthMm = 210.0, heightMm = 297.0;
    } else if (p == "letter") {
        widthMm = 215.9, heightMm = 279.4;
    } else if (SplitAt(p, 'x').size() == 2 && ParseDouble(SplitAt(p, 'x')[0], widthMm) &&
               ParseDouble(SplitAt(p, 'x')[1], heightMm) && widthMm > 0 && heightMm > 0 && widthMm <= kMaxPaperMm &&
               heightMm <= kMaxPaperMm) {
    } else {
        args.SetError("--paper: A4, Letter or WIDTHxHEIGHT in millimetres is expected, not '" + paper + "'");
        return PageMetrics{};
    }
    int sheetW = SheetMmToPixels(widthMm, dpi), sheetH = SheetMmToPixels(heightMm, dpi);
    const auto unusable = [](double m) { return m < 0 || m > kMaxPaperMm; };
    if (!ParseDoubles(margins, 4, v) || std::any_of(v.begin(), v.end(), unusable)) {
        args.SetError("--margins: four millimetre values L,T,R,B of 0 or more are expected, not '" + margins + "'");
        return PageMetrics{};
    }
    const double marginsMm[4] = {v[0], v[1], v[2], v[3]};

    std::vector<int> n;
    if (hasSheet) {
        if (!ParseInts(sheet, 2, n) || n[0] <= 0 || n[1] <= 0) {
            args.SetError("--sheet: two positive pixel counts W,H are expected, not '" + sheet + "'");
            return PageMetrics{};
        }
        sheetW = n[0], sheetH = n[1];
    }
    if (sheetW <= 0 || sheetH <= 0 || sheetW > kMaxSheetPixels || sheetH > kMaxSheetPixels) {
        args.SetError("the sheet of " + std::to_string(sheetW) + " x " + std::to_string(sheetH) +
                      " pixels is not usable");
        return PageMetrics{};
    }
    int offX, offY, printW, printH;
    if (hasPrintable) {
        if (!ParseInts(printable, 4, n) || n[0] < 0 || n[1] < 0 || n[2] <= 0 || n[3] <= 0) {
            args.SetError("--printable: X,Y of 0 or more and a positive W,H in pixels are expected, not '" +
                          printable + "'");
            return PageMetrics{};
        }
        offX = n[0], offY = n[1], printW = n[2], printH = n[3];
    } else {
        offX = SheetMmToPixels(marginsMm[0], dpi);
        offY = SheetMmToPixels(marginsMm[1], dpi);
        printW = sheetW - offX - SheetMmToPixels(marginsMm[2], dpi);
        printH = sheetH - offY - SheetMmToPixels(marginsMm[3], dpi);
    }
    if (printW <= 0 || printH <= 0 || static_cast<long long>(offX) + printW > sheetW ||
        static_cast<long long>(offY) + printH > sheetH) {
        args.SetError("the printable area does not fit on the sheet of " + std::to_string(sheetW) + " x " +
                      std::to_string(sheetH) + " pixels");
        return PageMetrics{};
    }
    return PageMetrics::Make(sheetW, sheetH, offX, offY, printW, printH, dpi, dpi);
}

bool LoadFormatsFile(const std::string& path, CoverFormatList& formats, std::string& error) {
    CStderrFormatsReporter reporter(path, false);
    if (!formats.load(path, reporter)) {
        error = "cannot read the formats file " + path;
        return false;
    }
    return true;
}

int ResolveFormat(const CoverFormatList& formats, const std::string& text, std::string& error) {
    int index = -1;
    if (ParseInt(text, index)) {
        if (index >= 0 && index < formats.count())
            return index;
        error = "format " + text + " is not in the list (0 to " + std::to_string(formats.count() - 1) + ")";
        return -1;
    }
    for (int i = 0; i < formats.count(); ++i) {
        if (formats.name(i) == text)
            return i;
    }
    error = "no format is named '" + text + "'";
    return -1;
}

std::string OneLine(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const bool space = c == '\n' || c == '\r' || c == '\t' || c == ' ';
        if (space && (out.empty() || out.back() == ' '))
            continue;
        out += space ? ' ' : c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

void CCollectingPrompter::Information(int textNumber) { shown.push_back(OneLine(BuiltinEnglishText(textNumber))); }

void CCollectingPrompter::Error(const std::string& text) { errors.push_back(OneLine(text)); }

bool CCollectingPrompter::AskYesNo(int textNumber) {
    shown.push_back(OneLine(BuiltinEnglishText(textNumber)));
    return false;
}

bool LoadSlotImage(const std::string& path, CRasterImage& image, std::string& error) {
    const int type = FileTypeFromExtension(path);
    if (type < 0) {
        error = path + ": not a BMP, GIF, JPEG or PNG file name";
        return false;
    }
    if (!image.Load(path, type)) {
        error = path + ": " + (image.GetLastError().empty() ? "cannot be read" : image.GetLastError());
        return false;
    }
    if (!image.GetDecodeWarning().empty())
        std::fprintf(stderr, "korvane-cli: warning: %s: only part of the picture could be read: %s\n", path.c_str(),
                     image.GetDecodeWarning().c_str());
    return true;
}

bool TakeFillOptions(CCliArgs& args, PictureFill& fill, double& bleedMm) {
    const bool fit = args.TakeFlag("fit");
    const bool fillFlag = args.TakeFlag("fill");
    std::string crop, bleed;
    const bool hasCrop = args.TakeValue("crop", crop);
    const bool hasBleed = args.TakeValue("bleed", bleed);
    fill = PictureFill{};
    bleedMm = 0;
    bool ok = true;
    if (fit && fillFlag) {
        args.SetError("--fit and --fill do not go together");
        ok = false;
    }
    fill.fit = fit ? CoverFit::Fit : fillFlag ? CoverFit::Fill : CoverFit::Stretch;
    std::vector<double> v;
    if (hasCrop && (!ParseDoubles(crop, 2, v) || v[0] < 0 || v[0] > 1 || v[1] < 0 || v[1] > 1)) {
        args.SetError("--crop: two numbers from 0 to 1 are expected, as 0.5,0.5, not '" + crop + "'");
        ok = false;
    } else if (hasCrop) {
        fill.cropX = v[0];
        fill.cropY = v[1];
    }
    if (hasCrop && !fillFlag) {
        args.SetError("--crop goes with --fill");
        ok = false;
    }
    if (hasBleed && (!ParseDouble(bleed, bleedMm) || !(bleedMm >= 0 && bleedMm <= kMaxBleedMm))) {
        args.SetError("--bleed: millimetres from 0 to 3 are expected, not '" + bleed + "'");
        bleedMm = 0;
        ok = false;
    }
    return ok;
}

PrintMode TakePrintMode(CCliArgs& args) {
    std::string mode = "both";
    args.TakeValue("mode", mode);
    if (mode == "left")
        return PrintMode::Left;
    if (mode == "right")
        return PrintMode::Right;
    if (mode != "both")
        args.SetError("--mode: left, right or both is expected, not '" + mode + "'");
    return PrintMode::Both;
}
