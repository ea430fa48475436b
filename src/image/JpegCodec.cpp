// CRasterJPG: JPEG through libjpeg. Errors of the library come back here by
// longjmp from our error manager (the library must never end the process);
// between setjmp and the end of the decode no C++ object with a destructor
// is alive, and all temporary memory comes from libjpeg's own pools.
#include "image/CodecUtil.h"
#include "image/ColourProfile.h"
#include "image/ExifOrientation.h"
#include "image/JpegErrors.h"
#include "image/RasterCodecs.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {
// A JPEG can shrink a flat picture to a few bits per 8 x 8 block.
constexpr std::uint64_t kJpegRatio = 4096;
constexpr std::size_t kInputChunk = 65536;

struct SourceManager {
    jpeg_source_mgr pub;
    CByteSource* source;
    JOCTET* buffer;
    bool ended;  // the data ran out and an end marker was made up
};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    std::size_t n = src->source->Read(src->buffer, kInputChunk);
    if (n == 0) {
        // The file ended early: end the image as libjpeg suggests, so that
        // what was decoded stays.
        (*cinfo->err->emit_message)(reinterpret_cast<j_common_ptr>(cinfo), -1);
        src->ended = true;
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = n;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    auto* src = reinterpret_cast<SourceManager*>(cinfo->src);
    if (count <= 0)
        return;
    while (count > static_cast<long>(src->pub.bytes_in_buffer)) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += count;
    src->pub.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void TermSource(j_decompress_ptr) {}

// Reads the resolution from an Exif block (APP1 "Exif\0\0" + TIFF), if any.
// A damaged block is ignored. Returns true when both values were found.
bool ExifResolution(const std::uint8_t* data, std::size_t size, int& xDpi, int& yDpi) {
    if (size < 14 || std::memcmp(data, "Exif\0\0", 6) != 0)
        return false;
    const std::uint8_t* tiff = data + 6;
    const std::size_t len = size - 6;
    const bool le = tiff[0] == 'I' && tiff[1] == 'I';
    if (!le && !(tiff[0] == 'M' && tiff[1] == 'M'))
        return false;
    auto u16 = [&](std::size_t at) -> std::uint32_t {
        return le ? (tiff[at] | (tiff[at + 1] << 8)) : ((tiff[at] << 8) | tiff[at + 1]);
    };
    auto u32 = [&](std::size_t at) -> std::uint32_t {
        return le ? (u16(at) | (u16(at + 2) << 16)) : ((u16(at) << 16) | u16(at + 2));
    };
    const std::uint32_t ifd = u32(4);
    if (ifd > len || len - ifd < 2)
        return false;
    const std::uint32_t entries = u16(ifd);
    double x = 0, y = 0;
    int unit = 2;
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t e = ifd + 2 + static_cast<std::size_t>(i) * 12;
        if (e + 12 > len)
            break;
        const std::uint32_t tag = u16(e), type = u16(e + 2);
        if (tag == 0x0128 && type == 3) {
            unit = static_cast<int>(u16(e + 8));
        } else if ((tag == 0x011A || tag == 0x011B) && type == 5) {
            const std::uint32_t at = u32(e + 8);
            if (at > len || len - at < 8)
                continue;
            const std::uint32_t num = u32(at), den = u32(at + 4);
            if (den == 0)
                continue;
            (tag == 0x011A ? x : y) = static_cast<double>(num) / den;
        }
    }
    if (unit == 3) {  // per centimetre
        x *= 2.54;
        y *= 2.54;
    }
    if (x < 1 || y < 1 || x > 100000 || y > 100000)
        return false;
    xDpi = static_cast<int>(x + 0.5);
    yDpi = static_cast<int>(y + 0.5);
    return true;
}

// What the decode learns of the picture's colours; made before the setjmp,
// filled between the library's calls.
struct JpegColour {
    std::vector<std::uint8_t> icc;
    std::unique_ptr<CCmykConverter> cmyk;
    bool inverted = false;
};

