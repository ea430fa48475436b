#pragma once
// Nearest-neighbour sampling of a scaled write (the rule is in DrawSurface.h):
// which source row feeds each target row, and the gathering of one target
// row's pixels from its source row. Built once per write for the visible box;
// every surface that samples pictures itself goes through it, so that they
// all take the same pixels.
#include "image/DrawSurface.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CStretchSampler {
public:
    // Fastest uses the processor's byte shuffles where it has them; Portable
    // is the plain C++ path every processor runs (and the tests compare).
    enum class Path { Fastest, Portable };

    // `dst` is the whole target rectangle, `box` the visible part of it that
    // is written (inside dst, not empty); the source has srcWidth x srcHeight
    // pixels (both > 0).
    CStretchSampler(const SurfaceRect& dst, const SurfaceRect& box, int srcWidth, int srcHeight,
                    Path path = Path::Fastest);

    int Width() const { return static_cast<int>(offsets_.size()); }
    // The source row of target row y (a surface row inside the box).
    int SourceRow(int y) const;
    // The source column of the box's column i (0 = the box's left edge).
    int SourceColumn(int i) const { return static_cast<int>(offsets_[i] / 3); }

    // Writes the box's pixels of one target row as 24-bit BGR (Width() x 3
    // bytes) from a source row of srcWidth BGR pixels. Reads only inside the
    // source row and writes only the Width() pixels.
    void Gather24(const std::uint8_t* srcRow, std::uint8_t* out) const;
    // The same as 32-bit words 0xAARRGGBB with alpha 255 (the layout of
    // 32-bit screen images).
    void Gather32(const std::uint8_t* srcRow, std::uint32_t* out) const;

private:
    void PlanShuffles(std::size_t srcBytes);
    void GatherScalar24(const std::uint8_t* srcRow, std::uint8_t* out, int from) const;

    std::vector<std::size_t> offsets_;  // source byte offset of every box column
    // Runs of target pixels taken by one byte shuffle of 16 source bytes each
    // (none when the processor has no byte shuffle): the first source byte,
    // the first target byte and the source byte of every target byte.
    std::vector<std::size_t> shuffleSrc_;
    std::vector<std::size_t> shuffleOut_;
    std::vector<std::uint8_t> shuffleOrder_;  // 16 bytes a run
    int shuffled_ = 0;                        // box columns the runs cover
    int wordSafe_ = 0;                  // columns that may be read as 4-byte words
    bool identity_ = false;             // columns are consecutive: one copy a row
    std::int64_t dstTop_;
    std::int64_t dstHeight_;
    int srcHeight_;
};
