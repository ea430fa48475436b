#pragma once
// Recognising a cover's format from its image's proportions, and turning
// landscape scans of front + inside booklets and DVD sleeves upright.
#include "formats/CoverFormatList.h"
#include "image/RasterImage.h"
#include "print/BatchPrint.h"

class IPrompter;

// What recognition went by for one picture, to tell the user why a format
// was chosen.
struct RecognitionFacts {
    bool recognised = false;  // recognition chose the format (else the list did)
    int format = -1;          // the format chosen, after REMAP
    int width = 0;            // the picture's size in pixels, as it came
    int height = 0;
    double ratio = 0;         // its height / width, as it came
    double formatRatio = 0;   // the recognition ratio of the format it matched
    int turn = 0;             // +90 turned clockwise, -90 counter-clockwise, 0 not turned
};

// The picture's own facts, without recognition (a format chosen by hand).
RecognitionFacts PictureFacts(const CRasterImage& image);

// The format whose recognition ratio (height / width) is nearest the image's,
// among the formats taking part in recognition; may turn the image a quarter
// turn (with text 4001 shown when autoRotate is 0, or the question 4003
// asked) and follows the chosen format's REMAP. Formats whose ratio is 0 or
// not finite are skipped. Returns 0 (or its remapping) when nothing fits and
// for an empty list or an empty image. The prompter may be null (no message,
// questions answered No).
int DetectFormat(CRasterImage& image, const CoverFormatList& formats, int autoRotate, IPrompter* prompter);
// DetectFormat, telling what it went by.
RecognitionFacts RecogniseFormat(CRasterImage& image, const CoverFormatList& formats, int autoRotate,
                                 IPrompter* prompter);

// For a forced format: a landscape image of the first "CD_FRONT_INSIDE"
// format is turned clockwise, of the first "DVD" format counter-clockwise.
void RotateForFormat(CRasterImage& image, const CoverFormatList& formats, int format);

// A picture of known physical size (a scan, its resolution set): the format
// taking part in recognition whose printed size lies within `toleranceMm` of
// the picture's millimetres on both sides, the nearest when several do. A
// picture matching a format on its side is turned upright (counter-clockwise
// for a DVD sleeve, clockwise otherwise). Follows the format's REMAP;
// -1 when no size matches (the image is then unchanged).
inline constexpr double kScanSizeToleranceMm = 2.0;
int DetectFormatBySize(CRasterImage& image, const CoverFormatList& formats,
                       double toleranceMm = kScanSizeToleranceMm);

// Recognition of a scan: by its size first, then by its proportions.
int DetectScannedFormat(CRasterImage& image, const CoverFormatList& formats, int autoRotate, IPrompter* prompter);

// The recognition the batch job uses, bound to these formats and options.
BatchRecognition BatchRecognitionFor(const CoverFormatList& formats, int autoRotate, IPrompter* prompter);