// The ICC profile of the APP2 "ICC_PROFILE" chunks, joined in their
// numbered order; empty when a chunk is missing, doubled or out of range,
// or the whole is larger than a profile may be.
std::vector<std::uint8_t> JoinIccChunks(j_decompress_ptr cinfo) {
    constexpr std::size_t kHeader = 14;  // "ICC_PROFILE\0", number, count
    const jpeg_saved_marker_ptr none = nullptr;
    std::vector<jpeg_saved_marker_ptr> chunks;
    std::size_t total = 0;
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 2 || m->data_length < kHeader || std::memcmp(m->data, "ICC_PROFILE", 12) != 0)
            continue;
        const unsigned number = m->data[12], count = m->data[13];
        if (count == 0 || number == 0 || number > count || (!chunks.empty() && chunks.size() != count))
            return {};
        chunks.resize(count, none);
        if (chunks[number - 1])
            return {};
        chunks[number - 1] = m;
        total += m->data_length - kHeader;
    }
    if (chunks.empty() || total > kMaxProfileBytes)
        return {};
    std::vector<std::uint8_t> icc;
    icc.reserve(total);
    for (jpeg_saved_marker_ptr m : chunks) {
        if (!m)
            return {};
        icc.insert(icc.end(), m->data + kHeader, m->data + m->data_length);
    }
    return icc;
}

// For a view of at most limitW x limitH: the largest reduction libjpeg
// offers (1/8, 1/4, 1/2) whose output still covers the picture fitted into
// that box (in whole pixels, rounded up). Leaves full size when none does
// or when there is no limit.
void ChooseScale(j_decompress_ptr cinfo, int limitW, int limitH) {
    if (limitW <= 0 || limitH <= 0)
        return;
    const std::uint64_t w = cinfo->image_width, h = cinfo->image_height;
    std::uint64_t fitW = static_cast<std::uint64_t>(limitW), fitH = static_cast<std::uint64_t>(limitH);
    if (w * fitH <= h * fitW)
        fitW = (w * fitH + h - 1) / h;  // the height decides
    else
        fitH = (h * fitW + w - 1) / w;
    for (unsigned denom : {8u, 4u, 2u}) {
        cinfo->scale_num = 1;
        cinfo->scale_denom = denom;
        jpeg_calc_output_dimensions(cinfo);
        if (cinfo->output_width >= fitW && cinfo->output_height >= fitH) {
            // A picture only looked at: the quick transform is good enough.
            cinfo->dct_method = JDCT_IFAST;
            return;
        }
    }
    cinfo->scale_denom = 1;
}

// A picture above the program's size limit is decoded at the first of 1/2,
// 1/4, 1/8 that brings it within: still far finer than any printer shows it
// on a cover, in a fraction of the memory. False when none does.
bool FitPictureLimit(j_decompress_ptr cinfo) {
    jpeg_calc_output_dimensions(cinfo);
    auto fits = [cinfo] {
        return std::int64_t{cinfo->output_width} * cinfo->output_height <= kMaxPicturePixels;
    };
    if (fits())
        return true;
    for (unsigned denom : {2u, 4u, 8u}) {
        if (cinfo->scale_denom >= denom)
            continue;
        cinfo->scale_num = 1;
        cinfo->scale_denom = denom;
        jpeg_calc_output_dimensions(cinfo);
        if (fits())
            return true;
    }
    return false;
}

// The stored colour spaces every PDF reader takes as they are.
bool ReaderColourSpace(const jpeg_decompress_struct& cinfo) {
    switch (cinfo.jpeg_color_space) {
    case JCS_YCbCr:
    case JCS_GRAYSCALE:
    case JCS_CMYK:
    case JCS_YCCK:
        return true;
    default:
        return false;
    }
}

