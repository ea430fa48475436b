#pragma once
// korvane-cli sub-commands register themselves here; main() dispatches by name.
#include <string>
#include <vector>

using CliHandler = int (*)(const std::vector<std::string>& args);

struct CliCommand {
    CliCommand(const char* name, const char* usage, CliHandler handler);
};

struct CliCommandEntry {
    const char* name;
    const char* usage;
    CliHandler handler;
};

const std::vector<CliCommandEntry>& CliCommands();
