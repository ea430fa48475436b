#include "sources/ScanSession.h"

#include "sources/ScanOptions.h"

#include <sane/sane.h>
#include <sane/saneopts.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

namespace {

// SANE is one library-wide state: one user at a time, opened and closed
// around each use so that a scanner plugged in later is found.
std::mutex& SaneMutex()
{
    static std::mutex m;
    return m;
}

class CSaneOpen {
public:
    CSaneOpen() : lock_(SaneMutex()) { status_ = sane_init(nullptr, nullptr); }
    ~CSaneOpen()
    {
        if (status_ == SANE_STATUS_GOOD)
            sane_exit();
    }
    CSaneOpen(const CSaneOpen&) = delete;
    CSaneOpen& operator=(const CSaneOpen&) = delete;
    bool Ok() const { return status_ == SANE_STATUS_GOOD; }
    SANE_Status Status() const { return status_; }

private:
    std::lock_guard<std::mutex> lock_;
    SANE_Status status_;
};

class CSaneDevice {
public:
    ~CSaneDevice()
    {
        if (handle_)
            sane_close(handle_);
    }
    SANE_Status Open(const std::string& name) { return sane_open(name.c_str(), &handle_); }
    SANE_Handle Handle() const { return handle_; }

private:
    SANE_Handle handle_ = nullptr;
};

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

std::string StatusText(SANE_Status status) { return Text(sane_strstatus(status)); }

ScanResult Failure(ScanStatus status, std::string message)
{
    ScanResult r;
    r.status = status;
    r.message = std::move(message);
    return r;
}

// The frame's pixels as the picture's rows: 8-bit grey or 24-bit colour.
// SANE sends rows top-down; 1-bit grey means black for a set bit, 16-bit
// samples are in the machine's byte order.
bool StoreRows(const SANE_Parameters& p, const std::vector<std::uint8_t>& data, int lines, CRasterImage& picture)
{
    const bool colour = p.format == SANE_FRAME_RGB;
    if (!picture.Create(p.pixels_per_line, lines, colour ? 24 : 8, IMAGE_BMP))
        return false;
    if (!colour)
        picture.SetGrayPalette();
    const std::size_t bpl = static_cast<std::size_t>(p.bytes_per_line);
    for (int y = 0; y < lines; ++y) {
        const std::uint8_t* src = data.data() + static_cast<std::size_t>(y) * bpl;
        std::uint8_t* dst = picture.GetRow(lines - 1 - y);
        for (int x = 0; x < p.pixels_per_line; ++x) {
            if (!colour) {
                if (p.depth == 1)
                    dst[x] = (src[x / 8] & (0x80 >> (x % 8))) ? 0 : 255;
                else if (p.depth == 16)
                    dst[x] = static_cast<std::uint8_t>(reinterpret_cast<const std::uint16_t*>(src)[x] >> 8);
                else
                    dst[x] = src[x];
                continue;
            }
            std::uint8_t rgb[3];
            for (int c = 0; c < 3; ++c) {
                if (p.depth == 16) {
                    std::uint16_t v;
                    std::memcpy(&v, src + (static_cast<std::size_t>(x) * 3 + c) * 2, 2);
                    rgb[c] = static_cast<std::uint8_t>(v >> 8);
                } else {
                    rgb[c] = src[static_cast<std::size_t>(x) * 3 + c];
                }
            }
            dst[x * 3] = rgb[2];
            dst[x * 3 + 1] = rgb[1];
            dst[x * 3 + 2] = rgb[0];
        }
    }
    return true;
}

bool Cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

}  // namespace

std::string ScannerDevice::Label() const
{
    std::string label = vendor;
    if (!model.empty())
        label += (label.empty() ? "" : " ") + model;
    if (label.empty())
        return name;
    return label + " (" + name + ")";
}

std::vector<ScannerDevice> ListScanners(std::string* error)
{
    std::vector<ScannerDevice> found;
    CSaneOpen sane;
    if (!sane.Ok()) {
        if (error)
            *error = StatusText(sane.Status());
        return found;
    }
    const SANE_Device** list = nullptr;
    const SANE_Status status = sane_get_devices(&list, SANE_FALSE);
    if (status != SANE_STATUS_GOOD) {
        if (error)
            *error = StatusText(status);
        return found;
    }
    for (int i = 0; list && list[i]; ++i)
        found.push_back({Text(list[i]->name), Text(list[i]->vendor), Text(list[i]->model), Text(list[i]->type)});
    return found;
}

