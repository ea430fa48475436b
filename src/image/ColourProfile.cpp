#include "image/ColourProfile.h"

#include <lcms2.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {
// Where Debian keeps ghostscript's standard CMYK profile (libgs-common).
constexpr const char* kStandardCmykProfile = "/usr/share/color/icc/ghostscript/default_cmyk.icc";

// A damaged profile is the file's fault, not the user's: LittleCMS's
// complaints are not shown anywhere.
void QuietLittleCms() {
    static std::once_flag once;
    std::call_once(once, [] { cmsSetLogErrorHandler(nullptr); });
}

struct Profile {
    cmsHPROFILE handle = nullptr;
    explicit Profile(cmsHPROFILE h) : handle(h) {}
    ~Profile() {
        if (handle)
            cmsCloseProfile(handle);
    }
    Profile(const Profile&) = delete;
    Profile& operator=(const Profile&) = delete;
};

struct Transform {
    cmsHTRANSFORM handle = nullptr;
    explicit Transform(cmsHTRANSFORM h) : handle(h) {}
    ~Transform() {
        if (handle)
            cmsDeleteTransform(handle);
    }
    Transform(const Transform&) = delete;
    Transform& operator=(const Transform&) = delete;
};

cmsHPROFILE OpenProfile(const std::uint8_t* icc, std::size_t size) {
    QuietLittleCms();
    if (!icc || size < 128 || size > kMaxProfileBytes)
        return nullptr;
    return cmsOpenProfileFromMem(icc, static_cast<cmsUInt32Number>(size));
}

cmsHTRANSFORM ToSrgb(cmsHPROFILE input, cmsUInt32Number inputFormat) {
    Profile srgb(cmsCreate_sRGBProfile());
    if (!srgb.handle)
        return nullptr;
    return cmsCreateTransform(input, inputFormat, srgb.handle, TYPE_BGR_8, INTENT_RELATIVE_COLORIMETRIC,
                              cmsFLAGS_BLACKPOINTCOMPENSATION);
}

double SrgbCurve(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

bool SameColorant(cmsHPROFILE a, cmsHPROFILE b, cmsTagSignature tag) {
    const auto* x = static_cast<const cmsCIEXYZ*>(cmsReadTag(a, tag));
    const auto* y = static_cast<const cmsCIEXYZ*>(cmsReadTag(b, tag));
    constexpr double kClose = 0.002;
    return x && y && std::fabs(x->X - y->X) < kClose && std::fabs(x->Y - y->Y) < kClose &&
           std::fabs(x->Z - y->Z) < kClose;
}

bool SrgbCurveTag(cmsHPROFILE p, cmsTagSignature tag) {
    const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(p, tag));
    if (!curve)
        return false;
    for (int i = 0; i <= 64; ++i) {
        const double v = i / 64.0;
        // Half a level of an 8-bit sample.
        if (std::fabs(cmsEvalToneCurveFloat(curve, static_cast<cmsFloat32Number>(v)) - SrgbCurve(v)) > 0.5 / 255)
            return false;
    }
    return true;
}

bool IsSrgb(cmsHPROFILE p) {
    if (cmsGetColorSpace(p) != cmsSigRgbData || !cmsIsMatrixShaper(p))
        return false;
    Profile srgb(cmsCreate_sRGBProfile());
    return srgb.handle && SameColorant(p, srgb.handle, cmsSigRedColorantTag) &&
           SameColorant(p, srgb.handle, cmsSigGreenColorantTag) &&
           SameColorant(p, srgb.handle, cmsSigBlueColorantTag) && SrgbCurveTag(p, cmsSigRedTRCTag) &&
           SrgbCurveTag(p, cmsSigGreenTRCTag) && SrgbCurveTag(p, cmsSigBlueTRCTag);
}

bool GreyPalette(const CRasterImage& image) {
    const PaletteEntry* p = image.GetPalette();
    for (int i = 0; i < image.GetPaletteSize(); ++i)
        if (p[i].red != p[i].green || p[i].green != p[i].blue)
            return false;
    return true;
}

