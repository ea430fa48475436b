#pragma once
// CRasterImage: the program's one raster-image type. Pixel rows are stored
// bottom-up (row 0 is the bottom row) with a stride of
// ((width * bpp + 31) / 32) * 4 bytes; depth is 1, 4, 8 or 24 bits.
// 24-bit pixels are blue, green, red; 1- and 4-bit pixels are packed with the
// most significant bits first. Nothing here throws; failures leave a message
// in GetLastError().
#include "image/ByteSource.h"
#include "image/DrawSurface.h"
#include "image/PictureColour.h"
#include "image/PixelBackend.h"

#include <atomic>
#include <cstdint>
#include <memory>
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
    // Kinds read beyond the nine above; their codes stay inside the program.
    IMAGE_WEBP = 10,
    IMAGE_HEIF = 11,  // HEIC and AVIF
    IMAGE_JXL = 12,
    IMAGE_TIFF = 13,
    IMAGE_LAST = IMAGE_TIFF,
};

struct PaletteEntry {
    std::uint8_t blue = 0, green = 0, red = 0, alpha = 0;  // alpha: reserved or per-entry alpha
};

class CDrawContext;
class IPixelBackend;

class CRasterImage {
public:
    CRasterImage();
    virtual ~CRasterImage();
    CRasterImage(const CRasterImage& other);             // deep copy (CopyFrom)
    CRasterImage& operator=(const CRasterImage& other);  // deep copy (CopyFrom)
    CRasterImage(CRasterImage&& other) noexcept;         // Transfer
    CRasterImage& operator=(CRasterImage&& other) noexcept;

    // --- creation and loading -------------------------------------------------
    // Depth is normalised to 1, 4, 8 or 24; the palette is zeroed, the pixel
    // rows are not cleared, any alpha plane is dropped.
    bool Create(int width, int height, int bpp, int type);
    // A failed Load, LoadFromResource or Decode leaves the image as it was.
    // A load whose `cancel` flag is set (from another thread) stops early and
    // fails.
    bool Load(const std::string& path, int type, const std::atomic<bool>* cancel = nullptr);
    // Built-in picture by name and resource type ("JPG", "GIF", "PNG_IMAGES").
    bool LoadFromResource(const char* name, const char* resourceType, int type);
    bool Decode(CByteSource& source, int type);
    // A memory block holding a device-independent bitmap (40-byte header,
    // palette, rows), as the clipboard hands it over. Releases the content
    // first; on failure the image stays empty.
    bool CreateFromClipboard(const std::uint8_t* block, std::size_t size);
    // The pixels of a device (a rendered page), as a 24-bit image.
    bool CreateFromDeviceBitmap(const IPixelBackend& surface);

    // --- queries ---------------------------------------------------------------
    bool IsValid() const { return pixels_ != nullptr; }
    // The size as the picture is shown (a pending turn counted in).
    int GetWidth() const { return pendingTurn_.turns % 2 ? height_ : width_; }
    int GetHeight() const { return pendingTurn_.turns % 2 ? width_ : height_; }
    int GetBpp() const { return bpp_; }
    int GetType() const { return type_; }
    void SetType(int type) { type_ = type; }
    int GetStride() const {
        Settle();
        return stride_;
    }
    int GetPaletteSize() const { return static_cast<int>(palette_.size()); }
    const PaletteEntry* GetPalette() const { return palette_.data(); }
    PaletteEntry* GetPalette() { return palette_.data(); }
    void SetPaletteEntry(int index, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t alpha = 0);
    // Fills the palette with the grey ramp (entry i = i, i, i scaled to the size).
    void SetGrayPalette();
    // Row y counted from the bottom (row 0 = bottom row). Every access to
    // the pixels carries out a pending turn first (PixelsTurnPending).
    std::uint8_t* GetRow(int y) {
        Settle();
        return pixels_.get() + static_cast<std::size_t>(y) * stride_;
    }
    const std::uint8_t* GetRow(int y) const {
        Settle();
        return pixels_.get() + static_cast<std::size_t>(y) * stride_;
    }
    std::uint8_t* GetBits() {
        Settle();
        return pixels_.get();
    }
    const std::uint8_t* GetBits() const {
        Settle();
        return pixels_.get();
    }
    std::size_t GetBitsSize() const {
        Settle();
        return static_cast<std::size_t>(stride_) * height_;
    }

