#include "base/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {
const char* KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a plain file";
}
}  // namespace

RegularFile OpenRegularFile(const std::string& path) {
    RegularFile out;
    // O_NONBLOCK makes the open of a FIFO return at once; it is cleared
    // before any read, which a regular file never waits on anyway.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        out.error = errno;
        out.refusal = (out.error == ENOENT || out.error == ENOTDIR) ? FileRefusal::Missing
                      : out.error == EISDIR                         ? FileRefusal::Folder
                                                                    : FileRefusal::System;
        return out;
    }
    struct stat st{};
    if (::fstat(fd, &st) != 0) {
        out.error = errno;
        out.refusal = FileRefusal::System;
    } else if (S_ISDIR(st.st_mode)) {
        out.refusal = FileRefusal::Folder;
    } else if (!S_ISREG(st.st_mode)) {
        out.refusal = FileRefusal::NotRegular;
        out.kind = KindOf(st.st_mode);
    } else {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags == -1 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
            out.error = errno;
            out.refusal = FileRefusal::System;
        }
    }
    if (out.refusal != FileRefusal::None) {
        ::close(fd);
        return out;
    }
    out.fd = fd;
    out.size = static_cast<std::uint64_t>(st.st_size);
    return out;
}

std::FILE* OpenRegularFileStream(const std::string& path, RegularFile& file) {
    file = OpenRegularFile(path);
    if (file.fd < 0) return nullptr;
    std::FILE* stream = ::fdopen(file.fd, "rb");
    if (!stream) {
        file.error = errno;
        file.refusal = FileRefusal::System;
        ::close(file.fd);
        file.fd = -1;
    }
    return stream;
}

std::string FileRefusalReason(const RegularFile& file) {
    switch (file.refusal) {
    case FileRefusal::None: return {};
    case FileRefusal::Folder: return "is a folder";
    case FileRefusal::NotRegular: return "is " + file.kind + ", not a regular file";
    case FileRefusal::Missing:
    case FileRefusal::System: break;
    }
    return std::generic_category().message(file.error);
}
