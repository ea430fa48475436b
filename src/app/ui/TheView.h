#pragma once
// CTheView: the main form (template 101) with the two papers, their format
// combo boxes, the print buttons and check boxes. It builds the controls,
// holds the per-run view state, implements the document's view and forwards
// the commands of the menus and controls to the command table; their window
// side, the skin, the texts and the format reasons are classes of their own
// that it owns. Commands and opening pictures: TheViewCommands.cpp.
#include "app/CommandTable.h"
#include "app/DocView.h"
#include "app/ViewState.h"
#include "controls/ui/FormLayout.h"
#include "app/ui/LinkCommands.h"
#include "app/ui/PrintHooks.h"
#include "app/ui/QtPrompter.h"
#include "app/ui/ViewSkin.h"
#include "settings/ui/WidgetControlTexts.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class CKorvaneDoc;
class CFormatReasons;
class CMainMenu;
class CSlotIntake;
class CPaper;
class CPaperZoomView;
class CClickableLabel;
class CSlotDrag;
class CViewTexts;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class CTheView : public QWidget, public IDocView, private ICommandWindow {
    Q_OBJECT
public:
    // The form's size in template units and the client area the main window
    // gives it at least.
    static constexpr int kTemplateWidth = 402;
    static constexpr int kTemplateHeight = 226;
    static constexpr int kMinClientWidth = 608;
    static constexpr int kMinClientHeight = 371;

    CTheView(CKorvaneDoc& doc, QWidget* parent = nullptr);
    // Writes the view's settings (the main window is closing).
    ~CTheView() override;

    // The main window's menu, translated and updated by the view.
    void SetMenu(CMainMenu* menu);
    // Once, before the window is first shown.
    void InitialUpdate();

    // --- the document's view -----------------------------------------------------
    ViewState& State() override { return state_; }
    void WriteControls() override;
    void UpdatePapers(Slot slot) override;
    void Refresh() override;
    void SetWaitCursor(bool wait) override;
    int LabelWidth(Slot slot) const override;
    int TextWidth(const std::string& text) const override;

    // --- commands ------------------------------------------------------------------
    // Any command of the main menu, the paper menu or the form, run by its
    // row of the command table when it is enabled.
    void OnCommand(int commandId);
    // Enabled and checked states of the menu's items and the print buttons.
    void UpdateCommandStates();
    // Whether a command can be run now.
    bool IsCommandEnabled(int commandId) const;
    // What the command table's rules read now; paper commands read `paperSlot`.
    CommandState CommandStateNow(Slot paperSlot = Slot::Left) const;
    // Caption, control texts, menu texts and slot labels in the current language.
    void SetCaption();
    QString Caption() const;
    // Refills both format lists keeping their selections.
    void FillCombos();
    void SelectLanguage(int index) override;

    void SetPrintHooks(PrintHooks hooks);

    // --- parts, for the main window and the tests --------------------------------
    CKorvaneDoc& Document() { return doc_; }
    const CFormLayout& Layout() const { return layout_; }
    QWidget* Control(int controlId) const;
    CPaper* Paper(Slot slot) const;
    // The zoom view opened by double-clicking a paper, or null.
    CPaperZoomView* ZoomView(Slot slot) const;
    QComboBox* Combo(Slot slot) const;
    QLabel* SlotLabel(Slot slot) const;
    // Dragging pictures between the papers.
    CSlotDrag* SlotDrag() const { return slotDrag_; }
    // Why the slot shows its format (CFormatReasons), empty for an empty slot.
    QString Reason(Slot slot) const;
    // What the status line shows: the reason of the slot changed last.
    QString StatusText() const;

signals:
    void StatusTextChanged(const QString& text);

public:
    const SkinSettings& Skin() const { return skin_->Settings(); }
    // The size the form asks of the main window's client area.
    QSize ClientSize() const;

    // Files named on the command line: loaded at the first timer tick, as if
    // opened at their papers, instead of the previous run's files.
    void SetStartFiles(const std::string& front, const std::string& back);
    // Pictures dropped or pasted from other programs, and their downloads.
    CSlotIntake* Intake() const { return intake_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    void OnTimer1();
    void OnTimer2();
    void OnLeftPaperClicked();
    void OpenRightImage();
    void OpenLeftImage();
    void OnBatchFile(const QString& path, int position);
    void OnComboChosen(Slot slot);
    void ReadCheckBoxes();
    std::vector<std::string> ChooseImages(bool allowMultiple);
    void ShowPapersData();
    // The papers' tooltips and the status line.
    void ShowReasons();

    // The window's side of the commands, forwarded to the classes that do
    // each (TheViewCommands.cpp).
    void OpenImage(Slot slot) override;
    void LoadFromPaper(Slot slot) override;
    void PasteInto(Slot slot) override;
    void Print(bool preview) override;
    void PrintSetup() override;
    void Exit() override;
    void ShowOptions() override;
    void ChooseSkin(int skin) override;
    void OpenLink(int commandId) override;
    void ShowAbout() override;
    void EditFormats() override;
    void EditFormatsFile() override;
    void RunCalibration() override;
    void FindCoverOnline(Slot slot) override;
    void ScanCover(Slot slot) override;
    void OpenRecentFile(int index) override;

    CKorvaneDoc& doc_;
    ViewState state_;
    PrintHooks hooks_;
    CQtPrompter prompter_;
    CFormLayout layout_;
    CMainMenu* menu_ = nullptr;
    CWidgetControlTexts controls_;
    int waitDepth_ = 0;
    CLinkCommands links_{prompter_};
    // Made once the controls they show on are built.
    std::unique_ptr<CViewSkin> skin_;
    std::unique_ptr<CViewTexts> texts_;
    std::unique_ptr<CFormatReasons> reasons_;

    QComboBox* combo_[2] = {};
    CPaper* paper_[2] = {};
    QLabel* label_[2] = {};
    QPushButton* printLeft_ = nullptr;
    QPushButton* printBoth_ = nullptr;
    QPushButton* printRight_ = nullptr;
    QCheckBox* singlePage_ = nullptr;
    QCheckBox* cutLines_ = nullptr;
    CClickableLabel* singlePageLabel_ = nullptr;
    CClickableLabel* cutLinesLabel_ = nullptr;

    CSlotIntake* intake_ = nullptr;
    std::string startFront_;
    std::string startBack_;
    QPointer<CPaperZoomView> zoom_[2];
    void ShowZoom(Slot slot);
    CSlotDrag* slotDrag_ = nullptr;
    Slot lastChanged_ = Slot::Left;
};