    bool HasAlpha() const { return !alpha_.empty(); }
    void CreateAlpha();  // all 255
    void DeleteAlpha() { alpha_.clear(); alpha_.shrink_to_fit(); }
    std::uint8_t* GetAlphaRow(int y) {
        Settle();
        return alpha_.data() + static_cast<std::size_t>(y) * width_;
    }
    const std::uint8_t* GetAlphaRow(int y) const {
        Settle();
        return alpha_.data() + static_cast<std::size_t>(y) * width_;
    }
    std::uint8_t GetAlphaMax() const { return alphaMax_; }
    void SetAlphaMax(std::uint8_t m) { alphaMax_ = m; }
    bool IsPaletteAlphaEnabled() const { return paletteAlpha_; }
    void EnablePaletteAlpha(bool on) { paletteAlpha_ = on; }

    int GetTransparentIndex() const { return transparentIndex_; }
    void SetTransparentIndex(int index) { transparentIndex_ = index < 0 ? -1 : index; }
    Rgb GetTransparentColor() const { return transparentColor_; }
    void SetTransparentColor(Rgb c) { transparentColor_ = c; }
    // True when the pixel at (x, y) (bottom-up) is skipped by the transparent
    // index or colour.
    bool IsTransparent(int x, int y) const;

    int GetXDpi() const { return xDpi_; }
    int GetYDpi() const { return yDpi_; }
    void SetXDpi(int dpi);
    void SetYDpi(int dpi);
    int GetXPelsPerMeter() const;  // floor(dpi * 10000 / 254 + 0.5)
    int GetYPelsPerMeter() const;

    void SetFrame(int frame) { frame_ = frame; }
    int GetNumFrames() const { return numFrames_; }
    void SetNumFrames(int count) { numFrames_ = count; }

    // The JPEG data (start to end of image) that the pixels are still the
    // clean decoding of, or null: kept by the JPEG decoder, dropped by every
    // change of the pixels here (grey, flip, pixel writes).
    // Printing to PDF embeds these bytes instead of re-encoding the pixels.
    // Quarter turns (Rotate) keep it: the turns are noted; a PDF page draws
    // the file's data turned by its transform (GetJpegSource, GetJpegTurn),
    // and the data is turned losslessly (TurnJpeg) only when it is asked
    // for here. Data that cannot
    // be turned exactly (TurnJpeg: the height must end on a whole block row
    // for +90, the width for -90) is not had here, but stays for the PDF. Turned data decodes to
    // the turned pixels up to the decoder's rounding (a level in Y, Cb, Cr,
    // up to 3 in a colour); turns that cancel out give the file's own bytes.
    // A mirror (Mirror) is noted the same way; TurnJpeg cannot mirror, so
    // GetJpegData has no data for a mirrored picture.
    // Whoever changes pixels through GetBits or GetRow calls DropJpegData,
    // which drops the file's colour record (GetColour) too.
    const std::shared_ptr<const std::vector<std::uint8_t>>& GetJpegData() const;
    // True when there is JPEG data, turned or still to be turned.
    bool HasJpegData() const { return static_cast<bool>(jpegData_); }
    void DropJpegData() {
        jpegData_.reset();
        colour_.reset();
    }

    // The file's colour space (ColourProfile.h), for a picture whose file
    // embeds a profile other than sRGB, or holds CMYK: the pixels are the
    // sRGB conversion, this record what a PDF page takes instead (the JPEG
    // data, or the record's samples, standing as GetJpegTurn says).
    // Null for untagged and sRGB pictures.
    const std::shared_ptr<const PictureColour>& GetColour() const { return colour_; }
    void SetColour(std::shared_ptr<const PictureColour> colour) { colour_ = std::move(colour); }
    // The JPEG data as the file holds it and how the pixels stand to it:
    // a device with a transform (a PDF page) draws the data so turned,
    // without touching its bytes or turning any pixel.
    const std::shared_ptr<const std::vector<std::uint8_t>>& GetJpegSource() const { return jpegData_; }
    PictureTurn GetJpegTurn() const { return PictureTurn{jpegTurns_, jpegMirrored_}; }

