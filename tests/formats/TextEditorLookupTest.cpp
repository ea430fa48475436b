// Finding the text editor in a freedesktop setup built under temporary XDG
// folders: mimeapps.list, .desktop entries with their Exec lines, $VISUAL /
// $EDITOR and the common editors on PATH.
#include "formats/DesktopEntry.h"
#include "formats/TextEditorLookup.h"
#include "settings/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

class Desktop : public ::testing::Test {
protected:
    TempFolder root;
    std::map<std::string, std::string> vars;

    void SetUp() override {
        vars["HOME"] = root.File("home");
        vars["XDG_CONFIG_HOME"] = root.File("config");
        vars["XDG_CONFIG_DIRS"] = root.File("etc-xdg");
        vars["XDG_DATA_HOME"] = root.File("data");
        vars["XDG_DATA_DIRS"] = root.File("usr-share");
        vars["PATH"] = root.File("bin");
        std::filesystem::create_directories(root.File("bin"));
    }
    EditorEnvironment Env() const {
        return EditorEnvironment{[this](const std::string& name) {
            auto it = vars.find(name);
            return it == vars.end() ? std::string() : it->second;
        }};
    }
    // An executable script in the test's PATH folder.
    std::string Program(const std::string& name) {
        root.Write("bin/" + name, "#!/bin/sh\nexit 0\n");
        std::filesystem::permissions(root.File("bin/" + name), std::filesystem::perms::owner_all);
        return root.File("bin/" + name);
    }
    void Entry(const std::string& folder, const std::string& id, const std::string& body) {
        root.Write(folder + "/" + id, "[Desktop Entry]\nType=Application\nName=" + id + "\n" + body);
    }
};

}  // namespace

TEST_F(Desktop, TheDefaultForTextPlainRunsThroughItsExecLine) {
    Program("myedit");
    Entry("data/applications", "my-edit.desktop", "Exec=myedit --new-window %U\n");
    Entry("usr-share/applications", "other.desktop", "Exec=myedit --other %F\n");
    root.Write("config/mimeapps.list",
               "[Added Associations]\ntext/plain=other.desktop;\n"
               "[Default Applications]\ntext/html=other.desktop\ntext/plain=missing.desktop;my-edit.desktop;\n");
    const EditorSearch s = FindTextEditors("/opt/k/Korvane.dat", Env());
    ASSERT_GE(s.commands.size(), 2u);
    EXPECT_EQ(s.commands[0].origin, "my-edit.desktop");
    EXPECT_EQ(s.commands[0].argv,
              (std::vector<std::string>{root.File("bin/myedit"), "--new-window", "/opt/k/Korvane.dat"}));
    EXPECT_EQ(s.commands[1].origin, "other.desktop");  // an added association comes after the defaults
    ASSERT_FALSE(s.tried.empty());
    EXPECT_EQ(s.tried[0], "missing.desktop (not installed)");
}

TEST_F(Desktop, ListFilesAreReadInTheirOrder) {
    Program("a");
    Program("b");
    Entry("usr-share/applications", "a.desktop", "Exec=a %f\n");
    // A vendor sub-folder stands for "vendor-b.desktop".
    Entry("usr-share/applications/vendor", "b.desktop", "Exec=b %f\n");
    root.Write("usr-share/applications/mimeapps.list", "[Default Applications]\ntext/plain=a.desktop\n");
    root.Write("etc-xdg/mimeapps.list", "[Default Applications]\ntext/plain=vendor-b.desktop\n");
    EXPECT_EQ(TextPlainDesktopIds(Env()), (std::vector<std::string>{"vendor-b.desktop", "a.desktop"}));
    // The desktop's own list comes before the general one of the same folder.
    vars["XDG_CURRENT_DESKTOP"] = "ubuntu:GNOME";
    root.Write("etc-xdg/gnome-mimeapps.list", "[Default Applications]\ntext/plain=a.desktop\n");
    EXPECT_EQ(TextPlainDesktopIds(Env()), (std::vector<std::string>{"a.desktop", "vendor-b.desktop"}));
    EXPECT_EQ(FindTextEditors("f", Env()).commands[1].argv[0], root.File("bin/b"));
    // Removed associations drop added ones; mimeinfo.cache comes last.
    root.Write("config/mimeapps.list",
               "[Removed Associations]\ntext/plain=c.desktop;\n[Added Associations]\ntext/plain=c.desktop;d.desktop\n");
    root.Write("data/applications/mimeinfo.cache", "[MIME Cache]\ntext/plain=e.desktop;\n");
    EXPECT_EQ(TextPlainDesktopIds(Env()),
              (std::vector<std::string>{"a.desktop", "vendor-b.desktop", "d.desktop", "e.desktop"}));
}