// The whole decode between setjmp and the library's clean-up. Plain data
// only: a longjmp out of libjpeg must not skip any destructor.
// `forPrinting` decodes data that may pass through only at the scale that
// covers a view of printViewW x printViewH (1 x 1: 1/8), and says so in
// `printReduced`.
bool DecodeJpeg(j_decompress_ptr cinfo, CRasterImage& image, std::int64_t fileBytes, int limitW, int limitH,
                bool forPrinting, int printViewW, int printViewH, bool& printReduced, int& orientation,
                JpegColour& colour) {
    jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(cinfo, TRUE);
    colour.icc = JoinIccChunks(cinfo);

    int xDpi = 0, yDpi = 0;
    if (cinfo->saw_JFIF_marker && cinfo->X_density > 0 && cinfo->Y_density > 0) {
        if (cinfo->density_unit == 1) {
            xDpi = cinfo->X_density;
            yDpi = cinfo->Y_density;
        } else if (cinfo->density_unit == 2) {
            xDpi = static_cast<int>(cinfo->X_density * 2.54 + 0.5);
            yDpi = static_cast<int>(cinfo->Y_density * 2.54 + 0.5);
        }
    }
    bool resolutionFound = false, exifSeen = false;
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 6 || std::memcmp(m->data, "Exif\0\0", 6) != 0)
            continue;
        if (!resolutionFound)
            resolutionFound = ExifResolution(m->data, m->data_length, xDpi, yDpi);
        // The first Exif block holds the picture's own orientation.
        if (!exifSeen)
            orientation = ExifOrientation(m->data, m->data_length);
        exifSeen = true;
    }

    const int components = cinfo->num_components;
    int bpp = 24;
    if (components == 1) {
        cinfo->out_color_space = JCS_GRAYSCALE;
        bpp = 8;
    } else if (components == 4) {
        cinfo->out_color_space = JCS_CMYK;
        // Adobe's CMYK files (the ones with its marker) store the inks inverted.
        colour.inverted = cinfo->saw_Adobe_marker;
        colour.cmyk = std::make_unique<CCmykConverter>(colour.icc, colour.inverted);
    } else {
        cinfo->out_color_space = JCS_EXT_BGR;
    }
    if (!PlausibleSize(cinfo->image_width, cinfo->image_height, bpp, fileBytes, kJpegRatio)) {
        image.SetLastError("Can't allocate memory");
        return false;
    }
    // Data that may pass through to the page needs its pixels only for
    // recognition and the views: 1/8 does for the first, the view's size
    // for the others.
    printReduced = forPrinting && cinfo->data_precision == 8 && !cinfo->arith_code && ReaderColourSpace(*cinfo);
    if (printReduced)
        ChooseScale(cinfo, printViewW, printViewH);
    else
        ChooseScale(cinfo, limitW, limitH);
    if (!FitPictureLimit(cinfo)) {
        PicturePixelsAllowed(image, cinfo->image_width, cinfo->image_height);
        return false;
    }
    jpeg_start_decompress(cinfo);
    if (!image.Create(static_cast<int>(cinfo->output_width), static_cast<int>(cinfo->output_height), bpp,
                      IMAGE_JPG)) {
        jpeg_abort_decompress(cinfo);
        return false;
    }
    if (bpp == 8)
        image.SetGrayPalette();
    if (xDpi > 0 && yDpi > 0) {
        image.SetXDpi(xDpi);
        image.SetYDpi(yDpi);
    }

    const int height = image.GetHeight(), width = image.GetWidth();
    JSAMPARRAY cmyk = nullptr;
    if (components == 4)
        cmyk = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                           static_cast<JDIMENSION>(width) * 4, 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        const int fromTop = static_cast<int>(cinfo->output_scanline);
        JSAMPROW row = image.GetRow(height - 1 - fromTop);
        if (!cmyk) {
            jpeg_read_scanlines(cinfo, &row, 1);
            continue;
        }
        jpeg_read_scanlines(cinfo, cmyk, 1);
        colour.cmyk->ConvertRow(cmyk[0], row, width);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

// Data any PDF reader decodes to the same pixels: 8-bit YCbCr, grey, CMYK
// or YCCK, Huffman-coded (baseline or progressive), decoded without a warning.
bool PassesThrough(const jpeg_decompress_struct& cinfo) {
    return cinfo.err->num_warnings == 0 && cinfo.data_precision == 8 && !cinfo.arith_code &&
           ReaderColourSpace(cinfo);
}

