#include "app/ui/FormatEditDialog.h"

#include "controls/ui/FormLayout.h"
#include "controls/ui/UpDown.h"
#include "formats/FormatEditing.h"
#include "formats/MarkerText.h"
#include "print/ui/PaperWidget.h"
#include "print/CupsPrinter.h"
#include "print/ui/PrinterChoiceCombo.h"
#include "settings/LanguageTable.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kNewFormatText = 7036;
constexpr int kCopyOfText = 7037;
constexpr int kSaveFailedText = 7040;


const QColor kEvenRow(240, 255, 240);

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string Std(const QString& s) { return s.toUtf8().toStdString(); }

}  // namespace

CFormatEditDialog::PrinterLists CFormatEditDialog::PrinterLists::Read()
{
    PrinterLists lists;
    PrinterCapabilities caps;
    lists.havePrinter = ReadPrinterCapabilities(AppPrinterSettings().PrinterName(), caps);
    lists.mediaTypes = caps.mediaTypes;
    lists.sources = caps.sources;
    return lists;
}


CFormatEditDialog::CFormatEditDialog(CoverFormatList& formats, const CRasterImage* leftImage,
                                     int initialSelection, const PrinterLists& printer, QWidget* parent)
    : QDialog(parent), formats_(formats), initialSelection_(initialSelection), markerList_(formats)
{
    setFont(CFormLayout::TemplateFont());
    setWindowTitle(QStringLiteral("Format Editor"));
    texts_.Add(0, this);

    auto* columns = new QHBoxLayout;
    columns->addWidget(BuildListColumn(), 3);
    columns->addWidget(BuildPositionColumn(), 0);
    columns->addWidget(BuildOptionsColumn(), 0);
    columns->addWidget(BuildMarkerColumn(), 3);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = Named(buttons->addButton(QStringLiteral("Ok"), QDialogButtonBox::AcceptRole), Ok);
    Named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), Cancel);
    ok->setDefault(true);
    ok->setAutoDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFormatEditDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFormatEditDialog::reject);
    auto* page = new QVBoxLayout(this);
    page->addLayout(columns, 1);
    page->addWidget(buttons);

    // Opening, in this order: the printer's lists, the backup, the type
    // names, the sample picture, the list, the selection, the previews.
    FillPrinterChoiceCombo(media_, printer.mediaTypes, printer.havePrinter);
    FillPrinterChoiceCombo(source_, printer.sources, printer.havePrinter);
    // The printer lists are enabled by showing the selection (below): only
    // with a format to act on and more than the printer default to offer.
    updating_ = 1;
    modified_ = 0;
    formats_.makeBackup();
    for (const char* name : kFormatTypeNames)
        type_->addItem(QString::fromLatin1(name));
    type_->setCurrentIndex(-1);
    if (leftImage && leftImage->IsValid())
        sample_ = *leftImage;
    else
        sample_.LoadFromResource("IDJ_SAMPLE_DVD_COVER", "JPG", IMAGE_JPG);
    const QColor face = palette().color(QPalette::Button);
    for (int k = 0; k < 2; ++k) {
        preview_[k]->SetFormats(&formats_);
        preview_[k]->SetDrawCutLines(true);
        preview_[k]->SetLeftSide(k == 0);
        preview_[k]->SetBackgroundColor(Rgb{static_cast<std::uint8_t>(face.red()),
                                            static_cast<std::uint8_t>(face.green()),
                                            static_cast<std::uint8_t>(face.blue())});
    }
    FillList();
    Select(initialSelection_);
    ShowSelected();
    updating_ = 0;
    ApplyTexts();
    Connect();
    list_->setFocus();
}

CFormatEditDialog::~CFormatEditDialog() = default;

void CFormatEditDialog::SetMarkerEditors(LineEditor line, RectEditor rect)
{
    markerList_.SetEditors(std::move(line), std::move(rect));
}

// --- showing ------------------------------------------------------------------------

QString CFormatEditDialog::DisplayName(int i) const
{
    const int id = formats_.translationId(i);
    if (id != 0) {
        const std::string text = Language().GetText(id);
        if (!text.empty() && text != "???")
            return Utf8(text);
    }
    return Utf8(formats_.name(i));
}

void CFormatEditDialog::FillList()
{
    const int keepUpdating = updating_;
    updating_ = 1;
    list_->setUpdatesEnabled(false);
    list_->clear();
    remapCombo_->clear();
    for (int i = 0; i < formats_.count(); ++i) {
        auto* item = new QTreeWidgetItem(list_, QStringList{DisplayName(i)});
        item->setBackground(0, i % 2 == 0 ? kEvenRow : QColor(Qt::white));
        item->setForeground(0, QColor(Qt::black));
        remapCombo_->addItem(DisplayName(i));
    }
    list_->setUpdatesEnabled(true);
    updating_ = keepUpdating;
}

