#include "app/FormatRecognition.h"

#include "settings/Prompter.h"

#include <algorithm>
#include <cmath>

namespace {
bool IsCandidate(const CoverFormatList& formats, int i) {
    return i >= 0 && i < formats.count() && formats.autodetect(i) == 1;
}

// A ratio that can take part in a comparison (a format of no width or
// height has none).
bool UsableRatio(double ratio) { return ratio != 0 && std::isfinite(ratio); }

// The image's height over its width, NaN for an empty image. The file's own
// size counts: a picture decoded at a reduced scale has rounded proportions.
double ImageRatio(const CRasterImage& image) {
    if (!image.IsValid() || image.GetFileWidth() <= 0 || image.GetFileHeight() <= 0)
        return std::nan("");
    return static_cast<double>(static_cast<unsigned>(image.GetFileHeight())) /
           static_cast<double>(static_cast<unsigned>(image.GetFileWidth()));
}

// Whether the image fits the reference format on its side better than the
// best upright match (|bestDifference|) fits it.
bool FitsOnItsSide(const CoverFormatList& formats, int reference, double r, double bestDifference) {
    if (!IsCandidate(formats, reference))
        return false;
    const double ratio = formats.detectRatio(reference);
    if (!UsableRatio(ratio))
        return false;
    return std::fabs(bestDifference) > std::fabs(1.0 / ratio - r);
}

int Remapped(const CoverFormatList& formats, int i) {
    if (i < 0 || i >= formats.count())
        return i;
    const int to = formats.remapIndex(i);
    return (to >= 0 && to < formats.count()) ? to : i;
}
}  // namespace

RecognitionFacts PictureFacts(const CRasterImage& image) {
    RecognitionFacts facts;
    if (!image.IsValid())
        return facts;
    facts.width = image.GetFileWidth();
    facts.height = image.GetFileHeight();
    const double r = ImageRatio(image);
    facts.ratio = std::isnan(r) ? 0 : r;
    return facts;
}

int DetectFormat(CRasterImage& image, const CoverFormatList& formats, int autoRotate, IPrompter* prompter) {
    return RecogniseFormat(image, formats, autoRotate, prompter).format;
}

RecognitionFacts RecogniseFormat(CRasterImage& image, const CoverFormatList& formats, int autoRotate,
                                 IPrompter* prompter) {
    RecognitionFacts facts = PictureFacts(image);
    facts.recognised = true;
    const double r = ImageRatio(image);
    if (std::isnan(r)) {
        facts.format = Remapped(formats, 0);
        return facts;
    }

    int best = 0;
    double difference = 1000;
    for (int i = 0; i < formats.count(); ++i) {
        if (!IsCandidate(formats, i))
            continue;
        const double ratio = formats.detectRatio(i);
        if (!UsableRatio(ratio))
            continue;
        const double d = ratio - r;
        if (std::fabs(difference) > std::fabs(d)) {
            best = i;
            difference = d;
        }
    }

    int result = best;
    const int frontInside = formats.findByType("CD_FRONT_INSIDE");
    const int dvd = formats.findByType("DVD");
    if (FitsOnItsSide(formats, frontInside, r, difference)) {
        if (!autoRotate && prompter)
            prompter->Information(kTextFrontInsideRotated);
        image.Rotate(90);
        result = frontInside;
        facts.turn = 90;
    } else if (FitsOnItsSide(formats, dvd, r, difference)) {
        if (autoRotate || (prompter && prompter->AskYesNo(kTextRotateDvdQuestion))) {
            image.Rotate(-90);
            result = dvd;
            facts.turn = -90;
        }
    }
    facts.formatRatio = result >= 0 && result < formats.count() ? formats.detectRatio(result) : 0;
    facts.format = Remapped(formats, result);
    return facts;
}

void RotateForFormat(CRasterImage& image, const CoverFormatList& formats, int format) {
    const double r = ImageRatio(image);
    if (std::isnan(r) || format < 0 || r >= 1)
        return;
    if (format == formats.findByType("CD_FRONT_INSIDE"))
        image.Rotate(90);
    else if (format == formats.findByType("DVD"))
        image.Rotate(-90);
}

int DetectFormatBySize(CRasterImage& image, const CoverFormatList& formats, double toleranceMm) {
    if (!image.IsValid() || image.GetXDpi() <= 0 || image.GetYDpi() <= 0)
        return -1;
    const double w = image.GetFileWidth() * 25.4 / image.GetXDpi();
    const double h = image.GetFileHeight() * 25.4 / image.GetYDpi();
    int best = -1;
    bool bestTurned = false;
    double bestDistance = toleranceMm;
    for (int i = 0; i < formats.count(); ++i) {
        if (!IsCandidate(formats, i))
            continue;
        const CoverFormat& f = formats.formats[static_cast<std::size_t>(i)];
        for (const bool turned : {false, true}) {
            const double fw = turned ? f.height : f.width;
            const double fh = turned ? f.width : f.height;
            const double distance = std::max(std::fabs(fw - w), std::fabs(fh - h));
            // Upright first: a square cover never needs a turn.
            if (distance < bestDistance || (distance == bestDistance && best < 0)) {
                best = i;
                bestTurned = turned;
                bestDistance = distance;
            }
        }
    }
    if (best < 0)
        return -1;
    if (bestTurned)
        image.Rotate(formats.formats[static_cast<std::size_t>(best)].type == "DVD" ? -90 : 90);
    return Remapped(formats, best);
}

int DetectScannedFormat(CRasterImage& image, const CoverFormatList& formats, int autoRotate, IPrompter* prompter) {
    const int bySize = DetectFormatBySize(image, formats);
    return bySize >= 0 ? bySize : DetectFormat(image, formats, autoRotate, prompter);
}

BatchRecognition BatchRecognitionFor(const CoverFormatList& formats, int autoRotate, IPrompter* prompter) {
    BatchRecognition recognition;
    recognition.detect = [&formats, autoRotate, prompter](CRasterImage& image) {
        return DetectFormat(image, formats, autoRotate, prompter);
    };
    recognition.rotateForFormat = [&formats](CRasterImage& image, int format) {
        RotateForFormat(image, formats, format);
    };
    return recognition;
}
