// The desktop program's command line: which files go to which slot, and what
// --help, --version and a wrong command line answer.
#include "app/CommandLine.h"
#include "settings/LanguageTable.h"

#include <gtest/gtest.h>

namespace {
using Action = CommandLine::Action;
CommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args); }
std::string English(int n) { return BuiltinEnglishText(n); }
}  // namespace

TEST(CommandLine, FrontAndBackGoToTheirSlotsAndHelpAndVersionWin) {
    EXPECT_EQ(Parse({}).action, Action::Run);
    const CommandLine one = Parse({"a.webp"});
    EXPECT_EQ(one.action, Action::Run);
    EXPECT_EQ(one.front, "a.webp");
    EXPECT_EQ(one.back, "");
    const CommandLine two = Parse({"a.webp", "b.heic"});
    EXPECT_EQ(two.front, "a.webp");
    EXPECT_EQ(two.back, "b.heic");
    EXPECT_EQ(Parse({"a", "b", "c"}).action, Action::TooManyFiles);
    // After "--" a name that looks like an option is a file; "-" alone is one.
    const CommandLine dashed = Parse({"--", "-front.jpg", "--help"});
    EXPECT_EQ(dashed.action, Action::Run);
    EXPECT_EQ(dashed.front, "-front.jpg");
    EXPECT_EQ(dashed.back, "--help");
    EXPECT_EQ(Parse({"-"}).front, "-");
    const CommandLine bad = Parse({"a.jpg", "--print"});
    EXPECT_EQ(bad.action, Action::UnknownOption);
    EXPECT_EQ(bad.bad, "--print");
    for (const char* help : {"--help", "-h"})
        EXPECT_EQ(Parse({"--bogus", "a", "b", "c", help}).action, Action::Help) << help;
    for (const char* version : {"--version", "-v"})
        EXPECT_EQ(Parse({"a", version}).action, Action::Version) << version;
}

TEST(CommandLine, AnswersInTheLanguagesTexts) {
    const std::string help = CommandLineHelp("korvane", English);
    EXPECT_EQ(help.rfind("Usage: korvane [FRONT [BACK]]\nPrints covers for CD, DVD and game cases", 0), 0u) << help;
    for (const char* row : {"\n  FRONT           the picture for the left slot", "\n  BACK            the picture",
                            "\n  -h, --help      show this help", "\n  -v, --version   show the version"})
        EXPECT_NE(help.find(row), std::string::npos) << row << "\n" << help;
    EXPECT_EQ(CommandLineVersion(), "Korvane 1.23\n");
    EXPECT_EQ(CommandLineError("korvane", Parse({"--print"}), English), "korvane: unknown option --print (see --help)\n");
    EXPECT_EQ(CommandLineError("korvane", Parse({"a", "b", "c"}), English),
              "korvane: at most two pictures: FRONT and BACK (see --help)\n");
}
