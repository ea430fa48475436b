#include "app/KorvaneDoc.h"

#include "app/DocView.h"
#include "app/FormatRecognition.h"
#include "settings/Prompter.h"
#include "app/SlotFiles.h"
#include "app/SlotLabel.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/SettingsStore.h"

#include <memory>
#include <utility>

CKorvaneDoc::CKorvaneDoc() : CKorvaneDoc(RunningValues(), Settings()) {}

CKorvaneDoc::CKorvaneDoc(AppSettings& settings, CSettingsStore& store) : settings_(&settings), store_(&store) {}

void CKorvaneDoc::Attach(IDocView* view, IPrompter* prompter) {
    view_ = view;
    prompter_ = prompter;
}

void CKorvaneDoc::SetTextSource(std::function<std::string(int)> textOf) { textOf_ = std::move(textOf); }

std::string CKorvaneDoc::Text(int number) const { return textOf_ ? textOf_(number) : Language().GetText(number); }

ViewState& CKorvaneDoc::State() { return view_ ? view_->State() : ownState_; }

std::string& CKorvaneDoc::RecentFile(Slot slot) {
    return slot == Slot::Left ? settings_->recentFileLeft : settings_->recentFileRight;
}

void CKorvaneDoc::WaitCursor(bool wait) {
    if (view_)
        view_->SetWaitCursor(wait);
}

void CKorvaneDoc::WriteControls() {
    if (view_)
        view_->WriteControls();
}

void CKorvaneDoc::UpdatePapers(Slot slot) {
    if (view_)
        view_->UpdatePapers(slot);
}

void CKorvaneDoc::Refresh() {
    if (view_)
        view_->Refresh();
}

void CKorvaneDoc::Recognise(Slot slot) {
    if (settings_->autoDetectFormat) {
        RecognitionOf(slot) = RecogniseFormat(image(slot), formats, settings_->autoRotate, prompter_);
        State().format(slot) = RecognitionOf(slot).format;
    } else {
        RecognitionOf(slot) = PictureFacts(image(slot));
    }
}

bool CKorvaneDoc::LoadLeftImage(const std::string& path, bool rememberFolder) {
    return LoadImage(Slot::Left, path, rememberFolder);
}

bool CKorvaneDoc::LoadRightImage(const std::string& path, bool rememberFolder) {
    return LoadImage(Slot::Right, path, rememberFolder);
}

bool CKorvaneDoc::LoadImage(Slot slot, const std::string& path, bool rememberFolder) {
    return LoadImageThen(slot, path, rememberFolder, {});
}

void CKorvaneDoc::LoadBoth(const std::string& leftPath, const std::string& rightPath, bool rememberFolder) {
    if (leftPath.empty()) {
        if (!rightPath.empty())
            LoadImage(Slot::Right, rightPath, rememberFolder);
        return;
    }
    std::function<void()> then;
    if (!rightPath.empty())
        then = [this, rightPath, rememberFolder] { LoadImage(Slot::Right, rightPath, rememberFolder); };
    LoadImageThen(Slot::Left, leftPath, rememberFolder, std::move(then));
}

bool CKorvaneDoc::LoadImageThen(Slot slot, const std::string& path, bool rememberFolder, std::function<void()> then) {
    const bool left = slot == Slot::Left;
    if (left)
        WaitCursor(true);
    // A name that says no kind leaves it to the file's content.
    int type = FileTypeFromExtension(path);
    if (type < 0)
        type = IMAGE_UNKNOWN;
    auto loaded = std::make_shared<bool>(false);
    IImageLoader::Done done = [this, slot, path, rememberFolder, loaded, then](LoadOutcome outcome,
                                                                                CRasterImage& decoded) {
        *loaded = FinishLoad(slot, path, rememberFolder, outcome, decoded);
        // A load replaced by a newer one for the same slot takes its
        // follower with it.
        if (then && outcome != LoadOutcome::Cancelled)
            then();
    };
    if (loader_) {
        loader_->Start(slot, path, type, std::move(done));
    } else {
        CRasterImage decoded;
        const bool ok = decoded.Load(path, type);
        done(ok ? LoadOutcome::Loaded : LoadOutcome::Failed, decoded);
    }
    return *loaded;
}

