// korvane-cli's command line as a Linux tool: help and version on standard
// output, every command's help, "--opt=value" and "--", the documented exit
// statuses, "-" as standard output, and no display needed.
#include "print/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>

using namespace testutil;

namespace {
struct CliRun {
    int status = -1;
    std::string out, err;
};

const std::string kCli = std::string(KORVANE_BIN_DIR) + "/korvane-cli";
const char* const kCommands[] = {"formats", "place", "render", "print", "calibrate", "decode"};

std::string Quote(const std::string& s) { return "'" + s + "'"; }
std::string Shipped() { return Quote(std::string(KORVANE_BIN_DIR) + "/Korvane.dat"); }

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Runs a shell command in `dir` with standard output into a pipe and
// standard error kept apart.
CliRun Shell(const TempFolder& dir, const std::string& commandLine) {
    CliRun r;
    const std::string command = "cd " + Quote(dir.path()) + " && " + commandLine + " 2>" + Quote(dir.file("stderr"));
    std::FILE* p = ::popen(command.c_str(), "r");
    if (!p)
        return r;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
        r.out.append(buf, n);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = ReadAll(dir.file("stderr"));
    return r;
}

// `env ENV korvane-cli ARGS` in `dir`.
CliRun Cli(const TempFolder& dir, const std::string& args, const std::string& env = "QT_QPA_PLATFORM=offscreen") {
    return Shell(dir, "env " + env + " " + Quote(kCli) + " " + args);
}

std::size_t LongestLine(const std::string& text) {
    std::istringstream in(text);
    std::size_t longest = 0;
    for (std::string line; std::getline(in, line);)
        longest = std::max(longest, line.size());
    return longest;
}

// A usage error: status 2, one "korvane-cli: " message and the hint, nothing
// on standard output.
void ExpectUsageError(const CliRun& r, const std::string& part, const std::string& args) {
    EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err.rfind("korvane-cli: ", 0), 0u) << args << "\n" << r.err;
    EXPECT_NE(r.err.find(part), std::string::npos) << args << "\n" << r.err;
    EXPECT_NE(r.err.find("--help' for more information."), std::string::npos) << args << "\n" << r.err;
}

bool IsWholePdf(const std::string& bytes) {
    return bytes.rfind("%PDF-", 0) == 0 && bytes.find("%%EOF", bytes.size() > 16 ? bytes.size() - 16 : 0) !=
                                               std::string::npos;
}

// A display number nobody serves, from 99 up.
std::string UnservedDisplay() {
    for (int n = 99;; ++n) {
        struct stat st;
        if (::stat(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), &st) != 0 &&
            ::stat(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), &st) != 0)
            return ":" + std::to_string(n);
    }
}
}  // namespace

TEST(CommandLine, HelpAndVersionGoToStandardOutput) {
    TempFolder dir;
    for (const char* args : {"--help", "-h"}) {
        const CliRun r = Cli(dir, args);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.err, "") << args;
        EXPECT_EQ(r.out.rfind("Usage: korvane-cli COMMAND", 0), 0u) << r.out;
        EXPECT_LE(LongestLine(r.out), 80u) << r.out;
        for (const char* command : kCommands)
            EXPECT_NE(r.out.find("\n  " + std::string(command) + " "), std::string::npos) << command;
    }
    const CliRun version = Cli(dir, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "korvane-cli 1.23\n");
    EXPECT_EQ(version.err, "");
}

TEST(CommandLine, EveryCommandHasItsHelp) {
    TempFolder dir;
    for (const char* command : kCommands) {
        // Help wins over everything else on the line, even over mistakes.
        for (const std::string& args : {std::string(command) + " --help", std::string(command) + " -h",
                                       std::string(command) + " --frobnicate --help"}) {
            const CliRun r = Cli(dir, args);
            EXPECT_EQ(r.status, 0) << args << "\n" << r.err;
            EXPECT_EQ(r.err, "") << args;
            EXPECT_EQ(r.out.rfind("Usage: korvane-cli " + std::string(command) + " ", 0), 0u) << r.out;
            EXPECT_NE(r.out.find("\nOptions:\n"), std::string::npos) << r.out;
            EXPECT_NE(r.out.find("  -h, --help"), std::string::npos) << r.out;
            EXPECT_LE(LongestLine(r.out), 80u) << r.out;
        }
    }
    // Each option is explained in its command's help.
    const CliRun print = Cli(dir, "print --help");
    for (const char* option : {"--formats FILE", "--pdf OUT.pdf", "--printer QUEUE", "--batch", "--paper", "--dpi N"})
        EXPECT_NE(print.out.find("  " + std::string(option)), std::string::npos) << option;
    EXPECT_NE(Cli(dir, "decode --help").out.find("  -o OUT.png"), std::string::npos);
    // formats --help is help, not a file named "--help".
    EXPECT_EQ(Cli(dir, "formats --help").out.find("No configuration file"), std::string::npos);
}

