// CRasterImage: storage, attributes, pixel access, copy and hand-over.
#include "image/RasterImage.h"

#include "base/AsciiText.h"
#include "image/CodecUtil.h"
#include "image/DibImage.h"
#include "image/ImageLoading.h"
#include "image/PackedIndex.h"
#include "image/PictureDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

int NormalizeBpp(int bpp) {
    if (bpp <= 1)
        return 1;
    if (bpp <= 4)
        return 4;
    if (bpp <= 8)
        return 8;
    return 24;
}

bool RasterSizeAllowed(std::int64_t width, std::int64_t height, int bpp) {
    if (width <= 0 || height <= 0)
        return false;
    // width, height < 2^31 and bpp <= 24: the product fits in 128 bits.
    const unsigned __int128 product = static_cast<unsigned __int128>(width) * static_cast<unsigned __int128>(height) *
                                      static_cast<unsigned>(NormalizeBpp(bpp));
    return (product >> 8) <= kRasterMaxMemory;
}

std::uint64_t RasterBytesFor(std::int64_t width, std::int64_t height, int bpp) {
    if (!RasterSizeAllowed(width, height, bpp) || width > INT32_MAX || height > INT32_MAX)
        return 0;
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * NormalizeBpp(bpp) + 31) / 32) * 4;
    return stride * static_cast<std::uint64_t>(height);
}

bool PlausibleSize(std::int64_t width, std::int64_t height, int bpp, std::int64_t sourceBytes,
                   std::uint64_t maxRatio) {
    const std::uint64_t bytes = RasterBytesFor(width, height, bpp);
    if (bytes == 0)
        return false;
    // Small pictures are always allowed: their memory is harmless.
    constexpr std::uint64_t kAlwaysAllowed = 16u << 20;
    if (bytes <= kAlwaysAllowed)
        return true;
    const std::uint64_t reach = static_cast<std::uint64_t>(std::max<std::int64_t>(sourceBytes, 0)) * maxRatio;
    return bytes <= reach;
}

namespace {
const char kTooLargeStart[] = "The picture is too large: ";
}

bool IsPictureTooLargeText(const std::string& message) { return message.rfind(kTooLargeStart, 0) == 0; }

namespace {
// Headers give sizes up to 2^32 each: their product needs more than 64 bits.
unsigned __int128 PixelCount(std::int64_t width, std::int64_t height) {
    return static_cast<unsigned __int128>(width) * static_cast<unsigned __int128>(height);
}
}  // namespace

std::string PictureTooLargeText(std::int64_t width, std::int64_t height) {
    const long long megapixels =
        width <= 0 || height <= 0 ? 0 : static_cast<long long>((PixelCount(width, height) + 500000) / 1000000);
    return kTooLargeStart + std::to_string(width) + " x " + std::to_string(height) + " pixels (" +
           std::to_string(megapixels) + " megapixels); the limit is " + std::to_string(kMaxPicturePixels / 1000000) +
           " megapixels.";
}

bool PicturePixelsAllowed(CRasterImage& image, std::int64_t width, std::int64_t height) {
    if (width <= 0 || height <= 0 || PixelCount(width, height) <= static_cast<unsigned __int128>(kMaxPicturePixels))
        return true;
    image.SetLastError(PictureTooLargeText(width, height));
    return false;
}

int ImageTypeFromExtension(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return -1;
    const std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string::npos && slash > dot)
        return -1;
    const std::string ext = AsciiLower(std::string_view(path).substr(dot + 1));
    if (ext == "gif")
        return IMAGE_GIF;
    if (ext == "bmp")
        return IMAGE_BMP;
    if (ext == "png")
        return IMAGE_PNG;
    if (ext == "jpg" || ext == "jpeg")
        return IMAGE_JPG;
    if (ext == "webp")
        return IMAGE_WEBP;
    if (ext == "heic" || ext == "heif" || ext == "hif" || ext == "avif")
        return IMAGE_HEIF;
    if (ext == "jxl")
        return IMAGE_JXL;
    if (ext == "tif" || ext == "tiff")
        return IMAGE_TIFF;
    return -1;
}

CRasterImage::CRasterImage() = default;
CRasterImage::~CRasterImage() = default;

CRasterImage::CRasterImage(const CRasterImage& other) { CopyFrom(other); }

CRasterImage& CRasterImage::operator=(const CRasterImage& other) {
    if (this != &other)
        CopyFrom(other);
    return *this;
}

