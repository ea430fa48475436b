// Where the program looks for its files: the executable's folder, unless
// KORVANE_HOME or the program itself names another.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "settings/ProgramFolder.h"

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
