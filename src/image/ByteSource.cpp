#include "image/ByteSource.h"

#include <cerrno>
#include <cstring>

CFileSource::CFileSource(std::FILE* file, const std::atomic<bool>* cancel) : file_(file), cancel_(cancel) {}

std::size_t CFileSource::Read(void* buffer, std::size_t count) {
    if (!file_ || count == 0 || Cancelled())
        return 0;
    errno = 0;
    const std::size_t n = std::fread(buffer, 1, count, file_);
    if (n < count && std::ferror(file_) && readErrno_ == 0)
        readErrno_ = errno ? errno : EIO;
    return n;
}

bool CFileSource::Seek(std::int64_t offset, Origin origin) {
    if (!file_)
        return false;
    const int whence = origin == FromStart ? SEEK_SET : origin == FromCurrent ? SEEK_CUR : SEEK_END;
    return fseeko(file_, static_cast<off_t>(offset), whence) == 0;
}

std::int64_t CFileSource::Tell() const { return file_ ? static_cast<std::int64_t>(ftello(file_)) : -1; }

std::int64_t CFileSource::Size() const {
    if (!file_)
        return 0;
    const off_t here = ftello(file_);
    if (fseeko(file_, 0, SEEK_END) != 0)
        return 0;
    const off_t size = ftello(file_);
    fseeko(file_, here, SEEK_SET);
    return size < 0 ? 0 : static_cast<std::int64_t>(size);
}

bool CFileSource::Eof() const { return !file_ || std::feof(file_) != 0; }

bool CFileSource::Error() const { return !file_ || std::ferror(file_) != 0 || Cancelled(); }

CMemorySource::CMemorySource(const void* data, std::size_t size)
    : data_(static_cast<const std::uint8_t*>(data)), size_(data ? size : 0) {}

std::size_t CMemorySource::Read(void* buffer, std::size_t count) {
    const std::int64_t total = static_cast<std::int64_t>(size_);
    if (pos_ >= total || count == 0)
        return 0;
    const std::size_t left = static_cast<std::size_t>(total - pos_);
    const std::size_t n = count < left ? count : left;
    std::memcpy(buffer, data_ + pos_, n);
    pos_ += static_cast<std::int64_t>(n);
    return n;
}

bool CMemorySource::Seek(std::int64_t offset, Origin origin) {
    const std::int64_t base = origin == FromStart ? 0 : origin == FromCurrent ? pos_ : static_cast<std::int64_t>(size_);
    // Guard the addition itself: offsets come from file headers.
    if ((offset > 0 && base > INT64_MAX - offset))
        return false;
    const std::int64_t target = base + offset;
    if (target < 0 || target > static_cast<std::int64_t>(size_))
        return false;
    pos_ = target;
    return true;
}