bool CKorvaneDoc::FinishLoad(Slot slot, const std::string& path, bool rememberFolder, LoadOutcome outcome,
                             CRasterImage& decoded) {
    const bool left = slot == Slot::Left;
    const bool loaded = outcome == LoadOutcome::Loaded;
    if (loaded) {
        const std::string warning = decoded.GetDecodeWarning();
        image(slot) = std::move(decoded);
        State().CentreCrop(slot);
        RecentFile(slot) = path;
        RememberRecentPicture(*settings_, path);
        if (rememberFolder && LastSeparator(path) != std::string::npos &&
            (unrememberedFolder_.empty() || FolderOf(path) != unrememberedFolder_))
            WriteLastUsedFolder(FolderOf(path), *store_);
        NameSlotAfter(slot, path);
        Recognise(slot);
        WriteControls();
        UpdatePapers(slot);
        // A picture read only in part is kept, with a word about it.
        if (!warning.empty() && rememberFolder && prompter_) {
            Refresh();
            prompter_->Warning(FillTextPlaceholders(Text(kTextPicturePartlyRead), {path, warning}));
        }
        if (left && settings_->autoLoad2ndImage) {
            if (std::optional<std::string> back = FindMatchingCover(path))
                LoadRightImage(*back, rememberFolder);
        }
    } else if (outcome == LoadOutcome::Failed) {
        // The slot keeps its picture; the reason stays with it.
        image(slot).SetLastError(decoded.GetLastError());
        // A file the user chose is worth a word, or they wait for nothing;
        // so is a picture too large to load, whoever asked for it.
        // Content that no decoder knows is a kind the program cannot load.
        if (prompter_ && rememberFolder && decoded.GetLastError() == kUnknownFormatText)
            prompter_->Error(FillTextPlaceholders(Text(kTextPictureKindUnknown), {path}));
        else if (prompter_ && (rememberFolder || IsPictureTooLargeText(decoded.GetLastError())))
            prompter_->Error(FillTextPlaceholders(Text(kTextPictureNotLoaded), {path, decoded.GetLastError()}));
    }
    if (outcome != LoadOutcome::Cancelled)
        Refresh();
    if (left)
        WaitCursor(false);
    return loaded;
}

void CKorvaneDoc::NameSlotAfter(Slot slot, const std::string& path) {
    ViewState& state = State();
    state.name(slot) = FileNameOf(path);
    state.label(slot) = view_ ? FitLabel(state.name(slot), view_->LabelWidth(slot),
                                         [this](const std::string& t) { return view_->TextWidth(t); })
                              : state.name(slot);
}

void CKorvaneDoc::TakeBatchPicture(const std::string& path, int format) {
    if (path.empty() || !leftImage.IsValid())
        return;
    RecentFile(Slot::Left) = path;
    RecognitionOf(Slot::Left) = PictureFacts(leftImage);
    NameSlotAfter(Slot::Left, path);
    State().leftFormat = format;
    WriteControls();
    UpdatePapers(Slot::Left);
    Refresh();
}

bool CKorvaneDoc::PasteLeft(const std::uint8_t* block, std::size_t size) { return Paste(Slot::Left, block, size); }

bool CKorvaneDoc::PasteRight(const std::uint8_t* block, std::size_t size) { return Paste(Slot::Right, block, size); }

