#pragma once
// Byte sources the decoders read from. A short read is reported by the count
// returned, never by reading past the data.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>

class CByteSource {
public:
    enum Origin { FromStart, FromCurrent, FromEnd };
    virtual ~CByteSource() = default;
    // Reads up to `count` bytes; returns how many were read.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual bool Seek(std::int64_t offset, Origin origin) = 0;
    virtual std::int64_t Tell() const = 0;
    virtual std::int64_t Size() const = 0;
    virtual bool Eof() const = 0;
    virtual bool Error() const = 0;

    // Reads exactly `count` bytes or returns false.
    bool ReadExact(void* buffer, std::size_t count) { return Read(buffer, count) == count; }
    // Bytes between the current position and the end (0 when past it).
    std::int64_t Remaining() const {
        const std::int64_t left = Size() - Tell();
        return left > 0 ? left : 0;
    }
};

// Wraps an open stdio stream; does not close it. When `cancel` becomes true
// (another thread asks), reads return nothing and Error() is true, so that a
// decoder stops at its next read.
class CFileSource : public CByteSource {
public:
    explicit CFileSource(std::FILE* file, const std::atomic<bool>* cancel = nullptr);
    std::size_t Read(void* buffer, std::size_t count) override;
    bool Seek(std::int64_t offset, Origin origin) override;
    std::int64_t Tell() const override;
    std::int64_t Size() const override;
    bool Eof() const override;
    bool Error() const override;
    bool Cancelled() const { return cancel_ && cancel_->load(std::memory_order_relaxed); }
    // The system's error number of the first failed read, 0 when none failed.
    int ReadErrno() const { return readErrno_; }

private:
    std::FILE* file_;
    const std::atomic<bool>* cancel_;
    int readErrno_ = 0;
};

// Wraps a read-only memory block (resources, clipboard data, tests).
class CMemorySource : public CByteSource {
public:
    CMemorySource(const void* data, std::size_t size);
    std::size_t Read(void* buffer, std::size_t count) override;
    bool Seek(std::int64_t offset, Origin origin) override;
    std::int64_t Tell() const override { return pos_; }
    std::int64_t Size() const override { return static_cast<std::int64_t>(size_); }
    bool Eof() const override { return pos_ >= static_cast<std::int64_t>(size_); }
    bool Error() const override { return false; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::int64_t pos_ = 0;
};
