// CStretchSampler: the columns of a scaled write worked out once, then one
// gather per target row. On x86 processors most of a row is moved by byte
// shuffles planned here (AVX-512 VBMI: up to 21 24-bit or 16 32-bit pixels out
// of a 64-byte window; SSSE3: up to 5 or 4 out of 16 bytes); the rest, and
// every row on other processors, goes through the portable word copies.
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

// The widest shuffle window (in bytes) the processor offers, 0 for none.
int ProcessorWindow() {
#if KORVANE_BYTE_SHUFFLE
    static const int window = [] {
        if (__builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw"))
            return 64;
        return __builtin_cpu_supports("ssse3") ? 16 : 0;
    }();
    return window;
#else
    return 0;
#endif
}

// Fetches ahead into the second-level cache, which holds the next rows
// without pushing the current ones out of the first.
inline void FetchForReading(const void* p) { __builtin_prefetch(p, 0, 2); }
inline void FetchForWriting(const void* p) { __builtin_prefetch(p, 1, 2); }

}  // namespace

CStretchSampler::CStretchSampler(const SurfaceRect& dst, const SurfaceRect& box, int srcWidth, int srcHeight,
                                 Target target, Path path)
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
    const int pixelBytes = target == Target::Bgr24 ? 3 : 4;
    if ((identity_ && pixelBytes == 3) || !kLittleEndian || path == Path::Portable)
        return;
    const int window = std::min(ProcessorWindow(), path == Path::Shuffle16 ? 16 : 64);
    if (window > 0)
        PlanShuffles(srcBytes, window, pixelBytes);
}

int CStretchSampler::SourceRow(int y) const {
    return static_cast<int>((std::int64_t{y} - dstTop_) * srcHeight_ / dstHeight_);
}

// Groups consecutive target pixels whose source bytes fit one window. A
// shuffle stores a whole window, so the planning stops where the window would
// pass the end of the source row or the store the end of the box; the rest
// of the row is copied a pixel at a time. The bytes a run stores beyond its
// own pixels are overwritten by the runs after it. A 32-bit target pixel's
// fourth byte is left to the alpha.
void CStretchSampler::PlanShuffles(std::size_t srcBytes, int window, int pixelBytes) {
    const int w = Width();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * pixelBytes;
    const std::size_t span = static_cast<std::size_t>(window);
    // A 16-byte shuffle writes zero for an index with the top bit set.
    const std::uint8_t unused = window == 16 ? 0x80 : 0;
    window_ = window;
    runPixelBytes_ = pixelBytes;
    int i = 0;
    while (i < w) {
        const std::size_t base = offsets_[i];
        const std::size_t out = static_cast<std::size_t>(i) * pixelBytes;
        if (base + span > srcBytes || out + span > rowBytes)
            break;
        const std::size_t first = shuffleOrder_.size();
        shuffleOrder_.resize(first + span, unused);
        int n = 0;
        while (i + n < w && (n + 1) * pixelBytes <= window && offsets_[i + n] + 3 - base <= span) {
            for (int k = 0; k < 3; ++k)
                shuffleOrder_[first + n * pixelBytes + k] = static_cast<std::uint8_t>(offsets_[i + n] - base + k);
            ++n;
        }
        shuffleSrc_.push_back(base);
        shuffleOut_.push_back(out);
        i += n;
    }
    shuffled_ = i;
}

void CStretchSampler::GatherPortable24(const std::uint8_t* srcRow, std::uint8_t* out, int from,
                                       const std::uint8_t* aheadSrc, const std::uint8_t* aheadOut) const {
    const int w = Width();
    const std::size_t* offsets = offsets_.data();
    int i = from;
    if constexpr (kLittleEndian) {
        // Four pixels a step: two 8-byte stores of two pixels each.
        for (; i + 4 < wordSafe_; i += 4) {
            if ((i & 15) == 0) {
                FetchForReading(aheadSrc + offsets[i]);
                FetchForWriting(aheadOut + i * 3);
            }
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

struct Runs {
    const std::size_t* src;
    const std::size_t* out;
    const std::uint8_t* order;
    std::size_t count;
    std::uint32_t alpha;  // OR-ed into every 32-bit word: 0 for 24-bit targets
};

__attribute__((target("ssse3"))) void Shuffle16(const std::uint8_t* srcRow, std::uint8_t* out,
                                                const std::uint8_t* aheadSrc, const std::uint8_t* aheadOut,
                                                const Runs& runs) {
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(runs.alpha));
    const std::uint8_t* order = runs.order;
    for (std::size_t k = 0; k < runs.count; ++k, order += 16) {
        // A run moves 3 to 16 bytes: one fetch every four runs.
        if ((k & 3) == 0) {
            FetchForReading(aheadSrc + runs.src[k]);
            FetchForWriting(aheadOut + runs.out[k]);
        }
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(order));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(srcRow + runs.src[k]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + runs.out[k]), _mm_or_si128(_mm_shuffle_epi8(v, o), alpha));
    }
}

