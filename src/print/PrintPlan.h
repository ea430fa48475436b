#pragma once
// What the program contributes to each stage of a print job (or preview):
// prepare (printer settings the left format asks for, page range, job name,
// refusal of slots without a format), begin (placements), page (which covers
// on which page) and end. The platform's print loop, dialogs and printer
// settings are driven by the caller; RunPrintJob drives a page sink.
#include "formats/CoverFormatList.h"
#include "image/DrawContext.h"
#include "image/RasterImage.h"
#include "image/ScaledPicture.h"
#include "print/CoverLayout.h"
#include "print/CoverPlacement.h"
#include "print/MarginOverrun.h"
#include "print/PageMetrics.h"
#include "print/PictureBox.h"

#include <string>
#include <vector>

class IPrompter;
class IPageSink;

// What the job reads from the view and the running values. The view fills
// it before each stage ("read the controls").
struct PrintJobRequest {
    PrintMode printMode = PrintMode::Both;
    int singlePage = 0;
    int drawCutLines = 1;
    int leftFormat = -1;   // -1 = none
    int rightFormat = -1;
    std::string leftName;
    std::string rightName;
    int checkForPrintableArea = 1;
    int printBorder = 1;
    int maskPrintJobName = 0;
    std::string printJobName = "Microsoft Word - Document1";
    PictureFill leftFill;   // how each slot's picture fills its cover
    PictureFill rightFill;
    double bleedMm = 0.0;   // setting "BleedMm"
};

// The printer settings the left slot's format asks for before the job.
struct PrinterRequest {
    bool discTray = false;  // format type "CD_TRAY": the disc-tray preset
    int mediaType = -1;     // -1 leaves the printer's setting
    int paperSource = -1;
    bool any() const { return discTray || mediaType != -1 || paperSource != -1; }
};

// Pages first..last (page 1 the left cover's page, page 2 the right's).
struct PageRange {
    int first = 1;
    int last = 1;
    int count() const { return last >= first ? last - first + 1 : 0; }
};

// The page range of a job.
PageRange PrintPageRange(PrintMode printMode, int singlePage, bool preview);
// The job's name: PrintJobName when masked, else "Korvane - " and the file
// name of the right slot (when the job prints it) or of the left slot.
std::string PrintJobName(const PrintJobRequest& request);
// Which slots' covers page `pageNumber` carries, in drawing order.
std::vector<Slot> CoversOnPage(PrintMode printMode, int singlePage, int pageNumber);

class CPrintPlan {
public:
    // The images and formats must outlive the plan. The prompter (may be null)
    // shows the refusal and the printable-area message.
    CPrintPlan(const CoverFormatList& formats, const CRasterImage& leftImage, const CRasterImage& rightImage,
               IPrompter* prompter);

    // Prepare, before the print dialog or preview. Refuses the job (false,
    // after an error message naming the slot) when a slot the job prints
    // holds an image but no format of the list.
    bool Prepare(const PrintJobRequest& request, bool preview);
    // The text of the refusal, empty after a successful Prepare.
    const std::string& RefusalText() const { return refusal_; }
    const PrinterRequest& Printer() const { return printer_; }
    const PageRange& Range() const { return range_; }
    const std::string& JobName() const { return jobName_; }

    // "Read the controls": the view hands over its current state.
    void UpdateRequest(const PrintJobRequest& request) { request_ = request; }
    const PrintJobRequest& Request() const { return request_; }

    // Before the job starts, on the page it will print on: the covers that
    // will run into the printer's unprintable margin (at least 0.1 mm), as
    // Begin will place them.
    std::vector<CoverOverrun> MarginOverruns(const PageMetrics& page) const;
    // The same told once through the prompter (text 4020 per cover); the job
    // goes on. False when nothing needed telling.
    bool WarnOfMarginOverruns(const PageMetrics& page);

    // Begin, once per job: the page metrics and both placements.
    void Begin(const PageMetrics& page);
    // One page; the surface's origin is the printable area's corner.
    void RenderPage(CDrawContext& surface, int pageNumber, bool preview);
    // End: the printable-area message may be shown again in the next job.
    void End();

    const PageMetrics& Page() const { return page_; }
    // The placements of the slots the job prints (Begin); empty otherwise.
    const CoverPlacement& LeftPlacement() const { return leftPlacement_; }
    const CoverPlacement& RightPlacement() const { return rightPlacement_; }
    bool HasLeftPlacement() const { return hasLeft_; }
    bool HasRightPlacement() const { return hasRight_; }
    const PlacementJob& Placement() const { return placementJob_; }

private:
    bool SlotPrintable(int format, const CRasterImage& image) const;
    // Both placements of the request on `page`.
    void Place(const PageMetrics& page, PlacementJob& job, CoverPlacement& left, CoverPlacement& right) const;

    const CoverFormatList& formats_;
    const CRasterImage& leftImage_;
    const CRasterImage& rightImage_;
    IPrompter* prompter_;
    PrintJobRequest request_;
    PrinterRequest printer_;
    PageRange range_;
    std::string jobName_;
    std::string refusal_;
    PageMetrics page_;
    PlacementJob placementJob_;
    CoverPlacement leftPlacement_;
    CoverPlacement rightPlacement_;
    bool hasLeft_ = false;
    bool hasRight_ = false;
    // Pixels decoded for this job alone, where a slot's reduced picture
    // does not do for the page (PagePicture).
    CScaledPicture jobPictures_[2];
};

// Runs a prepared plan through a page sink: warn of covers that run into the
// margin (not for a preview), start the job under its name, begin with the
// sink's metrics, draw every page of the range, end. Returns
// the number of pages finished; a refused start or a stopped page aborts the
// job.
int RunPrintJob(CPrintPlan& plan, IPageSink& sink, bool preview);

// Refusal texts (fixed English texts).
inline constexpr const char* kChooseLeftFormatText = "Choose a cover format for the left image first.";
inline constexpr const char* kChooseRightFormatText = "Choose a cover format for the right image first.";