CRasterImage::CRasterImage(CRasterImage&& other) noexcept { Transfer(other); }

CRasterImage& CRasterImage::operator=(CRasterImage&& other) noexcept {
    if (this != &other)
        Transfer(other);
    return *this;
}

void CRasterImage::Clear() {
    width_ = height_ = bpp_ = stride_ = 0;
    palette_.clear();
    pixels_.reset();
    alpha_.clear();
    alpha_.shrink_to_fit();
    jpegData_.reset();
    colour_.reset();
    jpegTurns_ = 0;
    jpegMirrored_ = false;
    pendingTurn_ = PictureTurn{};
    fileWidth_ = fileHeight_ = 0;
    decodeWarning_.clear();
}

void CRasterImage::SetDecodeLimit(int width, int height) {
    decodeLimitWidth_ = std::max(0, width);
    decodeLimitHeight_ = std::max(0, height);
}

void CRasterImage::SetFileSize(int fileWidth, int fileHeight) {
    if (fileWidth == GetWidth() && fileHeight == GetHeight()) {
        fileWidth_ = fileHeight_ = 0;
        return;
    }
    fileWidth_ = fileWidth;
    fileHeight_ = fileHeight;
    jpegData_.reset();
}

bool CRasterImage::Create(int width, int height, int bpp, int type) {
    Clear();
    if (width <= 0 || height <= 0) {
        SetLastError("CRasterImage::Create : width and height must be greater than zero");
        return false;
    }
    if (!PicturePixelsAllowed(*this, width, height))
        return false;
    const int depth = NormalizeBpp(bpp);
    if (!RasterSizeAllowed(width, height, depth)) {
        SetLastError("RASTER_MAX_MEMORY exceeded");
        return false;
    }
    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * depth + 31) / 32) * 4;
    const std::uint64_t bytes = stride * static_cast<std::uint64_t>(height);
    if (stride > INT32_MAX || bytes > SIZE_MAX) {
        SetLastError("RASTER_MAX_MEMORY exceeded");
        return false;
    }
    // The rows are left uncleared: every caller writes all of them.
    pixels_.reset(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(bytes)]);
    if (!pixels_) {
        SetLastError("CRasterImage::Create can't allocate memory");
        return false;
    }
    width_ = width;
    height_ = height;
    bpp_ = depth;
    stride_ = static_cast<int>(stride);
    type_ = type;
    palette_.assign(depth == 1 ? 2 : depth == 4 ? 16 : depth == 8 ? 256 : 0, PaletteEntry{});
    return true;
}

// Loading, the bitmap blocks and drawing are free functions over the public
// interface (ImageLoading.h, DibImage.h, PictureDrawing.h); the members hand
// over to them.
bool CRasterImage::Load(const std::string& path, int type, const std::atomic<bool>* cancel) {
    return LoadImageFile(*this, path, type, cancel);
}

bool CRasterImage::LoadFromResource(const char* name, const char* resourceType, int type) {
    return LoadBuiltinImage(*this, name, resourceType, type);
}

bool CRasterImage::Decode(CByteSource& source, int type) { return DecodeImage(*this, source, type); }

bool CRasterImage::CreateFromClipboard(const std::uint8_t* block, std::size_t size) {
    return ReadDibImage(*this, block, size);
}

bool CRasterImage::CreateFromDeviceBitmap(const IPixelBackend& surface) { return ReadDeviceImage(*this, surface); }

int CRasterImage::Draw(CDrawContext* surface, int x, int y, int cx, int cy, const SurfaceRect* clip) const {
    return DrawPicture(*this, surface, x, y, cx, cy, clip);
}

int CRasterImage::DrawMasked(CDrawContext* surface, int x, int y, int cx, int cy) const {
    return DrawPictureMasked(*this, surface, x, y, cx, cy);
}

int CRasterImage::DrawRegion(CDrawContext* surface, int x, int y, int cx, int cy, int srcX, int srcY, int srcWidth,
                             int srcHeight) const {
    return DrawPictureRegion(*this, surface, x, y, cx, cy, srcX, srcY, srcWidth, srcHeight);
}

void CRasterImage::SetPaletteEntry(int index, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t alpha) {
    if (index < 0 || index >= GetPaletteSize())
        return;
    DropJpegData();
    palette_[index] = PaletteEntry{b, g, r, alpha};
}

