// CTheView's commands: the command table's rules read over the view's state,
// a chosen command run by its row, and the window's side of the commands
// handed to the classes and functions that do each.
#include "app/ui/TheView.h"

#include "app/CommandIds.h"
#include "app/KorvaneDoc.h"
#include "app/ui/CoverSourceCommands.h"
#include "app/ui/FormatCommands.h"
#include "app/ui/MainMenu.h"
#include "app/ui/ProgramDialogs.h"
#include "app/ui/RecentPicturesMenu.h"
#include "app/ui/SlotIntake.h"
#include "image/ui/ExtendedFileDialog.h"
#include "print/ui/PaperWidget.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace {

constexpr int kTimer2Ms = 25;

}  // namespace

// --- commands ------------------------------------------------------------------------

CommandState CTheView::CommandStateNow(Slot paperSlot) const
{
    CommandState st;
    st.leftLoaded = doc_.IsLoaded(Slot::Left);
    st.rightLoaded = doc_.IsLoaded(Slot::Right);
    st.canPrint = static_cast<bool>(hooks_.runPrintJob);
    st.canSetUpPrinter = static_cast<bool>(hooks_.printSetup);
    st.singlePage = state_.singlePage != 0;
    st.skinFolders = static_cast<int>(skin_->Settings().folders.size());
    st.paperSlot = paperSlot;
    st.languageAvailable = [](int language) { return Language().IsLanguageAvailable(language); };
    st.recentPictureUsable = [](int index) { return RecentPictureUsable(index); };
    return st;
}

bool CTheView::IsCommandEnabled(int id) const
{
    return ::IsCommandEnabled(id, CommandStateNow());
}

void CTheView::UpdateCommandStates()
{
    if (!menu_)
        return;
    const CommandState st = CommandStateNow();
    for (const CommandRow& row : CommandTable()) {
        if (QAction* a = menu_->Action(row.id))
            a->setEnabled(row.enabled(st, row.arg));
    }
    const int current = Language().GetCurrentLanguage();
    for (int i = 0; i < kLanguageCount; ++i) {
        if (QAction* a = menu_->Action(Languages()[i].menuCommand))
            a->setChecked(i == current);
    }
    skin_->UpdateMenu(*menu_);
    ShowRecentPictures(*menu_);
    // Rotate's sub-menu opens only when one of its items can run.
    if (QAction* rotateLeft = menu_->Action(Cmd::RotateLeft)) {
        if (auto* rotate = qobject_cast<QMenu*>(rotateLeft->parent()))
            rotate->menuAction()->setEnabled(::IsCommandEnabled(Cmd::RotateLeft, st) ||
                                             ::IsCommandEnabled(Cmd::RotateRight, st));
    }
}

void CTheView::OnCommand(int id)
{
    Slot paperSlot = Slot::Left;
    if (IsPaperCommand(id)) {
        // The paper whose menu was used has set its flag; asking clears it.
        paperSlot = paper_[0]->TakeMenuFlag() ? Slot::Left : Slot::Right;
        paper_[1]->TakeMenuFlag();
    }
    CommandTarget target{doc_, state_, *this, paperSlot};
    RunCommand(id, target, CommandStateNow(paperSlot));
}

// --- the window's side of the commands ---------------------------------------------

void CTheView::OpenImage(Slot slot)
{
    if (slot == Slot::Left)
        OpenLeftImage();
    else
        OpenRightImage();
}

void CTheView::LoadFromPaper(Slot slot)
{
    if (slot == Slot::Left)
        OnLeftPaperClicked();
    else
        OpenRightImage();
}

void CTheView::Exit()
{
    window()->close();
}

std::vector<std::string> CTheView::ChooseImages(bool allowMultiple)
{
    CExtendedFileDialog dialog(allowMultiple, this);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.Paths();
}

void CTheView::OnLeftPaperClicked()
{
    const std::vector<std::string> files = ChooseImages(RunningValues().batchMode != 0);
    if (files.size() == 1) {
        doc_.LoadLeftImage(files.front(), true);
    } else if (files.size() > 1) {
        state_.batchFiles = files;
        if (hooks_.runBatchPrint)
            hooks_.runBatchPrint(state_.batchFiles);
    }
}

void CTheView::OpenLeftImage()
{
    const std::vector<std::string> files = ChooseImages(false);
    if (files.empty())
        return;
    // Loaded a moment later, once the dialog is gone from the screen.
    state_.pendingLeftPath = files.front();
    update();
    QTimer::singleShot(kTimer2Ms, this, &CTheView::OnTimer2);
}

void CTheView::OpenRightImage()
{
    const std::vector<std::string> files = ChooseImages(false);
    if (!files.empty())
        doc_.LoadRightImage(files.front(), true);
}

void CTheView::PasteInto(Slot slot)
{
    intake_->Paste(slot);
}

void CTheView::Print(bool preview)
{
    if (hooks_.runPrintJob)
        hooks_.runPrintJob(state_.printMode, preview);
}

void CTheView::PrintSetup()
{
    if (hooks_.printSetup)
        hooks_.printSetup();
}

void CTheView::SetPrintHooks(PrintHooks hooks)
{
    hooks_ = std::move(hooks);
    if (printLeft_)
        Refresh();
}

void CTheView::ShowOptions()
{
    // Random keeps the skin it drew.
    if (RunOptionsDialog(this))
        skin_->Apply(skin_->Settings().selectedSkin, true);
}

void CTheView::ChooseSkin(int skin)
{
    skin_->Apply(skin);
}

void CTheView::OpenLink(int id)
{
    links_.Open(id);
}

void CTheView::ShowAbout()
{
    ShowAboutBox(this);
}

void CTheView::EditFormats()
{
    const CRasterImage* left = doc_.leftImage.IsValid() ? &doc_.leftImage : nullptr;
    if (!RunFormatEditor(doc_.formats, left, state_, this))
        return;
    FillCombos();
    Refresh();
}

void CTheView::EditFormatsFile()
{
    OpenFormatsFileInTextEditor(doc_.formats, this);
}

void CTheView::RunCalibration()
{
    RunPrinterCalibration(doc_.formats, prompter_, this);
}

void CTheView::FindCoverOnline(Slot)
{
    // The search starts from the left slot's file, the front cover.
    OpenCoverSearch(doc_, state_.leftName, this);
}

void CTheView::ScanCover(Slot slot)
{
    OpenCoverScan(doc_, slot, this);
}

void CTheView::OpenRecentFile(int index)
{
    // A copy: the load puts the picture at the top of the list.
    if (const std::optional<std::string> path = RecentPicture(index))
        doc_.LoadLeftImage(*path, true);
}

void CTheView::OnBatchFile(const QString& path, int position)
{
    if (position == 0)
        state_.batchFiles.clear();
    state_.batchFiles.push_back(path.toStdString());
    if (position == 2 && hooks_.runBatchPrint)
        hooks_.runBatchPrint(state_.batchFiles);
}

