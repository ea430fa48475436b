#pragma once
// Saves a whole file so that a crash, a full disk or a kill during the save
// leaves the previous file whole: write a temporary file in the same folder,
// flush it to disk, then rename it over the old one.
#include <string>

// Returns true on success; on failure `error` (when given) says why and the
// old file is untouched.
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error = nullptr);