    // Decoding for printing: a clean JPEG (one whose data passes through to
    // a PDF page) is decoded at 1/8 of its size only and keeps its data, so
    // that recognising it, and printing it from its own bytes, never holds
    // the full-size pixels; any other picture decodes as it would.
    // With a view size (the window's screen), the JPEG is decoded at the
    // largest reduction whose pixels still cover the whole picture fitted
    // into viewWidth x viewHeight instead of at 1/8.
    // DecodeInFull brings the full pixels for a use that needs them.
    void SetDecodeForPrinting(bool on, int viewWidth = 1, int viewHeight = 1) {
        decodeForPrinting_ = on;
        printViewWidth_ = viewWidth > 0 ? viewWidth : 1;
        printViewHeight_ = viewHeight > 0 ? viewHeight : 1;
    }
    bool DecodesForPrinting() const { return decodeForPrinting_; }
    // A picture reduced for printing decoded again from its JPEG data at
    // full size (as far as the picture limit allows), turned and mirrored
    // as it stands. True when the image then holds its full pixels (or
    // already did); false, with the image unchanged, when it cannot.
    bool DecodeInFull();
    // The same decode into `out`, leaving this image as it is: in full
    // (0, 0; a picture above the picture limit comes reduced to it, as any
    // decode of it would), or, for a view, at the scale whose pixels cover
    // the picture fitted into width x height as it stands (turned); such a
    // reduced result keeps no JPEG data. False without JPEG data.
    bool DecodeFromDataInto(CRasterImage& out, int width = 0, int height = 0) const;

    // Decoding for a small view: a decoder that can decode at a reduced scale
    // (JPEG, by 1/2, 1/4 or 1/8; a metafile, played at any size) then
    // delivers fewer pixels, but never fewer than it takes to show the whole
    // picture fitted into width x height.
    // Such an image is for looking at only (it keeps no JPEG data); the size
    // the file holds stays readable. 0, 0 (the default) decodes in full.
    void SetDecodeLimit(int width, int height);
    // The picture's size as its file holds it: the pixel size, unless the
    // image was decoded at a reduced scale.
    int GetFileWidth() const { return fileWidth_ > 0 ? fileWidth_ : GetWidth(); }
    int GetFileHeight() const { return fileHeight_ > 0 ? fileHeight_ : GetHeight(); }
    bool IsReduced() const { return fileWidth_ > 0; }

    const std::string& GetLastError() const { return lastError_; }
    void SetLastError(const std::string& message);  // keeps at most 255 characters
    // A decode that succeeded with only part of the picture read (a file
    // that ends early): why, else empty. The parts not read show grey.
    const std::string& GetDecodeWarning() const { return decodeWarning_; }
    void SetDecodeWarning(const std::string& message) { decodeWarning_ = message.substr(0, 255); }

    // --- pixel access (bottom-up coordinates, out-of-range rules apply) -------
    std::uint8_t GetPixelIndex(int x, int y) const;  // 0 for 24-bit images
    void SetPixelIndex(int x, int y, std::uint8_t index);
    Rgb GetPixelColor(int x, int y) const;
    void SetPixelColor(int x, int y, Rgb c);  // 24-bit images only
    std::uint8_t GetAlpha(int x, int y) const;  // 0 outside; 255 without a plane
    void SetAlpha(int x, int y, std::uint8_t a);
    Rgb GetPaletteColor(int index) const;  // black outside the palette

    // --- transformations --------------------------------------------------------
    // +90 (clockwise as displayed) or -90 as exact quarter turns: W x H becomes
    // H x W, alpha turned with the pixels. Other angles are refused.
    // Without a destination, a turn (and a mirror) is only noted: the pixels
    // stay as stored until something reads them, and a device with a
    // transform (a PDF page) draws the stored pixels turned, so a turned
    // picture costs no pixel work when printing.
    bool Rotate(int angle, CRasterImage* destination = nullptr);
    // True while the pixels are kept as stored, a turn or mirror noted.
    bool PixelsTurnPending() const { return !pendingTurn_.upright(); }
    // Always ends as an 8-bit image with a 256-step grey palette.
    bool ConvertToGray();
    bool CopyFrom(const CRasterImage& source, bool copyPixels = true, bool copyAlpha = true);
    bool Transfer(CRasterImage& source);
    void Clear();  // releases all content; the image becomes invalid
    // Turns the rows upside down (used by decoders of top-down files).
    void Flip();
    void Mirror();

    // --- drawing (surface coordinates, y down; -1 sizes = natural size) -------
    // Draw: nearest-neighbour, only the visible part computed; honours the
    // transparent index or colour, the alpha plane, alpha maximum and palette
    // alpha. Returns 1 when drawn, 0 when not.
    int Draw(CDrawContext* surface, int x, int y, int cx = -1, int cy = -1,
             const SurfaceRect* clip = nullptr) const;
    // For printing: one scaled write; the transparent index or colour leaves
    // the target unchanged; alpha is ignored.
    int DrawMasked(CDrawContext* surface, int x, int y, int cx = -1, int cy = -1) const;
    // The source rectangle (srcY rows below the image's top) scaled into
    // (x, y, cx, cy); negative sizes mean the source rectangle's own size.
    // Transparency is ignored.
    int DrawRegion(CDrawContext* surface, int x, int y, int cx, int cy,
                   int srcX, int srcY, int srcWidth, int srcHeight) const;

