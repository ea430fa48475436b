#include "app/CommandLine.h"

#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"

namespace {
constexpr int kTextUsage = 9662;        // program
constexpr int kTextAbout = 9663;
constexpr int kTextFront = 9664;
constexpr int kTextBack = 9665;
constexpr int kTextHelp = 9666;
constexpr int kTextVersion = 9667;
constexpr int kTextUnknownOption = 9668;  // program, option
constexpr int kTextTooManyFiles = 9669;   // program

std::string Row(const std::string& name, const std::string& text) {
    std::string row = "  " + name;
    row.append(name.size() < 16 ? 16 - name.size() : 1, ' ');
    return row + text + "\n";
}
}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    std::vector<std::string> files;
    bool options = true;
    for (const std::string& a : args) {
        if (options && a == "--") {
            options = false;
        } else if (options && (a == "--help" || a == "-h")) {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (options && (a == "--version" || a == "-v")) {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (options && a.size() > 1 && a[0] == '-') {
            if (line.action == CommandLine::Action::Run) {
                line.action = CommandLine::Action::UnknownOption;
                line.bad = a;
            }
        } else {
            files.push_back(a);
        }
    }
    if (files.size() > 2 && line.action == CommandLine::Action::Run)
        line.action = CommandLine::Action::TooManyFiles;
    if (!files.empty())
        line.front = files[0];
    if (files.size() > 1)
        line.back = files[1];
    return line;
}

std::string CommandLineHelp(const std::string& program, const std::function<std::string(int)>& textOf) {
    std::string out = FillTextPlaceholders(textOf(kTextUsage), {program}) + "\n" + textOf(kTextAbout) + "\n\n";
    out += Row("FRONT", textOf(kTextFront));
    out += Row("BACK", textOf(kTextBack));
    out += Row("-h, --help", textOf(kTextHelp));
    out += Row("-v, --version", textOf(kTextVersion));
    return out;
}

std::string CommandLineVersion() { return std::string("Korvane ") + kVersionText + "\n"; }

std::string CommandLineError(const std::string& program, const CommandLine& line,
                             const std::function<std::string(int)>& textOf) {
    if (line.action == CommandLine::Action::UnknownOption)
        return FillTextPlaceholders(textOf(kTextUnknownOption), {program, line.bad}) + "\n";
    if (line.action == CommandLine::Action::TooManyFiles)
        return FillTextPlaceholders(textOf(kTextTooManyFiles), {program}) + "\n";
    return {};
}
