#pragma once
// Quarter turns of JPEG data without going through pixels: the DCT
// coefficients of the file are moved to their turned places and written out
// again, so nothing of the picture is lost and the result decodes to the
// turned picture up to the decoder's rounding.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// `data` turned by +90 (clockwise as displayed) or -90, or null when that
// cannot be done exactly. A turn moves the partial blocks of one edge to the
// start of the other axis, so it needs that edge to end on a whole
// interleaved block row (8 x the largest sampling factor): the height for
// +90, the width for -90. The data must also be clean, 8-bit, Huffman- or
// arithmetic-coded YCbCr or grey (no CMYK or other colour spaces), with
// sampling factors that divide the largest ones (as decoders need), and
// within the picture size the decoder takes.
// The result is Huffman-coded: progressive when the source is, baseline
// otherwise, with optimised tables; restart markers are not kept. The JFIF
// density is kept (its axes swapped), as are ICC profiles and comments; Exif
// and every other application block are dropped, as they may say how to turn
// the picture or hold an unturned thumbnail.
std::shared_ptr<const std::vector<std::uint8_t>> TurnJpeg(const std::uint8_t* data, std::size_t size, int angle);