TEST(CommandLine, OptionsWithEqualsAndTheEndOfOptions) {
    TempFolder dir;
    const CliRun spaced = Cli(dir, "place --formats " + Shipped() + " --left-format 'CD Front' --dpi 300");
    ASSERT_EQ(spaced.status, 0) << spaced.err;
    const CliRun equals = Cli(dir, "place --formats=" + Shipped() + " '--left-format=CD Front' --dpi=300");
    EXPECT_EQ(equals.status, 0) << equals.err;
    EXPECT_EQ(equals.out, spaced.out);
    EXPECT_NE(spaced.out.find("\"dpiX\": 300"), std::string::npos);
    // The last of an option given twice counts.
    EXPECT_EQ(Cli(dir, "place --formats=" + Shipped() + " --left-format=0 '--left-format=CD Front' --dpi 600 "
                       "--dpi=300").out,
              spaced.out);

    // "--" lets a file name start with a dash.
    std::filesystem::copy_file(std::string(KORVANE_BIN_DIR) + "/Korvane.dat", dir.file("-odd.dat"));
    const CliRun dashed = Cli(dir, "formats -- -odd.dat");
    EXPECT_EQ(dashed.status, 0) << dashed.err;
    EXPECT_NE(dashed.out.find("\"name\": \"CD Front\""), std::string::npos);
    ExpectUsageError(Cli(dir, "formats -odd.dat"), "Unknown option", "formats -odd.dat");
}

TEST(CommandLine, UsageErrorsExitWithTwo) {
    TempFolder dir;
    WriteBmp(dir.file("front.bmp"), 30, 30, kGrey);
    const std::string formats = " --formats " + Shipped();
    const std::string pdf = " --pdf " + Quote(dir.file("out.pdf"));
    const struct {
        std::string args, message;
    } cases[] = {
        {"", "a command is required"},
        {"frobnicate", "unknown command 'frobnicate'"},
        {"--frobnicate", "Unknown option 'frobnicate'"},
        {"formats a.dat b.dat", "one formats file at most"},
        {"formats --rewrite", "Missing value after '--rewrite'"},
        {"place", "--formats FILE is required"},
        {"place --frobnicate" + formats, "Unknown option 'frobnicate'"},
        {"place" + formats + " --dpi 0", "--dpi"},
        {"place" + formats + " --left-format Nonesuch", "no format is named 'Nonesuch'"},
        {"place" + formats + " --right-format 999", "format 999 is not in the list"},
        {"place" + formats + " stray", "unexpected argument 'stray'"},
        {"render" + formats + " --left-format Nonesuch -o " + Quote(dir.file("p")), "no format is named"},
        {"render" + formats, "-o PREFIX is required"},
        {"print" + formats + " --left front.bmp", "one of --pdf OUT.pdf or --printer QUEUE is required"},
        {"print" + formats + " --left front.bmp --pdf a.pdf --printer X",
         "--pdf and --printer do not go together"},
        {"print" + formats + " --left front.bmp --left-format Nonesuch" + pdf, "no format is named 'Nonesuch'"},
        {"print" + formats + " --batch --left-format Nonesuch front.bmp" + pdf, "no format is named 'Nonesuch'"},
        {"print" + formats + " front.bmp" + pdf, "files to print go after --batch"},
        {"print" + formats + " --left front.bmp --mode sideways" + pdf, "--mode"},
        {"calibrate --pdf a.pdf --printer X", "--pdf and --printer do not go together"},
        {"calibrate --printer X --dpi 300", "the paper options apply to --pdf"},
        {"decode", "FILE is required"},
        {"decode front.bmp --type 12", "--type takes 0 to 9"},
        {"decode front.bmp -o", "Missing value after '-o'"},
    };
    for (const auto& c : cases)
        ExpectUsageError(Cli(dir, c.args), c.message, c.args);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.pdf")));
}

