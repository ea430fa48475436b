#include "image/AreaAverage.h"

#include <vector>

namespace {
// How the n source cells of one axis fall into m output cells (m <= n): in
// units of 1/m of a source cell, source cell k spans [k*m, (k+1)*m) and
// output cell i spans [i*n, (i+1)*n). Cell k gives `first` units to output
// `to` and the rest (m - first) to output to + 1.
struct Share {
    int to;
    std::int64_t first;
};

std::vector<Share> Shares(int n, int m) {
    std::vector<Share> shares(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        const std::int64_t start = std::int64_t{k} * m;
        const int to = static_cast<int>(start / n);
        const std::int64_t boundary = std::int64_t{to + 1} * n;
        shares[k] = Share{to, std::min<std::int64_t>(m, boundary - start)};
    }
    return shares;
}
}  // namespace

void AreaAverage(const PixelBlock& src, const std::uint8_t* mask, std::ptrdiff_t maskStride, int outWidth,
                 int outHeight, std::uint8_t* out, std::ptrdiff_t outStride) {
    const int sw = src.width, sh = src.height;
    if (sw <= 0 || sh <= 0 || outWidth <= 0 || outHeight <= 0 || outWidth > sw || outHeight > sh)
        return;
    const std::vector<Share> cols = Shares(sw, outWidth);
    const std::vector<Share> rows = Shares(sh, outHeight);
    // One output row in the making and the next one, four channels each
    // (blue, green, red, alpha); a source row spread across the output columns.
    const std::size_t n = static_cast<std::size_t>(outWidth) * 4;
    std::vector<std::uint64_t> current(n), next(n), line(n);
    const std::uint64_t whole = std::uint64_t(sw) * std::uint64_t(sh);

    auto emit = [&](int y, std::vector<std::uint64_t>& acc) {
        auto* o = reinterpret_cast<std::uint32_t*>(out + y * outStride);
        for (int x = 0; x < outWidth; ++x) {
            const std::uint64_t* a = acc.data() + x * 4;
            auto v = [&](int c) { return static_cast<std::uint32_t>((a[c] + whole / 2) / whole); };
            o[x] = (v(3) << 24) | (v(2) << 16) | (v(1) << 8) | v(0);
        }
        std::fill(acc.begin(), acc.end(), 0);
    };

    int row = 0;  // the output row `current` collects
    for (int k = 0; k < sh; ++k) {
        std::fill(line.begin(), line.end(), 0);
        const std::uint8_t* p = src.first + k * src.stride;
        const std::uint8_t* m = mask ? mask + k * maskStride : nullptr;
        for (int x = 0; x < sw; ++x, p += 3) {
            std::uint64_t b = p[0], g = p[1], r = p[2], a = 255;
            if (m && m[x])
                b = g = r = a = 0;
            const Share s = cols[x];
            std::uint64_t* t = line.data() + s.to * 4;
            t[0] += b * s.first;
            t[1] += g * s.first;
            t[2] += r * s.first;
            t[3] += a * s.first;
            const std::uint64_t rest = static_cast<std::uint64_t>(outWidth) - s.first;
            if (rest) {
                t[4] += b * rest;
                t[5] += g * rest;
                t[6] += r * rest;
                t[7] += a * rest;
            }
        }
        const Share s = rows[k];
        while (row < s.to) {
            emit(row++, current);
            current.swap(next);
        }
        const std::uint64_t rest = static_cast<std::uint64_t>(outHeight) - s.first;
        for (std::size_t i = 0; i < n; ++i) {
            current[i] += line[i] * s.first;
            if (rest)
                next[i] += line[i] * rest;
        }
    }
    while (row < outHeight) {
        emit(row++, current);
        current.swap(next);
    }
}
