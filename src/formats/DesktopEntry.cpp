#include "formats/DesktopEntry.h"

#include "base/AsciiText.h"
#include "settings/TextFile.h"

#include <sstream>

namespace {

constexpr std::size_t kMaxDesktopFileSize = 1u << 20;

// The general escapes of a string value.
std::string Unescape(const std::string& v) {
    std::string out;
    for (std::size_t i = 0; i < v.size(); ++i) {
        if (v[i] != '\\' || i + 1 == v.size()) {
            out += v[i];
            continue;
        }
        const char c = v[++i];
        switch (c) {
        case 's': out += ' '; break;
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default:  // not a general escape: kept for the Exec quoting rules
            out += '\\';
            out += c;
        }
    }
    return out;
}

bool IsTrue(const std::string& v) { return v == "true" || v == "1"; }

std::vector<std::string> SplitList(const std::string& v) {
    std::vector<std::string> items;
    std::string item;
    for (char c : v) {
        if (c == ';') {
            if (!item.empty()) items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    if (!item.empty()) items.push_back(item);
    return items;
}

// One argument with its field codes filled in; `usedFile` is set when it
// held a file code. Returns false when the argument is to be dropped.
bool ExpandArgument(const std::string& arg, const DesktopEntry& entry, const std::string& file,
                    std::vector<std::string>& argv, bool& usedFile) {
    if (arg == "%i") {
        if (!entry.icon.empty()) {
            argv.push_back("--icon");
            argv.push_back(entry.icon);
        }
        return true;
    }
    std::string out;
    bool onlyCodes = true;
    for (std::size_t i = 0; i < arg.size(); ++i) {
        if (arg[i] != '%' || i + 1 == arg.size()) {
            out += arg[i];
            onlyCodes = false;
            continue;
        }
        const char code = arg[++i];
        switch (code) {
        case 'f': case 'F': case 'u': case 'U':
            out += file;
            usedFile = true;
            onlyCodes = false;
            break;
        case 'c': out += entry.name; onlyCodes = false; break;
        case 'k': out += entry.path; onlyCodes = false; break;
        case '%': out += '%'; onlyCodes = false; break;
        default: break;  // deprecated or unknown codes are dropped
        }
    }
    if (onlyCodes && out.empty()) return false;
    argv.push_back(out);
    return true;
}

}  // namespace

bool ReadDesktopEntry(const std::string& path, DesktopEntry& entry) {
    std::string bytes;
    if (ReadWholeFile(path, kMaxDesktopFileSize, bytes) != FileReadResult::Ok) return false;
    return ParseDesktopEntry(bytes, path, entry);
}

bool ParseDesktopEntry(const std::string& text, const std::string& path, DesktopEntry& entry) {
    entry = DesktopEntry{};
    entry.path = path;
    std::istringstream in(text);
    std::string line;
    bool inGroup = false, found = false;
    while (std::getline(in, line)) {
        line = AsciiTrim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inGroup = line == "[Desktop Entry]";
            found = found || inGroup;
            continue;
        }
        if (!inGroup) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = AsciiTrim(line.substr(0, eq));
        const std::string value = Unescape(AsciiTrim(line.substr(eq + 1)));
        if (key == "Type") entry.type = value;
        else if (key == "Name") entry.name = value;
        else if (key == "Icon") entry.icon = value;
        else if (key == "Exec") entry.exec = value;
        else if (key == "TryExec") entry.tryExec = value;
        else if (key == "Path") entry.workingDir = value;
        else if (key == "Hidden") entry.hidden = IsTrue(value);
        else if (key == "Terminal") entry.terminal = IsTrue(value);
        else if (key == "MimeType") entry.mimeTypes = SplitList(value);
    }
    return found;
}

bool SplitCommandLine(const std::string& line, std::vector<std::string>& args) {
    args.clear();
    std::string arg;
    bool haveArg = false, quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < line.size() &&
                       (line[i + 1] == '"' || line[i + 1] == '`' || line[i + 1] == '$' || line[i + 1] == '\\')) {
                arg += line[++i];
            } else {
                arg += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (haveArg) args.push_back(arg);
            arg.clear();
            haveArg = false;
        } else if (c == '"') {
            quoted = true;
            haveArg = true;
        } else if (c == '\\' && i + 1 < line.size()) {
            arg += line[++i];
            haveArg = true;
        } else {
            arg += c;
            haveArg = true;
        }
    }
    if (quoted) return false;
    if (haveArg) args.push_back(arg);
    return true;
}

bool ExpandExec(const DesktopEntry& entry, const std::string& file, std::vector<std::string>& argv) {
    argv.clear();
    std::vector<std::string> args;
    if (!SplitCommandLine(entry.exec, args) || args.empty()) return false;
    bool usedFile = false;
    for (const std::string& arg : args) ExpandArgument(arg, entry, file, argv, usedFile);
    if (argv.empty()) return false;
    if (!usedFile) argv.push_back(file);
    return true;
}

std::string JoinCommandLine(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args) {
        if (!line.empty()) line += ' ';
        if (a.empty() || a.find_first_of(" \t\n\"\\`$") != std::string::npos) {
            line += '"';
            for (char c : a) {
                if (c == '"' || c == '\\' || c == '`' || c == '$') line += '\\';
                line += c;
            }
            line += '"';
        } else {
            line += a;
        }
    }
    return line;
}