TEST(CommandLine, FailuresExitWithOneAndSayWhy) {
    TempFolder dir;
    const CliRun missing = Cli(dir, "place --formats " + Quote(dir.file("none.dat")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "korvane-cli: cannot read the formats file " + dir.file("none.dat") + "\n");
    const CliRun image = Cli(dir, "decode " + Quote(dir.file("none.png")));
    EXPECT_EQ(image.status, 1);
    EXPECT_EQ(image.err.rfind("korvane-cli: " + dir.file("none.png") + ": ", 0), 0u) << image.err;
    const CliRun queue = Cli(dir, "calibrate --printer KorvaneNoSuchQueue");
    EXPECT_EQ(queue.status, 1);
    EXPECT_EQ(queue.err, "korvane-cli: no printer queue named 'KorvaneNoSuchQueue'\n");
}

TEST(CommandLine, DashWritesToStandardOutput) {
    TempFolder dir;
    WriteBmp(dir.file("front.bmp"), 60, 60, kGrey);
    const CliRun print = Cli(dir, "print --formats " + Shipped() +
                                      " --left front.bmp --left-format 'CD Front' --mode left --pdf -");
    ASSERT_EQ(print.status, 0) << print.err;
    EXPECT_TRUE(IsWholePdf(print.out)) << print.out.substr(0, 40);
    EXPECT_FALSE(std::filesystem::exists(dir.file("-")));
    // What came through the pipe is a PDF that poppler reads page by page.
    std::ofstream(dir.file("piped.pdf"), std::ios::binary) << print.out;
    const CliRun info = Shell(dir, "pdfinfo piped.pdf");
    EXPECT_TRUE(std::regex_search(info.out, std::regex("\nPages: +1\n"))) << info.out << info.err;

    const CliRun calibrate = Cli(dir, "calibrate --formats " + Shipped() + " --pdf - --paper Letter");
    ASSERT_EQ(calibrate.status, 0) << calibrate.err;
    EXPECT_TRUE(IsWholePdf(calibrate.out));
    EXPECT_FALSE(std::filesystem::exists(dir.file("-")));

    const CliRun png = Cli(dir, "decode front.bmp -o -");
    ASSERT_EQ(png.status, 0) << png.err;
    EXPECT_EQ(png.out.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.err.rfind("60x60 ", 0), 0u) << png.err;  // the description moves out of the way

    const CliRun rewritten = Cli(dir, "formats " + Shipped() + " --rewrite -");
    ASSERT_EQ(rewritten.status, 0) << rewritten.err;
    EXPECT_NE(rewritten.out.find("[CD Front]\r\n"), std::string::npos);
    ASSERT_EQ(Cli(dir, "formats " + Shipped() + " --rewrite saved.dat").status, 0);
    EXPECT_EQ(rewritten.out, ReadAll(dir.file("saved.dat")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("-")));
}

TEST(CommandLine, NoDisplayIsNeeded) {
    TempFolder dir;
    WriteBmp(dir.file("front.bmp"), 60, 60, kGrey);
    // A display nobody answers, and no other platform asked for.
    const std::string env = "-u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY=" + UnservedDisplay();
    const CliRun print = Cli(dir,
                             "print --formats " + Shipped() +
                                 " --left front.bmp --left-format 'CD Front' --mode left --pdf cover.pdf",
                             env);
    EXPECT_EQ(print.status, 0) << print.err;
    EXPECT_TRUE(IsWholePdf(ReadAll(dir.file("cover.pdf"))));
    const CliRun calibrate = Cli(dir, "calibrate --formats " + Shipped() + " --pdf calibration.pdf", env);
    EXPECT_EQ(calibrate.status, 0) << calibrate.err;
    EXPECT_TRUE(IsWholePdf(ReadAll(dir.file("calibration.pdf"))));
    // Asking for a display platform explicitly changes nothing either.
    const CliRun xcb = Cli(dir, "calibrate --formats " + Shipped() + " --pdf xcb.pdf",
                           "-u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb DISPLAY=" + UnservedDisplay());
    EXPECT_EQ(xcb.status, 0) << xcb.err;
    EXPECT_EQ(Cli(dir, "formats " + Shipped(), env).status, 0);
}