int CFormatEditDialog::Selected() const
{
    // The selected row, whether or not it holds the focus frame: a mouse
    // click makes a row current before it selects it, and Ctrl with an arrow
    // moves the frame alone.
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->indexOfTopLevelItem(selected.first());
}

void CFormatEditDialog::Select(int i)
{
    const int keepUpdating = updating_;
    updating_ = 1;
    if (i >= 0 && i < list_->topLevelItemCount()) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        list_->setCurrentItem(item);
        item->setSelected(true);
        list_->scrollToItem(item);
    } else {
        list_->setCurrentItem(nullptr);
        list_->clearSelection();
    }
    updating_ = keepUpdating;
}

void CFormatEditDialog::ShowLength(QLineEdit* field, double mm, QLineEdit* typing)
{
    if (field != typing)
        field->setText(Utf8(LengthText(mm, InchMode())));
}

double CFormatEditDialog::FieldLength(int id, double held) const
{
    return ReadLength(Std(Field(id)->text()), held, InchMode());
}

void CFormatEditDialog::ShowSelected(QLineEdit* typing)
{
    const int i = Selected();
    const bool valid = i >= 0 && i < formats_.count();
    shown_ = valid ? i : -1;
    for (int id : {Copy, Remove, Name, Type, LeftGroup, RightGroup, SizeGroup, Label, Remap, Autodetect, Markers,
                   AddLine, AddRect})
        Control(id)->setEnabled(valid);
    Control(MoveUp)->setEnabled(valid && i > 0);
    Control(MoveDown)->setEnabled(valid && i < formats_.count() - 1);
    // A printer list with no more than "Use printer default" offers nothing to choose.
    const bool media = valid && media_->count() > 1, source = valid && source_->count() > 1;
    for (int id : {MediaType, MediaTypeCaption})
        Control(id)->setEnabled(media);
    for (int id : {PaperSource, PaperSourceCaption})
        Control(id)->setEnabled(source);
    if (!valid) {
        ShowNoFormat();
        return;
    }
    const CoverFormat& f = formats_.at(i);

    SelectPrinterChoice(source_, f.paperSource);
    SelectPrinterChoice(media_, f.mediaType);

    if (Field(Name) != typing)
        Field(Name)->setText(DisplayName(i));
    int typeIndex = -1;
    for (int k = 0; k < type_->count() && typeIndex < 0; ++k)
        if (type_->itemText(k).startsWith(Utf8(f.type), Qt::CaseInsensitive))
            typeIndex = k;
    type_->setCurrentIndex(typeIndex >= 0 ? typeIndex : type_->findText(QStringLiteral("CUSTOM")));

    static_cast<QCheckBox*>(Control(Autodetect))->setChecked(f.autodetect != 0);
    static_cast<QCheckBox*>(Control(Label))->setChecked(f.label != 0);
    for (int id : {HoleSize, HoleSizeCaption, HoleSizeSpin})
        Control(id)->setEnabled(f.label != 0);
    if (f.label)
        ShowLength(Field(HoleSize), f.holeSize, typing);
    else
        Field(HoleSize)->clear();

    static_cast<QCheckBox*>(Control(Remap))->setChecked(f.remapIndex != -1);
    remapCombo_->setEnabled(f.remapIndex != -1);
    remapCombo_->setCurrentIndex(f.remapIndex >= 0 && f.remapIndex < remapCombo_->count() ? f.remapIndex : -1);

    const bool hasSpine = f.spine != NO_SPINE;
    Control(Spine)->setEnabled(f.type == "SLIMLINE_DVD");
    static_cast<QCheckBox*>(Control(Spine))->setChecked(hasSpine);
    for (int id : {SpineValue, SpineCaption, SpineSpin})
        Control(id)->setEnabled(hasSpine);
    if (hasSpine)
        ShowLength(Field(SpineValue), f.spine, typing);
    else
        Field(SpineValue)->clear();

    const bool tray = f.type == "CD_TRAY";
    Control(PaperGroup)->setEnabled(tray);
    ShowLength(Field(PaperWidth), f.paperWidth, typing);
    ShowLength(Field(PaperHeight), f.paperHeight, typing);

    const struct { QButtonGroup* radios; double x, y; int xId, yId, xSpin, ySpin; } positions[2] = {
        {leftRadios_, f.leftX, f.leftY, LeftX, LeftY, LeftXSpin, LeftYSpin},
        {rightRadios_, f.rightX, f.rightY, RightX, RightY, RightXSpin, RightYSpin}};
    for (const auto& p : positions) {
        const bool manual = p.x != AUTO_POSITION;
        p.radios->button(manual ? 1 : 0)->setChecked(true);
        for (int id : {p.xId, p.yId, p.xSpin, p.ySpin})
            Control(id)->setEnabled(manual);
        ShowLength(Field(p.xId), p.x, typing);
        ShowLength(Field(p.yId), p.y, typing);
    }
    ShowLength(Field(Width), f.width, typing);
    ShowLength(Field(Height), f.height, typing);

    RepaintPreviews();
    RefreshMarkers();
}