ScanResult Scan(const ScanRequest& request, const std::atomic<bool>* cancel, const ScanProgress& progress)
{
    CSaneOpen sane;
    if (!sane.Ok())
        return Failure(ScanStatus::Failed, StatusText(sane.Status()));
    std::string name = request.device;
    if (name.empty()) {
        const SANE_Device** list = nullptr;
        if (sane_get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list || !list[0])
            return Failure(ScanStatus::NoScanner, {});
        name = Text(list[0]->name);
    }
    CSaneDevice device;
    if (const SANE_Status s = device.Open(name); s != SANE_STATUS_GOOD)
        return Failure(s == SANE_STATUS_INVAL ? ScanStatus::NoScanner : ScanStatus::Failed, StatusText(s));
    SANE_Handle h = device.Handle();

    const int dpi = request.preview ? kPreviewResolution : request.dpi;
    SetScanMode(h, request.grey);
    SetNumberOption(h, SANE_NAME_SCAN_RESOLUTION, dpi);
    SetBoolOption(h, SANE_NAME_PREVIEW, request.preview);
    if (request.widthMm > 0 && request.heightMm > 0)
        SetScanArea(h, request.widthMm, request.heightMm);
    // The device may have rounded the resolution to one it has.
    const double actual = NumberOption(h, SANE_NAME_SCAN_RESOLUTION, dpi);

    if (Cancelled(cancel))
        return Failure(ScanStatus::Cancelled, {});
    if (const SANE_Status s = sane_start(h); s != SANE_STATUS_GOOD)
        return Failure(s == SANE_STATUS_CANCELLED ? ScanStatus::Cancelled : ScanStatus::Failed, StatusText(s));
    SANE_Parameters p{};
    if (const SANE_Status s = sane_get_parameters(h, &p); s != SANE_STATUS_GOOD) {
        sane_cancel(h);
        return Failure(ScanStatus::Failed, StatusText(s));
    }
    const bool known = (p.format == SANE_FRAME_GRAY && (p.depth == 1 || p.depth == 8 || p.depth == 16)) ||
                       (p.format == SANE_FRAME_RGB && (p.depth == 8 || p.depth == 16));
    if (!known || p.pixels_per_line <= 0 || p.bytes_per_line <= 0 || !p.last_frame) {
        sane_cancel(h);
        return Failure(ScanStatus::Failed, "the scanner sends a kind of picture Korvane does not read");
    }
    // Lines may be unknown (-1) until the scanner stops; the picture limit
    // bounds what is held either way.
    const std::int64_t maxLines = kMaxPicturePixels / p.pixels_per_line;
    const std::size_t bpl = static_cast<std::size_t>(p.bytes_per_line);
    std::vector<std::uint8_t> data;
    if (p.lines > 0 && p.lines <= maxLines)
        data.reserve(bpl * static_cast<std::size_t>(p.lines));
    std::vector<std::uint8_t> buffer(64 * 1024);
    int lastPercent = -1;
    for (;;) {
        if (Cancelled(cancel)) {
            sane_cancel(h);
            return Failure(ScanStatus::Cancelled, {});
        }
        SANE_Int length = 0;
        const SANE_Status s = sane_read(h, buffer.data(), static_cast<SANE_Int>(buffer.size()), &length);
        if (s == SANE_STATUS_EOF)
            break;
        if (s != SANE_STATUS_GOOD) {
            sane_cancel(h);
            return Failure(s == SANE_STATUS_CANCELLED ? ScanStatus::Cancelled : ScanStatus::Failed, StatusText(s));
        }
        data.insert(data.end(), buffer.begin(), buffer.begin() + length);
        if (static_cast<std::int64_t>(data.size() / bpl) > maxLines) {
            sane_cancel(h);
            return Failure(ScanStatus::Failed, PictureTooLargeText(p.pixels_per_line, maxLines + 1));
        }
        if (progress && p.lines > 0) {
            const int percent = static_cast<int>(std::min<std::size_t>(100, data.size() * 100 / (bpl * p.lines)));
            if (percent != lastPercent)
                progress(lastPercent = percent);
        }
    }
    sane_cancel(h);  // ends the scanner's job, as SANE asks after every frame
    const int lines = static_cast<int>(data.size() / bpl);
    if (lines <= 0)
        return Failure(ScanStatus::Failed, "the scanner sent no picture");
    ScanResult result;
    if (!StoreRows(p, data, lines, result.picture))
        return Failure(ScanStatus::Failed, result.picture.GetLastError());
    const int rounded = static_cast<int>(std::lround(actual));
    result.picture.SetXDpi(rounded);
    result.picture.SetYDpi(rounded);
    result.status = ScanStatus::Done;
    return result;
}