    // The pixel planes as stored, before a pending turn, and that turn: a
    // device that turns pictures itself (a PDF page) draws them so.
    struct StoredPlanes {
        const std::uint8_t* pixels;  // bottom-up rows
        int width, height;
        std::ptrdiff_t stride;
        PictureTurn turn;
    };
    StoredPlanes GetStoredPlanes() const { return {pixels_.get(), width_, height_, stride_, pendingTurn_}; }

    // Copies rows [firstRowFromTop, firstRowFromTop + rows) as 24-bit
    // blue-green-red, top-down, `dstStride` bytes apart (palette applied).
    void CopyRowsBgr(int firstRowFromTop, int rows, std::uint8_t* dst, std::ptrdiff_t dstStride) const;

protected:
    // The pixel planes as stored; a pending turn changes them when they are
    // first read (Settle), hence mutable.
    mutable int width_ = 0;
    mutable int height_ = 0;
    int bpp_ = 0;
    mutable int stride_ = 0;
    int type_ = IMAGE_UNKNOWN;
    std::vector<PaletteEntry> palette_;
    mutable std::unique_ptr<std::uint8_t[]> pixels_;
    mutable std::vector<std::uint8_t> alpha_;
    // How the picture shown stands to the planes stored (mirrored first,
    // then turned clockwise); upright once carried out.
    mutable PictureTurn pendingTurn_;
    std::uint8_t alphaMax_ = 255;
    bool paletteAlpha_ = false;
    int transparentIndex_ = -1;
    Rgb transparentColor_{0, 0, 0};
    int xDpi_ = 96;
    int yDpi_ = 96;
    int frame_ = 0;
    int numFrames_ = 0;
    std::string lastError_;
    std::string decodeWarning_;
    // Changed by GetJpegData when it carries out the pending turns.
    mutable std::shared_ptr<const std::vector<std::uint8_t>> jpegData_;
    mutable int jpegTurns_ = 0;  // clockwise quarter turns not yet applied to jpegData_
    bool jpegMirrored_ = false;  // mirrored before those turns
    std::shared_ptr<const PictureColour> colour_;
    bool decodeForPrinting_ = false;
    int printViewWidth_ = 1;  // the view a decode for printing covers
    int printViewHeight_ = 1;
    int decodeLimitWidth_ = 0;
    int decodeLimitHeight_ = 0;
    int fileWidth_ = 0;  // non-zero only for a reduced decode
    int fileHeight_ = 0;

    // Copies the settings a codec starts from: the frame to decode and the
    // decode limit; the transparency settings start from their defaults.
    void CopySettingsFrom(const CRasterImage& other);
    // Carries out a pending turn on the planes.
    void Settle() const {
        if (!pendingTurn_.upright())
            TurnStoredPlanes();
    }
    void TurnStoredPlanes() const;
    // A decoder that delivers `width` x `height` pixels of a picture that is
    // fileWidth x fileHeight in its file records it here (after Create).
    void SetFileSize(int fileWidth, int fileHeight);
};

// The message of a load whose data no decoder accepts.
inline constexpr const char* kUnknownFormatText = "Decode: Unknown or wrong format";

// Largest pixel memory Create accepts: width * height * bpp >> 8.
constexpr std::uint64_t kRasterMaxMemory = 256000000ULL;

// Largest picture the program takes, in pixels (600 MB at 24 bits): larger
// ones are refused before anything is allocated.
constexpr std::int64_t kMaxPicturePixels = 200000000;
// The message for a refused picture: its size and the limit.
std::string PictureTooLargeText(std::int64_t width, std::int64_t height);
bool IsPictureTooLargeText(const std::string& message);
// True when a picture of that size is within kMaxPicturePixels; otherwise
// `image` gets PictureTooLargeText as its last error.
bool PicturePixelsAllowed(CRasterImage& image, std::int64_t width, std::int64_t height);

// The depth an image of `bpp` requested bits per pixel gets: 1, 4, 8 or 24.
int NormalizeBpp(int bpp);
// True when an image of that size and depth stays within the Create limit;
// decoders ask before they allocate anything.
bool RasterSizeAllowed(std::int64_t width, std::int64_t height, int bpp);

// Extension map used by the callers that open files: "gif" 2, "bmp" 1,
// "png" 4, "jpg"/"jpeg" 3, and the kinds beyond the nine (PictureKinds.h);
// anything else -1 (the file's content has to decide).
int ImageTypeFromExtension(const std::string& path);
