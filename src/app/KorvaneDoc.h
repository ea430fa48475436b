#pragma once
// The one document: the two image slots and the format list, with every way
// an image enters, changes or leaves a slot. The per-run state lives in the
// view (IDocView::State()); the settings in the running values (AppSettings)
// and, for the last used folder, the settings store.
#include "app/FormatRecognition.h"
#include "app/ImageLoader.h"
#include "app/ViewState.h"
#include "formats/CoverFormatList.h"
#include "image/RasterImage.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class IDocView;
class IPrompter;
class CSettingsStore;
struct AppSettings;

class CKorvaneDoc {
public:
    CRasterImage leftImage;
    CRasterImage rightImage;
    CoverFormatList formats;

    // Defaults: the program-wide running values and settings store.
    CKorvaneDoc();
    CKorvaneDoc(AppSettings& settings, CSettingsStore& store);

    // The view that shows the slots and the prompter for recognition
    // questions; either may be null (nothing shown, questions answered No).
    void Attach(IDocView* view, IPrompter* prompter);
    // Language text by number (labels 2006 and 2010); defaults to the
    // program's language table.
    void SetTextSource(std::function<std::string(int)> textOf);

    CRasterImage& image(Slot s) { return s == Slot::Left ? leftImage : rightImage; }
    const CRasterImage& image(Slot s) const { return s == Slot::Left ? leftImage : rightImage; }
    bool IsLoaded(Slot s) const { return image(s).IsValid(); }

    // Decoding through `loader` (null: at once, on this thread); the loader
    // must outlive its loads or be detached first.
    void SetImageLoader(IImageLoader* loader) { loader_ = loader; }

    // Loads a file into a slot. A failed decode keeps the slot's name, label
    // and format. Loads the user asked for (rememberFolder: a dropped or
    // chosen file, and the back cover it brings) say in an error box why a
    // file was not loaded (a kind of file slots do not take, a picture that
    // cannot be read) and warn of a picture read only in part; loads of the
    // previous run's files at start-up stay silent, except for a picture
    // refused for its size. Loading the left slot
    // may load the matching back cover into the right slot. Returns true
    // when the file was loaded by the time the call returns (a loader may
    // finish later).
    bool LoadLeftImage(const std::string& path, bool rememberFolder);
    bool LoadRightImage(const std::string& path, bool rememberFolder);
    bool LoadImage(Slot slot, const std::string& path, bool rememberFolder);
    // Two files given together (dropped on the papers, named on the command
    // line): the left one first, the right one once the left is in, so that
    // the right slot ends with the file given for it rather than with the
    // back cover the left one may bring. An empty path loads nothing.
    void LoadBoth(const std::string& leftPath, const std::string& rightPath, bool rememberFolder);
    // A folder that is never remembered for the open dialog (where dropped
    // and downloaded pictures are kept).
    void SetUnrememberedFolder(const std::string& folder) { unrememberedFolder_ = folder; }

    // Pastes a device-independent bitmap block (as the clipboard hands it
    // over; null or empty = no bitmap on the clipboard, nothing happens).
    // The slot's path and file name are kept.
    bool PasteLeft(const std::uint8_t* block, std::size_t size);
    bool PasteRight(const std::uint8_t* block, std::size_t size);
    bool Paste(Slot slot, const std::uint8_t* block, std::size_t size);

    // A scanned picture (its resolution set) into a slot, recognised by its
    // size first; `label` goes under the paper and names the print job (there
    // is no file to reopen next time). An invalid picture changes nothing.
    bool TakeScannedPicture(Slot slot, CRasterImage picture, const std::string& label);

    // After a batch job: the left image holds the job's last picture, loaded
    // from `path` and printed with `format`; the slot's path, name, label,
    // format and papers are made to agree with it, so that what the window
    // shows is what Print Left prints. Nothing happens for an empty path.
    void TakeBatchPicture(const std::string& path, int format);

    // +90 clockwise, -90 counter-clockwise; format detection is not repeated.
    void RotateSlot(Slot slot, int angle);
    // Stretch, fit or fill for a slot's picture; a fill starts centred.
    void SetSlotFit(Slot slot, CoverFit fit);

    // "Swap Left and Right": the slots exchange their pictures, paths, file
    // names, labels and formats.
    void SwapSlots();
    // A picture dragged from one paper onto the other: the target slot takes
    // the source's picture, path, file name, label and format; a move then
    // empties the source slot, a copy leaves it as it was. Nothing happens
    // for an empty source or a slot onto itself.
    void TransferSlot(Slot from, Slot to, bool copy);

    // "New": both slots emptied, names and recent files forgotten.
    void ClearBoth();
    // The paper pop-up's "New" for one slot.
    void ClearSlot(Slot slot);

    // The back cover matching a front cover's path by the keyword pairs of
    // the running values, or none.
    std::optional<std::string> FindMatchingCover(const std::string& leftPath) const;

    // Puts "no image selected" under every paper whose slot has no file name.
    void SetSlotLabels();

    // The view's state, or the document's own when no view is attached.
    ViewState& State();

    // What the slot's picture was recognised by when it came in (nothing for
    // an empty slot); a format chosen in the list later leaves it as it was.
    const RecognitionFacts& Recognition(Slot s) const { return recognition_[s == Slot::Left ? 0 : 1]; }

private:
    bool LoadImageThen(Slot slot, const std::string& path, bool rememberFolder, std::function<void()> then);
    bool FinishLoad(Slot slot, const std::string& path, bool rememberFolder, LoadOutcome outcome,
                    CRasterImage& decoded);
    void ClearSlotState(Slot slot);
    // The slot's file name and label for a file loaded from `path`.
    void NameSlotAfter(Slot slot, const std::string& path);
    std::string Text(int number) const;
    std::string& RecentFile(Slot slot);
    void WaitCursor(bool wait);
    void WriteControls();
    void UpdatePapers(Slot slot);
    void Refresh();
    // Recognises the slot's new picture when the option is on, else takes
    // its size only; sets the slot's format from it.
    void Recognise(Slot slot);
    RecognitionFacts& RecognitionOf(Slot s) { return recognition_[s == Slot::Left ? 0 : 1]; }

    AppSettings* settings_;
    CSettingsStore* store_;
    IDocView* view_ = nullptr;
    IPrompter* prompter_ = nullptr;
    IImageLoader* loader_ = nullptr;
    std::function<std::string(int)> textOf_;
    ViewState ownState_;
    std::string unrememberedFolder_;
    RecognitionFacts recognition_[2];
};
