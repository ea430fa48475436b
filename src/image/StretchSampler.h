#pragma once
// Nearest-neighbour sampling of a scaled write (the rule is in DrawContext.h):
// which source row feeds each target row, and the gathering of one target
// row's pixels from its source row. Built once per write for the visible box;
// every surface that samples pictures itself goes through it, so that they
// all take the same pixels.
#include "image/DrawSurface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The rows the next gather of a scaled write will take: fetched into the
// cache while the current row is gathered, since a large picture's rows lie
// far apart and the processor's own prefetching starts late on each.
// Null: none.
struct StretchRowsAhead {
    const std::uint8_t* src = nullptr;
    const void* out = nullptr;
};

class CStretchSampler {
public:
    // How rows are gathered. Fastest takes the widest byte shuffle the
    // processor has (64 or 16 bytes at a time); Shuffle16 and Portable are
    // the paths of processors without the wider ones, so that tests can
    // compare all of them on any machine. A path the processor lacks falls
    // back to the next one.
    enum class Path { Fastest, Shuffle16, Portable };

    // The target pixels the rows are gathered into: 24-bit BGR (Gather24) or
    // 32-bit words (Gather32). Either call works on either sampler; the one
    // named here is the fast one.
    enum class Target { Bgr24, Argb32 };

    // `dst` is the whole target rectangle, `box` the visible part of it that
    // is written (inside dst, not empty); the source has srcWidth x srcHeight
    // pixels (both > 0).
    CStretchSampler(const SurfaceRect& dst, const SurfaceRect& box, int srcWidth, int srcHeight,
                    Target target = Target::Bgr24, Path path = Path::Fastest);

    int Width() const { return static_cast<int>(offsets_.size()); }
    // The source row of target row y (a surface row inside the box).
    int SourceRow(int y) const;
    // The source column of the box's column i (0 = the box's left edge).
    int SourceColumn(int i) const { return static_cast<int>(offsets_[i] / 3); }

    // Writes the box's pixels of one target row as 24-bit BGR (Width() x 3
    // bytes) from a source row of srcWidth BGR pixels. Reads only inside the
    // source row and writes only the Width() pixels.
    void Gather24(const std::uint8_t* srcRow, std::uint8_t* out, StretchRowsAhead ahead = {}) const;
    // The same as 32-bit words 0xAARRGGBB with alpha 255 (the layout of
    // 32-bit screen images).
    void Gather32(const std::uint8_t* srcRow, std::uint32_t* out, StretchRowsAhead ahead = {}) const;

private:
    void PlanShuffles(std::size_t srcBytes, int window, int pixelBytes);
    void Shuffle(const std::uint8_t* srcRow, void* out, const std::uint8_t* aheadSrc, const void* aheadOut,
                 std::uint32_t alpha) const;
    void GatherPortable24(const std::uint8_t* srcRow, std::uint8_t* out, int from, const std::uint8_t* aheadSrc,
                          const std::uint8_t* aheadOut) const;
    void GatherPortable32(const std::uint8_t* srcRow, std::uint32_t* out, int from, const std::uint8_t* aheadSrc,
                          const std::uint32_t* aheadOut) const;

    std::vector<std::size_t> offsets_;  // source byte offset of every box column
    // Runs of target pixels taken by one byte shuffle of a window of source
    // bytes each (none on the portable path): the first source byte, the
    // first target byte and, `window_` bytes a run, the source byte of every
    // target byte.
    std::vector<std::size_t> shuffleSrc_;
    std::vector<std::size_t> shuffleOut_;
    std::vector<std::uint8_t> shuffleOrder_;
    int window_ = 0;     // 16 or 64 bytes; 0 on the portable path
    int runPixelBytes_ = 0;  // 3 or 4: the target the runs were planned for
    int shuffled_ = 0;   // box columns the runs cover
    int wordSafe_ = 0;   // columns that may be read and written as 4-byte words
    bool identity_ = false;  // columns are consecutive: one copy a row
    std::int64_t dstTop_;
    std::int64_t dstHeight_;
    int srcHeight_;
};
