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

// A Qt application object when there is none yet; without a display it
// draws off-screen.
std::unique_ptr<QGuiApplication> MakeCliApplication();
// The PDF's page is the sheet of the paper options.
void SetUpPdf(QPrinter& printer, const std::string& path, const PageMetrics& page);
// Whether the arguments hold a paper option (--paper, --dpi, ...).
bool HasPaperOption(const std::vector<std::string>& args);

class CCliArgs;
// Checks the destination of a printing command: exactly one of --pdf OUT.pdf
// and --printer QUEUE, the paper options only with --pdf.
void CheckPrintDestination(CCliArgs& args, bool toPdf, bool toPrinter, const std::string& pdfPath,
                           bool paperOptionGiven);
