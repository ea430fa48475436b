#include "app/ui/TheView.h"

#include "app/KorvaneDoc.h"
#include "controls/ui/ClickableLabel.h"
#include "app/CommandIds.h"
#include "app/ui/FormatReasons.h"
#include "app/ui/MainMenu.h"
#include "app/ui/ProgramDialogs.h"
#include "app/ui/SlotIntake.h"
#include "app/ui/SlotDrag.h"
#include "app/ui/ViewTexts.h"
#include "print/ui/PaperWidget.h"
#include "print/ui/PaperZoomView.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ProgramFolder.h"
#include "settings/ui/QtTranslations.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kTimer1Ms = 50;

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
    CViewSkin::Controls skinned;
    skinned.window = this;
    for (int i = 0; i < 2; ++i) {
        skinned.papers[i] = paper_[i];
        skinned.fileLabels[i] = label_[i];
        skinned.combos[i] = combo_[i];
    }
    skinned.captions[0] = singlePageLabel_;
    skinned.captions[1] = cutLinesLabel_;
    skinned.checkBoxes[0] = singlePage_;
    skinned.checkBoxes[1] = cutLines_;
    skin_ = std::make_unique<CViewSkin>(skinned, prompter_);
    texts_ = std::make_unique<CViewTexts>(controls_, combo_[0], combo_[1], doc_.formats, *this);
    reasons_ = std::make_unique<CFormatReasons>(doc_, state_, combo_, paper_);
    intake_ = new CSlotIntake(doc_, prompter_, paper_, this);
    SetPrintHooks(PrintWindowHooks(doc_, state_, prompter_, *this));
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
    s.selectedSkin = skin_->Settings().selectedSkin;
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
    texts_->SetMenuBar(menu ? menu->Bar() : nullptr);
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

    texts_->ReadEnglishMenu();
    // The probe may have found the start's language gone.
    InstallQtTranslations(Language().GetCurrentLanguage());

    FillCombos();
    Refresh();

    QTimer::singleShot(kTimer1Ms, this, &CTheView::OnTimer1);

    skin_->Init(menu_);

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

void CTheView::SetStartFiles(const std::string& front, const std::string& back)
{
    startFront_ = front;
    startBack_ = back;
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
    texts_->TranslateMenuIfNotEnglish();
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
        StartUpdateCheck(this);
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

void CTheView::paintEvent(QPaintEvent*)
{
    skin_->Paint(*this);
}

// --- texts and reasons ---------------------------------------------------------------

QString CTheView::Caption() const
{
    return texts_->Caption();
}

void CTheView::SetCaption()
{
    texts_->Apply();
    doc_.SetSlotLabels();
}

void CTheView::FillCombos()
{
    texts_->FillFormatLists();
}

void CTheView::SelectLanguage(int index)
{
    Language().SelectLanguage(index);
    InstallQtTranslations(Language().GetCurrentLanguage());
    SetCaption();
    FillCombos();
    Refresh();
}

QString CTheView::Reason(Slot slot) const
{
    return reasons_->Reason(slot);
}

QString CTheView::StatusText() const
{
    return reasons_->StatusText();
}

void CTheView::ShowReasons()
{
    if (reasons_->Show(lastChanged_))
        emit StatusTextChanged(reasons_->StatusText());
}
