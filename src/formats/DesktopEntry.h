#pragma once
// A freedesktop .desktop file's [Desktop Entry] group, as far as starting the
// program it describes: its command line with the field codes filled in.
#include <string>
#include <vector>

struct DesktopEntry {
    std::string path;      // the file it was read from
    std::string type;      // "Application" for programs
    std::string name;      // unlocalised Name
    std::string icon;
    std::string exec;      // Exec, general escapes (\s \n \t \r \\) resolved
    std::string tryExec;
    std::string workingDir;  // Path
    bool hidden = false;
    bool terminal = false;
    std::vector<std::string> mimeTypes;
};

// Reads the [Desktop Entry] group of a file; false when it cannot be read
// or has no such group.
bool ReadDesktopEntry(const std::string& path, DesktopEntry& entry);
// The same from the file's text.
bool ParseDesktopEntry(const std::string& text, const std::string& path, DesktopEntry& entry);

// Splits a command line into arguments at unquoted blanks; "..." quotes an
// argument, in which \" \` \$ \\ stand for the character; outside quotes a
// backslash takes the next character as it is. False for an unclosed quote.
bool SplitCommandLine(const std::string& line, std::vector<std::string>& args);

// The entry's Exec as arguments to start it on `file`: %f %F %u %U become
// the file, %i the icon ("--icon", Icon), %c the name, %k the entry's path,
// %% a "%"; the other codes are dropped. In an argument that is quoted (in
// part, or by a backslash) a value goes in as one single-quoted shell word,
// so that a shell given that argument as a script reads the path as one
// word and runs nothing it holds. A command without a file code gets the
// file as its last argument. False when Exec is empty or malformed.
bool ExpandExec(const DesktopEntry& entry, const std::string& file, std::vector<std::string>& argv);

// Arguments as one readable line that SplitCommandLine reads back: an
// argument with blanks, quotes, backslashes, "`" or "$" is put in double quotes.
std::string JoinCommandLine(const std::vector<std::string>& args);
