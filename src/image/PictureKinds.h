#pragma once
// The kinds of picture the program reads: their names, file name extensions
// and MIME types (for the open dialog, drops and the desktop entry), and the
// signatures by which a file's content tells its kind whatever its name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct PictureKind {
    int type;                             // ImageType code
    std::string name;                     // as the open dialog lists it
    std::vector<std::string> extensions;  // lower case, without the dot
    std::vector<std::string> mimeTypes;
};

// Every kind the program reads, in the open dialog's order.
const std::vector<PictureKind>& ReadablePictureKinds();

// The kind the first bytes of a file say (ImageType code), or IMAGE_UNKNOWN
// when they carry no signature we know (TGA, PCX, WBMP and plain WMF have
// none: they are found by trying their decoders). 32 bytes are enough.
constexpr std::size_t kSignatureBytes = 32;
int ImageTypeFromSignature(const std::uint8_t* data, std::size_t size);
