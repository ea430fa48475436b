#pragma once
// Options shared by the commands that lay out and draw pages (place, render,
// print): the sheet and its printable area, the formats file and formats
// chosen by index or name, and a prompter that collects what a job would
// have shown.
#include "base/CoverSlot.h"
#include "cli/CliArgs.h"
#include "settings/Prompter.h"
#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"
#include "print/PageMetrics.h"
#include "print/PictureBox.h"

#include <string>
#include <vector>

// The sheet described by --paper A4|Letter|WxH (millimetres, default A4),
// --dpi N (default 600) and --margins L,T,R,B (millimetres, default 0):
// sheet and margins are mm / 25.4 x dpi pixels rounded to the nearest. Or
// in device pixels, as a driver reports them: --sheet W,H and
// --printable X,Y,W,H. Errors go to args.SetError.
PageMetrics TakePaperOptions(CCliArgs& args);
inline constexpr const char* kPaperOptionsUsage =
    "[--paper A4|Letter|WxH] [--dpi N] [--margins L,T,R,B] [--sheet W,H] [--printable X,Y,W,H]";
// The paper options for a command's option list.
std::vector<CliOption> PaperOptions();
// Whether a paper option (--paper, --dpi, ...) was given.
bool HasPaperOption(const CCliArgs& args);
// The option list of a command: its own options and then the paper options.
std::vector<CliOption> WithPaperOptions(std::vector<CliOption> own);
// The options that say which covers a job holds and how they are drawn
// (print and render share them), then the command's own; `verb` says what
// the job does with the covers.
std::vector<CliOption> WithCoverJobOptions(const std::string& verb, std::vector<CliOption> own);

// --fit, --fill, --crop X,Y and --bleed MM: how the pictures fill their
// covers (both slots, and every file of a batch). Errors go to
// args.SetError; false when there was one.
bool TakeFillOptions(CCliArgs& args, PictureFill& fill, double& bleedMm);

// --mode left|right|both (both when not given); another word goes to
// args.SetError.
PrintMode TakePrintMode(CCliArgs& args);

// The formats reader's messages on stderr, one line each: "FILE:LINE: text".
class CStderrFormatsReporter : public CFormatsReporter {
public:
    // reportMissing: say it when the file cannot be opened (else the caller does).
    CStderrFormatsReporter(const std::string& file, bool reportMissing) : file_(file), reportMissing_(reportMissing) {}
    void report(const FormatsMessage& m) override;

private:
    std::string file_;
    bool reportMissing_;
};

// Reads a formats file as the program does; the reader's messages go to
// stderr as "FILE:LINE: text". False (with a reason) when it cannot be read.
bool LoadFormatsFile(const std::string& path, CoverFormatList& formats, std::string& error);

// A format given by index ("3") or by exact name; -1 with an error otherwise.
int ResolveFormat(const CoverFormatList& formats, const std::string& text, std::string& error);

// A message box text as one line: line breaks and runs of blanks become one blank.
std::string OneLine(const std::string& text);

// Collects the texts a job would have shown, in English, one line each.
class CCollectingPrompter : public IPrompter {
public:
    std::vector<std::string> shown;   // information and warning boxes, questions
    std::vector<std::string> errors;  // error boxes
    void Information(int textNumber) override;
    bool AskYesNo(int textNumber) override;  // answered No
    void Error(const std::string& text) override;
    // A warning does not fail the command: it is shown with the rest.
    void Warning(const std::string& text) override { shown.push_back(OneLine(text)); }
};

class CRasterImage;
// Loads an image for a slot as the program does (type from the extension);
// on failure `error` says which file and why.
bool LoadSlotImage(const std::string& path, CRasterImage& image, std::string& error);
