// korvane-cli formats, run as a user runs it to check a hand-edited file.
#include "formats/CoverFormatList.h"
#include "formats/FormatsReporter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
struct CliRun {
    int status = -1;
    std::string out, err;
};

class CliFolder {
public:
    CliFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvane-cli-XXXXXX").string();
        path_ = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~CliFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
        return file(name);
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Runs "korvane-cli formats ARGS" with the environment settings ENV.
    CliRun run(const std::string& args, const std::string& env = "") const {
        CliRun r;
        const std::string cmd =
            env + " '" KORVANE_BIN_DIR "/korvane-cli' formats " + args + " 2>'" + file("stderr") + "'";
        std::FILE* pipe = popen(cmd.c_str(), "r");
        if (!pipe) return r;
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) r.out.append(buf, n);
        const int status = pclose(pipe);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = read(file("stderr"));
        return r;
    }

private:
    std::string path_;
};

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}
}  // namespace

TEST(FormatsCli, PrintsTheShippedFormats) {
    CliFolder folder;
    CoverFormatList list;
    CCollectingFormatsReporter reporter;
    ASSERT_TRUE(list.load(KORVANE_BIN_DIR "/Korvane.dat", reporter));
    std::size_t lines = 0;
    for (const CoverFormat& f : list.formats) lines += f.lines.size();
    // Without a file it reads the Korvane.dat beside the program.
    for (const std::string& args : {std::string("'" KORVANE_BIN_DIR "/Korvane.dat'"), std::string()}) {
        const CliRun r = folder.run(args, "KORVANE_HOME=");
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.rfind("{\n  \"formats\": [\n    {\n      \"name\": \"CD Front\",\n", 0), 0u) << r.out;
        EXPECT_EQ(occurrences(r.out, "\"translationId\": "), static_cast<std::size_t>(list.count()));
        EXPECT_EQ(occurrences(r.out, "\"x1\": "), lines);
        EXPECT_NE(r.out.find("\"trailer\": \"; ******"), std::string::npos);
    }
}

// Every field, escaping and number form in one exact output.
TEST(FormatsCli, PrintsEveryFieldAsJson) {
    CliFolder folder;
    const std::string dat = folder.write(
        "odd.dat", std::string("[Quote \" back\\ tab\t bell\x01 caf\xC3\xA9 latin\xE9]\r\n") +
                       "SIZE = 0.30000000000000004, 1E-7\r\nPOSITION = -12.5, 1e300\r\nPOSITION2 = MIRROR\r\n"
                       "LABEL = YES\r\nHOLESIZE = 41\r\nAUTODETECT = YES, 4, 3\r\nREMAP = Quote\r\nTYPE = cd_tray\r\n"
                       "PAPER = 120, 150\r\nSPINE = 9\r\nPAPERSOURCE = 263\r\nMEDIATYPE = 287\r\n"
                       "TRANSLATION_ID = 9003\r\nLINE = LEFT, SOLID\r\nLINE = (0, 6)(120, 6)\r\n"
                       "RECT = 1, 2, 3, 4, SOLID\r\nCALIBRATEY = -0.5\r\n; ****** \"notes\"\r\n");
    const CliRun r = folder.run("'" + dat + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, R"({
  "formats": [
    {
      "name": "Quote \" back\\ tab\t bell\u0001 café latin\u00e9",
      "leftX": -12.5,
      "leftY": 1e+300,
      "rightX": 5011,
      "rightY": 5011,
      "width": 0.30000000000000004,
      "height": 1e-07,
      "detectWidth": 4,
      "detectHeight": 3,
      "paperWidth": 120,
      "paperHeight": 150,
      "label": 1,
      "autodetect": 1,
      "holeSize": 41,
      "lines": [
        {"x1": 5001, "y1": 0, "x2": 0, "y2": 0, "solid": 1},
        {"x1": 0, "y1": 6, "x2": 120, "y2": 6, "solid": 0}
      ],
      "rects": [
        {"x": 1, "y": 2, "width": 3, "height": 4, "solid": 1}
      ],
      "type": "CD_TRAY",
      "remapIndex": -1,
      "spine": 9,
      "paperSource": 263,
      "mediaType": 287,
      "translationId": 9003
    }
  ],
  "calibrateX": 0,
  "calibrateY": -0.5,
  "trailer": "; ****** \"notes\"\r\n"
}
)");
}

