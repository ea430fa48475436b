// CRasterGIF: GIF 87a/89a, one frame (the frame to decode) on the logical
// screen. Frames other than the requested one are only counted; a later
// frame is decoded on its own, not composed over the earlier ones.
#include "image/CodecUtil.h"
#include "image/RasterCodecs.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {
// LZW can stand for about 4096 pixels with one 12-bit code.
constexpr std::uint64_t kLzwRatio = 4096;

// Reads the data sub-blocks of one image bit by bit, least significant first.
class SubBlockBits {
public:
    explicit SubBlockBits(CByteSource& source) : source_(source) {}

    // Returns false at the end of the data (terminator or end of file).
    bool Read(int bits, int& code) {
        while (count_ < bits) {
            if (pos_ == len_ && !NextBlock())
                return false;
            acc_ |= static_cast<std::uint32_t>(block_[pos_++]) << count_;
            count_ += 8;
        }
        code = static_cast<int>(acc_ & ((1u << bits) - 1));
        acc_ >>= bits;
        count_ -= bits;
        return true;
    }

    // Skips whatever is left of the sub-blocks, up to the terminator.
    void Finish() {
        while (!ended_ && NextBlock()) {
        }
    }

private:
    bool NextBlock() {
        if (ended_)
            return false;
        std::uint8_t size = 0;
        if (!source_.ReadExact(&size, 1) || size == 0) {
            ended_ = true;
            return false;
        }
        len_ = source_.Read(block_, size);
        pos_ = 0;
        if (len_ < size)
            ended_ = true;
        return len_ > 0;
    }

    CByteSource& source_;
    std::uint8_t block_[256];
    std::size_t len_ = 0, pos_ = 0;
    std::uint32_t acc_ = 0;
    int count_ = 0;
    bool ended_ = false;
};

bool SkipSubBlocks(CByteSource& source) {
    for (;;) {
        std::uint8_t size = 0;
        if (!source.ReadExact(&size, 1))
            return false;
        if (size == 0)
            return true;
        if (!source.Seek(size, CByteSource::FromCurrent))
            return false;
    }
}

struct FrameInfo {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
};

// Puts decoded indices in place: rows in file order (interlace passes
// resolved), clipped to the image, rows bottom-up.
class FrameWriter {
public:
    FrameWriter(CRasterImage& image, const FrameInfo& f) : image_(image), f_(f), line_(f.width) {}

    // False once every pixel of the frame has been written.
    bool Put(std::uint8_t index) {
        if (row_ >= f_.height)
            return false;
        line_[x_++] = index;
        if (x_ == f_.width) {
            Flush(x_);
            x_ = 0;
            NextRow();
        }
        return row_ < f_.height;
    }

    // Data that ends inside a row keeps the pixels it gave.
    void Finish() {
        if (x_ > 0 && row_ < f_.height)
            Flush(x_);
        x_ = 0;
    }

private:
    void Flush(int count) {
        const int y = f_.top + row_;
        if (y < 0 || y >= image_.GetHeight())
            return;
        const int rowUp = image_.GetHeight() - 1 - y;
        const int from = std::max(0, -f_.left);
        const int to = std::min(count, image_.GetWidth() - f_.left);
        if (image_.GetBpp() == 8) {
            if (from < to)
                std::memcpy(image_.GetRow(rowUp) + f_.left + from, line_.data() + from, to - from);
            return;
        }
        for (int i = from; i < to; ++i)
            image_.SetPixelIndex(f_.left + i, rowUp, line_[i]);
    }

    void NextRow() {
        ++written_;
        if (!f_.interlaced) {
            row_ = written_;
            return;
        }
        static const int kStart[] = {0, 4, 2, 1};
        static const int kStep[] = {8, 8, 4, 2};
        row_ += kStep[pass_];
        while (row_ >= f_.height && pass_ < 3) {
            ++pass_;
            row_ = kStart[pass_];
        }
        if (row_ >= f_.height || written_ >= f_.height)
            row_ = f_.height;
    }

    CRasterImage& image_;
    FrameInfo f_;
    std::vector<std::uint8_t> line_;
    int x_ = 0, row_ = 0, written_ = 0, pass_ = 0;
};

void DecodeLzw(CByteSource& source, int minCodeSize, FrameWriter& out) {
    SubBlockBits bits(source);
    if (minCodeSize < 1 || minCodeSize > 11) {
        bits.Finish();
        return;
    }
    static thread_local std::uint16_t prefix[4096];
    static thread_local std::uint8_t suffix[4096];
    static thread_local std::uint8_t stack[4097];
    const int clear = 1 << minCodeSize, eoi = clear + 1;
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0xFFFF;
        suffix[i] = static_cast<std::uint8_t>(i);
    }
    int codeSize = minCodeSize + 1;
    int next = clear + 2;
    int prev = -1;
    std::uint8_t first = 0;
    int code = 0;
    bool more = true;
    while (more && bits.Read(codeSize, code)) {
        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            prev = -1;
            continue;
        }
        if (code == eoi)
            break;
        int depth = 0;
        int walk;
        if (prev < 0) {
            if (code >= clear)
                break;  // the first code after a clear must be a colour
            walk = code;
        } else if (code < next) {
            walk = code;
        } else if (code == next) {
            stack[depth++] = first;  // the string of prev plus its own first index
            walk = prev;
        } else {
            break;  // a code the table does not hold yet: corrupt data
        }
        while (walk != 0xFFFF && walk >= 0 && depth < 4097) {
            stack[depth++] = suffix[walk];
            walk = walk < clear ? 0xFFFF : prefix[walk];
        }
        first = stack[depth - 1];
        while (depth > 0 && more)
            more = out.Put(stack[--depth]);
        if (prev >= 0 && next < 4096) {
            prefix[next] = static_cast<std::uint16_t>(prev);
            suffix[next] = first;
            ++next;
            if (next == (1 << codeSize) && codeSize < 12)
                ++codeSize;
        }
        prev = code;
    }
    out.Finish();
    bits.Finish();
}
}  // namespace

