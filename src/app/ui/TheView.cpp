#include "app/ui/TheView.h"

#include "app/KorvaneDoc.h"
#include "controls/ui/ClickableLabel.h"
#include "app/CommandIds.h"
#include "app/ui/MainMenu.h"
#include "app/ui/SlotIntake.h"
#include "app/ui/SlotDrag.h"
#include "image/ui/ExtendedFileDialog.h"
#include "print/ui/PaperWidget.h"
#include "print/ui/PaperZoomView.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ProgramFolder.h"
#include "settings/ui/QtMenuText.h"
#include "settings/ui/QtTranslations.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kTimer1Ms = 50;
constexpr int kTimer2Ms = 25;

int SlotIndex(Slot s)
{
    return s == Slot::Left ? 0 : 1;
}


}  // namespace

CTheView::CTheView(CKorvaneDoc& doc, QWidget* parent)
    : QWidget(parent), doc_(doc), prompter_(this), layout_(CFormLayout::TemplateFont())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    BuildControls();
    intake_ = new CSlotIntake(doc_, prompter_, paper_, this);
    InstallPrintHooks(*this);
    doc_.Attach(this, &prompter_);
}

CTheView::~CTheView()
{
    // The main window is closing: the controls are read once more and the
    // view's settings go to the settings text.
    ReadCheckBoxes();
    AppSettings& s = RunningValues();
    s.drawCutAndFoldLines = state_.drawCutLines;
    s.lastUsedLeftFormat = state_.leftFormat;
    s.lastUsedRightFormat = state_.rightFormat;
    s.selectedSkin = skin_.selectedSkin;
    WriteViewCloseSettings(s);
    while (waitDepth_ > 0)
        SetWaitCursor(false);
    doc_.Attach(nullptr, nullptr);
}

// --- building ----------------------------------------------------------------------

