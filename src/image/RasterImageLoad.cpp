// CRasterImage: loading from files, built-in pictures and byte sources.
#include "image/BuiltinPictures.h"
#include "image/RasterCodecs.h"
#include "image/RasterImage.h"
#include "image/RegularFile.h"

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
    default: return false;
    }
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
}  // namespace

bool CRasterImage::Decode(CByteSource& source, int type) {
    if (type >= IMAGE_BMP && type <= IMAGE_WMF)
        return RunCodecByType(*this, source, type);
    if (type == IMAGE_UNKNOWN) {
        static const int kOrder[] = {IMAGE_BMP, IMAGE_JPG, IMAGE_ICO, IMAGE_GIF, IMAGE_PNG,
                                     IMAGE_TGA, IMAGE_PCX, IMAGE_WBMP, IMAGE_WMF};
        const std::int64_t start = source.Tell();
        for (int codec : kOrder) {
            if (!source.Seek(start, CByteSource::FromStart))
                break;
            if (RunCodecByType(*this, source, codec))
                return true;
        }
    }
    SetLastError("Decode: Unknown or wrong format");
    return false;
}

bool CRasterImage::Load(const std::string& path, int type, const std::atomic<bool>* cancel) {
    if (type < IMAGE_UNKNOWN || type > IMAGE_WMF) {
        SetLastError("Decode: Unknown or wrong format");
        return false;
    }
    // What the system says about the file comes first: a decoder can only
    // guess from bytes that are not there.
    // A pipe or a device is refused before anything waits on it.
    RegularFile opened;
    std::unique_ptr<std::FILE, FileCloser> file(OpenRegularFileStream(path, opened));
    if (!file) {
        if (opened.refusal == FileRefusal::Folder)
            SetLastError("This is a folder, not a picture");
        else if (opened.refusal == FileRefusal::NotRegular)
            SetLastError("This is " + opened.kind + ", not a picture file");
        else
            SetLastError(std::generic_category().message(opened.error));
        return false;
    }
    if (opened.size == 0) {
        SetLastError("The file is empty");
        return false;
    }
    CFileSource source(file.get(), cancel);
    std::string firstError;
    if (type >= IMAGE_BMP && type <= IMAGE_WMF) {
        if (Decode(source, type))
            return true;
        firstError = lastError_;
        // A picture refused for its size is refused by every codec.
        if (IsPictureTooLargeText(firstError) || source.Cancelled())
            return false;
        if (!source.Seek(0, CByteSource::FromStart))
            return false;
    }
    if (Decode(source, IMAGE_UNKNOWN))
        return true;
    if (source.Cancelled()) {
        SetLastError("Loading was cancelled");
        return false;
    }
    if (source.ReadErrno() != 0) {
        SetLastError(std::generic_category().message(source.ReadErrno()));
        return false;
    }
    // The caller asked for one codec: its message says more than the catch-all.
    if (type != IMAGE_UNKNOWN)
        SetLastError(firstError);
    return false;
}

bool CRasterImage::LoadFromResource(const char* name, const char* resourceType, int type) {
    const BuiltinPicture* picture = name && resourceType ? FindBuiltinPicture(name, resourceType) : nullptr;
    if (!picture || !picture->data) {
        SetLastError("Unable to load resource!");
        return false;
    }
    CMemorySource source(picture->data, picture->size);
    return Decode(source, type);
}
