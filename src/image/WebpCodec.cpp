// CRasterWEBP: WebP through libwebp. A still picture is decoded straight
// into the image's rows (or, with alpha, through one buffer of the picture
// in blue-green-red-alpha); an animation gives its first frame as composed
// on the canvas. An Exif orientation in the file is applied.
#include "image/CodecUtil.h"
#include "image/ColourProfile.h"
#include "image/ExifOrientation.h"
#include "image/RasterCodecs.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <memory>
#include <new>
#include <string>

namespace {
// Lossless WebP of flat colour reaches far beyond a thousand to one.
constexpr std::uint64_t kWebpRatio = 1u << 16;

const char* StatusText(VP8StatusCode status) {
    switch (status) {
    case VP8_STATUS_OUT_OF_MEMORY: return "Can't allocate memory";
    case VP8_STATUS_INVALID_PARAM: return "WebP: invalid parameter";
    case VP8_STATUS_BITSTREAM_ERROR: return "Corrupt data: the WebP picture's data is damaged";
    case VP8_STATUS_UNSUPPORTED_FEATURE: return "WebP: a feature of this file is not supported";
    case VP8_STATUS_NOT_ENOUGH_DATA: return "Truncated data: the WebP file ends early";
    default: return "WebP: the picture could not be decoded";
    }
}

struct DemuxDeleter {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};
struct AnimDeleter {
    void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};

// The Exif orientation of the file's EXIF chunk, 1 when there is none.
int FileOrientation(const WebPData& data) {
    std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
    if (!demux || !(WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS) & EXIF_FLAG))
        return 1;
    WebPChunkIterator chunk;
    int orientation = 1;
    if (WebPDemuxGetChunk(demux.get(), "EXIF", 1, &chunk))
        orientation = ExifOrientation(chunk.chunk.bytes, chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
    return orientation;
}

bool DecodeFirstFrame(const WebPData& data, CRasterImage& image) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) {
        image.SetLastError("WebP: the animation decoder does not match the library");
        return false;
    }
    options.color_mode = MODE_BGRA;
    options.use_threads = 0;
    std::unique_ptr<WebPAnimDecoder, AnimDeleter> decoder(WebPAnimDecoderNew(&data, &options));
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) {
        image.SetLastError("Corrupt data: the WebP animation is damaged");
        return false;
    }
    std::uint8_t* frame = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &frame, &timestamp) || !frame) {
        image.SetLastError("Corrupt data: the first frame of the WebP animation is damaged");
        return false;
    }
    const int width = static_cast<int>(info.canvas_width);
    image.SetNumFrames(static_cast<int>(info.frame_count));
    for (int y = 0; y < image.GetHeight(); ++y)
        PutRgbRow(image, y, frame + static_cast<std::size_t>(y) * width * 4, 4, true);
    return true;
}

bool DecodeStill(const WebPData& data, CRasterImage& image, bool alpha) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) {
        image.SetLastError("WebP: the decoder does not match the library");
        return false;
    }
    const int width = image.GetWidth(), height = image.GetHeight();
    std::unique_ptr<std::uint8_t[]> buffer;
    if (alpha) {
        buffer.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(width) * height * 4]);
        if (!buffer) {
            image.SetLastError("Can't allocate memory");
            return false;
        }
        config.output.colorspace = MODE_BGRA;
        config.output.u.RGBA.rgba = buffer.get();
        config.output.u.RGBA.stride = width * 4;
        config.output.u.RGBA.size = static_cast<std::size_t>(width) * height * 4;
    } else {
        // Flipped, the top row lands in the last row of memory: our order.
        config.options.flip = 1;
        config.output.colorspace = MODE_BGR;
        config.output.u.RGBA.rgba = image.GetBits();
        config.output.u.RGBA.stride = image.GetStride();
        config.output.u.RGBA.size = image.GetBitsSize();
    }
    config.output.is_external_memory = 1;
    const VP8StatusCode status = WebPDecode(data.bytes, data.size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) {
        image.SetLastError(StatusText(status));
        return false;
    }
    if (alpha)
        for (int y = 0; y < height; ++y)
            PutRgbRow(image, y, buffer.get() + static_cast<std::size_t>(y) * width * 4, 4, true);
    return true;
}
}  // namespace

namespace {
// The ICCP chunk of an extended file, if any (and not oversized).
std::vector<std::uint8_t> FileProfile(const WebPData& data) {
    std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
    if (!demux || !(WebPDemuxGetI(demux.get(), WEBP_FF_FORMAT_FLAGS) & ICCP_FLAG))
        return {};
    WebPChunkIterator chunk;
    std::vector<std::uint8_t> icc;
    if (WebPDemuxGetChunk(demux.get(), "ICCP", 1, &chunk)) {
        if (chunk.chunk.size <= kMaxProfileBytes)
            icc.assign(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    return icc;
}
}  // namespace

bool CRasterWEBP::Decode(CByteSource& source) {
    std::vector<std::uint8_t> bytes;
    if (!ReadRestOfSource(source, bytes, *this, "WebP"))
        return false;
    WebPBitstreamFeatures features;
    const VP8StatusCode status = WebPGetFeatures(bytes.data(), bytes.size(), &features);
    if (status != VP8_STATUS_OK) {
        SetLastError(status == VP8_STATUS_NOT_ENOUGH_DATA ? "Truncated data: the WebP file ends early"
                                                          : "Not a WebP file, or its header is damaged");
        return false;
    }
    const WebPData data{bytes.data(), bytes.size()};
    int width = features.width, height = features.height;
    if (features.has_animation) {
        std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
        if (!demux) {
            SetLastError("Corrupt data: the WebP animation is damaged");
            return false;
        }
        width = static_cast<int>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
        height = static_cast<int>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
    }
    if (!PicturePixelsAllowed(*this, width, height))
        return false;
    if (!PlausibleSize(width, height, 24, static_cast<std::int64_t>(bytes.size()), kWebpRatio)) {
        SetLastError("Can't allocate memory");
        return false;
    }
    if (!Create(width, height, 24, IMAGE_WEBP))
        return false;
    if (features.has_alpha || features.has_animation)
        CreateAlpha();
    const bool ok = features.has_animation ? DecodeFirstFrame(data, *this) : DecodeStill(data, *this, features.has_alpha);
    if (ok && !features.has_animation)
        SetNumFrames(1);
    if (ok)
        ApplyEmbeddedProfile(*this, FileProfile(data), true);
    if (!ok || !ApplyOrientation(*this, FileOrientation(data))) {
        const std::string message = GetLastError();
        Clear();
        SetLastError(message);
        return false;
    }
    return true;
}
