#include "cli/CliArgs.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>

namespace {
constexpr std::size_t kWidth = 80;
constexpr std::size_t kOptionColumn = 26;

// Arguments pass through Qt byte for byte: file names need not be UTF-8.
QString ToQt(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }
std::string FromQt(const QString& s) { return s.toLatin1().toStdString(); }

std::string Dashed(const std::string& name) { return (name.size() == 1 ? "-" : "--") + name; }

// `text` wrapped at blanks into lines of at most kWidth columns; the first
// line starts after `first` (already written), the others with `indent`.
std::string Wrap(const std::string& first, const std::string& text, std::size_t indent) {
    std::string out = first, line = first;
    std::size_t i = 0;
    // A first line ending in a word gets a blank before the text.
    bool lineHasWord = !first.empty() && first.back() != ' ';
    while (i < text.size()) {
        const std::size_t end = std::min(text.find(' ', i), text.size());
        const std::string word = text.substr(i, end - i);
        i = end + 1;
        if (word.empty())
            continue;
        if (lineHasWord && line.size() + 1 + word.size() > kWidth) {
            out += "\n" + std::string(indent, ' ');
            line.assign(indent, ' ');
            lineHasWord = false;
        }
        const std::string piece = (lineHasWord ? " " : "") + word;
        out += piece;
        line += piece;
        lineHasWord = true;
    }
    return out + "\n";
}

// "  NAME    help" rows of a help text.
std::string Row(const std::string& left, const std::string& help) {
    std::string first = "  " + left;
    if (first.size() + 2 > kOptionColumn)
        return first + "\n" + Wrap(std::string(kOptionColumn, ' '), help, kOptionColumn);
    first.resize(kOptionColumn, ' ');
    return Wrap(first, help, kOptionColumn);
}

const CliOption kHelpOption{"help", "", "show this help and exit"};
}  // namespace

bool CCliArgs::Parse(const CliCommandEntry& command, const std::vector<std::string>& args) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOption(QCommandLineOption(QStringList{"h", "help"}));
    for (const CliOption& o : command.options) {
        if (o.valueName.empty())
            parser.addOption(QCommandLineOption(ToQt(o.name)));
        else
            parser.addOption(QCommandLineOption(ToQt(o.name), QString(), ToQt(o.valueName)));
    }
    QStringList line{ToQt(std::string("korvane-cli ") + command.name)};
    for (const std::string& a : args)
        line << ToQt(a);
    if (!parser.parse(line)) {
        SetError(FromQt(parser.errorText()));
        // Help asked before the mistake still counts.
        help_ = std::find(args.begin(), args.end(), "--help") != args.end() ||
                std::find(args.begin(), args.end(), "-h") != args.end();
        return false;
    }
    help_ = parser.isSet("help");
    for (const CliOption& o : command.options) {
        const QStringList values = parser.values(ToQt(o.name));
        if (!parser.isSet(ToQt(o.name)))
            continue;
        Given g{o.name, {}, false};
        for (const QString& v : values)
            g.values.push_back(FromQt(v));
        given_.push_back(std::move(g));
    }
    for (const QString& p : parser.positionalArguments())
        operands_.push_back(FromQt(p));
    return true;
}

CCliArgs::Given* CCliArgs::Find(const std::string& name) {
    for (Given& g : given_)
        if (g.name == name)
            return &g;
    return nullptr;
}

const CCliArgs::Given* CCliArgs::Find(const std::string& name) const {
    for (const Given& g : given_)
        if (g.name == name)
            return &g;
    return nullptr;
}

bool CCliArgs::TakeValue(const std::string& name, std::string& value) {
    Given* g = Find(name);
    if (!g)
        return false;
    g->taken = true;
    if (!g->values.empty())
        value = g->values.back();
    return true;
}

bool CCliArgs::TakeFlag(const std::string& name) {
    Given* g = Find(name);
    if (g)
        g->taken = true;
    return g != nullptr;
}

bool CCliArgs::Has(const std::string& name) const { return Find(name) != nullptr; }

std::vector<std::string> CCliArgs::TakeOperands() {
    operandsTaken_ = true;
    return operands_;
}

bool CCliArgs::Finish(std::string& error) const {
    if (!error_.empty()) {
        error = error_;
        return false;
    }
    if (!operandsTaken_ && !operands_.empty()) {
        error = "unexpected argument '" + operands_.front() + "'";
        return false;
    }
    for (const Given& g : given_) {
        if (!g.taken) {
            error = Dashed(g.name) + " does not go with the other options";
            return false;
        }
    }
    return true;
}

std::string CliProgramHelp() {
    std::string out = "Usage: korvane-cli COMMAND [OPTION]... [ARGUMENT]...\n"
                      "       korvane-cli COMMAND --help\n"
                      "       korvane-cli --help | --version\n\n";
    out += Wrap("", "Lays out, renders and prints disc covers from the command line, exactly as the desktop "
                    "program korvane does, from the same cover formats file (Korvane.dat).", 0);
    out += "\nCommands:\n";
    for (const CliCommandEntry& c : CliCommands())
        out += Row(c.name, c.summary);
    out += "\nOptions:\n";
    out += Row("-h, --help", kHelpOption.help);
    out += Row("--version", "show the version and exit");
    out += "\n" + Wrap("", "Options take their value as \"--name VALUE\" or \"--name=VALUE\"; \"--\" ends the "
                           "options. A file name \"-\" to write means standard output.", 0);
    out += Wrap("", "Exit status: 0 done, 1 failed, 2 wrong usage.", 0);
    return out;
}

std::string CliCommandHelp(const CliCommandEntry& c) {
    std::string out = Wrap("Usage: korvane-cli " + std::string(c.name), c.synopsis, 7);
    // The summary as a sentence of its own.
    std::string sentence = c.summary;
    if (!sentence.empty() && sentence[0] >= 'a' && sentence[0] <= 'z')
        sentence[0] = static_cast<char>(sentence[0] - 'a' + 'A');
    out += "\n" + Wrap("", sentence + ".", 0);
    if (!c.operands.empty()) {
        out += "\nArguments:\n";
        for (const CliOperand& a : c.operands)
            out += Row(a.name, a.help);
    }
    out += "\nOptions:\n";
    for (const CliOption& o : c.options)
        out += Row(Dashed(o.name) + (o.valueName.empty() ? "" : " " + o.valueName), o.help);
    out += Row("-h, --help", kHelpOption.help);
    return out;
}
