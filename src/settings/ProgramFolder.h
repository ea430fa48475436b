#pragma once
// "The program's folder": where Korvane.dat, Korvane.cfg, languages/ and
// skins/ live.
//   - $KORVANE_HOME when set (or a folder the program chose): only that one.
//   - The executable's folder when it holds Korvane.dat and can be written
//     (a build tree, a copy unpacked into a folder of its own).
//   - Otherwise (an installed program: the executable in .../bin, the shipped
//     files in .../share/korvane) the user's folder $XDG_CONFIG_HOME/korvane
//     (~/.config/korvane): Korvane.cfg is written there and Korvane.dat is
//     copied there from the shipped one on first use, then read and saved
//     there. languages/ and skins/ are looked up there first, then in the
//     shipped folder.
#include <string>
#include <vector>

// Without a trailing separator.
std::string ProgramFolder();
// Tests and the CLI may point the program at another folder.
void SetProgramFolder(const std::string& folder);
// Joins folder and name with "/".
std::string JoinPath(const std::string& folder, const std::string& name);

// The folders that may hold languages/ and skins/, first choice first:
// ProgramFolder(), then the shipped folder when that is another one.
std::vector<std::string> ProgramDataFolders();
// The first of the folders that holds `relative` (a file or a folder); the
// path in the first folder when none does.
std::string FindProgramFile(const std::string& relative,
                            const std::vector<std::string>& folders = ProgramDataFolders());

// How the folders are decided, from the outside world; for tests.
struct ProgramFolderInputs {
    std::string executableFolder;
    std::string korvaneHome;     // $KORVANE_HOME, "" when unset
    std::string xdgConfigHome;   // $XDG_CONFIG_HOME, "" when unset
    std::string home;            // $HOME, "" when unset
};
struct ProgramFolders {
    std::string program;  // ProgramFolder()
    std::string shipped;  // where the package put Korvane.dat, languages/, skins/
    bool perUser = false; // program is the user's folder
};
ProgramFolders ResolveProgramFolders(const ProgramFolderInputs& inputs);
// Makes the user's folder and copies the shipped Korvane.dat into it when it
// has none. False when the folder cannot be made (the error says why).
bool PrepareUserFolder(const ProgramFolders& folders, std::string* error = nullptr);
