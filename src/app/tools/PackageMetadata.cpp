// korvane-package-metadata: a build tool. Writes the desktop entry and the
// AppStream metadata from their templates with every text translated from
// the shipped language files, the AppStream releases and the Debian
// changelog from NEWS, so that texts and releases are kept in one place.
//
//   korvane-package-metadata desktop LANGUAGES TEMPLATE OUT
//   korvane-package-metadata metainfo LANGUAGES NEWS TEMPLATE OUT
//   korvane-package-metadata changelog NEWS MAINTAINER OUT
//
// In a template "_(NNNN)" stands for text number NNNN: the line is written in
// English, then once per language with its own text. A metainfo line
// "_(RELEASES)" becomes the releases of NEWS; "_(MIMETYPES)" becomes the MIME
// types of every picture kind the program reads, so that the desktop entry
// offers the program for exactly the files it opens.
#include "image/PictureKinds.h"
#include "settings/LanguageTable.h"
#include "settings/TextFile.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The shipped languages' codes for desktop entries and AppStream.
struct LanguageCode {
    const char* fileName;
    const char* code;
};
constexpr LanguageCode kCodes[] = {
    {"Brazilian", "pt_BR"}, {"Catalan", "ca"}, {"Czech", "cs"},     {"Danish", "da"},  {"Dutch", "nl"},
    {"Finnish", "fi"},      {"French", "fr"},  {"German", "de"},    {"Italian", "it"}, {"Norwegian", "nb"},
    {"Polish", "pl"},       {"Portuguese", "pt"}, {"Spanish", "es"}, {"Swedish", "sv"},
};

struct Translation {
    std::string code;  // "" for English
    CLanguageTable* table;
};

std::string XmlEscaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else out += c;
    }
    return out;
}

bool ReadText(const std::string& path, std::string& text) {
    std::string bytes;
    if (ReadWholeFile(path, 1u << 20, bytes) != FileReadResult::Ok) {
        std::fprintf(stderr, "korvane-package-metadata: cannot read %s\n", path.c_str());
        return false;
    }
    text = bytes;
    return true;
}

bool WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "korvane-package-metadata: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// One release of NEWS: "Korvane 1.23 (2026-12-08)" and its "  * item" lines
// (an item goes on in lines indented further).
struct Release {
    std::string version, date;
    std::vector<std::string> items;
};

std::vector<Release> ReadNews(const std::string& text) {
    std::vector<Release> releases;
    const std::regex heading(R"(^Korvane ([0-9][0-9.]*) \(([0-9]{4}-[0-9]{2}-[0-9]{2})\)\s*$)");
    std::smatch m;
    for (const std::string& line : Lines(text)) {
        if (std::regex_match(line, m, heading)) {
            releases.push_back({m[1], m[2], {}});
        } else if (!releases.empty() && line.rfind("  * ", 0) == 0) {
            releases.back().items.push_back(line.substr(4));
        } else if (!releases.empty() && !releases.back().items.empty() && line.rfind("    ", 0) == 0) {
            releases.back().items.back() += " " + line.substr(line.find_first_not_of(' '));
        }
    }
    return releases;
}

// "Tue, 08 Dec 2026 12:00:00 +0000" for "2026-12-08".
std::string Rfc2822Date(const std::string& isoDate) {
    using namespace std::chrono;
    const year_month_day ymd{year{std::stoi(isoDate.substr(0, 4))}, month{unsigned(std::stoi(isoDate.substr(5, 2)))},
                             day{unsigned(std::stoi(isoDate.substr(8, 2)))}};
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const weekday wd{sys_days{ymd}};
    char out[64];
    std::snprintf(out, sizeof out, "%s, %02u %s %d 12:00:00 +0000", kDays[wd.c_encoding()], unsigned(ymd.day()),
                  kMonths[unsigned(ymd.month()) - 1], int(ymd.year()));
    return out;
}

// `text` wrapped at blanks into lines of at most `width` columns, each
// after `first` (the first line) or `indent`.
std::string Wrapped(const std::string& first, const std::string& indent, const std::string& text,
                    std::size_t width) {
    std::string out, line = first;
    std::istringstream words(text);
    bool empty = true;
    for (std::string w; words >> w;) {
        if (!empty && line.size() + 1 + w.size() > width) {
            out += line + "\n";
            line = indent;
            empty = true;
        }
        line += (empty ? "" : " ") + w;
        empty = false;
    }
    return out + line + "\n";
}

// Every "_(NNNN)" of a line replaced by the text in one language.
std::string Filled(const std::string& line, const CLanguageTable* table, bool xml, bool& translated) {
    static const std::regex number(R"(_\(([0-9]{4})\))");
    std::string out;
    std::sregex_iterator it(line.begin(), line.end(), number), end;
    std::size_t at = 0;
    translated = false;
    for (; it != end; ++it) {
        const int n = std::stoi((*it)[1]);
        const std::string english = BuiltinEnglishText(n);
        std::string text = table ? table->GetText(n) : english;
        if (text != english) translated = true;
        out += line.substr(at, static_cast<std::size_t>(it->position()) - at) + (xml ? XmlEscaped(text) : text);
        at = static_cast<std::size_t>(it->position() + it->length());
    }
    return out + line.substr(at);
}

