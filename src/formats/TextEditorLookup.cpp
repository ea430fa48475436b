#include "formats/TextEditorLookup.h"

#include "base/AsciiText.h"
#include "formats/DesktopEntry.h"
#include "settings/TextFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

constexpr const char* kMimeType = "text/plain";
constexpr std::size_t kMaxListFileSize = 4u << 20;

std::vector<std::string> SplitOn(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(s);
    while (std::getline(in, part, sep))
        if (!part.empty()) parts.push_back(part);
    return parts;
}

struct Folders {
    std::vector<std::string> config;        // XDG_CONFIG_HOME, XDG_CONFIG_DIRS
    std::vector<std::string> applications;  // <XDG_DATA_HOME, XDG_DATA_DIRS>/applications
    std::vector<std::string> desktops;      // XDG_CURRENT_DESKTOP, lower case
};

Folders XdgFolders(const EditorEnvironment& env) {
    auto var = [&](const char* name) { return env.variable ? env.variable(name) : std::string(); };
    const std::string home = var("HOME");
    Folders f;
    std::string configHome = var("XDG_CONFIG_HOME");
    if (configHome.empty() && !home.empty()) configHome = home + "/.config";
    if (!configHome.empty()) f.config.push_back(configHome);
    std::string configDirs = var("XDG_CONFIG_DIRS");
    for (const std::string& d : SplitOn(configDirs.empty() ? "/etc/xdg" : configDirs, ':')) f.config.push_back(d);
    std::string dataHome = var("XDG_DATA_HOME");
    if (dataHome.empty() && !home.empty()) dataHome = home + "/.local/share";
    if (!dataHome.empty()) f.applications.push_back(dataHome + "/applications");
    std::string dataDirs = var("XDG_DATA_DIRS");
    for (const std::string& d : SplitOn(dataDirs.empty() ? "/usr/local/share:/usr/share" : dataDirs, ':'))
        f.applications.push_back(d + "/applications");
    f.desktops = SplitOn(AsciiLower(var("XDG_CURRENT_DESKTOP")), ':');
    return f;
}

// The desktop ids of text/plain in each group of a list file.
struct ListGroups {
    std::vector<std::string> defaults, added, removed, cache;
};

ListGroups ReadListFile(const std::string& path) {
    ListGroups groups;
    std::string bytes;
    if (ReadWholeFile(path, kMaxListFileSize, bytes) != FileReadResult::Ok) return groups;
    std::istringstream in(bytes);
    std::string line;
    std::vector<std::string>* group = nullptr;
    while (std::getline(in, line)) {
        line = AsciiTrim(line);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            group = line == "[Default Applications]"   ? &groups.defaults
                    : line == "[Added Associations]"   ? &groups.added
                    : line == "[Removed Associations]" ? &groups.removed
                    : line == "[MIME Cache]"           ? &groups.cache
                                                       : nullptr;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!group || eq == std::string::npos || AsciiTrim(line.substr(0, eq)) != kMimeType) continue;
        for (const std::string& id : SplitOn(line.substr(eq + 1), ';')) group->push_back(AsciiTrim(id));
    }
    return groups;
}

void AppendUnique(std::vector<std::string>& to, const std::vector<std::string>& ids,
                  const std::vector<std::string>& except = {}) {
    for (const std::string& id : ids) {
        if (id.empty() || std::find(to.begin(), to.end(), id) != to.end()) continue;
        if (std::find(except.begin(), except.end(), id) != except.end()) continue;
        to.push_back(id);
    }
}

bool IsExecutableFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
#ifdef _WIN32
    return true;
#else
    return ::access(path.c_str(), X_OK) == 0;
#endif
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A desktop entry as a command, or the reason it cannot be one.
bool CommandOfEntry(const std::string& id, const std::string& file, const EditorEnvironment& env,
                    EditorCommand& command, std::string& why) {
    const std::string path = FindDesktopFile(id, env);
    DesktopEntry entry;
    if (path.empty()) {
        why = "not installed";
        return false;
    }
    if (!ReadDesktopEntry(path, entry)) {
        why = "unreadable " + path;
        return false;
    }
    if (entry.hidden || (!entry.type.empty() && entry.type != "Application")) {
        why = "not an application";
        return false;
    }
    if (!entry.tryExec.empty() && FindProgram(entry.tryExec, env).empty()) {
        why = entry.tryExec + " not found";
        return false;
    }
    std::vector<std::string> argv;
    if (!ExpandExec(entry, file, argv)) {
        why = "no usable Exec line in " + path;
        return false;
    }
    const std::string program = FindProgram(argv[0], env);
    if (program.empty()) {
        why = argv[0] + " not found";
        return false;
    }
    argv[0] = program;
    if (entry.terminal) {
        // A terminal program gets a terminal window of its own.
        std::string terminal;
        for (const char* name : {"x-terminal-emulator", "xterm"})
            if (terminal.empty()) terminal = FindProgram(name, env);
        if (terminal.empty()) {
            why = "runs in a terminal, and no x-terminal-emulator or xterm was found";
            return false;
        }
        argv.insert(argv.begin(), {terminal, "-e"});
    }
    command = EditorCommand{std::move(argv), entry.workingDir, id};
    return true;
}

}  // namespace

EditorEnvironment EditorEnvironment::Process() {
    return EditorEnvironment{[](const std::string& name) {
        const char* v = std::getenv(name.c_str());
        return v ? std::string(v) : std::string();
    }};
}

const std::vector<std::string>& CommonTextEditors() {
    static const std::vector<std::string> editors = {
        "gnome-text-editor", "gedit", "kate",   "kwrite", "mousepad", "pluma",
        "xed",               "featherpad", "leafpad", "geany", "gvim"};
    return editors;
}