// Palette entries through the transform (grey: one sample an entry).
void ConvertPalette(CRasterImage& image, cmsHTRANSFORM t, bool grey) {
    PaletteEntry* p = image.GetPalette();
    for (int i = 0; i < image.GetPaletteSize(); ++i) {
        std::uint8_t in[3] = {p[i].blue, p[i].green, p[i].red}, out[3];
        cmsDoTransform(t, grey ? &p[i].red : in, out, 1);
        p[i].blue = out[0];
        p[i].green = out[1];
        p[i].red = out[2];
    }
}

std::vector<std::uint8_t> StandardCmykProfile() {
    std::vector<std::uint8_t> bytes;
    if (FILE* f = std::fopen(kStandardCmykProfile, "rb")) {
        std::uint8_t chunk[65536];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0 && bytes.size() + n <= kMaxProfileBytes)
            bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return bytes;
}
}  // namespace

bool IsSrgbProfile(const std::uint8_t* icc, std::size_t size) {
    Profile p(OpenProfile(icc, size));
    return p.handle && IsSrgb(p.handle);
}

void ApplyEmbeddedProfile(CRasterImage& image, std::vector<std::uint8_t> icc, bool keepSamples) {
    if (!image.IsValid())
        return;
    Profile p(OpenProfile(icc.data(), icc.size()));
    if (!p.handle)
        return;
    const cmsColorSpaceSignature space = cmsGetColorSpace(p.handle);
    const bool palette = image.GetBpp() <= 8;
    const bool grey = space == cmsSigGrayData;
    if (!(space == cmsSigRgbData || (grey && palette && GreyPalette(image))) || IsSrgb(p.handle))
        return;
    Transform t(ToSrgb(p.handle, grey ? TYPE_GRAY_8 : TYPE_BGR_8));
    if (!t.handle)
        return;
    auto colour = std::make_shared<PictureColour>();
    colour->channels = grey ? 1 : 3;
    const int w = image.GetWidth(), h = image.GetHeight();
    if (palette) {
        ConvertPalette(image, t.handle, grey);
    } else {
        if (keepSamples) {
            colour->width = w;
            colour->height = h;
            colour->samples.resize(static_cast<std::size_t>(w) * h * 3);
        }
        std::vector<std::uint8_t> row(static_cast<std::size_t>(w) * 3);
        for (int y = 0; y < h; ++y) {
            std::uint8_t* pixels = image.GetRow(h - 1 - y);
            if (keepSamples) {
                std::uint8_t* s = colour->samples.data() + static_cast<std::size_t>(y) * w * 3;
                for (int x = 0; x < w; ++x, s += 3) {
                    s[0] = pixels[3 * x + 2];
                    s[1] = pixels[3 * x + 1];
                    s[2] = pixels[3 * x];
                }
            }
            cmsDoTransform(t.handle, pixels, row.data(), static_cast<cmsUInt32Number>(w));
            std::memcpy(pixels, row.data(), row.size());
        }
    }
    // A palette picture goes to the page as its converted pixels (a grey
    // JPEG's data with its grey profile); the others in their own colour space.
    if (palette && !(grey && image.GetType() == IMAGE_JPG))
        return;
    colour->profile = std::move(icc);
    image.SetColour(std::move(colour));
}

