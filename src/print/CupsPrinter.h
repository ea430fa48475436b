#pragma once
// The printers of the CUPS printer subsystem and what each one offers.
#include "print/PrinterOptions.h"

#include <string>
#include <utility>
#include <vector>

// Whether the program was built with CUPS.
bool HaveCups();

// The queues the printer subsystem knows, in its order; empty when it has
// none or cannot be reached.
std::vector<std::string> CupsPrinterNames();
// The system's default queue, "" when there is none.
std::string CupsDefaultPrinter();
// Whether a queue of that name exists.
bool CupsPrinterExists(const std::string& name);

// Whether the queue exists and takes jobs (not rejecting them).
bool CupsPrinterAcceptsJobs(const std::string& name);

// Hands a print-ready file (PDF) to a queue as one job with these options;
// the job's id, 0 when the printer subsystem refused it (reason in `error`).
int CupsSubmitFile(const std::string& printer, const std::string& file, const std::string& title,
                   const std::vector<std::pair<std::string, std::string>>& options, std::string* error = nullptr);

// Reads a printer's paper sources, media types and paper sizes in its
// driver's order, numbered for cover formats. Its PPD file is read where the
// queue has one, else the printer's IPP attributes (media-source-supported,
// media-type-supported, media sizes). "" stands for the default printer.
// False when there is no such printer (caps is then empty).
bool ReadPrinterCapabilities(const std::string& name, PrinterCapabilities& caps);