void CRasterImage::SetGrayPalette() {
    const int n = GetPaletteSize();
    if (n < 2)
        return;
    for (int i = 0; i < n; ++i) {
        const std::uint8_t v = static_cast<std::uint8_t>(i * 255 / (n - 1));
        palette_[i] = PaletteEntry{v, v, v, 0};
    }
}

Rgb CRasterImage::GetPaletteColor(int index) const {
    if (index < 0 || index >= GetPaletteSize())
        return Rgb{0, 0, 0};
    const PaletteEntry& e = palette_[index];
    return Rgb{e.red, e.green, e.blue};
}

void CRasterImage::CreateAlpha() {
    Settle();
    if (!IsValid())
        return;
    alpha_.assign(static_cast<std::size_t>(width_) * height_, 255);
}

void CRasterImage::SetLastError(const std::string& message) { lastError_ = message.substr(0, 255); }

void CRasterImage::SetXDpi(int dpi) { xDpi_ = dpi > 0 ? dpi : 96; }
void CRasterImage::SetYDpi(int dpi) { yDpi_ = dpi > 0 ? dpi : 96; }

static int PelsPerMeter(int dpi) { return static_cast<int>(std::floor(dpi * 10000.0 / 254.0 + 0.5)); }
int CRasterImage::GetXPelsPerMeter() const { return PelsPerMeter(xDpi_); }
int CRasterImage::GetYPelsPerMeter() const { return PelsPerMeter(yDpi_); }

// --- pixel access -------------------------------------------------------------

std::uint8_t CRasterImage::GetPixelIndex(int x, int y) const {
    Settle();
    if (!IsValid() || bpp_ > 8)
        return 0;
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        if (transparentIndex_ >= 0)
            return static_cast<std::uint8_t>(transparentIndex_);
        return pixels_[0];
    }
    return RowIndexAt(GetRow(y), x, bpp_);
}

void CRasterImage::SetPixelIndex(int x, int y, std::uint8_t index) {
    Settle();
    if (!IsValid() || bpp_ > 8 || x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    DropJpegData();
    SetRowIndexAt(GetRow(y), x, bpp_, index);
}

Rgb CRasterImage::GetPixelColor(int x, int y) const {
    Settle();
    if (!IsValid())
        return Rgb{};
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        if (transparentIndex_ >= 0) {
            if (bpp_ <= 8)
                return GetPaletteColor(transparentIndex_);
            return transparentColor_;
        }
        x = 0;
        y = 0;
    }
    if (bpp_ <= 8)
        return GetPaletteColor(RowIndexAt(GetRow(y), x, bpp_));
    const std::uint8_t* p = GetRow(y) + x * 3;
    return Rgb{p[2], p[1], p[0]};
}