TEST_F(Desktop, EntriesThatCannotOpenAWindowAreNotUsed) {
    Program("ed1");
    Entry("data/applications", "term.desktop", "Exec=ed1 %f\nTerminal=true\n");
    Entry("data/applications", "hidden.desktop", "Exec=ed1 %f\nHidden=true\n");
    Entry("data/applications", "tryexec.desktop", "TryExec=not-there\nExec=ed1 %f\n");
    Entry("data/applications", "gone.desktop", "Exec=/nowhere/ed %f\n");
    root.Write("config/mimeapps.list",
               "[Default Applications]\ntext/plain=term.desktop;hidden.desktop;tryexec.desktop;gone.desktop\n");
    vars["VISUAL"] = "vim";
    const EditorSearch s = FindTextEditors("f", Env());
    EXPECT_TRUE(s.commands.empty());
    const std::vector<std::string> expected = {
        "term.desktop (runs in a terminal, and no x-terminal-emulator or xterm was found)", "hidden.desktop (not an application)",
        "tryexec.desktop (not-there not found)", "gone.desktop (/nowhere/ed not found)",
        "$VISUAL = vim (runs in a terminal)"};
    ASSERT_GE(s.tried.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(s.tried.begin(), s.tried.begin() + 5), expected);
    EXPECT_NE(s.tried.back().find("gedit"), std::string::npos);
    const std::string message = EditorFailureMessage(s.tried, "/opt/k/Korvane.dat");
    EXPECT_EQ(message.rfind("OOPS ! SOMETHING WENT TERRIBLY WRONG :\n", 0), 0u);
    EXPECT_NE(message.find("ShellCommand = term.desktop (runs in a terminal, and no"), std::string::npos);
    EXPECT_NE(message.find("\nParameters = /opt/k/Korvane.dat"), std::string::npos);

    // With a terminal at hand the terminal entry runs inside it.
    Program("xterm");
    const EditorSearch withTerminal = FindTextEditors("f", Env());
    ASSERT_FALSE(withTerminal.commands.empty());
    EXPECT_EQ(withTerminal.commands[0].argv,
              (std::vector<std::string>{root.File("bin/xterm"), "-e", root.File("bin/ed1"), "f"}));
}

TEST_F(Desktop, VisualEditorThenTheCommonEditors) {
    Program("mousepad");
    Program("my gui");
    vars["VISUAL"] = "\"my gui\" --flag";
    vars["EDITOR"] = "nano";
    EditorSearch s = FindTextEditors("/k/Korvane.dat", Env());
    ASSERT_EQ(s.commands.size(), 2u);
    EXPECT_EQ(s.commands[0].argv, (std::vector<std::string>{root.File("bin/my gui"), "--flag", "/k/Korvane.dat"}));
    EXPECT_EQ(s.commands[1].argv, (std::vector<std::string>{root.File("bin/mousepad"), "/k/Korvane.dat"}));
    EXPECT_EQ(s.tried.front(), "no default application for text/plain");
    EXPECT_FALSE(IsGraphicalEditor({"emacs", "-nw"}));
    EXPECT_TRUE(IsGraphicalEditor({"emacs"}));
}

