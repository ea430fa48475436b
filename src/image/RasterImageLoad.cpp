// CRasterImage: loading from files, built-in pictures and byte sources.
#include "image/BuiltinPictures.h"
#include "image/RasterCodecs.h"
#include "image/RasterImage.h"

#include <cstdio>
#include <cstring>
#include <memory>

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

bool CRasterImage::Load(const std::string& path, int type) {
    if (type < IMAGE_UNKNOWN || type > IMAGE_WMF) {
        SetLastError("Decode: Unknown or wrong format");
        return false;
    }
    std::string firstError;
    if (type >= IMAGE_BMP && type <= IMAGE_WMF) {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
        if (!file)
            return false;
        CFileSource source(file.get());
        if (Decode(source, type))
            return true;
        firstError = lastError_;
    }
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    CFileSource source(file.get());
    if (Decode(source, IMAGE_UNKNOWN))
        return true;
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
