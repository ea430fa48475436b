#include "JpegReadBack.h"

#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace {
struct TestErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

void TestOnError(j_common_ptr cinfo) { std::longjmp(reinterpret_cast<TestErrors*>(cinfo->err)->jump, 1); }

// Fills `out` from `data`; no C++ object with a destructor lives in this frame.
bool ReadInto(jpeg_decompress_struct& cinfo, TestErrors& err, const std::vector<std::uint8_t>& data,
              Coefficients& out) {
    if (setjmp(err.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    for (int m = 0; m < 16; ++m)
        jpeg_save_markers(&cinfo, JPEG_APP0 + m, 0xFFFF);
    jpeg_save_markers(&cinfo, JPEG_COM, 0xFFFF);
    jpeg_read_header(&cinfo, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&cinfo);
    out.width = static_cast<int>(cinfo.image_width);
    out.height = static_cast<int>(cinfo.image_height);
    out.progressive = cinfo.progressive_mode;
    out.densityUnit = cinfo.density_unit;
    out.xDensity = cinfo.X_density;
    out.yDensity = cinfo.Y_density;
    out.components.resize(static_cast<std::size_t>(cinfo.num_components));
    for (int ci = 0; ci < cinfo.num_components; ++ci) {
        const jpeg_component_info& c = cinfo.comp_info[ci];
        Coefficients::Component& k = out.components[static_cast<std::size_t>(ci)];
        k.h = c.h_samp_factor;
        k.v = c.v_samp_factor;
        k.wb = static_cast<int>(c.width_in_blocks);
        k.hb = static_cast<int>(c.height_in_blocks);
        for (int i = 0; i < 64; ++i)
            k.quant[static_cast<std::size_t>(i)] = cinfo.quant_tbl_ptrs[c.quant_tbl_no]->quantval[i];
        k.blocks.resize(static_cast<std::size_t>(k.wb) * k.hb * 64);
        for (int by = 0; by < k.hb; ++by) {
            JBLOCKARRAY row = (*cinfo.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&cinfo), arrays[ci],
                                                               static_cast<JDIMENSION>(by), 1, FALSE);
            std::memcpy(k.blocks.data() + static_cast<std::size_t>(by) * k.wb * 64, row[0],
                        sizeof(JBLOCK) * static_cast<std::size_t>(k.wb));
        }
    }
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        out.markers.emplace_back(m->marker, std::vector<std::uint8_t>(m->data, m->data + m->data_length));
    jpeg_finish_decompress(&cinfo);
    return err.pub.num_warnings == 0;
}

bool DecodeInto(jpeg_decompress_struct& cinfo, TestErrors& err, const std::vector<std::uint8_t>& data, Planes& out) {
    if (setjmp(err.jump))
        return false;
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = cinfo.jpeg_color_space;
    jpeg_start_decompress(&cinfo);
    out.width = static_cast<int>(cinfo.output_width);
    out.height = static_cast<int>(cinfo.output_height);
    out.components = cinfo.output_components;
    out.samples.resize(static_cast<std::size_t>(out.width) * out.height * out.components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.samples.data() + static_cast<std::size_t>(cinfo.output_scanline) * out.width * out.components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

bool WriteFractional(jpeg_compress_struct& c, TestErrors& err, unsigned char** mem, unsigned long* size) {
    if (setjmp(err.jump))
        return false;
    jpeg_create_compress(&c);
    jpeg_mem_dest(&c, mem, size);
    c.image_width = 48;  // whole block rows both ways: 24 x 8 pixels
    c.image_height = 16;
    c.input_components = 3;
    c.in_color_space = JCS_YCbCr;
    jpeg_set_defaults(&c);
    const int h[3] = {3, 2, 1};
    jvirt_barray_ptr arrays[3];
    for (int ci = 0; ci < 3; ++ci) {
        c.comp_info[ci].h_samp_factor = h[ci];
        c.comp_info[ci].v_samp_factor = 1;
        const JDIMENSION blocks = static_cast<JDIMENSION>((48 * h[ci] / 3 + 7) / 8);
        arrays[ci] = (*c.mem->request_virt_barray)(reinterpret_cast<j_common_ptr>(&c), JPOOL_IMAGE, TRUE,
                                                   (blocks + h[ci] - 1) / h[ci] * h[ci], 2, 1);
    }
    jpeg_write_coefficients(&c, arrays);
    jpeg_finish_compress(&c);
    return true;
}
}  // namespace

bool ReadCoefficients(const std::vector<std::uint8_t>& data, Coefficients& out) {
    jpeg_decompress_struct cinfo;
    TestErrors err;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = TestOnError;
    err.pub.output_message = [](j_common_ptr) {};
    const bool ok = ReadInto(cinfo, err, data, out);
    jpeg_destroy_decompress(&cinfo);
    return ok;
}

bool DecodePlanes(const std::vector<std::uint8_t>& data, Planes& out) {
    jpeg_decompress_struct cinfo;
    TestErrors err;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = TestOnError;
    const bool ok = DecodeInto(cinfo, err, data, out);
    jpeg_destroy_decompress(&cinfo);
    return ok;
}

std::vector<std::uint8_t> FractionalSamplingFile() {
    jpeg_compress_struct c;
    TestErrors err;
    std::memset(&c, 0, sizeof c);
    c.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = TestOnError;
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    const bool ok = WriteFractional(c, err, &mem, &size);
    std::vector<std::uint8_t> file;
    if (ok && mem)
        file.assign(mem, mem + size);
    jpeg_destroy_compress(&c);
    std::free(mem);
    return file;
}
