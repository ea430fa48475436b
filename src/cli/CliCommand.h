#pragma once
// korvane-cli commands register themselves here with their options; main()
// reads the command line (cli/CliArgs.h) and dispatches by name.
#include <string>
#include <vector>

class CCliArgs;

// One option of a command: "--name VALUE" (or "--name=VALUE") when it has a
// value name, a flag otherwise. A name of one letter is written "-n".
struct CliOption {
    std::string name;
    std::string valueName;  // empty: a flag
    std::string help;
};

// The command's arguments that are not options, in its help.
struct CliOperand {
    std::string name;  // "FILE", "FILE..."
    std::string help;
};

using CliHandler = int (*)(CCliArgs& args);

struct CliCommandEntry {
    const char* name;
    const char* synopsis;  // after "korvane-cli NAME ", e.g. "[FILE] [--rewrite OUT]"
    const char* summary;   // what it does, in a sentence or two
    std::vector<CliOption> options;
    std::vector<CliOperand> operands;
    CliHandler handler;
};

struct CliCommand {
    explicit CliCommand(CliCommandEntry entry);
};

const std::vector<CliCommandEntry>& CliCommands();

// Exit statuses of every command.
inline constexpr int kCliDone = 0;
inline constexpr int kCliFailed = 1;
inline constexpr int kCliUsage = 2;

// "korvane-cli: MESSAGE" on standard error; returns `status`.
int CliFail(int status, const std::string& message);
// "korvane-cli: MESSAGE" and where to find the command's help on standard
// error; returns kCliUsage.
int CliUsageError(const std::string& command, const std::string& message);
