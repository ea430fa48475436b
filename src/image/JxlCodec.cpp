// CRasterJXL: JPEG XL through libjxl: the first frame, turned as the file's
// orientation says (the library does it), rows delivered by the library's
// callback straight into the image.
#include "image/CodecUtil.h"
#include "image/ColourProfile.h"
#include "image/RasterCodecs.h"

#include <jxl/decode.h>
#include <jxl/thread_parallel_runner.h>

#include <memory>

namespace {
// JPEG XL's modular mode codes flat areas in next to nothing.
constexpr std::uint64_t kJxlRatio = 1u << 16;

struct DecoderDeleter {
    void operator()(JxlDecoder* d) const { JxlDecoderDestroy(d); }
};
struct RunnerDeleter {
    void operator()(void* r) const { JxlThreadParallelRunnerDestroy(r); }
};

struct RowTarget {
    CRasterImage* image;
    int channels;
};

// Called by the library for runs of pixels of one row, possibly from
// several threads at once (for different runs).
void OnPixels(void* opaque, size_t x, size_t y, size_t count, const void* pixels) {
    auto* target = static_cast<RowTarget*>(opaque);
    CRasterImage& image = *target->image;
    if (y >= static_cast<size_t>(image.GetHeight()) || x + count > static_cast<size_t>(image.GetWidth()))
        return;
    const int row = image.GetHeight() - 1 - static_cast<int>(y);
    const auto* in = static_cast<const std::uint8_t*>(pixels);
    std::uint8_t* out = image.GetRow(row) + x * 3;
    std::uint8_t* alpha = image.HasAlpha() ? image.GetAlphaRow(row) + x : nullptr;
    // Grey comes as one sample (two with alpha), colour as three (four).
    const int n = target->channels;
    const bool grey = n <= 2;
    for (size_t i = 0; i < count; ++i, in += n, out += 3) {
        out[0] = in[grey ? 0 : 2];
        out[1] = in[grey ? 0 : 1];
        out[2] = in[0];
        if (alpha)
            alpha[i] = in[n - 1];
    }
}
}  // namespace

namespace {
// A lossy (XYB) picture may be delivered in any colour encoding at no cost.
// One whose primaries and white point are sRGB's (a gamma-2.2 PNG made into
// JPEG XL, say) is asked for in sRGB itself: the same colours, with no
// conversion of every pixel afterwards. Wider gamuts keep their own
// encoding, so that a PDF page still gets all of their colours.
void PreferSrgbWhereNothingIsLost(JxlDecoder* dec, const JxlBasicInfo& info) {
    JxlColorEncoding original;
    if (info.uses_original_profile ||
        JxlDecoderGetColorAsEncodedProfile(dec, nullptr, JXL_COLOR_PROFILE_TARGET_ORIGINAL, &original) !=
            JXL_DEC_SUCCESS ||
        original.white_point != JXL_WHITE_POINT_D65 ||
        (original.color_space == JXL_COLOR_SPACE_RGB && original.primaries != JXL_PRIMARIES_SRGB) ||
        (original.color_space != JXL_COLOR_SPACE_RGB && original.color_space != JXL_COLOR_SPACE_GRAY))
        return;
    JxlColorEncoding srgb = original;
    srgb.transfer_function = JXL_TRANSFER_FUNCTION_SRGB;
    JxlDecoderSetPreferredColorProfile(dec, &srgb);
}

// The colour space the decoded pixels are in, as an ICC profile; empty
// when it is sRGB by the file's own description.
std::vector<std::uint8_t> PixelProfile(const JxlDecoder* dec) {
    JxlColorEncoding encoding;
    if (JxlDecoderGetColorAsEncodedProfile(dec, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &encoding) ==
            JXL_DEC_SUCCESS &&
        encoding.white_point == JXL_WHITE_POINT_D65 && encoding.transfer_function == JXL_TRANSFER_FUNCTION_SRGB &&
        (encoding.color_space == JXL_COLOR_SPACE_GRAY ||
         (encoding.color_space == JXL_COLOR_SPACE_RGB && encoding.primaries == JXL_PRIMARIES_SRGB)))
        return {};
    std::size_t size = 0;
    if (JxlDecoderGetICCProfileSize(dec, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) != JXL_DEC_SUCCESS ||
        size == 0 || size > kMaxProfileBytes)
        return {};
    std::vector<std::uint8_t> icc(size);
    if (JxlDecoderGetColorAsICCProfile(dec, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, icc.data(), size) !=
        JXL_DEC_SUCCESS)
        return {};
    return icc;
}
}  // namespace

