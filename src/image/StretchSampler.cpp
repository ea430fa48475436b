// CStretchSampler: the columns of a scaled write worked out once, then one
// gather per target row. On x86 processors with SSSE3 most of a row is moved
// by byte shuffles (up to five pixels out of a 16-byte window each); the rest,
// and every row on other processors, goes through the portable word copies.
#include "image/StretchSampler.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KORVANE_BYTE_SHUFFLE 1
#endif

namespace {

constexpr bool kLittleEndian = std::endian::native == std::endian::little;

#if KORVANE_BYTE_SHUFFLE
bool ProcessorShuffles() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

}  // namespace

CStretchSampler::CStretchSampler(const SurfaceRect& dst, const SurfaceRect& box, int srcWidth, int srcHeight,
                                 Path path)
    : dstTop_(dst.top), dstHeight_(std::int64_t{dst.bottom} - dst.top), srcHeight_(srcHeight) {
    const int w = box.width();
    const std::int64_t dw = std::int64_t{dst.right} - dst.left;
    offsets_.resize(static_cast<std::size_t>(w));
    identity_ = true;
    for (int i = 0; i < w; ++i) {
        const std::int64_t column = (std::int64_t{box.left} + i - dst.left) * srcWidth / dw;
        offsets_[i] = static_cast<std::size_t>(column) * 3;
        if (i > 0 && offsets_[i] != offsets_[i - 1] + 3)
            identity_ = false;
    }
    // A 4-byte word may be read at a column that ends at least one byte
    // before the source row does, and written at any column but the last
    // (the spare byte lands on the next pixel, which is written after it).
    const std::size_t srcBytes = static_cast<std::size_t>(srcWidth) * 3;
    while (wordSafe_ < w - 1 && offsets_[wordSafe_] + 4 <= srcBytes)
        ++wordSafe_;
#if KORVANE_BYTE_SHUFFLE
    if (path == Path::Fastest && !identity_ && kLittleEndian && ProcessorShuffles())
        PlanShuffles(srcBytes);
#else
    (void)path;
#endif
}

int CStretchSampler::SourceRow(int y) const {
    return static_cast<int>((std::int64_t{y} - dstTop_) * srcHeight_ / dstHeight_);
}

// Groups consecutive target pixels whose source bytes fit one 16-byte window.
// A shuffle stores 16 bytes, so the planning stops where the window would
// pass the end of the source row or the store the end of the box; the rest of
// the row is copied a pixel at a time.
void CStretchSampler::PlanShuffles(std::size_t srcBytes) {
    const int w = Width();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 3;
    int i = 0;
    while (i < w) {
        const std::size_t base = offsets_[i];
        const std::size_t out = static_cast<std::size_t>(i) * 3;
        if (base + 16 > srcBytes || out + 16 > rowBytes)
            break;
        std::uint8_t order[16];
        std::memset(order, 0x80, sizeof order);  // 0x80 gives a zero byte
        int n = 0;
        while (i + n < w && n < 5 && offsets_[i + n] + 3 - base <= 16) {
            for (int k = 0; k < 3; ++k)
                order[n * 3 + k] = static_cast<std::uint8_t>(offsets_[i + n] - base + k);
            ++n;
        }
        shuffleSrc_.push_back(base);
        shuffleOut_.push_back(out);
        shuffleOrder_.insert(shuffleOrder_.end(), order, order + 16);
        i += n;
    }
    shuffled_ = i;
}

void CStretchSampler::GatherScalar24(const std::uint8_t* srcRow, std::uint8_t* out, int from) const {
    const int w = Width();
    const std::size_t* offsets = offsets_.data();
    int i = from;
    if constexpr (kLittleEndian) {
        // Four pixels a step: two 8-byte stores of two pixels each.
        for (; i + 4 < wordSafe_; i += 4) {
            std::uint32_t a, b, c, d;
            std::memcpy(&a, srcRow + offsets[i], 4);
            std::memcpy(&b, srcRow + offsets[i + 1], 4);
            std::memcpy(&c, srcRow + offsets[i + 2], 4);
            std::memcpy(&d, srcRow + offsets[i + 3], 4);
            const std::uint64_t ab = (a & 0xFFFFFFu) | (std::uint64_t{b} << 24);
            const std::uint64_t cd = (c & 0xFFFFFFu) | (std::uint64_t{d} << 24);
            std::memcpy(out + i * 3, &ab, 8);
            std::memcpy(out + i * 3 + 6, &cd, 8);
        }
    }
    for (; i < wordSafe_; ++i)
        std::memcpy(out + i * 3, srcRow + offsets[i], 4);
    for (; i < w; ++i)
        std::memcpy(out + i * 3, srcRow + offsets[i], 3);
}

#if KORVANE_BYTE_SHUFFLE
namespace {
__attribute__((target("ssse3"))) void RunShuffles(const std::uint8_t* srcRow, std::uint8_t* out, const std::size_t* src,
                                                  const std::size_t* dst, const std::uint8_t* order, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k, order += 16) {
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(order));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(srcRow + src[k]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + dst[k]), _mm_shuffle_epi8(v, o));
    }
}
}  // namespace
#endif

void CStretchSampler::Gather24(const std::uint8_t* srcRow, std::uint8_t* out) const {
    if (identity_) {
        std::memcpy(out, srcRow + offsets_[0], offsets_.size() * 3);
        return;
    }
#if KORVANE_BYTE_SHUFFLE
    if (!shuffleSrc_.empty())
        RunShuffles(srcRow, out, shuffleSrc_.data(), shuffleOut_.data(), shuffleOrder_.data(), shuffleSrc_.size());
#endif
    GatherScalar24(srcRow, out, shuffled_);
}

void CStretchSampler::Gather32(const std::uint8_t* srcRow, std::uint32_t* out) const {
    const int w = Width();
    const std::size_t* offsets = offsets_.data();
    int i = 0;
    if constexpr (kLittleEndian) {
        // Blue, green, red and the next pixel's blue read as one word: the
        // high byte becomes the alpha.
        for (; i < wordSafe_; ++i) {
            std::uint32_t v;
            std::memcpy(&v, srcRow + offsets[i], 4);
            out[i] = v | 0xFF000000u;
        }
    }
    for (; i < w; ++i) {
        const std::uint8_t* p = srcRow + offsets[i];
        out[i] = 0xFF000000u | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
    }
}