TEST(FormatsCli, ReportsEachBadLineAndStillReads) {
    CliFolder folder;
    const std::string dat =
        folder.write("edited.dat", "[Mine]\r\nSIZE = 120, 120\r\nINCHES = YES\r\n\r\ncolour = red\r\n");
    const CliRun r = folder.run("'" + dat + "'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, dat + ":3: invalid keyword, the line is ignored: INCHES = YES\n" +
                         dat + ":5: invalid keyword, the line is ignored: colour = red\n");
    EXPECT_EQ(occurrences(r.out, "\"name\": \"Mine\""), 1u);
}

TEST(FormatsCli, MissingFileAndBadArguments) {
    CliFolder folder;
    const std::string missing = folder.file("nothing.dat");
    const CliRun r = folder.run("'" + missing + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, missing + ": No configuration file found. Please Reinstall Korvane.\n");
    const CliRun home = folder.run("", "KORVANE_HOME='" + folder.file("") + "'");
    EXPECT_EQ(home.status, 1);
    EXPECT_NE(home.err.find("/Korvane.dat: No configuration file found."), std::string::npos);
    // A folder given as the file says so; every bad line is printed, with no
    // limit of the window's boxes.
    const CliRun dir = folder.run("'" + folder.file("") + "'");
    EXPECT_EQ(dir.status, 1);
    EXPECT_NE(dir.err.find("The formats file cannot be read: is a folder"), std::string::npos);
    std::string bad = "[A]\r\n";
    for (int i = 0; i < 25; ++i) bad += "nokey = " + std::to_string(i) + "\r\n";
    const std::string dat = folder.write("bad.dat", bad);
    EXPECT_EQ(occurrences(folder.run("'" + dat + "'").err, "invalid keyword"), 25u);
    EXPECT_EQ(folder.run("a b").status, 2);
    EXPECT_EQ(folder.run("a --rewrite").status, 2);
}

TEST(FormatsCli, RewriteWritesWhatTheEditorWrites) {
    CliFolder folder;
    const std::string dat = folder.write("in.dat", "; header\n[A]\nsize = 10,20\nCALIBRATEX = 1.5\n"
                                                   "[B]\nREMAP = A\n; ****** end\n");
    const std::string out = folder.file("out.dat");
    EXPECT_EQ(folder.run("'" + dat + "' --rewrite '" + out + "'").status, 0);
    CoverFormatList list;
    CCollectingFormatsReporter reporter;
    ASSERT_TRUE(list.load(dat, reporter));
    EXPECT_EQ(CliFolder::read(out), list.fileText());
    EXPECT_EQ(CliFolder::read(dat).substr(0, 8), "; header");  // the input is left alone
    // A rewrite of the output changes nothing.
    const std::string out2 = folder.file("out2.dat");
    EXPECT_EQ(folder.run("'" + out + "' --rewrite '" + out2 + "'").status, 0);
    EXPECT_EQ(CliFolder::read(out2), CliFolder::read(out));

    const CliRun bad = folder.run("'" + dat + "' --rewrite '" + folder.file("no/folder/x.dat") + "'");
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("no/folder"), std::string::npos);
}

TEST(FormatsCli, APipeAsTheFileIsRefusedAtOnce) {
    CliFolder folder;
    const std::string fifo = folder.file("Korvane.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Bounded from outside: a plain open would wait for a writer for ever.
    const auto start = std::chrono::steady_clock::now();
    const CliRun r = folder.run("'" + fifo + "'", "timeout 10");
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(r.status, 1);
    EXPECT_LT(ms.count(), 1000);
    EXPECT_NE(r.err.find("The formats file cannot be read: is a pipe, not a regular file"), std::string::npos) << r.err;
    // The same through the program's folder.
    const CliRun home = folder.run("", "KORVANE_HOME='" + folder.file("") + "' timeout 10");
    EXPECT_EQ(home.status, 1);
    EXPECT_NE(home.err.find("is a pipe, not a regular file"), std::string::npos) << home.err;
}
