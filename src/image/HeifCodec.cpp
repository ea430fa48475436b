// CRasterHEIF: HEIF, HEIC and AVIF through libheif: the primary picture,
// with the rotation and mirror the file asks for applied by the library.
// Whether HEVC (HEIC) and AV1 (AVIF) can be decoded depends on the decoders
// libheif was built with; a missing one is named in the message.
#include "image/CodecUtil.h"
#include "image/ColourProfile.h"
#include "image/RasterCodecs.h"

#include <libheif/heif.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {
// A flat picture in HEVC or AV1 takes a few bytes a block.
constexpr std::uint64_t kHeifRatio = 1u << 14;
// How far a coded tile may reach beyond the picture's own width or height.
constexpr int kTileAllowance = 2048;

struct ContextDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageDeleter {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};

std::string ErrorText(const heif_error& error) {
    if (error.subcode == heif_suberror_Unsupported_codec)
        return "HEIF: the picture's codec is not supported by this system's libheif";
    if (error.code == heif_error_Memory_allocation_error)
        return "Can't allocate memory";
    if (error.code == heif_error_Invalid_input && error.subcode == heif_suberror_End_of_data)
        return "Truncated data: the HEIF file ends early";
    std::string text = "Corrupt data: the HEIF file is damaged";
    if (error.message && *error.message)
        text += std::string(" (") + error.message + ")";
    return text;
}

// AVIF needs an AV1 decoder, every other brand an HEVC one.
bool DecoderPresent(const std::vector<std::uint8_t>& bytes, CRasterImage& image) {
    const int len = bytes.size() < 64 ? static_cast<int>(bytes.size()) : 64;
    const heif_brand brand = heif_main_brand(bytes.data(), len);
    const bool av1 = brand == heif_avif || brand == heif_avis;
    if (heif_have_decoder_for_format(av1 ? heif_compression_AV1 : heif_compression_HEVC))
        return true;
    image.SetLastError(av1 ? "AVIF pictures cannot be read: this system's libheif has no AV1 decoder"
                           : "HEIC pictures cannot be read: this system's libheif has no HEVC decoder");
    return false;
}
}  // namespace

namespace {
// The ICC profile the file gives its picture ("prof" or "rICC"), if any;
// colour given by code points (nclx) is taken as sRGB.
std::vector<std::uint8_t> FileProfile(const heif_image_handle* handle) {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC)
        return {};
    const std::size_t size = heif_image_handle_get_raw_color_profile_size(handle);
    if (size == 0 || size > kMaxProfileBytes)
        return {};
    std::vector<std::uint8_t> icc(size);
    if (heif_image_handle_get_raw_color_profile(handle, icc.data()).code != heif_error_Ok)
        return {};
    return icc;
}
}  // namespace

bool CRasterHEIF::Decode(CByteSource& source) {
    std::vector<std::uint8_t> bytes;
    if (!ReadRestOfSource(source, bytes, *this, "HEIF"))
        return false;
    std::unique_ptr<heif_context, ContextDeleter> context(heif_context_alloc());
    if (!context) {
        SetLastError("Can't allocate memory");
        return false;
    }
    heif_error error = heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr);
    if (error.code != heif_error_Ok) {
        SetLastError(ErrorText(error));
        return false;
    }
    heif_image_handle* rawHandle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &rawHandle);
    std::unique_ptr<heif_image_handle, HandleDeleter> handle(rawHandle);
    if (error.code != heif_error_Ok || !handle) {
        SetLastError(ErrorText(error));
        return false;
    }
    // The stored size: turned or not, it holds as many pixels.
    const int fileW = heif_image_handle_get_width(handle.get());
    const int fileH = heif_image_handle_get_height(handle.get());
    if (fileW <= 0 || fileH <= 0) {
        SetLastError("Corrupt data: the HEIF picture has no size");
        return false;
    }
    if (!PicturePixelsAllowed(*this, fileW, fileH))
        return false;
    if (!PlausibleSize(fileW, fileH, 24, static_cast<std::int64_t>(bytes.size()), kHeifRatio)) {
        SetLastError("Can't allocate memory");
        return false;
    }
    if (!DecoderPresent(bytes, *this))
        return false;
    // The coded pictures (a grid's tiles, each with its own size in its HEVC
    // or AV1 headers) must not be larger than the picture they make up: a
    // few hundred bytes could otherwise have the decoder allocate gigabytes.
    // A tile may reach past a small picture's edge, so small pictures keep
    // room for the usual tile sizes.
    heif_context_set_maximum_image_size_limit(context.get(), std::max({fileW, fileH, 0}) + kTileAllowance);
    const bool alpha = heif_image_handle_has_alpha_channel(handle.get()) != 0;
    std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    heif_image* rawImage = nullptr;
    error = heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    std::unique_ptr<heif_image, ImageDeleter> picture(rawImage);
    if (error.code != heif_error_Ok || !picture) {
        SetLastError(ErrorText(error));
        return false;
    }
    const int width = heif_image_get_width(picture.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(picture.get(), heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(picture.get(), heif_channel_interleaved, &stride);
    if (!plane || width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height !=
                                                   static_cast<std::int64_t>(fileW) * fileH) {
        SetLastError("Corrupt data: the HEIF picture could not be decoded");
        return false;
    }
    if (!Create(width, height, 24, IMAGE_HEIF))
        return false;
    if (alpha)
        CreateAlpha();
    for (int y = 0; y < height; ++y)
        PutRgbRow(*this, y, plane + static_cast<std::size_t>(y) * stride, alpha ? 4 : 3);
    ApplyEmbeddedProfile(*this, FileProfile(handle.get()), true);
    SetNumFrames(1);
    return true;
}