__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void Shuffle64(const std::uint8_t* srcRow, std::uint8_t* out,
                                                                      const std::uint8_t* aheadSrc,
                                                                      const std::uint8_t* aheadOut, const Runs& runs) {
    const __m512i alpha = _mm512_set1_epi32(static_cast<int>(runs.alpha));
    const std::uint8_t* order = runs.order;
    for (std::size_t k = 0; k < runs.count; ++k, order += 64) {
        FetchForReading(aheadSrc + runs.src[k]);
        FetchForWriting(aheadOut + runs.out[k]);
        const __m512i o = _mm512_loadu_si512(order);
        const __m512i v = _mm512_loadu_si512(srcRow + runs.src[k]);
        // (The all-ones mask form: the plain one trips a false warning in
        // GCC's own header.)
        const __m512i moved = _mm512_maskz_permutexvar_epi8(~__mmask64{0}, o, v);
        _mm512_storeu_si512(out + runs.out[k], _mm512_or_si512(moved, alpha));
    }
}

}  // namespace
#endif

void CStretchSampler::Shuffle(const std::uint8_t* srcRow, void* out, const std::uint8_t* aheadSrc,
                              const void* aheadOut, std::uint32_t alpha) const {
#if KORVANE_BYTE_SHUFFLE
    const Runs runs{shuffleSrc_.data(), shuffleOut_.data(), shuffleOrder_.data(), shuffleSrc_.size(), alpha};
    auto* o = static_cast<std::uint8_t*>(out);
    const auto* ahead = static_cast<const std::uint8_t*>(aheadOut);
    if (window_ == 64)
        Shuffle64(srcRow, o, aheadSrc, ahead, runs);
    else if (window_ == 16)
        Shuffle16(srcRow, o, aheadSrc, ahead, runs);
#else
    (void)srcRow, (void)out, (void)aheadSrc, (void)aheadOut, (void)alpha;
#endif
}

void CStretchSampler::Gather24(const std::uint8_t* srcRow, std::uint8_t* out, StretchRowsAhead ahead) const {
    if (identity_) {
        std::memcpy(out, srcRow + offsets_[0], offsets_.size() * 3);
        return;
    }
    const std::uint8_t* aheadSrc = ahead.src ? ahead.src : srcRow;
    const std::uint8_t* aheadOut = ahead.out ? static_cast<const std::uint8_t*>(ahead.out) : out;
    int from = 0;
    if (runPixelBytes_ == 3) {
        Shuffle(srcRow, out, aheadSrc, aheadOut, 0);
        from = shuffled_;
    }
    GatherPortable24(srcRow, out, from, aheadSrc, aheadOut);
}

void CStretchSampler::Gather32(const std::uint8_t* srcRow, std::uint32_t* out, StretchRowsAhead ahead) const {
    const std::uint8_t* aheadSrc = ahead.src ? ahead.src : srcRow;
    const std::uint32_t* aheadOut = ahead.out ? static_cast<const std::uint32_t*>(ahead.out) : out;
    int from = 0;
    if (runPixelBytes_ == 4) {
        Shuffle(srcRow, out, aheadSrc, aheadOut, 0xFF000000u);
        from = shuffled_;
    }
    GatherPortable32(srcRow, out, from, aheadSrc, aheadOut);
}

void CStretchSampler::GatherPortable32(const std::uint8_t* srcRow, std::uint32_t* out, int from,
                                       const std::uint8_t* aheadSrc, const std::uint32_t* aheadOut) const {
    const int w = Width();
    const std::size_t* offsets = offsets_.data();
    int i = from;
    if constexpr (kLittleEndian) {
        // Blue, green, red and the next pixel's blue read as one word: the
        // high byte becomes the alpha.
        for (; i < wordSafe_; ++i) {
            if ((i & 15) == 0) {
                FetchForReading(aheadSrc + offsets[i]);
                FetchForWriting(aheadOut + i);
            }
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