void CFormatEditDialog::ShowNoFormat()
{
    // Greyed controls show nothing of a format they no longer belong to.
    for (int id : {PaperGroup, HoleSize, HoleSizeCaption, HoleSizeSpin, RemapCombo, Spine, SpineValue,
                   SpineCaption, SpineSpin})
        Control(id)->setEnabled(false);
    for (int id : {Name, LeftX, LeftY, RightX, RightY, Width, Height, PaperWidth, PaperHeight, HoleSize, SpineValue})
        Field(id)->clear();
    type_->setCurrentIndex(-1);
    remapCombo_->setCurrentIndex(-1);
    for (int id : {Label, Remap, Autodetect, Spine})
        static_cast<QCheckBox*>(Control(id))->setChecked(false);
    markers_->clear();
    UpdateMarkerButtons();
    for (CPaper* p : preview_)
        p->SetFormat(kNoSlotFormat);
}

void CFormatEditDialog::RefreshMarkers()
{
    markerList_.Show(shown_, InchMode());
    UpdateMarkerButtons();
    RepaintPreviews();
}

void CFormatEditDialog::UpdateMarkerButtons()
{
    const bool on = shown_ >= 0 && markerList_.HasCurrent();
    Control(EditMarker)->setEnabled(on);
    Control(DeleteMarker)->setEnabled(on);
}

void CFormatEditDialog::MarkersChanged()
{
    Changed();
    RefreshMarkers();  // keeps the row, or the one before when the last went
}

void CFormatEditDialog::RepaintPreviews()
{
    const int i = shown_;
    if (i < 0 || i >= formats_.count())
        return;
    const CoverFormat& f = formats_.at(i);
    const bool tray = f.type == "CD_TRAY";
    for (int k = 0; k < 2; ++k) {
        CPaper* paper = preview_[k];
        paper->SetPaperSize(f.paperWidth, f.paperHeight);
        paper->SetTrayMode(tray);
        paper->SetImage(tray || !sample_.IsValid() ? nullptr : &sample_);
        paper->SetFormat(FormatOf(k == 0 ? Slot::Left : Slot::Right, i));
    }
}

// --- handlers ------------------------------------------------------------------------

void CFormatEditDialog::OnSelectionChanged()
{
    if (updating_)
        return;
    markers_->setCurrentRow(-1);
    ShowSelected();
}

void CFormatEditDialog::OnNameTyped(const QString& text)
{
    const int i = shown_;
    if (i < 0)
        return;
    list_->topLevelItem(i)->setText(0, text);
    remapCombo_->setItemText(i, text);
    formats_.setName(i, Std(text));
    formats_.setTranslationId(i, 0);
    Changed();
}

void CFormatEditDialog::OnTypeChosen(int index)
{
    const int i = shown_;
    if (i < 0 || index < 0)
        return;
    formats_.setType(i, Std(type_->itemText(index)));
    Changed();
    ShowSelected();
}

void CFormatEditDialog::OnPositionRadio(int which, bool manual)
{
    const int i = shown_;
    if (i < 0)
        return;
    const FormatPosition now = formats_.position(i, which, false);
    // Only a change of mode moves the cover: clicking "Manual" again keeps
    // the position typed.
    if (manual == (now.x != AUTO_POSITION))
        return;
    double x = AUTO_POSITION, y = AUTO_POSITION;
    if (manual) {
        const ManualPosition p = which == 0 ? ManualLeftPosition(now.width, now.height)
                                            : ManualRightPosition(now.width, now.height);
        x = p.x;
        y = p.y;
    }
    formats_.setPosition(i, which, x, y, now.width, now.height, now.holeSize);
    Changed();
    ShowSelected();
}

void CFormatEditDialog::OnPositionTyped(int which)
{
    const int i = shown_;
    if (i < 0)
        return;
    const FormatPosition now = formats_.position(i, which, false);
    const int xId = which == 0 ? LeftX : RightX, yId = which == 0 ? LeftY : RightY;
    formats_.setPosition(i, which, FieldLength(xId, now.x), FieldLength(yId, now.y),
                         which == 0 ? FieldLength(Width, now.width) : now.width,
                         which == 0 ? FieldLength(Height, now.height) : now.height, now.holeSize);
    Changed();
    RepaintPreviews();
}

