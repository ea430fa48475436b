#pragma once
// File names of the image slots: which files a slot accepts, the parts of a
// path, and the search for the matching back cover. Paths may use "/" or
// "\" as separators and may be of any length.
#include <optional>
#include <string>
#include <vector>

// Image type code for a slot's file by its extension (text after the last
// "." of the path, any case): "gif" 2, "bmp" 1, "png" 4, "jpg"/"jpeg" 3;
// -1 for anything else (the file is not loaded into a slot).
int FileTypeFromExtension(const std::string& path);

// The position of the last separator ("/" or "\"), or npos.
std::size_t LastSeparator(const std::string& path);
// The part after the last separator (the whole path when there is none).
std::string FileNameOf(const std::string& path);
// The part before the last separator (empty when there is none).
std::string FolderOf(const std::string& path);

// The matching back cover of a front cover's path: for each left keyword in
// order, found (ignoring case) in the file name part, every occurrence of the
// matched text in the whole path is replaced by the right keyword at the same
// position; the first candidate that can be opened for reading is the result.
// A candidate that does not exist as written is looked up without regard to
// letter case ("… - back.jpg" finds "… - Back.jpg"), the file's own name
// being the result.
// Empty left keywords and left keywords without a right partner are skipped.
std::optional<std::string> FindMatchingCover(const std::string& leftPath,
                                             const std::vector<std::string>& leftKeywords,
                                             const std::vector<std::string>& rightKeywords);
