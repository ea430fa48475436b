// korvane-cli: the command-line companion of the program, over the same core.
#include "cli/CliArgs.h"
#include "cli/CliCommand.h"
#include "settings/AppSettings.h"

#include <QCommandLineParser>
#include <QStringList>

#include <cstdio>

namespace {
std::vector<CliCommandEntry>& registry() {
    static std::vector<CliCommandEntry> commands;
    return commands;
}

const CliCommandEntry* findCommand(const std::string& name) {
    for (const CliCommandEntry& c : registry())
        if (name == c.name)
            return &c;
    return nullptr;
}

int printOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kCliDone : kCliFailed;
}
}  // namespace

CliCommand::CliCommand(CliCommandEntry entry) { registry().push_back(std::move(entry)); }

const std::vector<CliCommandEntry>& CliCommands() { return registry(); }

int CliFail(int status, const std::string& message) {
    std::fprintf(stderr, "korvane-cli: %s\n", message.c_str());
    return status;
}

int CliUsageError(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "korvane-cli: %s\nTry 'korvane-cli %s%s--help' for more information.\n", message.c_str(),
                 command.c_str(), command.empty() ? "" : " ");
    return kCliUsage;
}

int main(int argc, char** argv) {
    // The program's own options come before the command; everything after
    // the command is the command's.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOption(QCommandLineOption(QStringList{"h", "help"}));
    parser.addOption(QCommandLineOption("version"));
    QStringList line;
    for (int i = 0; i < argc; ++i)
        line << QString::fromLatin1(argv[i]);
    if (!parser.parse(line))
        return CliUsageError("", parser.errorText().toStdString());
    if (parser.isSet("help"))
        return printOut(CliProgramHelp());
    if (parser.isSet("version"))
        return printOut(std::string("korvane-cli ") + kVersionText + "\n");
    const QStringList rest = parser.positionalArguments();
    if (rest.isEmpty())
        return CliUsageError("", "a command is required");
    const std::string name = rest.front().toLatin1().toStdString();
    const CliCommandEntry* command = findCommand(name);
    if (!command)
        return CliUsageError("", "unknown command '" + name + "'");

    std::vector<std::string> args;
    for (qsizetype i = 1; i < rest.size(); ++i)
        args.push_back(rest[i].toLatin1().toStdString());
    CCliArgs cli;
    const bool read = cli.Parse(*command, args);
    if (cli.HelpAsked())
        return printOut(CliCommandHelp(*command));
    if (!read)
        return CliUsageError(name, cli.Error());
    return command->handler(cli);
}
