#pragma once
// Small helpers shared by the decoders: little-endian fields and the checks
// made before anything is allocated.
#include "image/ByteSource.h"
#include "image/RasterImage.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

inline std::uint16_t LoadLE16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t LoadLE32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline std::int32_t LoadLE32s(const std::uint8_t* p) { return static_cast<std::int32_t>(LoadLE32(p)); }

// Bytes of pixel rows an image of that size and (normalised) depth needs;
// 0 when the size is refused by the Create limit.
std::uint64_t RasterBytesFor(std::int64_t width, std::int64_t height, int bpp);

// A picture claimed by its header must be within reach of the data that
// follows: large pictures whose pixel memory exceeds what `sourceBytes` could
// expand to at the format's best compression `maxRatio` are refused before
// allocation, so a few bytes of header never commit gigabytes.
bool PlausibleSize(std::int64_t width, std::int64_t height, int bpp, std::int64_t sourceBytes,
                   std::uint64_t maxRatio);

// Creates a decoder's picture after the checks made before anything is
// allocated; a refusal names its cause, with `format` ("BMP") in front:
// a header without a size (damaged), a picture over kMaxPicturePixels
// (PictureTooLargeText), more pixels than `sourceBytes` can hold at the
// format's best compression (truncated data, see PlausibleSize). Only when
// the memory itself cannot be had is `noMemory` the message.
bool CreateDecodedPicture(CRasterImage& image, const char* format, std::int64_t width, std::int64_t height,
                          int bpp, int type, std::int64_t sourceBytes, std::uint64_t maxRatio,
                          const char* noMemory);
// "<format> data is truncated: ..." for data that ends before the picture.
std::string TruncatedDataText(const char* format, const std::string& what);

// Reads a byte source through a buffer, for decoders that take their data a
// few bytes at a time. Short reads report false; nothing is read past the end.
class BufferedReader {
public:
    explicit BufferedReader(CByteSource& source, std::size_t capacity = 1 << 16)
        : source_(source), buffer_(capacity) {}

    bool ReadByte(std::uint8_t& b) {
        if (pos_ == len_ && !Refill())
            return false;
        b = buffer_[pos_++];
        return true;
    }

    bool Read(std::uint8_t* out, std::size_t count) {
        while (count > 0) {
            if (pos_ == len_ && !Refill())
                return false;
            const std::size_t n = count < len_ - pos_ ? count : len_ - pos_;
            std::memcpy(out, buffer_.data() + pos_, n);
            pos_ += n;
            out += n;
            count -= n;
        }
        return true;
    }

private:
    bool Refill() {
        len_ = source_.Read(buffer_.data(), buffer_.size());
        pos_ = 0;
        return len_ > 0;
    }

    CByteSource& source_;
    std::vector<std::uint8_t> buffer_;
    std::size_t len_ = 0, pos_ = 0;
};

// Reads the rest of `source` into `data`, for decoders whose library takes
// the whole file at once. Files above `maxBytes` and short reads fail with
// a message on `image`.
bool ReadRestOfSource(CByteSource& source, std::vector<std::uint8_t>& data, CRasterImage& image,
                      const char* kind, std::int64_t maxBytes = std::int64_t{1} << 30);

// Moves interleaved 8-bit samples (3 or 4 a pixel, red first unless
// `bgr`) of one top-down row into row `fromTop` of a 24-bit image, the
// fourth sample into the alpha plane when the image has one.
void PutRgbRow(CRasterImage& image, int fromTop, const std::uint8_t* samples, int channels, bool bgr = false);
