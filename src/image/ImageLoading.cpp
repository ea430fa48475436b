#include "image/ImageLoading.h"

#include "base/RegularFile.h"
#include "image/BuiltinPictures.h"
#include "image/ByteSource.h"
#include "image/PictureKinds.h"
#include "image/RasterCodecs.h"
#include "image/RasterImage.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <system_error>

namespace {
// Runs one codec over the source; on success its result moves into `target`,
// on failure only its message does.
template <class Codec>
bool RunCodec(CRasterImage& target, CByteSource& source, int type) {
    Codec codec(target);
    if (codec.Decode(source)) {
        codec.SetType(type);
        return target.Transfer(codec);
    }
    target.SetLastError(codec.GetLastError());
    return false;
}

bool RunCodecByType(CRasterImage& target, CByteSource& source, int type) {
    switch (type) {
    case IMAGE_BMP: return RunCodec<CRasterBMP>(target, source, type);
    case IMAGE_GIF: return RunCodec<CRasterGIF>(target, source, type);
    case IMAGE_JPG: return RunCodec<CRasterJPG>(target, source, type);
    case IMAGE_PNG: return RunCodec<CRasterPNG>(target, source, type);
    case IMAGE_ICO: return RunCodec<CRasterICO>(target, source, type);
    case IMAGE_TGA: return RunCodec<CRasterTGA>(target, source, type);
    case IMAGE_PCX: return RunCodec<CRasterPCX>(target, source, type);
    case IMAGE_WBMP: return RunCodec<CRasterWBMP>(target, source, type);
    case IMAGE_WMF: return RunCodec<CRasterWMF>(target, source, type);
    case IMAGE_WEBP: return RunCodec<CRasterWEBP>(target, source, type);
    case IMAGE_HEIF: return RunCodec<CRasterHEIF>(target, source, type);
    case IMAGE_JXL: return RunCodec<CRasterJXL>(target, source, type);
    case IMAGE_TIFF: return RunCodec<CRasterTIFF>(target, source, type);
    default: return false;
    }
}

// The kind the data's first bytes say; the source is back where it was.
int SignatureType(CByteSource& source) {
    const std::int64_t start = source.Tell();
    // A stream that cannot go back (a pipe) is left unread.
    if (start < 0 || !source.Seek(start, CByteSource::FromStart))
        return IMAGE_UNKNOWN;
    std::uint8_t head[kSignatureBytes];
    const std::size_t n = source.Read(head, sizeof head);
    if (!source.Seek(start, CByteSource::FromStart))
        return IMAGE_UNKNOWN;
    return ImageTypeFromSignature(head, n);
}

bool IsNewKind(int type) { return type > IMAGE_WMF && type <= IMAGE_LAST; }

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

bool DecodeImage(CRasterImage& image, CByteSource& source, int type) {
    if (type >= IMAGE_BMP && type <= IMAGE_LAST)
        return RunCodecByType(image, source, type);
    if (type == IMAGE_UNKNOWN) {
        // The kinds beyond the nine carry signatures: their decoder alone
        // is asked, and its message says what is wrong with the file.
        const int signature = SignatureType(source);
        if (IsNewKind(signature))
            return RunCodecByType(image, source, signature);
        static const int kOrder[] = {IMAGE_BMP, IMAGE_JPG, IMAGE_ICO, IMAGE_GIF, IMAGE_PNG,
                                     IMAGE_TGA, IMAGE_PCX, IMAGE_WBMP, IMAGE_WMF};
        const std::int64_t start = source.Tell();
        for (int codec : kOrder) {
            if (!source.Seek(start, CByteSource::FromStart))
                break;
            if (RunCodecByType(image, source, codec))
                return true;
        }
    }
    image.SetLastError(kUnknownFormatText);
    return false;
}

bool LoadImageFile(CRasterImage& image, const std::string& path, int type, const std::atomic<bool>* cancel) {
    if (type < IMAGE_UNKNOWN || type > IMAGE_LAST) {
        image.SetLastError(kUnknownFormatText);
        return false;
    }
    // What the system says about the file comes first: a decoder can only
    // guess from bytes that are not there.
    // A pipe or a device is refused before anything waits on it.
    RegularFile opened;
    std::unique_ptr<std::FILE, FileCloser> file(OpenRegularFileStream(path, opened));
    if (!file) {
        if (opened.refusal == FileRefusal::Folder)
            image.SetLastError("This is a folder, not a picture");
        else if (opened.refusal == FileRefusal::NotRegular)
            image.SetLastError("This is " + opened.kind + ", not a picture file");
        else
            image.SetLastError(std::generic_category().message(opened.error));
        return false;
    }
    if (opened.size == 0) {
        image.SetLastError("The file is empty");
        return false;
    }
    CFileSource source(file.get(), cancel);
    // The content decides over the name: a WebP or PNG saved as ".jpg" goes
    // to its own decoder.
    const int signature = SignatureType(source);
    if (signature != IMAGE_UNKNOWN)
        type = signature;
    std::string firstError;
    if (type >= IMAGE_BMP && type <= IMAGE_LAST) {
        if (DecodeImage(image, source, type))
            return true;
        firstError = image.GetLastError();
        // A picture refused for its size is refused by every codec.
        if (IsPictureTooLargeText(firstError) || source.Cancelled())
            return false;
        if (!source.Seek(0, CByteSource::FromStart))
            return false;
    }
    // A file whose signature says a kind beyond the nine was refused by its
    // decoder: nothing else would read it.
    if (!IsNewKind(signature) && DecodeImage(image, source, IMAGE_UNKNOWN))
        return true;
    if (source.Cancelled()) {
        image.SetLastError("Loading was cancelled");
        return false;
    }
    if (source.ReadErrno() != 0) {
        image.SetLastError(std::generic_category().message(source.ReadErrno()));
        return false;
    }
    // The caller asked for one codec: its message says more than the catch-all.
    if (type != IMAGE_UNKNOWN)
        image.SetLastError(firstError);
    return false;
}

bool LoadBuiltinImage(CRasterImage& image, const char* name, const char* resourceType, int type) {
    const BuiltinPicture* picture = name && resourceType ? FindBuiltinPicture(name, resourceType) : nullptr;
    if (!picture || !picture->data) {
        image.SetLastError("Unable to load resource!");
        return false;
    }
    CMemorySource source(picture->data, picture->size);
    return DecodeImage(image, source, type);
}