void CRasterImage::SetPixelColor(int x, int y, Rgb c) {
    Settle();
    if (!IsValid() || bpp_ != 24 || x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    DropJpegData();
    std::uint8_t* p = GetRow(y) + x * 3;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

std::uint8_t CRasterImage::GetAlpha(int x, int y) const {
    Settle();
    if (!IsValid() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    if (alpha_.empty())
        return 255;
    return alpha_[static_cast<std::size_t>(y) * width_ + x];
}

void CRasterImage::SetAlpha(int x, int y, std::uint8_t a) {
    Settle();
    if (alpha_.empty() || x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    alpha_[static_cast<std::size_t>(y) * width_ + x] = a;
}

bool CRasterImage::IsTransparent(int x, int y) const {
    if (transparentIndex_ < 0 || !IsValid())
        return false;
    if (bpp_ <= 8)
        return GetPixelIndex(x, y) == transparentIndex_;
    return GetPixelColor(x, y) == transparentColor_;
}

// --- copy and hand-over ----------------------------------------------------------

void CRasterImage::CopySettingsFrom(const CRasterImage& other) {
    frame_ = other.frame_;
    decodeLimitWidth_ = other.decodeLimitWidth_;
    decodeLimitHeight_ = other.decodeLimitHeight_;
    decodeForPrinting_ = other.decodeForPrinting_;
    printViewWidth_ = other.printViewWidth_;
    printViewHeight_ = other.printViewHeight_;
}

bool CRasterImage::CopyFrom(const CRasterImage& source, bool copyPixels, bool copyAlpha) {
    source.Settle();
    if (&source == this)
        return true;
    if (!source.IsValid()) {
        Clear();
        type_ = source.type_;
        return false;
    }
    CRasterImage result;
    if (!result.Create(source.width_, source.height_, source.bpp_, source.type_)) {
        SetLastError(result.GetLastError());
        return false;
    }
    result.palette_ = source.palette_;
    if (copyPixels)
        std::memcpy(result.pixels_.get(), source.pixels_.get(), source.GetBitsSize());
    else
        std::memset(result.pixels_.get(), 0, result.GetBitsSize());
    if (copyAlpha && source.HasAlpha())
        result.alpha_ = source.alpha_;
    result.alphaMax_ = source.alphaMax_;
    result.paletteAlpha_ = source.paletteAlpha_;
    result.transparentIndex_ = source.transparentIndex_;
    result.transparentColor_ = source.transparentColor_;
    result.xDpi_ = source.xDpi_;
    result.yDpi_ = source.yDpi_;
    result.frame_ = source.frame_;
    result.numFrames_ = source.numFrames_;
    result.lastError_ = source.lastError_;
    result.decodeWarning_ = source.decodeWarning_;
    if (copyPixels) {
        result.jpegData_ = source.jpegData_;
        result.jpegTurns_ = source.jpegTurns_;
        result.jpegMirrored_ = source.jpegMirrored_;
        result.colour_ = source.colour_;
    }
    result.fileWidth_ = source.fileWidth_;
    result.fileHeight_ = source.fileHeight_;
    Transfer(result);
    return true;
}

bool CRasterImage::Transfer(CRasterImage& source) {
    if (&source == this)
        return IsValid();
    Clear();
    width_ = source.width_;
    height_ = source.height_;
    bpp_ = source.bpp_;
    stride_ = source.stride_;
    type_ = source.type_;
    palette_ = std::move(source.palette_);
    pixels_ = std::move(source.pixels_);
    alpha_ = std::move(source.alpha_);
    alphaMax_ = source.alphaMax_;
    paletteAlpha_ = source.paletteAlpha_;
    transparentIndex_ = source.transparentIndex_;
    transparentColor_ = source.transparentColor_;
    xDpi_ = source.xDpi_;
    yDpi_ = source.yDpi_;
    frame_ = source.frame_;
    numFrames_ = source.numFrames_;
    lastError_ = source.lastError_;
    decodeWarning_ = source.decodeWarning_;
    jpegData_ = std::move(source.jpegData_);
    jpegTurns_ = source.jpegTurns_;
    jpegMirrored_ = source.jpegMirrored_;
    colour_ = std::move(source.colour_);
    pendingTurn_ = source.pendingTurn_;
    fileWidth_ = source.fileWidth_;
    fileHeight_ = source.fileHeight_;
    source.Clear();
    source.palette_.clear();
    source.alpha_.clear();
    return IsValid();
}

void CRasterImage::Flip() {
    Settle();
    if (!IsValid())
        return;
    DropJpegData();
    std::vector<std::uint8_t> tmp(stride_);
    for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom) {
        std::memcpy(tmp.data(), GetRow(top), stride_);
        std::memcpy(GetRow(top), GetRow(bottom), stride_);
        std::memcpy(GetRow(bottom), tmp.data(), stride_);
    }
    if (HasAlpha()) {
        for (int top = 0, bottom = height_ - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(GetAlphaRow(top), GetAlphaRow(top) + width_, GetAlphaRow(bottom));
    }
}

void CRasterImage::CopyRowsBgr(int firstRowFromTop, int rows, std::uint8_t* dst, std::ptrdiff_t dstStride) const {
    Settle();
    if (!IsValid())
        return;
    for (int i = 0; i < rows; ++i) {
        const int fromTop = firstRowFromTop + i;
        std::uint8_t* out = dst + i * dstStride;
        if (fromTop < 0 || fromTop >= height_)
            continue;
        const std::uint8_t* row = GetRow(height_ - 1 - fromTop);
        if (bpp_ == 24) {
            std::memcpy(out, row, static_cast<std::size_t>(width_) * 3);
            continue;
        }
        for (int x = 0; x < width_; ++x) {
            const PaletteEntry& e = palette_[RowIndexAt(row, x, bpp_)];
            out[x * 3] = e.blue;
            out[x * 3 + 1] = e.green;
            out[x * 3 + 2] = e.red;
        }
    }
}
