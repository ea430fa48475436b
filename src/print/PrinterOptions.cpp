#include "print/PrinterOptions.h"

#include "base/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

// Lower case, letters and digits only: "Manual-Feed" and "manual_feed" agree.
std::string Normalised(const std::string& s) {
    std::string out;
    for (unsigned char c : s)
        if (std::isalnum(c))
            out += static_cast<char>(std::tolower(c));
    return out;
}

struct KeywordNumber {
    const char* keyword;  // normalised
    int number;
};

// Paper sources with a standard meaning, by the names drivers give them
// (PPD InputSlot choices and IPP media-source keywords).
constexpr KeywordNumber kSourceNumbers[] = {
    {"upper", 1},           {"top", 1},
    {"lower", 2},           {"bottom", 2},
    {"middle", 3},
    {"manual", 4},          {"manualfeed", 4},
    {"envelope", 5},
    {"envelopemanual", 6},  {"manualenvelope", 6},
    {"auto", 7},            {"autoselect", 7},      {"automatic", 7},
    {"tractor", 8},
    {"smallformat", 9},
    {"largeformat", 10},
    {"largecapacity", 11},  {"lct", 11},
    {"cassette", 14},
    {"formsource", 15},
};

// Media types with a standard meaning (PPD MediaType choices, IPP media-type).
constexpr KeywordNumber kMediaNumbers[] = {
    {"plain", 1},         {"plainpaper", 1},   {"stationery", 1}, {"standard", 1},
    {"transparency", 2},  {"transparencies", 2},
    {"glossy", 3},        {"glossypaper", 3},  {"photographicglossy", 3},
};

template <std::size_t N>
int Lookup(const KeywordNumber (&table)[N], const std::string& keyword) {
    const std::string key = Normalised(keyword);
    for (const KeywordNumber& e : table)
        if (key == e.keyword)
            return e.number;
    return 0;
}

void Number(std::vector<PrinterChoice>& list, int (*standard)(const std::string&)) {
    std::vector<int> taken;
    for (std::size_t i = 0; i < list.size(); ++i) {
        int n = standard(list[i].keyword);
        if (n == 0)
            n = standard(list[i].text);
        if (n != 0 && std::find(taken.begin(), taken.end(), n) == taken.end()) {
            taken.push_back(n);
            list[i].number = n;
        } else {
            list[i].number = kFirstDriverChoice + static_cast<int>(i);
        }
    }
}

// Whether a name speaks of a disc: "CD-R Tray", "CDTray", "Disc Tray",
// "Printable Disc", "DVD/CD".
bool MentionsDisc(const std::string& name) {
    const std::string n = Normalised(name);
    if (n.find("disc") != std::string::npos || n.find("disk") != std::string::npos ||
        n.find("dvd") != std::string::npos)
        return true;
    if (n.rfind("cdr", 0) == 0 || n.rfind("cdtray", 0) == 0)
        return true;
    // "CD" as a word of its own.
    std::string word;
    for (char c : name + ' ') {
        if (std::isalnum(static_cast<unsigned char>(c))) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else {
            if (word == "cd" || word == "cds")
                return true;
            word.clear();
        }
    }
    return false;
}

const PrinterChoice* FindDisc(const std::vector<PrinterChoice>& list) {
    for (const PrinterChoice& c : list)
        if (MentionsDisc(c.keyword) || MentionsDisc(c.text))
            return &c;
    return nullptr;
}

}  // namespace

int StandardSourceNumber(const std::string& keyword) { return Lookup(kSourceNumbers, keyword); }
int StandardMediaNumber(const std::string& keyword) { return Lookup(kMediaNumbers, keyword); }

void NumberSources(std::vector<PrinterChoice>& sources) { Number(sources, StandardSourceNumber); }
void NumberMediaTypes(std::vector<PrinterChoice>& mediaTypes) { Number(mediaTypes, StandardMediaNumber); }

const PrinterChoice* ChoiceByNumber(const std::vector<PrinterChoice>& list, int number) {
    if (number == kPrinterDefaultChoice)
        return nullptr;
    for (const PrinterChoice& c : list)
        if (c.number == number)
            return &c;
    return nullptr;
}

const PaperChoice* FindDiscPaper(const std::vector<PaperChoice>& papers) {
    for (const PaperChoice& p : papers)
        if (AsciiLower(p.text).find("cd-r tray") != std::string::npos ||
            AsciiLower(p.keyword).find("cd-r tray") != std::string::npos)
            return &p;
    for (const PaperChoice& p : papers) {
        const double w = p.widthMm, h = p.heightMm;
        if (w >= 115 && w <= 130 && h >= 115 && h <= 130 && std::abs(w - h) < 1.0)
            return &p;
    }
    return nullptr;
}

const PrinterChoice* FindDiscSource(const std::vector<PrinterChoice>& sources) { return FindDisc(sources); }
const PrinterChoice* FindDiscMedia(const std::vector<PrinterChoice>& mediaTypes) { return FindDisc(mediaTypes); }

void CPrinterSettings::SelectPrinter(const std::string& name) {
    if (name == printerName_)
        return;
    Clear();
    printerName_ = name;
}

void CPrinterSettings::SetJobOption(const std::string& name, const std::string& value) {
    for (auto& [key, v] : options_) {
        if (key == name) {
            v = value;
            return;
        }
    }
    options_.emplace_back(name, value);
}

void CPrinterSettings::RemoveJobOption(const std::string& name) {
    std::erase_if(options_, [&](const auto& kv) { return kv.first == name; });
}

std::string CPrinterSettings::JobOption(const std::string& name) const {
    for (const auto& [key, v] : options_)
        if (key == name)
            return v;
    return {};
}

void CPrinterSettings::Clear() {
    printerName_.clear();
    paperKeyword_.clear();
    options_.clear();
}

CPrinterSettings& AppPrinterSettings() {
    static CPrinterSettings settings;
    return settings;
}

bool ApplyMediaAndSource(CPrinterSettings& settings, const PrinterCapabilities& caps,
                         int mediaType, int paperSource) {
    bool changed = false;
    if (const PrinterChoice* source = ChoiceByNumber(caps.sources, paperSource)) {
        settings.SetJobOption(caps.sourceOption, source->keyword);
        changed = true;
    }
    if (const PrinterChoice* media = ChoiceByNumber(caps.mediaTypes, mediaType)) {
        settings.SetJobOption(caps.mediaOption, media->keyword);
        changed = true;
    }
    return changed;
}

bool ApplyDiscTrayPreset(CPrinterSettings& settings, const PrinterCapabilities& caps) {
    bool changed = false;
    if (const PaperChoice* paper = FindDiscPaper(caps.papers)) {
        settings.SetPaperKeyword(paper->keyword);
        changed = true;
    }
    if (const PrinterChoice* source = FindDiscSource(caps.sources)) {
        settings.SetJobOption(caps.sourceOption, source->keyword);
        changed = true;
    }
    if (const PrinterChoice* media = FindDiscMedia(caps.mediaTypes)) {
        settings.SetJobOption(caps.mediaOption, media->keyword);
        changed = true;
    }
    return changed;
}

void ApplyPrinterRequest(CPrinterSettings& settings, const PrinterCapabilities& caps,
                         bool discTray, int mediaType, int paperSource) {
    if (discTray)
        ApplyDiscTrayPreset(settings, caps);
    if (mediaType != kPrinterDefaultChoice || paperSource != kPrinterDefaultChoice)
        ApplyMediaAndSource(settings, caps, mediaType, paperSource);
}
