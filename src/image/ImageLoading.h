#pragma once
// Which decoder reads a picture, from files, built-in pictures and byte
// sources, through CRasterImage's public interface. A failure leaves the
// image as it was, its message in GetLastError().
#include <atomic>
#include <string>

class CByteSource;
class CRasterImage;

// `type` picks the decoder (IMAGE_UNKNOWN: every kind is tried); the data's
// signature, for the kinds that carry one beyond the nine, goes first.
bool DecodeImage(CRasterImage& image, CByteSource& source, int type);
// The file's signature, where it has one (PNG, JPEG, GIF and the kinds
// beyond the nine), picks the decoder before `type` does. A load whose
// `cancel` flag is set (from another thread) stops early and fails.
bool LoadImageFile(CRasterImage& image, const std::string& path, int type, const std::atomic<bool>* cancel);
// A built-in picture by name and resource type ("JPG", "GIF", "PNG_IMAGES").
bool LoadBuiltinImage(CRasterImage& image, const char* name, const char* resourceType, int type);
