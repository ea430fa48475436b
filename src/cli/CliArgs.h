#pragma once
// A command's command line as QCommandLineParser reads it: "--name VALUE",
// "--name=VALUE", flags, "-o VALUE", operands anywhere, and "--" before
// operands that start with "-". The command then takes out what it uses;
// what is left over is an error.
#include "cli/CliCommand.h"

#include <string>
#include <vector>

class CCliArgs {
public:
    // Reads `args` (what follows the command's name) with the command's
    // options and -h/--help. False, with Error() set, when the line does not
    // read (an unknown option, an option without its value).
    bool Parse(const CliCommandEntry& command, const std::vector<std::string>& args);
    bool HelpAsked() const { return help_; }

    // "--name VALUE": the last one given; false when absent.
    bool TakeValue(const std::string& name, std::string& value);
    // "--name" alone; true when given.
    bool TakeFlag(const std::string& name);
    // Whether an option was given, without taking it.
    bool Has(const std::string& name) const;
    // The operands, taken.
    std::vector<std::string> TakeOperands();

    // The first error met, or an operand not taken.
    bool Finish(std::string& error) const;
    const std::string& Error() const { return error_; }
    void SetError(const std::string& e) {
        if (error_.empty())
            error_ = e;
    }

private:
    struct Given {
        std::string name;
        std::vector<std::string> values;
        bool taken = false;
    };
    Given* Find(const std::string& name);
    const Given* Find(const std::string& name) const;

    std::vector<Given> given_;
    std::vector<std::string> operands_;
    bool operandsTaken_ = false;
    bool help_ = false;
    std::string error_;
};

// "korvane-cli ..." help texts, wrapped to 80 columns.
std::string CliProgramHelp();
std::string CliCommandHelp(const CliCommandEntry& command);
