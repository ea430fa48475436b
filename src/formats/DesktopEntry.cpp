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

// One argument of a command line; `quoted` when any of it stood in double
// quotes or behind a backslash.
struct Argument {
    std::string text;
    bool quoted = false;
};

bool SplitArguments(const std::string& line, std::vector<Argument>& args) {
    args.clear();
    Argument arg;
    bool haveArg = false, inQuotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (inQuotes) {
            if (c == '"') {
                inQuotes = false;
            } else if (c == '\\' && i + 1 < line.size() &&
                       (line[i + 1] == '"' || line[i + 1] == '`' || line[i + 1] == '$' || line[i + 1] == '\\')) {
                arg.text += line[++i];
            } else {
                arg.text += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (haveArg) args.push_back(arg);
            arg = Argument{};
            haveArg = false;
        } else if (c == '"') {
            inQuotes = true;
            arg.quoted = true;
            haveArg = true;
        } else if (c == '\\' && i + 1 < line.size()) {
            arg.text += line[++i];
            arg.quoted = true;
            haveArg = true;
        } else {
            arg.text += c;
            haveArg = true;
        }
    }
    if (inQuotes) return false;
    if (haveArg) args.push_back(arg);
    return true;
}

// The value as one word of a POSIX shell: in single quotes, a single quote
// written as '\''.
std::string ShellWord(const std::string& value) {
    std::string out = "'";
    for (char c : value) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

// One argument with its field codes filled in; `usedFile` is set when it
// held a file code. Returns false when the argument is to be dropped.
// A quoted argument is most often a script for a shell (sh -c "edit %f"),
// which would run whatever the path holds: there a value goes in as one
// quoted shell word, as GLib's launcher does, so an entry behaves here as it
// does on the desktop.
bool ExpandArgument(const Argument& arg, const DesktopEntry& entry, const std::string& file,
                    std::vector<std::string>& argv, bool& usedFile) {
    if (arg.text == "%i" && !arg.quoted) {
        if (!entry.icon.empty()) {
            argv.push_back("--icon");
            argv.push_back(entry.icon);
        }
        return true;
    }
    const auto value = [&arg](const std::string& v) { return arg.quoted ? ShellWord(v) : v; };
    const std::string& text = arg.text;
    std::string out;
    bool onlyCodes = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%' || i + 1 == text.size()) {
            out += text[i];
            onlyCodes = false;
            continue;
        }
        const char code = text[++i];
        switch (code) {
        case 'f': case 'F': case 'u': case 'U':
            out += value(file);
            usedFile = true;
            onlyCodes = false;
            break;
        case 'c': out += value(entry.name); onlyCodes = false; break;
        case 'k': out += value(entry.path); onlyCodes = false; break;
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
    std::vector<Argument> parts;
    if (!SplitArguments(line, parts)) return false;
    for (Argument& part : parts) args.push_back(std::move(part.text));
    return true;
}

bool ExpandExec(const DesktopEntry& entry, const std::string& file, std::vector<std::string>& argv) {
    argv.clear();
    std::vector<Argument> args;
    if (!SplitArguments(entry.exec, args) || args.empty()) return false;
    bool usedFile = false;
    for (const Argument& arg : args) ExpandArgument(arg, entry, file, argv, usedFile);
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