// The file's bytes from `start` to `end`, read again after the decode.
std::shared_ptr<const std::vector<std::uint8_t>> ReadBack(CByteSource& source, std::int64_t start,
                                                          std::int64_t end) {
    if (end <= start || !source.Seek(start, CByteSource::FromStart))
        return nullptr;
    try {
        auto data = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(end - start));
        const bool read = source.ReadExact(data->data(), data->size());
        source.Seek(end, CByteSource::FromStart);
        return read ? data : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
}  // namespace

bool CRasterJPG::Decode(CByteSource& source) {
    const std::int64_t start = source.Tell();
    const std::int64_t fileBytes = source.Remaining();
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = InitJpegErrors(err);

    SourceManager* volatile manager = nullptr;
    // Made before the jump point: a longjmp never leaves the frame it is in.
    const auto colour = std::make_unique<JpegColour>();
    if (setjmp(err.jump)) {
        // An error after the data ran out is the file's end, whatever the
        // library makes of the end marker it was given.
        const bool truncated = manager && manager->ended;
        jpeg_destroy_decompress(&cinfo);
        Clear();
        SetLastError(truncated ? std::string("Truncated data: the JPEG file ends early (") + err.message + ")"
                               : std::string(err.message));
        return false;
    }
    jpeg_create_decompress(&cinfo);
    auto* src = static_cast<SourceManager*>((*cinfo.mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_PERMANENT, sizeof(SourceManager)));
    src->buffer = static_cast<JOCTET*>(
        (*cinfo.mem->alloc_small)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_PERMANENT, kInputChunk));
    src->source = &source;
    src->pub.init_source = InitSource;
    src->pub.fill_input_buffer = FillInputBuffer;
    src->pub.skip_input_data = SkipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = TermSource;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
    src->ended = false;
    cinfo.src = &src->pub;
    manager = src;

    int orientation = 1;
    bool printReduced = false;
    const bool ok = DecodeJpeg(&cinfo, *this, fileBytes, decodeLimitWidth_, decodeLimitHeight_, decodeForPrinting_,
                               printViewWidth_, printViewHeight_, printReduced, orientation, *colour);
    const bool clean = ok && PassesThrough(cinfo);
    if (ok)
        SetFileSize(static_cast<int>(cinfo.image_width), static_cast<int>(cinfo.image_height));
    // The picture is kept, but the user is to know that part of it is made up.
    if (ok && src->ended)
        SetDecodeWarning("Truncated data: the JPEG file ends early");
    else if (ok && err.dataEndedEarly > 0)
        SetDecodeWarning("Corrupt data: the JPEG picture's data stops short");
    // The end of the data: what the library took, less what it left unread.
    const std::int64_t end = source.Tell() - static_cast<std::int64_t>(src->pub.bytes_in_buffer);
    jpeg_destroy_decompress(&cinfo);
    if (!ok) {
        Clear();
        return false;
    }
    if (clean && (!IsReduced() || decodeForPrinting_))
        jpegData_ = ReadBack(source, start, end);
    // Reduced for printing, but the data cannot go to the page after all
    // (or could not be read back): the page needs the full pixels.
    if (printReduced && IsReduced() && !jpegData_ && source.Seek(start, CByteSource::FromStart)) {
        decodeForPrinting_ = false;
        const bool full = Decode(source);
        decodeForPrinting_ = true;
        return full;
    }
    // The pixels shown in sRGB; the data keeps the file's colours for a page.
    if (colour->cmyk)
        SetColour(CmykColour(*colour->cmyk, std::move(colour->icc), colour->inverted));
    else
        ApplyEmbeddedProfile(*this, std::move(colour->icc), false);
    // Upright as meant to be seen; the data's turns are only noted here.
    if (!ApplyOrientation(*this, orientation)) {
        Clear();
        return false;
    }
    return true;
}