std::vector<std::string> TextPlainDesktopIds(const EditorEnvironment& env) {
    const Folders f = XdgFolders(env);
    std::vector<std::string> listFiles;
    auto addFolder = [&](const std::string& dir) {
        for (const std::string& desktop : f.desktops) listFiles.push_back(dir + "/" + desktop + "-mimeapps.list");
        listFiles.push_back(dir + "/mimeapps.list");
    };
    for (const std::string& d : f.config) addFolder(d);
    for (const std::string& d : f.applications) addFolder(d);

    std::vector<ListGroups> lists;
    for (const std::string& p : listFiles) lists.push_back(ReadListFile(p));
    std::vector<std::string> ids, removed;
    for (const ListGroups& g : lists) AppendUnique(ids, g.defaults);
    for (const ListGroups& g : lists) {
        AppendUnique(removed, g.removed);
        AppendUnique(ids, g.added, removed);
    }
    // The older files: defaults.list, then what the installed programs say
    // they open (mimeinfo.cache).
    for (const std::string& d : f.applications) AppendUnique(ids, ReadListFile(d + "/defaults.list").defaults);
    for (const std::string& d : f.applications) AppendUnique(ids, ReadListFile(d + "/mimeinfo.cache").cache, removed);
    return ids;
}

std::string FindDesktopFile(const std::string& desktopId, const EditorEnvironment& env) {
    if (desktopId.empty() || desktopId.find("..") != std::string::npos || desktopId[0] == '/') return {};
    // "vendor-app.desktop" may also stand in a sub-folder: vendor/app.desktop.
    std::vector<std::string> names{desktopId};
    std::string name = desktopId;
    for (std::size_t dash = name.find('-'); dash != std::string::npos; dash = name.find('-', dash + 1)) {
        name[dash] = '/';
        names.push_back(name);
    }
    for (const std::string& dir : XdgFolders(env).applications) {
        for (const std::string& n : names) {
            std::error_code ec;
            const std::string path = dir + "/" + n;
            if (std::filesystem::is_regular_file(path, ec)) return path;
        }
    }
    return {};
}

std::string FindProgram(const std::string& program, const EditorEnvironment& env) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : std::string();
    std::string path = env.variable ? env.variable("PATH") : std::string();
    if (path.empty()) path = "/usr/local/bin:/usr/bin:/bin";
    for (const std::string& dir : SplitOn(path, ':')) {
        const std::string candidate = dir + "/" + program;
        if (IsExecutableFile(candidate)) return candidate;
    }
    return {};
}

bool IsGraphicalEditor(const std::vector<std::string>& argv) {
    if (argv.empty()) return false;
    static const char* const kTerminalEditors[] = {
        "vi",    "vim",  "view", "nvim", "nano", "pico", "ed", "ex",  "joe", "jed",   "mcedit", "micro",
        "mg",    "ne",   "hx",   "helix", "kak", "vis",  "le", "jove", "zile", "tilde", "editor", "sensible-editor"};
    const std::string name = BaseName(argv[0]);
    for (const char* t : kTerminalEditors)
        if (name == t) return false;
    if (name == "emacs" || name == "emacsclient") {
        for (const std::string& a : argv)
            if (a == "-nw" || a == "-t" || a == "--no-window-system" || a == "-tty" || a == "--tty") return false;
    }
    return true;
}

EditorSearch FindTextEditors(const std::string& file, const EditorEnvironment& env) {
    EditorSearch search;
    const std::vector<std::string> ids = TextPlainDesktopIds(env);
    if (ids.empty()) search.tried.push_back(std::string("no default application for ") + kMimeType);
    for (const std::string& id : ids) {
        EditorCommand command;
        std::string why;
        if (CommandOfEntry(id, file, env, command, why))
            search.commands.push_back(std::move(command));
        else
            search.tried.push_back(id + " (" + why + ")");
    }

    for (const char* name : {"VISUAL", "EDITOR"}) {
        const std::string value = env.variable ? env.variable(name) : std::string();
        if (value.empty()) continue;
        const std::string label = std::string("$") + name + " = " + value;
        std::vector<std::string> argv;
        if (!SplitCommandLine(value, argv) || argv.empty()) {
            search.tried.push_back(label + " (not a command)");
            continue;
        }
        if (!IsGraphicalEditor(argv)) {
            search.tried.push_back(label + " (runs in a terminal)");
            continue;
        }
        const std::string program = FindProgram(argv[0], env);
        if (program.empty()) {
            search.tried.push_back(label + " (not found)");
            continue;
        }
        argv[0] = program;
        argv.push_back(file);
        search.commands.push_back(EditorCommand{std::move(argv), {}, std::string("$") + name});
    }

    std::string missing;
    for (const std::string& editor : CommonTextEditors()) {
        const std::string program = FindProgram(editor, env);
        if (program.empty()) {
            missing += (missing.empty() ? "" : ", ") + editor;
            continue;
        }
        search.commands.push_back(EditorCommand{{program, file}, {}, editor});
    }
    if (!missing.empty()) search.tried.push_back(missing + " (not installed)");
    return search;
}

std::string EditorFailureMessage(const std::vector<std::string>& tried, const std::string& file) {
    std::string commands;
    for (const std::string& t : tried) commands += (commands.empty() ? "" : "\n") + t;
    return "OOPS ! SOMETHING WENT TERRIBLY WRONG :\nRetrieving application associated to *.txt not found\n"
           "ShellCommand = " + commands + "\nParameters = " + file;
}