void CTheView::BuildControls()
{
    setFont(layout_.Font());
    const bool sides[2] = {true, false};
    for (int i = 0; i < 2; ++i) {
        const Slot slot = i == 0 ? Slot::Left : Slot::Right;
        auto* combo = new QComboBox(this);
        combo->setFont(layout_.Font());
        const QRect r = i == 0 ? layout_.Map(9, 7, 121, 179) : layout_.Map(272, 7, 121, 180);
        // The template's height is that of the dropped-down list.
        const int editHeight = combo->sizeHint().height();
        combo->setGeometry(r.x(), r.y(), r.width(), editHeight);
        const int itemHeight = std::max(1, QFontMetrics(layout_.Font()).height() + 2);
        combo->setMaxVisibleItems(std::max(1, (r.height() - editHeight) / itemHeight));
        combo_[i] = combo;
        connect(combo, &QComboBox::activated, this, [this, slot] { OnComboChosen(slot); });

        auto* paper = new CPaper(this);
        layout_.Place(paper, i == 0 ? 9 : 272, 28, 121, 162);
        paper->setText(i == 0 ? QStringLiteral("Left Paper") : QStringLiteral("Right Paper"));
        paper->SetLeftSide(sides[i]);
        paper->SetFormats(&doc_.formats);
        paper->SetBatchModeSource([] { return RunningValues().batchMode != 0; });
        paper->SetTextSource([](int n) { return Language().GetText(n); },
                             [] { return Language().GetCurrentLanguage() != 0; });
        paper_[i] = paper;
        if (i == 0)
            connect(paper, &QAbstractButton::clicked, this, &CTheView::OnLeftPaperClicked);
        else
            connect(paper, &QAbstractButton::clicked, this, &CTheView::OpenRightImage);
        connect(paper, &CPaper::MenuCommand, this, &CTheView::OnCommand);
        paper->SetCommandEnabledSource(
            [this, slot](int id) { return ::IsCommandEnabled(id, CommandStateNow(slot)); });
        connect(paper, &CPaper::FileDropped, this,
                [this, slot](const QString& path) { doc_.LoadImage(slot, path.toStdString(), true); });
        connect(paper, &CPaper::BatchFileDropped, this, &CTheView::OnBatchFile);
        connect(paper, &CPaper::ZoomRequested, this, [this, slot] { ShowZoom(slot); });

        auto* label = new QLabel(QStringLiteral("no image selected"), this);
        layout_.Place(label, i == 0 ? 8 : 270, 194, 125, 8);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label_[i] = label;
    }

    // A picture dragged from one paper onto the other moves there (Ctrl: copies).
    slotDrag_ = new CSlotDrag(this);
    for (Slot slot : {Slot::Left, Slot::Right})
        slotDrag_->AddPaper(paper_[SlotIndex(slot)], slot, [this, slot] { return doc_.IsLoaded(slot); });
    connect(slotDrag_, &CSlotDrag::Dropped, this,
            [this](Slot from, Slot to, bool copy) { doc_.TransferSlot(from, to, copy); });

    printLeft_ = new QPushButton(QStringLiteral("Print Left"), this);
    layout_.Place(printLeft_, 40, 208, 60, 14);
    printBoth_ = new QPushButton(QStringLiteral("Print Both"), this);
    layout_.Place(printBoth_, 170, 208, 60, 14);
    printRight_ = new QPushButton(QStringLiteral("Print Right"), this);
    layout_.Place(printRight_, 302, 208, 60, 14);
    for (QPushButton* b : {printLeft_, printBoth_, printRight_})
        b->setAutoDefault(false);
    connect(printLeft_, &QPushButton::clicked, this, [this] { OnCommand(Cmd::PrintLeft); });
    connect(printRight_, &QPushButton::clicked, this, [this] { OnCommand(Cmd::PrintRight); });
    connect(printBoth_, &QPushButton::clicked, this, [this] { OnCommand(Cmd::PrintBoth); });

    singlePage_ = new QCheckBox(this);
    layout_.Place(singlePage_, 152, 7, 9, 10);
    cutLines_ = new QCheckBox(this);
    layout_.Place(cutLines_, 152, 19, 9, 10);
    singlePageLabel_ = new CClickableLabel(QStringLiteral("Print on a Single Page"), this);
    layout_.Place(singlePageLabel_, 164, 8, 96, 8);
    cutLinesLabel_ = new CClickableLabel(QStringLiteral("Draw Cut / Fold lines"), this);
    layout_.Place(cutLinesLabel_, 164, 20, 96, 8);
    for (QCheckBox* box : {singlePage_, cutLines_})
        connect(box, &QCheckBox::clicked, this, [this] { ReadCheckBoxes(); Refresh(); });
    connect(singlePageLabel_, &CClickableLabel::clicked, this, [this] {
        state_.singlePage = state_.singlePage ? 0 : 1;
        WriteControls();
        Refresh();
    });
    connect(cutLinesLabel_, &CClickableLabel::clicked, this, [this] {
        state_.drawCutLines = state_.drawCutLines ? 0 : 1;
        WriteControls();
        Refresh();
    });

    controls_.Add(Ctl::LeftCombo, combo_[0]);
    controls_.Add(Ctl::RightCombo, combo_[1]);
    controls_.Add(Ctl::LeftPaper, paper_[0]);
    controls_.Add(Ctl::RightPaper, paper_[1]);
    controls_.Add(Ctl::LeftLabel, label_[0]);
    controls_.Add(Ctl::RightLabel, label_[1]);
    controls_.Add(Ctl::PrintLeft, printLeft_);
    controls_.Add(Ctl::PrintBoth, printBoth_);
    controls_.Add(Ctl::PrintRight, printRight_);
    controls_.Add(Ctl::SinglePage, singlePage_);
    controls_.Add(Ctl::CutLines, cutLines_);
    controls_.Add(Ctl::SinglePageLabel, singlePageLabel_);
    controls_.Add(Ctl::CutLinesLabel, cutLinesLabel_);
}

QSize CTheView::ClientSize() const
{
    const QSize form = layout_.MapSize(kTemplateWidth, kTemplateHeight);
    return QSize(std::max(form.width(), kMinClientWidth), std::max(form.height(), kMinClientHeight));
}

void CTheView::SetMenu(CMainMenu* menu)
{
    menu_ = menu;
    menuText_ = menu ? std::make_unique<CQtMenuText>(menu->Bar()) : nullptr;
    if (menu) {
        connect(menu, &CMainMenu::CommandChosen, this, &CTheView::OnCommand);
        connect(menu, &CMainMenu::MenuAboutToShow, this, &CTheView::UpdateCommandStates);
    }
}

