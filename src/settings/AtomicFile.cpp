#include "settings/AtomicFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
std::string describe(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::generic_category().message(errno);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A save holds an exclusive lock on its temporary file until it ends; the
// system drops the lock when the saving process dies. A temporary file that
// can be locked therefore belongs to a save that will never finish.
void RemoveStaleTemporaries(const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::size_t slash = path.rfind('/');
    const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + kAtomicTempInfix;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
        // mkstemp's six characters are letters and digits.
        if (!std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                         [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }))
            continue;
        const std::string full = folder + "/" + name;
        const int fd = ::open(full.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st{};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(full.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

// A new locked temporary file beside `path`; -1 when none can be made.
int CreateLockedTemporary(const std::string& path, std::string& tmp) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        tmp = path + kAtomicTempInfix + "XXXXXX";
        const int fd = mkostemp(tmp.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        // Another save's clean-up may have taken the file between its
        // creation and the lock: then it is gone, and we start again.
        struct stat mine{}, named{};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &mine) == 0 && ::stat(tmp.c_str(), &named) == 0 &&
            mine.st_ino == named.st_ino && mine.st_dev == named.st_dev)
            return fd;
        if (::stat(tmp.c_str(), &named) == 0 && ::fstat(fd, &mine) == 0 && mine.st_ino == named.st_ino)
            ::unlink(tmp.c_str());
        ::close(fd);
    }
    errno = EAGAIN;
    return -1;
}
}  // namespace

std::string FollowSymlinks(const std::string& path) {
    std::string current = path;
    // A loop of links ends here like the system's own limit.
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st{};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0) return current;
        target.resize(static_cast<std::size_t>(n));
        current = target[0] == '/' ? target : FolderOf(current) + "/" + target;
    }
    return current;
}

bool WriteFileAtomically(const std::string& givenPath, const std::string& bytes, std::string* error) {
    const std::string path = FollowSymlinks(givenPath);
    RemoveStaleTemporaries(path);
    std::string tmp;
    int fd = CreateLockedTemporary(path, tmp);
    if (fd < 0) {
        if (error) *error = describe("Cannot create a temporary file beside", path);
        return false;
    }
    // Every way out below removes the temporary file.
    const auto fail = [&](const char* what, const std::string& name) {
        if (error) *error = describe(what, name);
        const int saved = errno;
        if (fd >= 0) ::close(fd);
        ::unlink(tmp.c_str());
        errno = saved;
        return false;
    };
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return fail("Cannot write", tmp);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    // Keep the permissions of the file being replaced, 0644 for a new one.
    struct stat st{};
    ::fchmod(fd, ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644);
    if (::fsync(fd) != 0) return fail("Cannot flush", tmp);
    // Renamed while still open and locked, so no clean-up takes it first.
    if (std::rename(tmp.c_str(), path.c_str()) != 0) return fail("Cannot replace", path);
    ::close(fd);
    return true;
}
