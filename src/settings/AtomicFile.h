#pragma once
// Saves a whole file so that a crash, a full disk or a kill during the save
// leaves the previous file whole: write a temporary file in the same folder,
// flush it to disk, then rename it over the old one.
#include <string>

// Returns true on success; on failure `error` (when given) says why, the old
// file is untouched and no temporary file is left. A path that is a symbolic
// link is saved at the link's target (in the target's folder), so the link
// stays. Temporary files of earlier saves of the same file that a crash or
// a kill left behind are removed first (a save still running, in this or
// another process, keeps its file).
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error = nullptr);

// The file a path names after following every symbolic link (also one whose
// target does not exist yet); the path itself when it is no link.
std::string FollowSymlinks(const std::string& path);

// The temporary files a save of `path` makes are named path + this + six
// characters.
inline constexpr const char* kAtomicTempInfix = ".tmp";