void CTheView::InitialUpdate()
{
    setFixedSize(ClientSize());

    // The formats file beside the program.
    CQtFormatsReporter reporter(this);
    doc_.formats.load(JoinPath(ProgramFolder(), "Korvane.dat"), reporter);

    AppSettings& s = RunningValues();
    ReadViewStartSettings(s);
    state_.drawCutLines = s.drawCutAndFoldLines;
    state_.leftFormat = s.lastUsedLeftFormat;
    state_.rightFormat = s.lastUsedRightFormat;
    state_.singlePage = 0;
    state_.leftFill = state_.rightFill = PictureFill{static_cast<CoverFit>(std::clamp(s.pictureFit, 0, 2))};
    const int count = doc_.formats.count();
    if (state_.leftFormat < 0 || state_.leftFormat >= count)
        state_.leftFormat = -1;
    if (state_.rightFormat < 0 || state_.rightFormat >= count)
        state_.rightFormat = -1;

    paper_[0]->SetLeftSide(true);
    paper_[0]->SetSinglePage(state_.singlePage != 0);
    paper_[1]->SetLeftSide(false);

    if (menuText_)
        Language().BuildEnglishTable(*menuText_);
    // The probe may have found the start's language gone.
    InstallQtTranslations(Language().GetCurrentLanguage());

    FillCombos();
    Refresh();

    QTimer::singleShot(kTimer1Ms, this, &CTheView::OnTimer1);

    InitSkins();

    doc_.SetSlotLabels();
    SetCaption();
}

// --- the document's view ----------------------------------------------------------

void CTheView::WriteControls()
{
    for (int i = 0; i < 2; ++i) {
        const int format = i == 0 ? state_.leftFormat : state_.rightFormat;
        combo_[i]->setCurrentIndex(format < combo_[i]->count() ? format : -1);
        label_[i]->setText(QString::fromStdString(i == 0 ? state_.leftLabel : state_.rightLabel));
    }
    singlePage_->setChecked(state_.singlePage != 0);
    cutLines_->setChecked(state_.drawCutLines != 0);
}

void CTheView::UpdatePapers(Slot slot)
{
    lastChanged_ = slot;
    const CRasterImage& image = doc_.image(slot);
    const CRasterImage* shown = image.IsValid() ? &image : nullptr;
    if (slot == Slot::Left) {
        paper_[0]->SetImage(shown);
        paper_[0]->SetFormat(LeftFormat(state_.leftFormat));
    } else {
        paper_[0]->SetSecondImage(shown);
        paper_[1]->SetImage(shown);
        paper_[1]->SetFormat(RightFormat(state_.rightFormat));
    }
}

void CTheView::ShowPapersData()
{
    const CoverFormatList& formats = doc_.formats;
    for (int i = 0; i < 2; ++i) {
        CPaper* paper = paper_[i];
        const int format = i == 0 ? state_.leftFormat : state_.rightFormat;
        paper->SetSinglePage(state_.singlePage != 0);
        paper->SetDrawCutLines(state_.drawCutLines != 0);
        if (format < 0 || format >= formats.count()) {
            // A slot without a format shows the bare sheet.
            paper->SetFormat(kNoSlotFormat);
            continue;
        }
        const CoverFormat& f = formats.at(format);
        paper->SetFormat(FormatOf(i == 1 ? Slot::Right : Slot::Left, format));
        paper->SetPaperSize(f.paperWidth, f.paperHeight);
        paper->SetTrayMode(f.type == "CD_TRAY");
        paper->SetSecondFormat(RightFormat(state_.rightFormat));
    }
    paper_[0]->SetFill(state_.leftFill);
    paper_[0]->SetSecondFill(state_.rightFill);
    paper_[1]->SetFill(state_.rightFill);
    for (CPaper* paper : paper_)
        paper->SetBleed(RunningValues().bleedMm);
    const CRasterImage* left = doc_.leftImage.IsValid() ? &doc_.leftImage : nullptr;
    const CRasterImage* right = doc_.rightImage.IsValid() ? &doc_.rightImage : nullptr;
    paper_[0]->SetImage(left);
    paper_[0]->SetSecondImage(right);
    paper_[1]->SetImage(right);
}

void CTheView::Refresh()
{
    WriteControls();
    ShowPapersData();
    paper_[1]->setVisible(state_.singlePage == 0);
    printLeft_->setEnabled(IsCommandEnabled(Cmd::PrintLeft));
    printBoth_->setEnabled(IsCommandEnabled(Cmd::PrintBoth));
    printRight_->setEnabled(IsCommandEnabled(Cmd::PrintRight));
    // Shortcuts follow the same rules as the opened menu.
    UpdateCommandStates();
    ShowReasons();
    update();
}

