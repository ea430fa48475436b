#pragma once
// What the commands that print through Qt share (print, calibrate): the
// application object Qt needs and a QPrinter that writes a PDF of the sheet
// the paper options describe.
#include "print/PageMetrics.h"

#include <QGuiApplication>

#include <memory>
#include <string>
#include <vector>

class QPrinter;
class QTemporaryFile;

// A Qt application object when there is none yet. It never opens a
// display: the commands only write files and printer jobs.
std::unique_ptr<QGuiApplication> MakeCliApplication();
// The PDF's page is the sheet of the paper options.
void SetUpPdf(QPrinter& printer, const std::string& path, const PageMetrics& page);

class CCliArgs;
// Checks the destination of a printing command: exactly one of --pdf OUT.pdf
// and --printer QUEUE, the paper options only with --pdf.
void CheckPrintDestination(CCliArgs& args, bool toPdf, bool toPrinter, const std::string& pdfPath,
                           bool paperOptionGiven);

// The file given to --pdf; "-" is standard output, drawn into a temporary
// file first (the PDF is written whole or not at all).
class CPdfOutput {
public:
    explicit CPdfOutput(std::string path);
    ~CPdfOutput();
    bool ToStandardOutput() const { return path_ == "-"; }
    // The file to draw into; empty when no temporary file could be made.
    const std::string& DrawPath() const { return drawPath_; }
    // After a finished job: the PDF's bytes to standard output for "-", else
    // its file name. False when standard output took not all of it.
    bool Deliver();

private:
    std::string path_;
    std::string drawPath_;
    std::unique_ptr<QTemporaryFile> temp_;
};