bool CRasterJXL::Decode(CByteSource& source) {
    std::vector<std::uint8_t> bytes;
    if (!ReadRestOfSource(source, bytes, *this, "JPEG XL"))
        return false;
    std::unique_ptr<JxlDecoder, DecoderDeleter> decoder(JxlDecoderCreate(nullptr));
    if (!decoder) {
        SetLastError("Can't allocate memory");
        return false;
    }
    JxlDecoder* dec = decoder.get();
    std::unique_ptr<void, RunnerDeleter> runner;
#ifndef KORVANE_FUZZING
    // One worker a processor, as djxl has it.
    runner.reset(JxlThreadParallelRunnerCreate(nullptr, JxlThreadParallelRunnerDefaultNumWorkerThreads()));
    if (runner)
        JxlDecoderSetParallelRunner(dec, JxlThreadParallelRunner, runner.get());
#endif
    if (JxlDecoderSubscribeEvents(dec, JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(dec, bytes.data(), bytes.size()) != JXL_DEC_SUCCESS) {
        SetLastError("JPEG XL: the decoder could not be set up");
        return false;
    }
    JxlDecoderCloseInput(dec);
    RowTarget target{this, 3};
    JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    bool ok = false;
    std::vector<std::uint8_t> icc;
    JxlBasicInfo info{};
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(dec);
        if (status == JXL_DEC_BASIC_INFO) {
            if (JxlDecoderGetBasicInfo(dec, &info) != JXL_DEC_SUCCESS) {
                SetLastError("Corrupt data: the JPEG XL header is damaged");
                break;
            }
            // Orientations 5 to 8 swap the sides.
            const bool swap = info.orientation >= JXL_ORIENT_TRANSPOSE;
            const std::int64_t width = swap ? info.ysize : info.xsize, height = swap ? info.xsize : info.ysize;
            if (!PicturePixelsAllowed(*this, width, height))
                break;
            if (!PlausibleSize(width, height, 24, static_cast<std::int64_t>(bytes.size()), kJxlRatio)) {
                SetLastError("Can't allocate memory");
                break;
            }
            if (!Create(static_cast<int>(width), static_cast<int>(height), 24, IMAGE_JXL))
                break;
            target.channels = (info.num_color_channels == 1 ? 1 : 3) + (info.alpha_bits > 0 ? 1 : 0);
            format.num_channels = static_cast<std::uint32_t>(target.channels);
            if (info.alpha_bits > 0)
                CreateAlpha();
        } else if (status == JXL_DEC_COLOR_ENCODING) {
            PreferSrgbWhereNothingIsLost(dec, info);
            icc = PixelProfile(dec);
        } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            if (JxlDecoderSetImageOutCallback(dec, &format, OnPixels, &target) != JXL_DEC_SUCCESS) {
                SetLastError("JPEG XL: the picture's pixel layout is not supported");
                break;
            }
        } else if (status == JXL_DEC_FULL_IMAGE) {
            ok = true;  // the first frame is all we show
            break;
        } else if (status == JXL_DEC_NEED_MORE_INPUT) {
            SetLastError("Truncated data: the JPEG XL file ends early");
            break;
        } else if (status == JXL_DEC_SUCCESS) {
            SetLastError("Corrupt data: the JPEG XL file holds no picture");
            break;
        } else if (status == JXL_DEC_ERROR) {
            SetLastError(IsValid() ? "Corrupt data: the JPEG XL picture's data is damaged"
                                   : "Not a JPEG XL file, or its header is damaged");
            break;
        }
    }
    if (!ok) {
        const std::string message = GetLastError();
        Clear();
        SetLastError(message);
        return false;
    }
    ApplyEmbeddedProfile(*this, std::move(icc), true);
    SetNumFrames(1);
    return true;
}
