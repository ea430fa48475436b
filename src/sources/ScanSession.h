#pragma once
// Scanning through SANE: the scanners the system knows, and one scan of a
// chosen scanner into a picture that knows its resolution (so its size in
// millimetres is known). Every call opens SANE for itself and closes it
// again; calls from several threads take turns.
#include "image/RasterImage.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

struct ScannerDevice {
    std::string name;  // what SANE opens it by ("test:0", "epson2:libusb:001:004")
    std::string vendor;
    std::string model;
    std::string type;
    // "Vendor Model (name)" for a list of devices.
    std::string Label() const;
};

// The resolutions the scan dialog offers, and the one of a preview.
inline constexpr int kScanResolutions[] = {150, 300, 600};
inline constexpr int kPreviewResolution = 50;

struct ScanRequest {
    std::string device;  // empty: the first scanner found
    int dpi = 300;
    bool grey = false;
    bool preview = false;  // at kPreviewResolution, in the device's preview mode
    // The scanned area from the platen's top left corner, in millimetres;
    // 0 leaves the device's own (usually the whole platen).
    double widthMm = 0;
    double heightMm = 0;
};

enum class ScanStatus { Done, Cancelled, NoScanner, Failed };

struct ScanResult {
    ScanStatus status = ScanStatus::Failed;
    CRasterImage picture;  // 24-bit colour or 8-bit grey, its resolution set
    std::string message;   // why it failed (SANE's own words)
};

// Percent of the scan read so far (0-100); from the scanning thread.
using ScanProgress = std::function<void(int percent)>;

// The scanners SANE finds; empty with the reason in `error` when SANE
// cannot start.
std::vector<ScannerDevice> ListScanners(std::string* error = nullptr);

// Scans as asked. A set `cancel` flag ends the scan between two reads
// (Cancelled, no picture). A scanner that delivers more than the picture
// limit is stopped (Failed).
ScanResult Scan(const ScanRequest& request, const std::atomic<bool>* cancel = nullptr,
                const ScanProgress& progress = {});