void CTheView::SetWaitCursor(bool wait)
{
    if (wait) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        ++waitDepth_;
    } else if (waitDepth_ > 0) {
        QGuiApplication::restoreOverrideCursor();
        --waitDepth_;
    }
}

int CTheView::LabelWidth(Slot slot) const
{
    return label_[SlotIndex(slot)]->width();
}

int CTheView::TextWidth(const std::string& text) const
{
    return QFontMetrics(font()).horizontalAdvance(QString::fromStdString(text));
}

// --- commands ------------------------------------------------------------------------

CommandState CTheView::CommandStateNow(Slot paperSlot) const
{
    CommandState st;
    st.leftLoaded = doc_.IsLoaded(Slot::Left);
    st.rightLoaded = doc_.IsLoaded(Slot::Right);
    st.canPrint = static_cast<bool>(hooks_.runPrintJob);
    st.canSetUpPrinter = static_cast<bool>(hooks_.printSetup);
    st.singlePage = state_.singlePage != 0;
    st.skinFolders = static_cast<int>(skin_.folders.size());
    st.paperSlot = paperSlot;
    st.languageAvailable = [](int language) { return Language().IsLanguageAvailable(language); };
    st.recentPictureUsable = [this](int index) { return RecentPictureUsable(index); };
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
    UpdateSkinMenu();
    UpdateRecentMenu();
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

CPaperZoomView* CTheView::ZoomView(Slot slot) const { return zoom_[SlotIndex(slot)].data(); }

void CTheView::ShowZoom(Slot slot)
{
    const int i = SlotIndex(slot);
    if (!zoom_[i]) {
        zoom_[i] = new CPaperZoomView(paper_[i], [](int n) { return Language().GetText(n); }, this);
        // Dragging a filled picture in the zoom view moves the slot's crop.
        connect(zoom_[i], &CPaperZoomView::FillDragged, this, [this, slot](const PictureFill& fill) {
            state_.fill(slot) = fill;
            ShowPapersData();
        });
    }
    zoom_[i]->show();
    zoom_[i]->raise();
    zoom_[i]->activateWindow();
}

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

void CTheView::SetStartFiles(const std::string& front, const std::string& back)
{
    startFront_ = front;
    startBack_ = back;
}

void CTheView::OnBatchFile(const QString& path, int position)
{
    if (position == 0)
        state_.batchFiles.clear();
    state_.batchFiles.push_back(path.toStdString());
    if (position == 2 && hooks_.runBatchPrint)
        hooks_.runBatchPrint(state_.batchFiles);
}

void CTheView::OnComboChosen(Slot slot)
{
    QComboBox* combo = combo_[SlotIndex(slot)];
    if (combo->currentIndex() < 0 && combo->count() > 0)
        combo->setCurrentIndex(0);
    state_.format(slot) = combo->currentIndex();
    Refresh();
}

void CTheView::ReadCheckBoxes()
{
    state_.singlePage = singlePage_->isChecked() ? 1 : 0;
    state_.drawCutLines = cutLines_->isChecked() ? 1 : 0;
}

// --- timers --------------------------------------------------------------------------

void CTheView::OnTimer1()
{
    if (Language().GetCurrentLanguage() != 0 && menuText_)
        Language().TranslateMenu(*menuText_);
    AppSettings& s = RunningValues();
    if (!startFront_.empty() || !startBack_.empty()) {
        doc_.LoadBoth(startFront_, startBack_, true);
    } else if (s.reloadOnStartup == 1) {
        if (!s.recentFileLeft.empty())
            doc_.LoadLeftImage(s.recentFileLeft, false);
        // Read after the left load, which may have brought its back cover.
        const std::string right = s.recentFileRight;
        if (!right.empty())
            doc_.LoadRightImage(right, false);
    }
    if (s.checkForUpdates == 1)
        StartUpdateCheck();
}

void CTheView::OnTimer2()
{
    const std::string path = state_.pendingLeftPath;
    if (!path.empty())
        doc_.LoadLeftImage(path, true);
}

// --- parts and painting -------------------------------------------------------------

QWidget* CTheView::Control(int controlId) const
{
    return controls_.Control(controlId);
}

CPaper* CTheView::Paper(Slot slot) const
{
    return paper_[SlotIndex(slot)];
}

QComboBox* CTheView::Combo(Slot slot) const
{
    return combo_[SlotIndex(slot)];
}

QLabel* CTheView::SlotLabel(Slot slot) const
{
    return label_[SlotIndex(slot)];
}
