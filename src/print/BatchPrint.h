#pragma once
// Printing many image files in one job, one left cover per page.
#include "formats/CoverFormatList.h"
#include "image/RasterImage.h"
#include "print/PictureBox.h"

#include <functional>
#include <string>
#include <vector>

class IPageSink;
class IPrompter;

struct BatchJob {
    std::vector<std::string> files;  // in the order chosen or dropped
    int format = -1;                 // forced format, -1 = recognise every file
    int autoRotate = 1;              // turn files upright for a forced format
    int drawCutLines = 1;
    int printBorder = 1;
    int checkForPrintableArea = 1;
    // Pictures decoded only as far as printing needs (a JPEG whose data goes
    // to the page is not decoded in full); the slot is then left holding a
    // picture decoded that way.
    int decodeForPrinting = 0;
    // With decodeForPrinting, the view such a picture is decoded to cover
    // (the window's screen; 1 x 1 decodes a JPEG at 1/8).
    int decodeViewWidth = 1;
    int decodeViewHeight = 1;
    PictureFill fill;      // how every picture fills its cover
    double bleedMm = 0.0;
};

// Recognition supplied by the application (format recognition lives there).
struct BatchRecognition {
    std::function<int(CRasterImage&)> detect;                     // recognise a loaded file
    std::function<void(CRasterImage&, int format)> rotateForFormat;  // turn for a forced format
};

struct BatchResult {
    bool started = false;    // the printer accepted the job
    bool completed = false;  // ... and it was ended normally (not refused, not aborted)
    int pages = 0;         // pages printed, one per file that loaded
    int lastFormat = -1;   // the forced format or the last recognised one
    std::string lastFile;  // the last file loaded, now in the left image; empty for none
    // "file: why" for each file that made no page, and for each printed
    // although only part of its picture could be read.
    std::vector<std::string> skipped;
    std::vector<std::string> partlyRead;
};

// The job's name in the printer queue.
inline constexpr const char* kBatchJobName = "Korvane";

// Runs the batch: for each file whose extension a slot accepts and which
// loads into `leftImage`, recognise (or turn for the forced format), place
// and print it on a page of its own. Skipped files make no page and no
// message (the result lists them). The left image is left holding the last
// file loaded (untouched when none loaded), turned as it was printed. A job with
// no format to print with (empty list, forced format outside it) is refused
// before it starts, with kChooseLeftFormatText.
BatchResult BatchPrint(const BatchJob& job, const CoverFormatList& formats, CRasterImage& leftImage,
                       const BatchRecognition& recognition, IPageSink& sink, IPrompter* prompter);
