#pragma once
// The paper preview: a sheet drawn in the paper's proportions with the
// cover(s) scaled from millimetres, their cut marks, labels with their hole,
// the special drawings, the empty disc tray, a placeholder and a skin
// overlay. The paper widget keeps these inputs and paints what this draws.
#include "base/CoverSlot.h"
#include "formats/CoverFormatList.h"
#include "image/DrawContext.h"
#include "image/RasterImage.h"
#include "image/RasterSurface.h"
#include "image/ScaledPicture.h"
#include "print/PictureBox.h"

struct PaperView {
    const CoverFormatList* formats = nullptr;
    const CRasterImage* firstImage = nullptr;   // this paper's image, or null
    const CRasterImage* secondImage = nullptr;  // the other slot's (single page)
    SlotFormat firstFormat;                     // none: the paper shows no format
    SlotFormat secondFormat;
    bool singlePage = false;
    bool drawCutLines = false;
    bool drawBorder = false;
    bool leftSide = true;                       // this is the left paper
    double paperWidth = 210.0;                  // millimetres
    double paperHeight = 297.0;
    bool trayMode = false;                      // first format's type is "CD_TRAY"
    Rgb backgroundColor{60, 60, 60};            // around the paper
    Rgb paperColor{255, 255, 255};
    // A skin decoration drawn unscaled over everything; its top-left pixel's
    // palette index becomes its transparent index (the picture is changed).
    CRasterImage* overlay = nullptr;
    int overlayX = 0;
    int overlayY = 0;
    const CRasterImage* placeholder = nullptr;  // shown when there is no image
    PictureFill firstFill;                      // how each image fills its cover
    PictureFill secondFill;
    double bleedMm = 0.0;                       // the picture beyond the cut lines
    // Device pixels per pixel of the skin's pictures (overlay, placeholder):
    // a paper drawn for a HiDPI screen shows them at their usual size.
    double pictureScale = 1.0;
};

// Pens and fills of the preview.
inline constexpr Rgb kPaperDottedColor{128, 128, 128};
inline constexpr Rgb kPaperEmptyTrayColor{235, 235, 235};

// The paper rectangle within a client of width x height (narrower in tray mode).
SurfaceRect PaperRect(const PaperView& paper, int clientWidth, int clientHeight);

// Draws the whole client (the surface's full size).
void DrawPaper(CDrawContext& surface, const PaperView& paper);
// Where DrawPaper shows the placeholder picture in such a client; empty
// when it shows none (an image loaded, no format, tray mode, no picture).
SurfaceRect PlaceholderRect(const PaperView& paper, int clientWidth, int clientHeight);
// The same into a new raster surface of the client's size.
CRasterSurface RenderPaper(const PaperView& paper, int clientWidth, int clientHeight);

// One cover drawn into the paper rectangle (steps shared by both covers).
void DrawPaperCover(CDrawContext& surface, const PaperView& paper, const SurfaceRect& paperRect,
                    const CRasterImage* image, SlotFormat cover, const PictureFill& fill = {});

// Where the paper shows the first image's cover and its picture, in client
// pixels (the zoom view drags a fill's crop over it); empty boxes when the
// paper shows no picture for it.
struct PaperCoverBoxes {
    SurfaceRect cover;
    PictureBox picture;
};
PaperCoverBoxes FirstCoverBoxes(const PaperView& paper, int clientWidth, int clientHeight);

// The view with each slot's picture at the pixels a client of that size
// shows it at: a slot's reduced picture where it is fine enough, else its
// JPEG data decoded into `decodes` (one for each of the two pictures) at
// the scale that covers its box.
PaperView WithPicturesForSize(const PaperView& paper, int clientWidth, int clientHeight, CScaledPicture (&decodes)[2]);
