// TurnJpeg: libjpeg reads the coefficients, we move them, libjpeg writes them.
// Errors of the library come back by longjmp into RunTurn; between its setjmp
// and the clean-up no C++ object with a destructor is alive: the coefficient
// arrays come from libjpeg's own pools and the output grows in one malloc'd
// block that the caller frees.
#include "image/JpegTurn.h"

#include "image/CodecUtil.h"
#include "image/JpegErrors.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include <jpeglib.h>
// jerror.h after jpeglib.h: its ERREXIT macros need the library's types.
#include <jerror.h>

namespace {
// The decoder's bound on how far a JPEG can compress: a header claiming a
// picture far larger than its data could hold is refused before anything
// is allocated.
constexpr std::uint64_t kJpegRatio = 4096;
// Both sets of coefficients (read and turned) together: 2 bytes per sample
// each. A 16-megapixel 4:4:4 picture needs 192 MB.
constexpr std::uint64_t kMaxCoefficientBytes = 1ULL << 30;

// The turned file, in one block that doubles when full.
struct Output {
    jpeg_destination_mgr pub;
    JOCTET* data;
    std::size_t capacity;
};

void InitOutput(j_compress_ptr) {}

boolean GrowOutput(j_compress_ptr cinfo) {
    auto* out = reinterpret_cast<Output*>(cinfo->dest);
    const std::size_t used = out->capacity;
    void* bigger = used > (SIZE_MAX >> 1) ? nullptr : std::realloc(out->data, used * 2);
    if (!bigger)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    out->data = static_cast<JOCTET*>(bigger);
    out->capacity = used * 2;
    out->pub.next_output_byte = out->data + used;
    out->pub.free_in_buffer = out->capacity - used;
    return TRUE;
}

void TermOutput(j_compress_ptr) {}

struct TurnJob {
    jpeg_decompress_struct src;
    jpeg_compress_struct dst;
    JpegErrorManager err;
    Output out;
};

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

// Whether the header describes data this turn keeps exactly and within memory.
bool Turnable(const jpeg_decompress_struct& src, std::size_t size, bool clockwise) {
    const bool ycc = src.jpeg_color_space == JCS_YCbCr && src.num_components == 3;
    const bool grey = src.jpeg_color_space == JCS_GRAYSCALE && src.num_components == 1;
    if (!(ycc || grey) || src.data_precision != 8)
        return false;
    const std::uint64_t w = src.image_width, h = src.image_height;
    const int maxH = src.max_h_samp_factor, maxV = src.max_v_samp_factor;
    if (clockwise ? h % (8ULL * maxV) != 0 : w % (8ULL * maxH) != 0)
        return false;
    if (w * h > static_cast<std::uint64_t>(kMaxPicturePixels) ||
        !PlausibleSize(static_cast<std::int64_t>(w), static_cast<std::int64_t>(h), 8 * src.num_components,
                       static_cast<std::int64_t>(size), kJpegRatio))
        return false;
    std::uint64_t bytes = 0;
    for (int ci = 0; ci < src.num_components; ++ci) {
        const jpeg_component_info& c = src.comp_info[ci];
        // Sampling factors that do not divide the largest ones read as
        // coefficients, but no decoder turns them into pixels.
        if (maxH % c.h_samp_factor != 0 || maxV % c.v_samp_factor != 0)
            return false;
        const std::uint64_t bw = CeilDiv(CeilDiv(w * c.h_samp_factor, maxH), 8);
        const std::uint64_t bh = CeilDiv(CeilDiv(h * c.v_samp_factor, maxV), 8);
        bytes += bw * bh * sizeof(JBLOCK);
    }
    return 2 * bytes <= kMaxCoefficientBytes;
}

// The turned file's frame: sizes, sampling and quantisation tables all
// swap their axes; the JFIF density too.
void TurnParameters(j_compress_ptr dst, bool progressive) {
    std::swap(dst->image_width, dst->image_height);
    for (int ci = 0; ci < dst->num_components; ++ci)
        std::swap(dst->comp_info[ci].h_samp_factor, dst->comp_info[ci].v_samp_factor);
    // A coefficient moves from frequency (u, v) to (v, u), so the step it was
    // quantised with must move with it.
    for (JQUANT_TBL* table : dst->quant_tbl_ptrs) {
        if (!table)
            continue;
        for (int i = 0; i < DCTSIZE; ++i)
            for (int j = 0; j < i; ++j)
                std::swap(table->quantval[i * DCTSIZE + j], table->quantval[j * DCTSIZE + i]);
    }
    std::swap(dst->X_density, dst->Y_density);
    if (progressive)
        jpeg_simple_progression(dst);
    else
        dst->optimize_coding = TRUE;
}

// One turned block. A turn is a transpose and a mirror: transposing swaps
// the frequencies (u, v); mirroring an axis negates the coefficients of odd
// frequency along it (the horizontal axis for +90, the vertical one for -90).
template <bool clockwise>
void TurnBlock(const JCOEF* in, JCOEF* out) {
    for (int v = 0; v < DCTSIZE; ++v)
        for (int u = 0; u < DCTSIZE; ++u) {
            const JCOEF c = in[u * DCTSIZE + v];
            out[v * DCTSIZE + u] = ((clockwise ? u : v) & 1) ? static_cast<JCOEF>(-c) : c;
        }
}

// Fills the turned arrays, one interleaved row of output blocks at a time.
// Turned block (row r, column c) of a component is source block
// (row Hb - 1 - c, column r) for +90 and (row c, column Wb - 1 - r) for -90,
// Wb x Hb being the source component's size in blocks.
template <bool clockwise>
void TurnBlocks(TurnJob& job, jvirt_barray_ptr* from, jvirt_barray_ptr* to) {
    auto* srcCommon = reinterpret_cast<j_common_ptr>(&job.src);
    auto* dstCommon = reinterpret_cast<j_common_ptr>(&job.dst);
    for (int ci = 0; ci < job.src.num_components; ++ci) {
        const jpeg_component_info& s = job.src.comp_info[ci];
        const JDIMENSION srcW = s.width_in_blocks, srcH = s.height_in_blocks;
        const JDIMENSION rows = srcW, cols = srcH;  // the turned component
        const int dv = job.dst.comp_info[ci].v_samp_factor;
        const int dh = job.dst.comp_info[ci].h_samp_factor;  // = the source's rows per access
        for (JDIMENSION r0 = 0; r0 < rows; r0 += dv) {
            JBLOCKARRAY out = (*job.dst.mem->access_virt_barray)(dstCommon, to[ci], r0, dv, TRUE);
            for (JDIMENSION c0 = 0; c0 < cols; c0 += dh) {
                // The edge that must be whole lands at the start, so these
                // source rows always lie within the array.
                const JDIMENSION first = clockwise ? srcH - c0 - dh : c0;
                JBLOCKARRAY in = (*job.src.mem->access_virt_barray)(srcCommon, from[ci], first, dh, FALSE);
                for (int i = 0; i < dv && r0 + i < rows; ++i)
                    for (int j = 0; j < dh && c0 + j < cols; ++j) {
                        const JBLOCKROW inRow = in[clockwise ? dh - 1 - j : j];
                        const JDIMENSION col = clockwise ? r0 + i : srcW - 1 - (r0 + i);
                        TurnBlock<clockwise>(inRow[col], out[i][c0 + j]);
                    }
            }
        }
    }
}

// The markers kept: comments and ICC profiles (colour, not geometry).
void CopyMarkers(TurnJob& job) {
    static const char kIcc[] = "ICC_PROFILE";
    for (jpeg_saved_marker_ptr m = job.src.marker_list; m; m = m->next) {
        const bool icc = m->marker == JPEG_APP0 + 2 && m->data_length >= sizeof kIcc &&
                         std::memcmp(m->data, kIcc, sizeof kIcc) == 0;
        if (icc || m->marker == JPEG_COM)
            jpeg_write_marker(&job.dst, m->marker, m->data, m->data_length);
    }
}

// Everything that may call back into OnError. Plain data only.
bool TurnInside(TurnJob& job, const std::uint8_t* data, std::size_t size, bool clockwise) {
    jpeg_create_decompress(&job.src);
    jpeg_create_compress(&job.dst);
    jpeg_mem_src(&job.src, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&job.src, JPEG_COM, 0xFFFF);
    jpeg_save_markers(&job.src, JPEG_APP0 + 2, 0xFFFF);
    if (jpeg_read_header(&job.src, TRUE) != JPEG_HEADER_OK || !Turnable(job.src, size, clockwise))
        return false;
    jvirt_barray_ptr* from = jpeg_read_coefficients(&job.src);
    if (!from || job.err.pub.num_warnings != 0)
        return false;

    jpeg_copy_critical_parameters(&job.src, &job.dst);
    TurnParameters(&job.dst, job.src.progressive_mode);
    auto* to = static_cast<jvirt_barray_ptr*>((*job.dst.mem->alloc_small)(
        reinterpret_cast<j_common_ptr>(&job.dst), JPOOL_IMAGE, sizeof(jvirt_barray_ptr) * job.dst.num_components));
    for (int ci = 0; ci < job.dst.num_components; ++ci) {
        const jpeg_component_info& s = job.src.comp_info[ci];
        const jpeg_component_info& d = job.dst.comp_info[ci];
        const JDIMENSION cols = static_cast<JDIMENSION>(CeilDiv(s.height_in_blocks, d.h_samp_factor) * d.h_samp_factor);
        const JDIMENSION rows = static_cast<JDIMENSION>(CeilDiv(s.width_in_blocks, d.v_samp_factor) * d.v_samp_factor);
        to[ci] = (*job.dst.mem->request_virt_barray)(reinterpret_cast<j_common_ptr>(&job.dst), JPOOL_IMAGE, TRUE,
                                                     cols, rows, static_cast<JDIMENSION>(d.v_samp_factor));
    }

    job.out.capacity = size + 4096;
    job.out.data = static_cast<JOCTET*>(std::malloc(job.out.capacity));
    if (!job.out.data)
        return false;
    job.out.pub.next_output_byte = job.out.data;
    job.out.pub.free_in_buffer = job.out.capacity;
    job.out.pub.init_destination = InitOutput;
    job.out.pub.empty_output_buffer = GrowOutput;
    job.out.pub.term_destination = TermOutput;
    job.dst.dest = &job.out.pub;

    jpeg_write_coefficients(&job.dst, to);
    // The library's own idea of the turned components must be ours.
    for (int ci = 0; ci < job.dst.num_components; ++ci) {
        if (job.dst.comp_info[ci].width_in_blocks != job.src.comp_info[ci].height_in_blocks ||
            job.dst.comp_info[ci].height_in_blocks != job.src.comp_info[ci].width_in_blocks)
            return false;
    }
    CopyMarkers(job);
    if (clockwise)
        TurnBlocks<true>(job, from, to);
    else
        TurnBlocks<false>(job, from, to);
    jpeg_finish_compress(&job.dst);
    jpeg_finish_decompress(&job.src);
    return job.err.pub.num_warnings == 0;
}

// The frame of setjmp: a longjmp lands here and nothing of this frame
// changes after it.
bool RunTurn(TurnJob& job, const std::uint8_t* data, std::size_t size, bool clockwise) {
    if (setjmp(job.err.jump))
        return false;
    return TurnInside(job, data, size, clockwise);
}
}  // namespace

std::shared_ptr<const std::vector<std::uint8_t>> TurnJpeg(const std::uint8_t* data, std::size_t size, int angle) {
    if (!data || size == 0 || (angle != 90 && angle != -90))
        return nullptr;
    TurnJob job;
    std::memset(&job, 0, sizeof job);
    job.src.err = InitJpegErrors(job.err);
    job.dst.err = &job.err.pub;

    const bool ok = RunTurn(job, data, size, angle == 90);
    const std::size_t length = job.out.capacity - job.out.pub.free_in_buffer;
    jpeg_destroy_compress(&job.dst);
    jpeg_destroy_decompress(&job.src);
    std::shared_ptr<const std::vector<std::uint8_t>> result;
    if (ok && job.out.data) {
        try {
            result = std::make_shared<const std::vector<std::uint8_t>>(job.out.data, job.out.data + length);
        } catch (const std::bad_alloc&) {
            result = nullptr;
        }
    }
    std::free(job.out.data);
    return result;
}
