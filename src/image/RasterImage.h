#pragma once
// CRasterImage: the program's one raster-image type. Pixel rows are stored
// bottom-up (row 0 is the bottom row) with a stride of
// ((width * bpp + 31) / 32) * 4 bytes; depth is 1, 4, 8 or 24 bits.
#include "image/ByteSource.h"
#include "image/DrawSurface.h"

#include <cstdint>
#include <string>
#include <vector>

// Image type codes passed between the parts of the program.
enum ImageType : int {
    IMAGE_UNKNOWN = 0,  // try every codec
    IMAGE_BMP = 1,
    IMAGE_GIF = 2,
    IMAGE_JPG = 3,
    IMAGE_PNG = 4,
    IMAGE_ICO = 5,
    IMAGE_TGA = 6,
    IMAGE_PCX = 7,
    IMAGE_WBMP = 8,
    IMAGE_WMF = 9,
};

struct PaletteEntry {
    std::uint8_t blue = 0, green = 0, red = 0, alpha = 0;  // alpha: reserved or per-entry alpha
};

class CRasterImage {
public:
    CRasterImage();
    virtual ~CRasterImage();
    CRasterImage(const CRasterImage& other);             // deep copy (CopyFrom)
    CRasterImage& operator=(const CRasterImage& other);  // deep copy (CopyFrom)
    CRasterImage(CRasterImage&& other) noexcept;         // Transfer
    CRasterImage& operator=(CRasterImage&& other) noexcept;

    // --- creation and loading -------------------------------------------------
    bool Create(int width, int height, int bpp, int type);
    bool Load(const std::string& path, int type);
    // Built-in picture by name and resource type ("JPG", "GIF", "PNG_IMAGES").
    bool LoadFromResource(const char* name, const char* resourceType, int type);
    bool Decode(CByteSource& source, int type);
    // A memory block holding a device-independent bitmap (40-byte header,
    // palette, rows), as the clipboard hands it over.
    bool CreateFromClipboard(const std::uint8_t* block, std::size_t size);
    // The pixels of a drawing surface (a rendered page), as a 24-bit image.
    bool CreateFromDeviceBitmap(const CDrawSurface& surface);

    // --- queries ---------------------------------------------------------------
    bool IsValid() const { return !pixels_.empty(); }
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    int GetBpp() const { return bpp_; }
    int GetType() const { return type_; }
    int GetStride() const { return stride_; }
    int GetPaletteSize() const { return static_cast<int>(palette_.size()); }
    const PaletteEntry* GetPalette() const { return palette_.data(); }
    PaletteEntry* GetPalette() { return palette_.data(); }
    void SetPaletteEntry(int index, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t alpha = 0);
    // Row y counted from the bottom (row 0 = bottom row).
    std::uint8_t* GetRow(int y) { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
    const std::uint8_t* GetRow(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * stride_; }
    std::uint8_t* GetBits() { return pixels_.data(); }
    const std::uint8_t* GetBits() const { return pixels_.data(); }

    bool HasAlpha() const { return !alpha_.empty(); }
    void CreateAlpha();  // all 255
    void DeleteAlpha() { alpha_.clear(); }
    std::uint8_t* GetAlphaRow(int y) { return alpha_.data() + static_cast<std::size_t>(y) * width_; }
    const std::uint8_t* GetAlphaRow(int y) const { return alpha_.data() + static_cast<std::size_t>(y) * width_; }
    std::uint8_t GetAlphaMax() const { return alphaMax_; }
    void SetAlphaMax(std::uint8_t m) { alphaMax_ = m; }
    bool IsPaletteAlphaEnabled() const { return paletteAlpha_; }
    void EnablePaletteAlpha(bool on) { paletteAlpha_ = on; }

    int GetTransparentIndex() const { return transparentIndex_; }
    void SetTransparentIndex(int index) { transparentIndex_ = index; }
    Rgb GetTransparentColor() const { return transparentColor_; }
    void SetTransparentColor(Rgb c) { transparentColor_ = c; }

    int GetXDpi() const { return xDpi_; }
    int GetYDpi() const { return yDpi_; }
    void SetXDpi(int dpi);
    void SetYDpi(int dpi);
    int GetXPelsPerMeter() const;  // floor(dpi * 10000 / 254 + 0.5)
    int GetYPelsPerMeter() const;

    int GetFrame() const { return frame_; }
    void SetFrame(int frame) { frame_ = frame; }
    int GetNumFrames() const { return numFrames_; }
    void SetNumFrames(int n) { numFrames_ = n; }

    const std::string& GetLastError() const { return lastError_; }
    void SetLastError(const std::string& message);  // keeps at most 255 characters

    // --- pixel access (bottom-up coordinates, out-of-range rules apply) -------
    std::uint8_t GetPixelIndex(int x, int y) const;  // 0 for 24-bit images
    void SetPixelIndex(int x, int y, std::uint8_t index);
    Rgb GetPixelColor(int x, int y) const;
    void SetPixelColor(int x, int y, Rgb c);  // 24-bit images only
    std::uint8_t GetAlpha(int x, int y) const;  // 0 outside; 255 without a plane
    void SetAlpha(int x, int y, std::uint8_t a);

    // --- transformations --------------------------------------------------------
    // +90 (clockwise) or -90 as exact quarter turns; other angles are refused.
    bool Rotate(int angle, CRasterImage* destination = nullptr);
    bool ConvertToGray();
    bool CopyFrom(const CRasterImage& source, bool copyPixels = true, bool copyAlpha = true);
    bool Transfer(CRasterImage& source);
    void Clear();  // releases all content; the image becomes invalid

    // --- drawing (surface coordinates, y down; -1 sizes = natural size) -------
    int Draw(CDrawSurface* surface, int x, int y, int cx = -1, int cy = -1,
             const SurfaceRect* clip = nullptr) const;
    int DrawMasked(CDrawSurface* surface, int x, int y, int cx = -1, int cy = -1) const;
    int DrawRegion(CDrawSurface* surface, int x, int y, int cx, int cy,
                   int srcX, int srcY, int srcWidth, int srcHeight) const;

protected:
    int width_ = 0;
    int height_ = 0;
    int bpp_ = 0;
    int stride_ = 0;
    int type_ = IMAGE_UNKNOWN;
    std::vector<PaletteEntry> palette_;
    std::vector<std::uint8_t> pixels_;
    std::vector<std::uint8_t> alpha_;
    std::uint8_t alphaMax_ = 255;
    bool paletteAlpha_ = false;
    int transparentIndex_ = -1;
    Rgb transparentColor_{0, 0, 0};
    int xDpi_ = 96;
    int yDpi_ = 96;
    int frame_ = 0;
    int numFrames_ = 0;
    std::string lastError_;

    // Copies the settings a codec starts from (frame, transparency defaults).
    void CopySettingsFrom(const CRasterImage& other);
};

// Largest pixel memory Create accepts: width * height * bpp >> 8.
constexpr std::uint64_t kRasterMaxMemory = 256000000ULL;

// Extension map used by the callers that open files: "gif" 2, "bmp" 1,
// "png" 4, "jpg"/"jpeg" 3; anything else -1 (unsupported).
int ImageTypeFromExtension(const std::string& path);
