// CRasterWMF: placeable Windows metafiles and enhanced metafiles, played by
// our own small player onto a white 24-bit picture at 96 dots per inch.
#include "image/CodecUtil.h"
#include "image/EmfRecords.h"
#include "image/MetafileCanvas.h"
#include "image/RasterCodecs.h"
#include "image/RasterSurface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr double kScreenDpi = 96.0;
constexpr int kMaxSide = 4000;
constexpr std::int64_t kMaxMetafileBytes = 256 << 20;

// Reads the rest of the source; false when it is unreasonably large.
bool ReadAll(CByteSource& source, std::vector<std::uint8_t>& out) {
    const std::int64_t left = source.Remaining();
    if (left > kMaxMetafileBytes)
        return false;
    out.resize(static_cast<std::size_t>(left));
    out.resize(source.Read(out.data(), out.size()));
    return true;
}

// Picture sizes above the limit shrink so that neither side exceeds it.
void LimitSize(double& w, double& h) {
    const double side = std::max(w, h);
    if (side > kMaxSide) {
        w = std::max(1.0, std::floor(w * kMaxSide / side));
        h = std::max(1.0, std::floor(h * kMaxSide / side));
    }
}

// A metafile plays at any size: for a small view it is played fitted into
// the decode limit (when that is smaller), not played large and thrown away.
bool FitIntoLimit(double& w, double& h, int limitW, int limitH) {
    if (limitW <= 0 || limitH <= 0 || (w <= limitW && h <= limitH))
        return false;
    const double scale = std::min(limitW / w, limitH / h);
    w = std::max(1.0, std::floor(w * scale + 0.5));
    h = std::max(1.0, std::floor(h * scale + 0.5));
    return true;
}
}  // namespace

bool CRasterWMF::Decode(CByteSource& source) {
    // The played picture becomes this image; a reduced one keeps the size
    // the file gives.
    const auto finish = [this](const CRasterSurface& picture, double fullW, double fullH, bool reduced) {
        if (!CreateFromDeviceBitmap(picture))
            return false;
        type_ = IMAGE_WMF;
        if (reduced)
            SetFileSize(static_cast<int>(fullW), static_cast<int>(fullH));
        return true;
    };
    const std::int64_t base = source.Tell();
    std::vector<std::uint8_t> data;
    if (!ReadAll(source, data)) {
        SetLastError("corrupted WMF");
        return false;
    }
    const std::uint8_t* d = data.data();
    const std::size_t n = data.size();

    // Placeable metafile: key, handle, bounding box, units per inch, then
    // the metafile header (type 1 or 2, header size 9 words).
    if (n >= 22 + 18 && LoadLE32(d) == kPlaceableKey) {
        const int left = static_cast<std::int16_t>(LoadLE16(d + 6)), top = static_cast<std::int16_t>(LoadLE16(d + 8));
        const int right = static_cast<std::int16_t>(LoadLE16(d + 10));
        const int bottom = static_cast<std::int16_t>(LoadLE16(d + 12));
        const int unitsPerInch = LoadLE16(d + 14);
        const int mtType = LoadLE16(d + 22), headerWords = LoadLE16(d + 24);
        if (unitsPerInch > 0 && (mtType == 1 || mtType == 2) && headerWords >= 9 &&
            22 + static_cast<std::size_t>(headerWords) * 2 <= n) {
            double w = std::floor(std::abs(right - left) * kScreenDpi / unitsPerInch + 0.5);
            double h = std::floor(std::abs(bottom - top) * kScreenDpi / unitsPerInch + 0.5);
            if (w < 1 || h < 1) {
                SetLastError("empty WMF");
                return false;
            }
            LimitSize(w, h);
            const double fullW = w, fullH = h;
            const bool reduced = FitIntoLimit(w, h, decodeLimitWidth_, decodeLimitHeight_);
            CRasterSurface picture(static_cast<int>(w), static_cast<int>(h));
            CMetafileCanvas canvas(picture, 0, 0, w, h, true);
            MetaMapping& map = canvas.Mapping();
            map.windowOrgX = left;
            map.windowOrgY = top;
            map.windowExtX = right - left;
            map.windowExtY = bottom - top;
            const std::size_t records = 22 + static_cast<std::size_t>(headerWords) * 2;
            PlayWmfRecords(canvas, d + records, n - records);
            return finish(picture, fullW, fullH, reduced);
        }
    }

    // Enhanced metafile: header record of type 1 with the " EMF" signature;
    // its frame (hundredths of a millimetre) gives the picture's size.
    if (n >= 88 && static_cast<EmfRecord>(LoadLE32(d)) == EmfRecord::Header && LoadLE32(d + 40) == kEmfSignature) {
        const double frameLeft = LoadLE32s(d + 24), frameTop = LoadLE32s(d + 28);
        const double frameRight = LoadLE32s(d + 32), frameBottom = LoadLE32s(d + 36);
        const double deviceW = LoadLE32s(d + 72), deviceH = LoadLE32s(d + 76);
        const double mmW = LoadLE32s(d + 80), mmH = LoadLE32s(d + 84);
        const double pxPerMmX = deviceW > 0 && mmW > 0 ? deviceW / mmW : kScreenDpi / 25.4;
        const double pxPerMmY = deviceH > 0 && mmH > 0 ? deviceH / mmH : kScreenDpi / 25.4;
        double w = std::floor((frameRight - frameLeft) / 2540.0 * kScreenDpi + 0.5);
        double h = std::floor((frameBottom - frameTop) / 2540.0 * kScreenDpi + 0.5);
        double originX = frameLeft / 100.0 * pxPerMmX, originY = frameTop / 100.0 * pxPerMmY;
        double spanX = (frameRight - frameLeft) / 100.0 * pxPerMmX, spanY = (frameBottom - frameTop) / 100.0 * pxPerMmY;
        if (w < 1 || h < 1) {
            // No usable frame: the bounds in device pixels.
            const double l = LoadLE32s(d + 8), t = LoadLE32s(d + 12);
            const double r = LoadLE32s(d + 16), b = LoadLE32s(d + 20);
            w = r - l + 1;
            h = b - t + 1;
            originX = l;
            originY = t;
            spanX = w;
            spanY = h;
        }
        if (w < 1 || h < 1) {
            SetLastError("empty WMF");
            return false;
        }
        LimitSize(w, h);
        const double fullW = w, fullH = h;
        const bool reduced = FitIntoLimit(w, h, decodeLimitWidth_, decodeLimitHeight_);
        CRasterSurface picture(static_cast<int>(w), static_cast<int>(h));
        CMetafileCanvas canvas(picture, originX, originY, w / spanX, h / spanY, false);
        canvas.SetDeviceResolution(pxPerMmX, pxPerMmY);
        PlayEmfRecords(canvas, d, n);
        return finish(picture, fullW, fullH, reduced);
    }
    source.Seek(base, CByteSource::FromStart);
    SetLastError("corrupted WMF");
    return false;
}