std::vector<std::uint8_t> ProfileFromPngChunks(bool hasGamma, std::uint32_t gamma, bool hasChromaticities,
                                               const std::uint32_t chromaticities[8]) {
    static const double kSrgb[8] = {0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06};
    double xy[8];
    bool srgbPoints = true;
    for (int i = 0; i < 8; ++i) {
        xy[i] = hasChromaticities ? chromaticities[i] / 100000.0 : kSrgb[i];
        if (xy[i] <= 0 || xy[i] > 1)
            return {};
        srgbPoints = srgbPoints && std::fabs(xy[i] - kSrgb[i]) < 0.01;
    }
    // 1/2.2 stands for sRGB's curve, as PNG's own rules say it may.
    const bool srgbGamma = !hasGamma || (gamma >= 45000 && gamma <= 46000);
    if ((srgbGamma && srgbPoints) || (hasGamma && (gamma < 1000 || gamma > 1000000)))
        return {};
    QuietLittleCms();
    cmsToneCurve* curve = nullptr;
    if (srgbGamma) {
        const cmsFloat64Number srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
        curve = cmsBuildParametricToneCurve(nullptr, 4, srgb);
    } else {
        curve = cmsBuildGamma(nullptr, 100000.0 / gamma);
    }
    if (!curve)
        return {};
    cmsToneCurve* curves[3] = {curve, curve, curve};
    const cmsCIExyY white{xy[0], xy[1], 1.0};
    const cmsCIExyYTRIPLE primaries{{xy[2], xy[3], 1.0}, {xy[4], xy[5], 1.0}, {xy[6], xy[7], 1.0}};
    Profile p(cmsCreateRGBProfile(&white, &primaries, curves));
    cmsFreeToneCurve(curve);
    std::vector<std::uint8_t> bytes;
    cmsUInt32Number size = 0;
    if (!p.handle || !cmsSaveProfileToMem(p.handle, nullptr, &size) || size == 0)
        return {};
    bytes.resize(size);
    if (!cmsSaveProfileToMem(p.handle, bytes.data(), &size))
        return {};
    return bytes;
}

CCmykConverter::CCmykConverter(const std::vector<std::uint8_t>& icc, bool inverted) : inverted_(inverted) {
    const cmsUInt32Number format = inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8;
    Profile own(OpenProfile(icc.data(), icc.size()));
    if (own.handle && cmsGetColorSpace(own.handle) == cmsSigCmykData) {
        transform_ = ToSrgb(own.handle, format);
        fileProfile_ = transform_ != nullptr;
    }
    if (!transform_)
        transform_ = StandardTransform(inverted);
    else
        owned_ = true;
}

void* CCmykConverter::StandardTransform(bool inverted) {
    // Made once and shared: without the one-pixel cache a transform may be
    // used by several threads at once.
    static cmsHTRANSFORM made[2] = {};
    static std::once_flag once;
    std::call_once(once, [] {
        const std::vector<std::uint8_t> standard = StandardCmykProfile();
        Profile fallback(OpenProfile(standard.data(), standard.size()));
        if (!fallback.handle || cmsGetColorSpace(fallback.handle) != cmsSigCmykData)
            return;
        Profile srgb(cmsCreate_sRGBProfile());
        for (int i = 0; i < 2 && srgb.handle; ++i)
            made[i] = cmsCreateTransform(fallback.handle, i ? TYPE_CMYK_8_REV : TYPE_CMYK_8, srgb.handle, TYPE_BGR_8,
                                         INTENT_RELATIVE_COLORIMETRIC,
                                         cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_NOCACHE);
    });
    return made[inverted ? 1 : 0];
}

CCmykConverter::~CCmykConverter() {
    if (transform_ && owned_)
        cmsDeleteTransform(static_cast<cmsHTRANSFORM>(transform_));
}

void CCmykConverter::ConvertRow(const std::uint8_t* cmyk, std::uint8_t* bgr, int width) const {
    if (transform_) {
        cmsDoTransform(static_cast<cmsHTRANSFORM>(transform_), cmyk, bgr, static_cast<cmsUInt32Number>(width));
        return;
    }
    // No profile at all: ink taken away from white.
    for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        const unsigned c = inverted_ ? cmyk[0] : 255u - cmyk[0], m = inverted_ ? cmyk[1] : 255u - cmyk[1];
        const unsigned y = inverted_ ? cmyk[2] : 255u - cmyk[2], k = inverted_ ? cmyk[3] : 255u - cmyk[3];
        bgr[0] = static_cast<std::uint8_t>(y * k / 255);
        bgr[1] = static_cast<std::uint8_t>(m * k / 255);
        bgr[2] = static_cast<std::uint8_t>(c * k / 255);
    }
}

std::shared_ptr<PictureColour> CmykColour(const CCmykConverter& converter, std::vector<std::uint8_t> icc,
                                          bool inverted) {
    auto colour = std::make_shared<PictureColour>();
    colour->channels = 4;
    colour->inverted = inverted;
    if (converter.UsesFileProfile())
        colour->profile = std::move(icc);
    return colour;
}
