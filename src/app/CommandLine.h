#pragma once
// The desktop program's command line: `korvane [FRONT [BACK]]`, --help and
// --version. Qt's own options are taken out by Qt before the files are read.
#include <functional>
#include <string>
#include <vector>

struct CommandLine {
    enum class Action { Run, Help, Version, UnknownOption, TooManyFiles };
    Action action = Action::Run;
    std::string front;  // for the left slot; may be empty
    std::string back;   // for the right slot; may be empty
    std::string bad;    // the unknown option
};

// `args` without the program's name. --help (-h) and --version (-v) win
// over everything else; "--" ends the options, so "-x.jpg" can be a file.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The answer to --help in the current language (`textOf` gives texts by
// number), for the program called `program`.
std::string CommandLineHelp(const std::string& program, const std::function<std::string(int)>& textOf);
// The answer to --version.
std::string CommandLineVersion();
// The line for a command line that cannot be run, for standard error.
std::string CommandLineError(const std::string& program, const CommandLine& line,
                             const std::function<std::string(int)>& textOf);