TEST(DesktopEntryExec, FieldCodesQuotingAndEscapes) {
    DesktopEntry e;
    ASSERT_TRUE(ParseDesktopEntry("# c\n[Other]\nExec=wrong\n[Desktop Entry]\nName=Ed\nIcon=ed-icon\n"
                                  "Exec=\"/opt/my ed/ed\" %i --title=%c \"a\\\\\\\\b\" 100%% %k %d %F\n"
                                  "[Desktop Action new]\nExec=other\n",
                                  "/apps/ed.desktop", e));
    std::vector<std::string> argv;
    ASSERT_TRUE(ExpandExec(e, "/k/Korvane.dat", argv));
    EXPECT_EQ(argv, (std::vector<std::string>{"/opt/my ed/ed", "--icon", "ed-icon", "--title=Ed", "a\\b", "100%",
                                              "/apps/ed.desktop", "/k/Korvane.dat"}));
    // Without a file code the file goes last; an unclosed quote is refused.
    e.exec = "ed --wait";
    ASSERT_TRUE(ExpandExec(e, "/k/a b.dat", argv));
    EXPECT_EQ(argv, (std::vector<std::string>{"ed", "--wait", "/k/a b.dat"}));
    EXPECT_EQ(JoinCommandLine(argv), "ed --wait \"/k/a b.dat\"");
    e.exec = "ed \"open";
    EXPECT_FALSE(ExpandExec(e, "f", argv));
    EXPECT_FALSE(ParseDesktopEntry("[Desktop Action x]\nExec=a\n", "p", e));
}

TEST(DesktopEntryExec, ValuesInQuotedArgumentsAreOneShellWord) {
    DesktopEntry e;
    e.name = "Rec";
    e.path = "/apps/it's.desktop";
    const std::string file = "/k/cover x; touch P1; $(touch P2) `touch P3` it's/Korvane.dat";
    std::vector<std::string> argv;
    e.exec = "sh -c \"recorder.sh %f\"";
    ASSERT_TRUE(ExpandExec(e, file, argv));
    EXPECT_EQ(argv, (std::vector<std::string>{
                        "sh", "-c", "recorder.sh '/k/cover x; touch P1; $(touch P2) `touch P3` it'\\''s/Korvane.dat'"}));
    // A backslash quotes as well; %c and %k are values like the file.
    e.exec = "sh -c recorder.sh\\ %U\\ %c\\ %k";
    ASSERT_TRUE(ExpandExec(e, "/k/a b", argv));
    EXPECT_EQ(argv, (std::vector<std::string>{"sh", "-c", "recorder.sh '/k/a b' 'Rec' '/apps/it'\\''s.desktop'"}));
    // Unquoted codes give the value itself, whole, in its argument.
    e.exec = "ed --file=%f %c";
    ASSERT_TRUE(ExpandExec(e, file, argv));
    EXPECT_EQ(argv, (std::vector<std::string>{"ed", "--file=" + file, "Rec"}));
    // A quoted argument without codes is kept as it is.
    e.exec = "\"/opt/my ed/ed\" \"100%%\" %f";
    ASSERT_TRUE(ExpandExec(e, file, argv));
    EXPECT_EQ(argv, (std::vector<std::string>{"/opt/my ed/ed", "100%", file}));
}

TEST(DesktopEntryExec, AShellReadsTheQuotedPathAsOneWordAndRunsNothingInIt) {
    TempFolder root;
    const std::string folder = root.File("cover x; touch PWNED1; $(touch PWNED2) `touch PWNED3` it's y");
    std::filesystem::create_directories(folder);
    const std::string record = root.File("record.txt");
    DesktopEntry e;
    e.exec = "sh -c \"printf '%%s\\\\n' %f > '" + record + "'\"";
    std::vector<std::string> argv;
    ASSERT_TRUE(ExpandExec(e, folder + "/Korvane.dat", argv));
    ASSERT_EQ(argv.size(), 3u);
    const std::string command = "cd '" + root.Path() + "' && sh -c " + [&] {
        std::string q = "'";
        for (char c : argv[2]) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    }();
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(root.Read("record.txt"), folder + "/Korvane.dat\n");
    for (const char* marker : {"PWNED1", "PWNED2", "PWNED3"})
        EXPECT_FALSE(std::filesystem::exists(root.File(marker))) << marker;
}