// "image/jpeg;image/png;...;" from the program's own list of kinds.
std::string MimeTypeList() {
    std::string list;
    for (const PictureKind& kind : ReadablePictureKinds())
        for (const std::string& type : kind.mimeTypes) list += type + ";";
    return list;
}

bool HasNumber(const std::string& line) { return std::regex_search(line, std::regex(R"(_\([0-9]{4}\))")); }

// "Key=..." gets "Key[code]=..."; "<tag>..." gets "<tag xml:lang="code">...".
std::string Localised(const std::string& line, const std::string& code, bool xml) {
    if (!xml) {
        const std::size_t eq = line.find('=');
        return line.substr(0, eq) + "[" + code + "]" + line.substr(eq);
    }
    const std::size_t open = line.find('<');
    const std::size_t close = line.find('>', open);
    return line.substr(0, close) + " xml:lang=\"" + code + "\"" + line.substr(close);
}

std::string Translate(const std::string& templ, const std::vector<Translation>& languages, bool xml,
                      const std::vector<Release>* releases) {
    std::string out;
    for (const std::string& line : Lines(templ)) {
        if (releases && line.find("_(RELEASES)") != std::string::npos) {
            const std::string indent = line.substr(0, line.find("_(RELEASES)"));
            for (const Release& r : *releases) {
                out += indent + "<release version=\"" + r.version + "\" date=\"" + r.date + "\">\n";
                out += indent + "  <description>\n" + indent + "    <ul>\n";
                for (const std::string& item : r.items) out += indent + "      <li>" + XmlEscaped(item) + "</li>\n";
                out += indent + "    </ul>\n" + indent + "  </description>\n" + indent + "</release>\n";
            }
            continue;
        }
        const std::size_t types = line.find("_(MIMETYPES)");
        if (types != std::string::npos) {
            out += line.substr(0, types) + MimeTypeList() + line.substr(types + 12) + "\n";
            continue;
        }
        if (!HasNumber(line)) {
            out += line + "\n";
            continue;
        }
        bool translated = false;
        out += Filled(line, nullptr, xml, translated) + "\n";
        for (const Translation& t : languages) {
            const std::string text = Filled(line, t.table, xml, translated);
            if (translated) out += Localised(text, t.code, xml) + "\n";
        }
    }
    return out;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: korvane-package-metadata desktop LANGUAGES TEMPLATE OUT\n"
                 "       korvane-package-metadata metainfo LANGUAGES NEWS TEMPLATE OUT\n"
                 "       korvane-package-metadata changelog NEWS MAINTAINER OUT\n");
    return 2;
}

// The shipped languages, read from `folder`.
bool LoadLanguages(const std::string& folder, std::vector<CLanguageTable>& tables, std::vector<Translation>& out) {
    tables.reserve(std::size(kCodes));
    for (const LanguageCode& c : kCodes) {
        int index = -1;
        for (int i = 0; i < kLanguageCount; ++i)
            if (std::string(Languages()[i].fileName) == c.fileName) index = i;
        tables.emplace_back(folder);
        CLanguageTable& table = tables.back();
        table.ProbeLanguageFiles();
        table.SelectLanguage(index);
        if (index < 0 || table.GetCurrentLanguage() != index) {
            std::fprintf(stderr, "korvane-package-metadata: cannot read %s/%s.lng\n", folder.c_str(), c.fileName);
            return false;
        }
        out.push_back({c.code, &table});
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return Usage();
    const std::string& what = args[0];
    std::string templ, news;
    std::vector<CLanguageTable> tables;
    std::vector<Translation> languages;
    if (what == "desktop" && args.size() == 4) {
        if (!LoadLanguages(args[1], tables, languages) || !ReadText(args[2], templ)) return 1;
        return WriteText(args[3], Translate(templ, languages, false, nullptr)) ? 0 : 1;
    }
    if (what == "metainfo" && args.size() == 5) {
        if (!LoadLanguages(args[1], tables, languages) || !ReadText(args[2], news) || !ReadText(args[3], templ))
            return 1;
        const std::vector<Release> releases = ReadNews(news);
        return WriteText(args[4], Translate(templ, languages, true, &releases)) ? 0 : 1;
    }
    if (what == "changelog" && args.size() == 4) {
        if (!ReadText(args[1], news)) return 1;
        std::string out;
        for (const Release& r : ReadNews(news)) {
            out += "korvane (" + r.version + "-1) unstable; urgency=medium\n\n";
            for (const std::string& item : r.items) out += Wrapped("  * ", "    ", item, 78);
            out += "\n -- " + args[2] + "  " + Rfc2822Date(r.date) + "\n\n";
        }
        if (out.empty()) {
            std::fprintf(stderr, "korvane-package-metadata: no release in %s\n", args[1].c_str());
            return 1;
        }
        out.pop_back();
        return WriteText(args[3], out) ? 0 : 1;
    }
    return Usage();
}
