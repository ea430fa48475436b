// Where the program looks for its files: the executable's folder, unless
// KORVANE_HOME or the program itself names another.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "settings/ProgramFolder.h"
#include "TempFolder.h"

TEST(ProgramFolder, IsTheExecutablesFolderThenHomeThenAChosenFolder) {
    SetProgramFolder("");
    unsetenv("KORVANE_HOME");
    EXPECT_EQ(std::filesystem::canonical(ProgramFolder()), std::filesystem::canonical(KORVANE_BIN_DIR));

    setenv("KORVANE_HOME", "/opt/korvane/", 1);
    EXPECT_EQ(ProgramFolder(), "/opt/korvane");

    SetProgramFolder("/tmp/covers//");
    EXPECT_EQ(ProgramFolder(), "/tmp/covers");
    SetProgramFolder("");
    EXPECT_EQ(ProgramFolder(), "/opt/korvane");
    unsetenv("KORVANE_HOME");
}

TEST(ProgramFolder, JoinPathAddsOneSeparator) {
    EXPECT_EQ(JoinPath("/opt/korvane", "Korvane.cfg"), "/opt/korvane/Korvane.cfg");
    EXPECT_EQ(JoinPath("/opt/korvane/", "Korvane.cfg"), "/opt/korvane/Korvane.cfg");
    EXPECT_EQ(JoinPath("C:\\Korvane\\", "Korvane.cfg"), "C:\\Korvane\\Korvane.cfg");
    EXPECT_EQ(JoinPath("/", "languages"), "/languages");
    EXPECT_EQ(JoinPath("", "Korvane.dat"), "Korvane.dat");
}

// An installed program: PREFIX/bin/korvane, the shipped files in
// PREFIX/share/korvane, the user's own files in $XDG_CONFIG_HOME/korvane.
TEST(ProgramFolder, AnInstalledProgramUsesTheUsersFolderAndFallsBackToTheShippedFiles) {
    TempFolder root;
    root.Write("usr/bin/korvane", "");
    root.Write("usr/share/korvane/Korvane.dat", "[Shipped]\r\n");
    root.Write("usr/share/korvane/languages/German.lng", "3000=Datei\r\n");
    const ProgramFolderInputs in{root.File("usr/bin"), "", root.File("config"), root.File("home")};
    const ProgramFolders folders = ResolveProgramFolders(in);
    EXPECT_TRUE(folders.perUser);
    EXPECT_EQ(folders.program, root.File("config/korvane"));
    EXPECT_EQ(folders.shipped, root.File("usr/share/korvane"));

    // First use: the folder is made and the shipped formats copied; later
    // saves there are never overwritten by the shipped file.
    ASSERT_TRUE(PrepareUserFolder(folders));
    EXPECT_EQ(root.Read("config/korvane/Korvane.dat"), "[Shipped]\r\n");
    root.Write("config/korvane/Korvane.dat", "[Mine]\r\n");
    ASSERT_TRUE(PrepareUserFolder(folders));
    EXPECT_EQ(root.Read("config/korvane/Korvane.dat"), "[Mine]\r\n");

    // Without XDG_CONFIG_HOME (or with a relative one): ~/.config/korvane.
    EXPECT_EQ(ResolveProgramFolders({root.File("usr/bin"), "", "", root.File("home")}).program,
              root.File("home/.config/korvane"));
    EXPECT_EQ(ResolveProgramFolders({root.File("usr/bin"), "", "rel", root.File("home")}).program,
              root.File("home/.config/korvane"));
    // No home at all: the shipped folder, read only.
    EXPECT_EQ(ResolveProgramFolders({root.File("usr/bin"), "", "", ""}).program, root.File("usr/share/korvane"));
    // KORVANE_HOME overrides everything.
    const ProgramFolders home = ResolveProgramFolders({root.File("usr/bin"), "/opt/k/", root.File("config"), ""});
    EXPECT_FALSE(home.perUser);
    EXPECT_EQ(home.program, "/opt/k");
    EXPECT_EQ(home.shipped, "/opt/k");
}

TEST(ProgramFolder, AFolderWithItsOwnFormatsFileStaysTheProgramsFolder) {
    TempFolder root;
    root.Write("build/bin/Korvane.dat", "[Here]\r\n");
    root.Write("build/share/korvane/Korvane.dat", "[Not used]\r\n");
    const ProgramFolders folders =
        ResolveProgramFolders({root.File("build/bin"), "", root.File("config"), root.File("home")});
    EXPECT_FALSE(folders.perUser);
    EXPECT_EQ(folders.program, root.File("build/bin"));
    EXPECT_EQ(folders.shipped, root.File("build/bin"));
}

TEST(ProgramFolder, FilesAreLookedUpInTheUsersFolderFirst) {
    TempFolder root;
    root.Write("share/languages/German.lng", "3000=Datei\r\n");
    root.Write("share/languages/French.lng", "3000=Fichier\r\n");
    root.Write("user/languages/French.lng", "3000=Mon fichier\r\n");
    const std::vector<std::string> folders{root.File("user"), root.File("share")};
    EXPECT_EQ(FindProgramFile("languages/French.lng", folders), root.File("user/languages/French.lng"));
    EXPECT_EQ(FindProgramFile("languages/German.lng", folders), root.File("share/languages/German.lng"));
    // Found nowhere: where the user would put it.
    EXPECT_EQ(FindProgramFile("skins/Blue", folders), root.File("user/skins/Blue"));
}
