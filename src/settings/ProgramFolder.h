#pragma once
// "The program's folder": where Korvane.dat, Korvane.cfg, languages/ and
// skins/ live. It is the executable's folder, or $KORVANE_HOME when set.
#include <string>

// Without a trailing separator.
std::string ProgramFolder();
// Tests and the CLI may point the program at another folder.
void SetProgramFolder(const std::string& folder);
// Joins folder and name with "/".
std::string JoinPath(const std::string& folder, const std::string& name);
