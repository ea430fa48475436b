#pragma once
// The clipboard's picture as a device-independent bitmap block, as the
// document's paste takes it: a 40-byte BITMAPINFOHEADER and 24-bit rows,
// bottom-up, each padded to four bytes.
#include <QImage>

#include <cstdint>
#include <vector>

// Empty for a null image. Transparent parts are laid on white.
std::vector<std::uint8_t> DibFromImage(const QImage& image);
// The clipboard's image as a block; empty when the clipboard holds none.
std::vector<std::uint8_t> ClipboardDib();
