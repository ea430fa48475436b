#pragma once
// What the image fuzz targets do with a picture that decoded: the
// operations the program applies to untrusted pictures.
#include "image/RasterImage.h"
#include "image/RasterSurface.h"

// fontconfig (metafile text) keeps allocations it never frees until its
// FcFini, which a program sharing fontconfig with Qt must not call: not our
// leaks. Each fuzz target is its own program, so this is defined once.
// Debian 12's dav1d 1.0 (AV1, under libheif) keeps 40 bytes of some
// damaged AVIF files that libheif has released: the library's, not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdav1d.so\n"; }

inline void ExerciseDecodedImage(CRasterImage& image) {
    if (!image.IsValid())
        return;
    CRasterSurface surface(48, 40, Rgb{10, 20, 30});
    CDrawContext surfaceDraw(surface);
    image.Draw(&surfaceDraw, -3, 2, 50, 30);
    image.Draw(&surfaceDraw, 5, 5);
    image.DrawRegion(&surfaceDraw, 0, 0, 40, 40, 1, 1, 7, 5);
    // Whole-image operations only on small pictures: their code is the same
    // at any size, and a run should spend its time in the decoder.
    if (static_cast<long long>(image.GetWidth()) * image.GetHeight() <= 16384) {
        CRasterImage turned;
        image.Rotate(90, &turned);
        turned.Rotate(-90);
        image.DrawMasked(&surfaceDraw, 1, 1, 20, 33);
        image.DrawRegion(&surfaceDraw, 0, 0, 40, 40, 1, 1, image.GetWidth(), image.GetHeight());
        CRasterImage grey(image);
        grey.ConvertToGray();
        grey.Draw(&surfaceDraw, 0, 0, 48, 40);
    }
}
