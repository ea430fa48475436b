#pragma once
// Finding the user's text editor for the formats file on a freedesktop
// system, in this order:
//  1. the desktop's default application for text/plain, as `xdg-mime query
//     default text/plain` finds it: the mimeapps.list files (per desktop,
//     then general) of XDG_CONFIG_HOME, XDG_CONFIG_DIRS and the applications
//     folders of XDG_DATA_HOME and XDG_DATA_DIRS, their [Default
//     Applications] before their [Added Associations], then defaults.list and
//     mimeinfo.cache; each started through its .desktop entry's Exec line
//     (inside x-terminal-emulator or xterm when the entry runs in a terminal);
//  2. $VISUAL, then $EDITOR, when they name a graphical program;
//  3. the first installed of a short list of common desktop text editors.
// Every way that cannot be used is noted, so that a failure can say what
// was tried.
#include <functional>
#include <string>
#include <vector>

// The environment the search reads ("" for an unset variable).
struct EditorEnvironment {
    std::function<std::string(const std::string&)> variable;
    // This process's environment.
    static EditorEnvironment Process();
};

struct EditorCommand {
    std::vector<std::string> argv;  // program (found on PATH or absolute), arguments
    std::string workingDir;         // "" = leave it
    std::string origin;             // where it came from, e.g. "gedit.desktop", "$VISUAL"
};

struct EditorSearch {
    // Commands that can be started, best first.
    std::vector<EditorCommand> commands;
    // What was looked at and could not be used, with the reason.
    std::vector<std::string> tried;
};

// The common desktop editors looked for last, in order.
const std::vector<std::string>& CommonTextEditors();

// The desktop ids associated with text/plain, in the order they are tried
// (duplicates removed).
std::vector<std::string> TextPlainDesktopIds(const EditorEnvironment& env);
// The .desktop file of an id in the applications folders ("" when none).
std::string FindDesktopFile(const std::string& desktopId, const EditorEnvironment& env);
// The full path of a program: a name with "/" as it is when executable,
// else the first executable file of that name in PATH; "" when none.
std::string FindProgram(const std::string& program, const EditorEnvironment& env);
// Whether a command line names a program that shows a window of its own (not
// one of the editors that run inside a terminal).
bool IsGraphicalEditor(const std::vector<std::string>& argv);

// Every way to open `file`, in the order above.
EditorSearch FindTextEditors(const std::string& file, const EditorEnvironment& env);

// The message shown when nothing could be started.
std::string EditorFailureMessage(const std::vector<std::string>& tried, const std::string& file);