bool CKorvaneDoc::Paste(Slot slot, const std::uint8_t* block, std::size_t size) {
    if (!block || size == 0)
        return false;  // no bitmap on the clipboard
    WaitCursor(true);
    // Decoded aside first, so that a bitmap that cannot be read leaves the
    // slot's picture as it was.
    CRasterImage pasted;
    const bool ok = pasted.CreateFromClipboard(block, size);
    if (ok) {
        image(slot) = std::move(pasted);
        ViewState& state = State();
        state.CentreCrop(slot);
        Recognise(slot);
        WriteControls();
        UpdatePapers(slot);
        state.label(slot) = Text(kTextImageFromClipboard);
        WriteControls();
        Refresh();
    }
    WaitCursor(false);
    return ok;
}

bool CKorvaneDoc::TakeScannedPicture(Slot slot, CRasterImage picture, const std::string& label) {
    if (!picture.IsValid())
        return false;
    image(slot) = std::move(picture);
    ViewState& state = State();
    state.name(slot) = label;  // names the print job
    RecentFile(slot).clear();
    if (settings_->autoDetectFormat)
        state.format(slot) = DetectScannedFormat(image(slot), formats, settings_->autoRotate, prompter_);
    WriteControls();
    UpdatePapers(slot);
    state.label(slot) = label;
    WriteControls();
    Refresh();
    return true;
}

void CKorvaneDoc::RotateSlot(Slot slot, int angle) {
    if (image(slot).IsValid())
        image(slot).Rotate(angle);
    State().CentreCrop(slot);
    Refresh();
}

void CKorvaneDoc::SetSlotFit(Slot slot, CoverFit fit) {
    ViewState& state = State();
    if (state.fill(slot).fit != fit)
        state.fill(slot) = PictureFill{fit};
    UpdatePapers(slot);
    Refresh();
}

void CKorvaneDoc::SwapSlots() {
    std::swap(leftImage, rightImage);
    std::swap(settings_->recentFileLeft, settings_->recentFileRight);
    std::swap(recognition_[0], recognition_[1]);
    ViewState& state = State();
    std::swap(state.leftFormat, state.rightFormat);
    std::swap(state.leftName, state.rightName);
    std::swap(state.leftLabel, state.rightLabel);
    WriteControls();
    UpdatePapers(Slot::Left);
    UpdatePapers(Slot::Right);
    Refresh();
}

void CKorvaneDoc::TransferSlot(Slot from, Slot to, bool copy) {
    if (from == to || !IsLoaded(from))
        return;
    image(to) = copy ? CRasterImage(image(from)) : std::move(image(from));
    RecentFile(to) = RecentFile(from);
    RecognitionOf(to) = RecognitionOf(from);
    ViewState& state = State();
    state.format(to) = state.format(from);
    state.name(to) = state.name(from);
    state.label(to) = state.label(from);
    UpdatePapers(to);
    if (!copy) {
        ClearSlotState(from);
        SetSlotLabels();
    }
    WriteControls();
    Refresh();
}

void CKorvaneDoc::ClearSlotState(Slot slot) {
    image(slot).Clear();
    RecognitionOf(slot) = RecognitionFacts{};
    UpdatePapers(slot);
    State().name(slot).clear();
    RecentFile(slot).clear();
}

void CKorvaneDoc::ClearBoth() {
    ClearSlotState(Slot::Left);
    ClearSlotState(Slot::Right);
    SetSlotLabels();
    Refresh();
}

void CKorvaneDoc::ClearSlot(Slot slot) {
    ClearSlotState(slot);
    SetSlotLabels();
    Refresh();
}

std::optional<std::string> CKorvaneDoc::FindMatchingCover(const std::string& leftPath) const {
    return ::FindMatchingCover(leftPath, settings_->leftKeywords, settings_->rightKeywords);
}

void CKorvaneDoc::SetSlotLabels() {
    ViewState& state = State();
    for (Slot slot : {Slot::Left, Slot::Right}) {
        if (state.name(slot).empty())
            state.label(slot) = Text(kTextNoImageSelected);
    }
    WriteControls();
}