bool CRasterGIF::Decode(CByteSource& source) {
    const std::int64_t base = source.Tell();
    std::uint8_t header[13];
    if (!source.ReadExact(header, sizeof header) || std::memcmp(header, "GIF8", 4) != 0)
        return false;
    const int screenW = LoadLE16(header + 6), screenH = LoadLE16(header + 8);
    const std::uint8_t flags = header[10];
    const int background = header[11];
    std::vector<std::uint8_t> globalTable;
    if (flags & 0x80) {
        globalTable.resize(3u << ((flags & 7) + 1));
        if (!source.ReadExact(globalTable.data(), globalTable.size())) {
            SetLastError(TruncatedDataText("GIF", "the file ends inside its colour table"));
            return false;
        }
    }
    const std::int64_t fileBytes = source.Size() - base;

    int frameCount = 0;
    int pendingTransparent = -1;
    bool decoded = false;
    for (bool done = false; !done;) {
        std::uint8_t kind = 0;
        if (!source.ReadExact(&kind, 1))
            break;
        if (kind == '!') {
            std::uint8_t label = 0;
            if (!source.ReadExact(&label, 1))
                break;
            if (label == 0xF9) {
                std::uint8_t size = 0, gce[255];
                if (!source.ReadExact(&size, 1) || !source.ReadExact(gce, size))
                    break;
                if (size >= 4)
                    pendingTransparent = (gce[0] & 1) ? gce[3] : -1;
            }
            if (!SkipSubBlocks(source))
                break;
        } else if (kind == ',') {
            std::uint8_t d[9];
            if (!source.ReadExact(d, sizeof d))
                break;
            FrameInfo f{LoadLE16(d), LoadLE16(d + 2), LoadLE16(d + 4), LoadLE16(d + 6), (d[8] & 0x40) != 0};
            std::vector<std::uint8_t> localTable;
            if (d[8] & 0x80) {
                localTable.resize(3u << ((d[8] & 7) + 1));
                if (!source.ReadExact(localTable.data(), localTable.size()))
                    break;
            }
            std::uint8_t minCodeSize = 0;
            if (!source.ReadExact(&minCodeSize, 1))
                break;
            if (frameCount != frame_) {
                if (!SkipSubBlocks(source))
                    done = true;
            } else {
                const std::vector<std::uint8_t>& table = localTable.empty() ? globalTable : localTable;
                const int colours = static_cast<int>(table.size() / 3);
                const int bpp = colours <= 2 && colours > 0 ? 1 : colours > 0 && colours <= 16 ? 4 : 8;
                // The picture is the logical screen; a file without one takes
                // the frame's own size.
                int w = screenW, h = screenH;
                if (w == 0 || h == 0) {
                    w = f.left + f.width;
                    h = f.top + f.height;
                }
                if (!CreateDecodedPicture(*this, "GIF", w, h, bpp, IMAGE_GIF, fileBytes, kLzwRatio,
                                          "Can't allocate memory"))
                    return false;
                const int paletteSize = GetPaletteSize();
                for (int i = 0; i < paletteSize; ++i) {
                    if (i < colours)
                        SetPaletteEntry(i, table[i * 3], table[i * 3 + 1], table[i * 3 + 2]);
                    else if (pendingTransparent >= 0)
                        SetPaletteEntry(i, 255, 255, 255);
                }
                SetTransparentIndex(pendingTransparent);
                // Pixels the frame does not cover: transparent where the
                // frame has a transparent index, else the background colour.
                const int fill = pendingTransparent >= 0 ? pendingTransparent : background;
                std::uint8_t fillByte = static_cast<std::uint8_t>(fill);
                if (bpp == 4)
                    fillByte = static_cast<std::uint8_t>((fill & 15) * 0x11);
                else if (bpp == 1)
                    fillByte = (fill & 1) ? 0xFF : 0x00;
                std::memset(GetBits(), fillByte, GetBitsSize());
                if (f.width > 0 && f.height > 0) {
                    FrameWriter writer(*this, f);
                    DecodeLzw(source, minCodeSize, writer);
                } else if (!SkipSubBlocks(source)) {
                    done = true;
                }
                decoded = true;
            }
            ++frameCount;
            pendingTransparent = -1;
        } else {
            done = true;  // trailer ';' or anything unknown ends the file
        }
    }
    numFrames_ = frameCount;
    if (!decoded) {
        Clear();
        if (frameCount == 0)
            SetLastError(TruncatedDataText("GIF", "the file ends before its first picture"));
        else
            SetLastError("GIF has " + std::to_string(frameCount) + " frames, no frame " + std::to_string(frame_ + 1));
        return false;
    }
    return true;
}
