#pragma once
// Placing a slot's cover on the printer's sheet at its true size.
#include "base/CoverSlot.h"
#include "formats/CoverFormatList.h"
#include "print/CoverPlacement.h"
#include "print/PageMetrics.h"

class IPrompter;

// What the placements of one job share.
struct PlacementJob {
    int singlePage = 0;             // both covers on one page
    int checkForPrintableArea = 1;  // pull covers into the printable area
    int printableWarned = 0;        // text 4004 was shown in this job
    IPrompter* prompter = nullptr;  // shows text 4004; null: no message
};

// The format whose geometry a slot's cover takes: a "PLAYSTATION" format is
// printed with the size and position of the list's second format (itself
// when the list has only one). -1 when f is not an index of the list.
int GeometryFormatIndex(const CoverFormatList& formats, int f);

// The placement of a slot's cover in its format (the right slot's takes the
// format's second position), corrected
// into the printable area when the job asks for it. An index outside the
// list gives an empty placement (nothing is printed for it).
CoverPlacement ComputePlacement(const PageMetrics& page, const CoverFormatList& formats, SlotFormat cover,
                                PlacementJob& job);

// Moves the placement into the printable area (centred over it when larger);
// returns true when anything moved.
bool MoveIntoPrintableArea(CoverPlacement& placement, const PageMetrics& page);
// MoveIntoPrintableArea, and text 4004 the first time in the job.
CoverPlacement ClampToPrintableArea(const CoverPlacement& placement, const PageMetrics& page, PlacementJob& job);