void CFormatEditDialog::OnSizeTyped(QLineEdit* typing)
{
    const int i = shown_;
    if (i < 0)
        return;
    CoverFormat& f = formats_.at(i);
    f.width = FieldLength(Width, f.width);
    f.height = FieldLength(Height, f.height);
    // A manual position is taken from its fields; an automatic one stays.
    if (f.leftX != AUTO_POSITION) {
        f.leftX = FieldLength(LeftX, f.leftX);
        f.leftY = FieldLength(LeftY, f.leftY);
    }
    if (f.rightX != AUTO_POSITION) {
        f.rightX = FieldLength(RightX, f.rightX);
        f.rightY = FieldLength(RightY, f.rightY);
    }
    Changed();
    ShowSelected(typing);
}

void CFormatEditDialog::OnPaperTyped(QLineEdit* typing)
{
    const int i = shown_;
    if (i < 0)
        return;
    formats_.setPaperWidth(i, FieldLength(PaperWidth, formats_.paperWidth(i)));
    formats_.setPaperHeight(i, FieldLength(PaperHeight, formats_.paperHeight(i)));
    Changed();
    ShowSelected(typing);
}

void CFormatEditDialog::OnHoleTyped()
{
    const int i = shown_;
    if (i < 0)
        return;
    formats_.setHoleSize(i, FieldLength(HoleSize, formats_.holeSize(i)));
    Changed();
    RepaintPreviews();
}

void CFormatEditDialog::OnSpineTyped()
{
    const int i = shown_;
    if (i < 0)
        return;
    formats_.setSpine(i, FieldLength(SpineValue, formats_.spine(i)));
    Changed();
    RepaintPreviews();
}

void CFormatEditDialog::OnSpin(int spinId, bool up)
{
    const int i = shown_;
    if (i < 0)
        return;
    CoverFormat& f = formats_.at(i);
    double* value = nullptr;
    switch (spinId) {
    case WidthSpin: value = &f.width; break;
    case HeightSpin: value = &f.height; break;
    case PaperWidthSpin: value = &f.paperWidth; break;
    case PaperHeightSpin: value = &f.paperHeight; break;
    case HoleSizeSpin: value = &f.holeSize; break;
    case SpineSpin: value = &f.spine; break;
    case LeftXSpin: value = &f.leftX; break;
    case LeftYSpin: value = &f.leftY; break;
    case RightXSpin: value = &f.rightX; break;
    case RightYSpin: value = &f.rightY; break;
    default: return;
    }
    bool belowZero = false;
    *value = SpinStep(*value, up, InchMode(), belowZero);
    if (belowZero)
        QApplication::beep();
    Changed();
    ShowSelected();
}

void CFormatEditDialog::OnAdd()
{
    const std::string name = UnusedFormatName(formats_, Language().GetText(kNewFormatText));
    formats_.addNew(name);
    Changed();
    FillList();
    Select(formats_.count() - 1);
    ShowSelected();
}

void CFormatEditDialog::OnCopy()
{
    const int i = shown_;
    if (i < 0)
        return;
    const std::string name = CopyName(Language().GetText(kCopyOfText), Std(list_->topLevelItem(i)->text(0)));
    formats_.insertCopy(i, name, i + 1);
    formats_.setTranslationId(i + 1, 0);
    Changed();
    FillList();
    Select(i + 1);
    ShowSelected();
}

void CFormatEditDialog::OnRemove()
{
    const int i = shown_;
    if (i < 0)
        return;
    formats_.remove(i);
    Changed();
    FillList();
    Select(i < formats_.count() ? i : i - 1);
    ShowSelected();
}

void CFormatEditDialog::OnMove(int delta)
{
    const int i = shown_;
    const int k = i + delta;
    if (i < 0 || k < 0 || k >= formats_.count())
        return;
    formats_.swap(i, k);
    Changed();
    FillList();
    Select(k);
    ShowSelected();
}

// --- closing ---------------------------------------------------------------------------

void CFormatEditDialog::accept()
{
    if (modified_) {
        formats_.fillEmptyNames([](int n) { return Language().GetText(n); });
        std::string reason;
        if (!formats_.save(&reason)) {
            // The edits stay in use for this run; the user learns they are
            // not on disk.
            QString text = Utf8(Language().GetText(kSaveFailedText));
            for (const std::string& part : {formats_.filePath, reason}) {
                const qsizetype at = text.indexOf(QStringLiteral("%s"));
                if (at >= 0)
                    text.replace(at, 2, Utf8(part));
            }
            saveError_ = text;
            QMessageBox::warning(this, QCoreApplication::applicationName(), text);
        }
    }
    QDialog::accept();
}

void CFormatEditDialog::reject()
{
    formats_.restoreBackup();
    QDialog::reject();
}
