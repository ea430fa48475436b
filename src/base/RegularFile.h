#pragma once
// Opening a file for reading only when it is a regular file. A plain open of
// a FIFO waits until something writes to it, and a device may never end:
// the file is opened without waiting, looked at, and refused unless regular.
#include <cstdint>
#include <cstdio>
#include <string>

enum class FileRefusal { None, Missing, Folder, NotRegular, System };

struct RegularFile {
    int fd = -1;  // open for reading (blocking reads) when refusal is None
    FileRefusal refusal = FileRefusal::None;
    int error = 0;          // errno for Missing and System
    std::uint64_t size = 0;
    std::string kind;       // for NotRegular: "a pipe", "a device", "a socket"
};

// The caller closes `fd`.
RegularFile OpenRegularFile(const std::string& path);
// The same as a stdio stream ("rb"), or null with `file` telling why.
std::FILE* OpenRegularFileStream(const std::string& path, RegularFile& file);
// Why a file was refused, as a phrase after the file's name: "is a folder",
// "is a pipe, not a regular file", or the system's message.
std::string FileRefusalReason(const RegularFile& file);
