// korvane-cli: the command-line companion of the program, over the same core.
#include "cli/CliCommand.h"

#include <cstdio>
#include <cstring>

namespace {
std::vector<CliCommandEntry>& registry() {
    static std::vector<CliCommandEntry> commands;
    return commands;
}

void printUsage() {
    std::fprintf(stderr, "usage: korvane-cli COMMAND [options]\n\ncommands:\n");
    for (const CliCommandEntry& c : registry())
        std::fprintf(stderr, "  %s\n", c.usage);
}
}  // namespace

CliCommand::CliCommand(const char* name, const char* usage, CliHandler handler) {
    registry().push_back({name, usage, handler});
}

const std::vector<CliCommandEntry>& CliCommands() { return registry(); }

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        printUsage();
        return argc < 2 ? 2 : 0;
    }
    for (const CliCommandEntry& c : registry()) {
        if (std::strcmp(c.name, argv[1]) == 0)
            return c.handler(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "korvane-cli: unknown command '%s'\n", argv[1]);
    printUsage();
    return 2;
}
