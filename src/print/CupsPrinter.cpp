#include "print/CupsPrinter.h"

#include "base/Length.h"

#ifdef KORVANE_HAVE_CUPS
// The PPD interface is marked deprecated, yet it is the only way to read a
// queue's driver options in the driver's order and with its own names.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/cups.h>
#include <cups/ppd.h>

#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

struct Dests {
    cups_dest_t* list = nullptr;
    int count = 0;
    Dests() { count = cupsGetDests2(CUPS_HTTP_DEFAULT, &list); }
    ~Dests() { cupsFreeDests(count, list); }
    Dests(const Dests&) = delete;
    Dests& operator=(const Dests&) = delete;
};

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

// "600dpi", "600x600dpi", "1200x600dpi": the first number.
int ParseResolution(const char* choice) {
    if (!choice)
        return 0;
    int dpi = std::atoi(choice);
    return dpi > 0 && dpi < 100000 ? dpi : 0;
}

void ReadPpdChoices(ppd_file_t* ppd, const char* keyword, std::vector<PrinterChoice>& out) {
    ppd_option_t* option = ppdFindOption(ppd, keyword);
    if (!option)
        return;
    for (int i = 0; i < option->num_choices; ++i) {
        const ppd_choice_t& c = option->choices[i];
        if (std::strcmp(c.choice, "Custom") == 0)
            continue;
        out.push_back({c.choice, c.text[0] ? c.text : c.choice, kPrinterDefaultChoice});
    }
}

bool ReadFromPpd(const std::string& name, PrinterCapabilities& caps) {
    const char* file = cupsGetPPD2(CUPS_HTTP_DEFAULT, name.c_str());
    if (!file)
        return false;
    const std::string path = file;  // cupsGetPPD2's buffer is reused by later calls
    ppd_file_t* ppd = ppdOpenFile(path.c_str());
    unlink(path.c_str());
    if (!ppd)
        return false;
    ppdMarkDefaults(ppd);
    caps.sourceOption = "InputSlot";
    caps.mediaOption = "MediaType";
    caps.paperOption = "PageSize";
    ReadPpdChoices(ppd, "InputSlot", caps.sources);
    ReadPpdChoices(ppd, "MediaType", caps.mediaTypes);
    if (ppd_option_t* sizes = ppdFindOption(ppd, "PageSize")) {
        for (int i = 0; i < sizes->num_choices; ++i) {
            const ppd_choice_t& c = sizes->choices[i];
            ppd_size_t* size = ppdPageSize(ppd, c.choice);
            if (!size || std::strcmp(c.choice, "Custom") == 0)
                continue;
            caps.papers.push_back({c.choice, c.text[0] ? c.text : c.choice,
                                   size->width / 72.0 * kMmPerInch, size->length / 72.0 * kMmPerInch});
        }
        caps.defaultPaper = Text(sizes->defchoice);
    }
    if (ppd_option_t* res = ppdFindOption(ppd, "Resolution"))
        caps.resolution = ParseResolution(res->defchoice);
    else if (ppd_attr_t* attr = ppdFindAttr(ppd, "DefaultResolution", nullptr))
        caps.resolution = ParseResolution(attr->value);
    ppdClose(ppd);
    return true;
}

// Printers without a PPD (driverless IPP queues): the IPP attributes.
void ReadFromIpp(cups_dest_t* dest, PrinterCapabilities& caps) {
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    if (!info)
        return;
    caps.sourceOption = "media-source";
    caps.mediaOption = "media-type";
    caps.paperOption = "media";
    auto readValues = [&](const char* option, std::vector<PrinterChoice>& out) {
        ipp_attribute_t* attr = cupsFindDestSupported(CUPS_HTTP_DEFAULT, dest, info, option);
        for (int i = 0; attr && i < ippGetCount(attr); ++i) {
            const char* value = ippGetString(attr, i, nullptr);
            if (!value)
                continue;
            const char* text = cupsLocalizeDestValue(CUPS_HTTP_DEFAULT, dest, info, option, value);
            out.push_back({value, text && *text ? text : value, kPrinterDefaultChoice});
        }
    };
    readValues("media-source", caps.sources);
    readValues("media-type", caps.mediaTypes);
    const int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, dest, info, 0);
    for (int i = 0; i < count; ++i) {
        cups_size_t size;
        if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, dest, info, i, 0, &size))
            continue;
        const char* text = cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT, dest, info, 0, &size);
        caps.papers.push_back({size.media, text && *text ? text : size.media,
                               size.width / 100.0, size.length / 100.0});
    }
    cups_size_t def;
    if (cupsGetDestMediaDefault(CUPS_HTTP_DEFAULT, dest, info, 0, &def))
        caps.defaultPaper = def.media;
    cupsFreeDestInfo(info);
}

}  // namespace

bool HaveCups() { return true; }

std::vector<std::string> CupsPrinterNames() {
    Dests dests;
    std::vector<std::string> names;
    for (int i = 0; i < dests.count; ++i)
        if (!dests.list[i].instance)
            names.push_back(dests.list[i].name);
    return names;
}

std::string CupsDefaultPrinter() {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest)
        return {};
    std::string name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

bool CupsPrinterExists(const std::string& name) {
    if (name.empty())
        return false;
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    if (!dest)
        return false;
    cupsFreeDests(1, dest);
    return true;
}

bool CupsPrinterAcceptsJobs(const std::string& name) {
    if (name.empty())
        return false;
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.c_str(), nullptr);
    if (!dest)
        return false;
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool accepts = !accepting || std::strcmp(accepting, "false") != 0;
    cupsFreeDests(1, dest);
    return accepts;
}

int CupsSubmitFile(const std::string& printer, const std::string& file, const std::string& title,
                   const std::vector<std::pair<std::string, std::string>>& options, std::string* error) {
    cups_option_t* list = nullptr;
    int count = 0;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.c_str(), value.c_str(), count, &list);
    const int id = cupsPrintFile(printer.c_str(), file.c_str(), title.c_str(), count, list);
    cupsFreeOptions(count, list);
    if (error)
        *error = id == 0 ? Text(cupsLastErrorString()) : std::string();
    return id;
}

bool ReadPrinterCapabilities(const std::string& name, PrinterCapabilities& caps) {
    caps = PrinterCapabilities{};
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.empty() ? nullptr : name.c_str(), nullptr);
    if (!dest)
        return false;
    caps.printer = dest->name;
    if (!ReadFromPpd(caps.printer, caps))
        ReadFromIpp(dest, caps);
    cupsFreeDests(1, dest);
    NumberSources(caps.sources);
    NumberMediaTypes(caps.mediaTypes);
    return true;
}

#pragma GCC diagnostic pop

#else  // built without CUPS: no printers.

bool HaveCups() { return false; }
std::vector<std::string> CupsPrinterNames() { return {}; }
std::string CupsDefaultPrinter() { return {}; }
bool CupsPrinterExists(const std::string&) { return false; }
bool CupsPrinterAcceptsJobs(const std::string&) { return false; }
int CupsSubmitFile(const std::string&, const std::string&, const std::string&,
                   const std::vector<std::pair<std::string, std::string>>&, std::string* error) {
    if (error)
        *error = "built without CUPS";
    return 0;
}
bool ReadPrinterCapabilities(const std::string&, PrinterCapabilities& caps) {
    caps = PrinterCapabilities{};
    return false;
}

#endif
