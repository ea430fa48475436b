#include "formats/ui/FormatEditDialog.h"

#include "controls/ui/FormLayout.h"
#include "controls/ui/UpDown.h"
#include "formats/FormatEditing.h"
#include "formats/MarkerText.h"
#include "formats/ui/EditLineDialog.h"
#include "formats/ui/EditRectDialog.h"
#include "image/ui/PaperWidget.h"
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

constexpr int kTitleText = 7000;
constexpr int kNewFormatText = 7036;
constexpr int kCopyOfText = 7037;
constexpr int kSaveFailedText = 7040;
constexpr int kRectData = 1000;  // marker item data: lines j, rectangles 1000 + j
constexpr int kRightSlot = 1000; // a preview's format value for the right position

constexpr ControlTextNumber kTexts[] = {
    {1067, 7001}, {3, 7002},    {4, 7003},    {8, 7004},    {9, 7005},    {1070, 7006}, {1071, 7007},
    {1053, 7008}, {1068, 7009}, {1056, 7010}, {1064, 7011}, {1069, 7012}, {1055, 7013}, {1072, 7014},
    {5, 7015},    {11, 7016},   {6, 7017},    {7, 7018},    {1083, 7019}, {1084, 7020}, {1013, 7021},
    {1020, 7021}, {1014, 7022}, {1021, 7022}, {1085, 7023}, {1077, 7024}, {1079, 7024}, {1078, 7025},
    {1080, 7025}, {1074, 7026}, {1086, 7027}, {1045, 7028}, {1046, 7029}, {1, 7030},    {2, 7031},
    {1075, 7032}, {1073, 7033}};

const QColor kEvenRow(240, 255, 240);

QString Utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
std::string Std(const QString& s) { return s.toUtf8().toStdString(); }

bool RunLineDialog(CutLine& line, bool inches, QWidget* parent)
{
    CEditLineDialog dialog(line, inches, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    line = dialog.Line();
    return true;
}

bool RunRectDialog(CutRect& rect, bool inches, QWidget* parent)
{
    CEditRectDialog dialog(rect, inches, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    rect = dialog.Rect();
    return true;
}

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

template <class W>
W* CFormatEditDialog::Named(W* w, int controlId)
{
    w->setObjectName(QString::number(controlId));
    texts_.Add(controlId, w);
    return w;
}

CFormatEditDialog::CFormatEditDialog(CoverFormatList& formats, const CRasterImage* leftImage,
                                     int initialSelection, const PrinterLists& printer, QWidget* parent)
    : QDialog(parent), formats_(formats), initialSelection_(initialSelection),
      lineEditor_(RunLineDialog), rectEditor_(RunRectDialog)
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
    if (media_->count() <= 1) {
        media_->setEnabled(false);
        Control(MediaTypeCaption)->setEnabled(false);
    }
    if (source_->count() <= 1) {
        source_->setEnabled(false);
        Control(PaperSourceCaption)->setEnabled(false);
    }
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
    lineEditor_ = std::move(line);
    rectEditor_ = std::move(rect);
}

// --- building -----------------------------------------------------------------------

QLineEdit* CFormatEditDialog::LengthField(int id)
{
    auto* field = Named(new QLineEdit(this), id);
    field->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0000.00")) + 12);
    field->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-0000.00")) * 2);
    return field;
}

CUpDown* CFormatEditDialog::Spin(int id, int fieldId)
{
    auto* spin = Named(new CUpDown(this), id);
    connect(spin, &CUpDown::Stepped, this, [this, id](bool up) { OnSpin(id, up); });
    spin->setFixedHeight(Field(fieldId)->sizeHint().height());
    return spin;
}

QLineEdit* CFormatEditDialog::Field(int id) const
{
    return static_cast<QLineEdit*>(Control(id));
}

QWidget* CFormatEditDialog::BuildListColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = Named(new QTreeWidget(column), FormatList);
    list_->setColumnCount(1);
    list_->setHeaderLabels({QStringLiteral("Nr.")});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->header()->setStretchLastSection(true);
    list_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("Disc in Printer Tray (wide)")) + 24);
    layout->addWidget(list_, 1);
    auto* grid = new QGridLayout;
    const struct { int id; const char* text; int row, col; } buttons[] = {
        {Add, "Add", 0, 0}, {Copy, "Copy", 0, 1}, {Remove, "Remove", 0, 2},
        {MoveUp, "Move up", 1, 0}, {MoveDown, "Move down", 1, 1}};
    for (const auto& b : buttons) {
        auto* button = Named(new QPushButton(QString::fromUtf8(b.text), column), b.id);
        button->setAutoDefault(false);
        grid->addWidget(button, b.row, b.col);
    }
    layout->addLayout(grid);
    return column;
}

QGroupBox* CFormatEditDialog::PositionGroup(int groupId, const char* title, int autoId, int manualId, int xId,
                                            int xSpin, int yId, int ySpin, QButtonGroup*& radios)
{
    auto* group = Named(new QGroupBox(QString::fromUtf8(title), this), groupId);
    auto* grid = new QGridLayout(group);
    radios = new QButtonGroup(this);
    auto* automatic = Named(new QRadioButton(QStringLiteral("Automatic"), group), autoId);
    auto* manual = Named(new QRadioButton(QStringLiteral("Manual"), group), manualId);
    radios->addButton(automatic, 0);
    radios->addButton(manual, 1);
    auto* radioRow = new QHBoxLayout;
    radioRow->addWidget(automatic);
    radioRow->addWidget(manual);
    radioRow->addStretch(1);
    grid->addLayout(radioRow, 0, 0, 1, 6);
    const int ids[2] = {xId, yId}, spins[2] = {xSpin, ySpin};
    const char* captions[2] = {"X:", "Y:"};
    for (int k = 0; k < 2; ++k) {
        grid->addWidget(new QLabel(QString::fromLatin1(captions[k]), group), 1, k * 3);
        grid->addWidget(LengthField(ids[k]), 1, k * 3 + 1);
        grid->addWidget(Spin(spins[k], ids[k]), 1, k * 3 + 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(4, 1);
    return group;
}

QGroupBox* CFormatEditDialog::PairGroup(int groupId, const char* title, int firstCaption, int firstId,
                                        int firstSpin, int secondCaption, int secondId, int secondSpin)
{
    auto* group = Named(new QGroupBox(QString::fromUtf8(title), this), groupId);
    auto* grid = new QGridLayout(group);
    const int captions[2] = {firstCaption, secondCaption}, ids[2] = {firstId, secondId},
              spins[2] = {firstSpin, secondSpin};
    const char* texts[2] = {"Width:", "Height:"};
    for (int k = 0; k < 2; ++k) {
        auto* caption = Named(new QLabel(QString::fromLatin1(texts[k]), group), captions[k]);
        grid->addWidget(caption, k, 0);
        caption->setBuddy(LengthField(ids[k]));
        grid->addWidget(Field(ids[k]), k, 1);
        grid->addWidget(Spin(spins[k], ids[k]), k, 2);
    }
    grid->setColumnStretch(3, 1);
    return group;
}

QWidget* CFormatEditDialog::BuildPositionColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    grid->addWidget(Named(new QLabel(QStringLiteral("Name:"), column), NameCaption), 0, 0);
    grid->addWidget(Named(new QLineEdit(column), Name), 0, 1);
    grid->addWidget(Named(new QLabel(QStringLiteral("Internal type:"), column), TypeCaption), 1, 0);
    type_ = Named(new QComboBox(column), Type);
    grid->addWidget(type_, 1, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addWidget(PositionGroup(LeftGroup, "Left position", LeftAuto, LeftManual, LeftX, LeftXSpin, LeftY,
                                    LeftYSpin, leftRadios_));
    layout->addWidget(PositionGroup(RightGroup, "Right position", RightAuto, RightManual, RightX, RightXSpin,
                                    RightY, RightYSpin, rightRadios_));
    layout->addWidget(PairGroup(SizeGroup, "Size (applies to both positions)", WidthCaption, Width, WidthSpin,
                                HeightCaption, Height, HeightSpin));
    layout->addWidget(PairGroup(PaperGroup, "Paper (Tray) size", PaperWidthCaption, PaperWidth, PaperWidthSpin,
                                PaperHeightCaption, PaperHeight, PaperHeightSpin));
    layout->addStretch(1);
    return column;
}

QWidget* CFormatEditDialog::BuildOptionsColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(Named(new QCheckBox(QStringLiteral("Label"), column), Label), row++, 0, 1, 3);
    grid->addWidget(Named(new QLabel(QStringLiteral("Hole Size:"), column), HoleSizeCaption), row, 0);
    grid->addWidget(LengthField(HoleSize), row, 1);
    grid->addWidget(Spin(HoleSizeSpin, HoleSize), row++, 2);
    grid->addWidget(Named(new QCheckBox(QStringLiteral("Alternative Spine width"), column), Spine), row++, 0, 1, 3);
    grid->addWidget(Named(new QLabel(QStringLiteral("Value:"), column), SpineCaption), row, 0);
    grid->addWidget(LengthField(SpineValue), row, 1);
    grid->addWidget(Spin(SpineSpin, SpineValue), row++, 2);
    grid->addWidget(Named(new QCheckBox(QStringLiteral("Autodetect"), column), Autodetect), row++, 0, 1, 3);
    grid->addWidget(Named(new QCheckBox(QStringLiteral("Remap"), column), Remap), row++, 0, 1, 3);
    remapCombo_ = Named(new QComboBox(column), RemapCombo);
    remapCombo_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    remapCombo_->setMinimumContentsLength(16);
    grid->addWidget(remapCombo_, row++, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);

    auto* units = Named(new QGroupBox(QStringLiteral("Dimensions"), column), DimensionsGroup);
    auto* unitRow = new QHBoxLayout(units);
    unitRadios_ = new QButtonGroup(this);
    auto* inches = Named(new QRadioButton(QStringLiteral("Inches"), units), Inches);
    auto* millimetres = Named(new QRadioButton(QStringLiteral("Millimeters"), units), Millimeters);
    unitRadios_->addButton(inches, 0);
    unitRadios_->addButton(millimetres, 1);
    unitRow->addWidget(inches);
    unitRow->addWidget(millimetres);
    unitRow->addStretch(1);
    millimetres->setChecked(true);
    layout->addWidget(units);

    layout->addWidget(Named(new QLabel(QStringLiteral("Printer Media Type:"), column), MediaTypeCaption));
    media_ = Named(new QComboBox(column), MediaType);
    layout->addWidget(media_);
    layout->addWidget(Named(new QLabel(QStringLiteral("Printer Paper Source:"), column), PaperSourceCaption));
    source_ = Named(new QComboBox(column), PaperSource);
    layout->addWidget(source_);
    for (QComboBox* combo : {media_, source_}) {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(16);
    }
    layout->addStretch(1);
    return column;
}

QWidget* CFormatEditDialog::BuildMarkerColumn()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Named(new QLabel(QStringLiteral("Cut markers / fold lines:"), column), MarkersCaption));
    markers_ = Named(new QListWidget(column), Markers);
    markers_->setFont(CMarkerDialog::MarkerFont());
    markers_->setMinimumWidth(QFontMetrics(markers_->font()).horizontalAdvance(
                                  QStringLiteral("LINE = (000.0, 000.0)(000.0, 000.0), DASHED")) + 24);
    layout->addWidget(markers_, 1);
    auto* grid = new QGridLayout;
    const struct { int id; const char* text; int row, col; } buttons[] = {
        {AddLine, "Add line", 0, 0}, {AddRect, "Add rectangle", 0, 1},
        {EditMarker, "Edit", 1, 0}, {DeleteMarker, "Delete", 1, 1}};
    for (const auto& b : buttons) {
        auto* button = Named(new QPushButton(QString::fromUtf8(b.text), column), b.id);
        button->setAutoDefault(false);
        grid->addWidget(button, b.row, b.col);
    }
    layout->addLayout(grid);
    auto* papers = new QHBoxLayout;
    const QSize paperSize = CFormLayout().MapSize(76, 103);
    for (int k = 0; k < 2; ++k) {
        preview_[k] = Named(new CPaper(column), k == 0 ? LeftPreview : RightPreview);
        preview_[k]->setFixedSize(paperSize);
        papers->addWidget(preview_[k]);
    }
    papers->addStretch(1);
    layout->addLayout(papers);
    return column;
}

void CFormatEditDialog::Connect()
{
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { OnSelectionChanged(); });
    connect(Field(Name), &QLineEdit::textEdited, this, &CFormatEditDialog::OnNameTyped);
    connect(type_, &QComboBox::activated, this, &CFormatEditDialog::OnTypeChosen);
    connect(leftRadios_, &QButtonGroup::idClicked, this, [this](int id) { OnPositionRadio(0, id == 1); });
    connect(rightRadios_, &QButtonGroup::idClicked, this, [this](int id) { OnPositionRadio(1, id == 1); });
    for (int id : {LeftX, LeftY})
        connect(Field(id), &QLineEdit::textEdited, this, [this] { OnPositionTyped(0); });
    for (int id : {RightX, RightY})
        connect(Field(id), &QLineEdit::textEdited, this, [this] { OnPositionTyped(1); });
    for (int id : {Width, Height})
        connect(Field(id), &QLineEdit::textEdited, this, [this, id] { OnSizeTyped(Field(id)); });
    for (int id : {PaperWidth, PaperHeight})
        connect(Field(id), &QLineEdit::textEdited, this, [this, id] { OnPaperTyped(Field(id)); });
    connect(Field(HoleSize), &QLineEdit::textEdited, this, &CFormatEditDialog::OnHoleTyped);
    connect(Field(SpineValue), &QLineEdit::textEdited, this, &CFormatEditDialog::OnSpineTyped);

    auto check = [this](int id) { return static_cast<QCheckBox*>(Control(id)); };
    connect(check(Label), &QCheckBox::clicked, this, [this](bool on) {
        formats_.setLabel(Selected(), on ? 1 : 0);
        Changed();
        ShowSelected();
    });
    connect(check(Autodetect), &QCheckBox::clicked, this, [this](bool on) {
        formats_.setAutodetect(Selected(), on ? 1 : 0);
        Changed();
    });
    connect(check(Remap), &QCheckBox::clicked, this, [this](bool on) {
        remapCombo_->setEnabled(on);
        formats_.setRemapIndex(Selected(), on ? remapCombo_->currentIndex() : -1);
        Changed();
    });
    connect(remapCombo_, &QComboBox::activated, this, [this](int index) {
        formats_.setRemapIndex(Selected(), index);
        Changed();
    });
    connect(check(Spine), &QCheckBox::clicked, this, [this](bool on) {
        formats_.setSpine(Selected(), on ? ParseLength(Std(Field(SpineValue)->text()), InchMode()) : NO_SPINE);
        Changed();
        ShowSelected();
    });
    connect(media_, &QComboBox::activated, this, [this](int index) {
        formats_.setMediaType(Selected(), media_->itemData(index).toInt());
        Changed();
    });
    connect(source_, &QComboBox::activated, this, [this](int index) {
        formats_.setPaperSource(Selected(), source_->itemData(index).toInt());
        Changed();
    });
    connect(unitRadios_, &QButtonGroup::idClicked, this, [this](int id) {
        units_ = id;
        Changed();
        ShowSelected();
    });

    auto button = [this](int id) { return static_cast<QPushButton*>(Control(id)); };
    connect(button(Add), &QPushButton::clicked, this, &CFormatEditDialog::OnAdd);
    connect(button(Copy), &QPushButton::clicked, this, &CFormatEditDialog::OnCopy);
    connect(button(Remove), &QPushButton::clicked, this, &CFormatEditDialog::OnRemove);
    connect(button(MoveUp), &QPushButton::clicked, this, [this] { OnMove(-1); });
    connect(button(MoveDown), &QPushButton::clicked, this, [this] { OnMove(1); });
    connect(markers_, &QListWidget::currentRowChanged, this, &CFormatEditDialog::UpdateMarkerButtons);
    connect(button(AddLine), &QPushButton::clicked, this, &CFormatEditDialog::OnAddLine);
    connect(button(AddRect), &QPushButton::clicked, this, &CFormatEditDialog::OnAddRect);
    connect(button(EditMarker), &QPushButton::clicked, this, &CFormatEditDialog::OnEditMarker);
    connect(button(DeleteMarker), &QPushButton::clicked, this, &CFormatEditDialog::OnDeleteMarker);
    connect(markers_, &QListWidget::itemDoubleClicked, this, &CFormatEditDialog::OnEditMarker);
}

void CFormatEditDialog::ApplyTexts()
{
    Language().SetControlText(texts_, 0, kTitleText);
    Language().SetControlTexts(texts_, kTexts);
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
    QTreeWidgetItem* item = list_->currentItem();
    if (!item || !item->isSelected())
        return -1;
    return list_->indexOfTopLevelItem(item);
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
    for (int id : {Copy, Remove, Name, Type, LeftGroup, RightGroup, SizeGroup, Label, Remap, Autodetect, Markers,
                   AddLine, AddRect})
        Control(id)->setEnabled(valid);
    Control(MoveUp)->setEnabled(valid && i > 0);
    Control(MoveDown)->setEnabled(valid && i < formats_.count() - 1);
    if (!valid) {
        for (int id : {PaperGroup, HoleSize, HoleSizeCaption, HoleSizeSpin, RemapCombo, Spine, SpineValue,
                       SpineCaption, SpineSpin})
            Control(id)->setEnabled(false);
        markers_->clear();
        UpdateMarkerButtons();
        for (CPaper* p : preview_)
            p->SetFormat(kPaperNoFormat);
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

void CFormatEditDialog::RepaintPreviews()
{
    const int i = Selected();
    if (i < 0 || i >= formats_.count())
        return;
    const CoverFormat& f = formats_.at(i);
    const bool tray = f.type == "CD_TRAY";
    for (int k = 0; k < 2; ++k) {
        CPaper* paper = preview_[k];
        paper->SetPaperSize(f.paperWidth, f.paperHeight);
        paper->SetTrayMode(tray);
        paper->SetImage(tray || !sample_.IsValid() ? nullptr : &sample_);
        paper->SetFormat(k == 0 ? i : i + kRightSlot);
    }
}

void CFormatEditDialog::RefreshMarkers()
{
    const int row = markers_->currentRow();
    markers_->clear();
    const int i = Selected();
    if (i >= 0 && i < formats_.count()) {
        const bool inches = InchMode();
        for (int j = 0; j < formats_.lineCount(i); ++j) {
            auto* item = new QListWidgetItem(Utf8(LineText(formats_.line(i, j), inches)), markers_);
            item->setData(Qt::UserRole, j);
        }
        for (int j = 0; j < formats_.rectCount(i); ++j) {
            auto* item = new QListWidgetItem(Utf8(RectText(formats_.rect(i, j), inches)), markers_);
            item->setData(Qt::UserRole, kRectData + j);
        }
    }
    if (row >= 0 && markers_->count() > 0)
        markers_->setCurrentRow(std::min(row, markers_->count() - 1));
    UpdateMarkerButtons();
    RepaintPreviews();
}

void CFormatEditDialog::UpdateMarkerButtons()
{
    const bool on = Selected() >= 0 && markers_->currentRow() >= 0;
    Control(EditMarker)->setEnabled(on);
    Control(DeleteMarker)->setEnabled(on);
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
    const int i = Selected();
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
    const int i = Selected();
    if (i < 0 || index < 0)
        return;
    formats_.setType(i, Std(type_->itemText(index)));
    Changed();
    ShowSelected();
}

void CFormatEditDialog::OnPositionRadio(int which, bool manual)
{
    const int i = Selected();
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
    const int i = Selected();
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
    const int i = Selected();
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
    const int i = Selected();
    if (i < 0)
        return;
    formats_.setPaperWidth(i, FieldLength(PaperWidth, formats_.paperWidth(i)));
    formats_.setPaperHeight(i, FieldLength(PaperHeight, formats_.paperHeight(i)));
    Changed();
    ShowSelected(typing);
}

void CFormatEditDialog::OnHoleTyped()
{
    const int i = Selected();
    if (i < 0)
        return;
    formats_.setHoleSize(i, FieldLength(HoleSize, formats_.holeSize(i)));
    Changed();
    RepaintPreviews();
}

void CFormatEditDialog::OnSpineTyped()
{
    const int i = Selected();
    if (i < 0)
        return;
    formats_.setSpine(i, FieldLength(SpineValue, formats_.spine(i)));
    Changed();
    RepaintPreviews();
}

void CFormatEditDialog::OnSpin(int spinId, bool up)
{
    const int i = Selected();
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
    const int i = Selected();
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
    const int i = Selected();
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
    const int i = Selected();
    const int k = i + delta;
    if (i < 0 || k < 0 || k >= formats_.count())
        return;
    formats_.swap(i, k);
    Changed();
    FillList();
    Select(k);
    ShowSelected();
}

void CFormatEditDialog::OnAddLine()
{
    const int i = Selected();
    if (i < 0)
        return;
    CutLine line{0, 0, 0, 0, 1};
    if (!lineEditor_(line, InchMode(), this))
        return;
    formats_.addLine(i, line.x1, line.y1, line.x2, line.y2, line.solid);
    Changed();
    RefreshMarkers();
}

void CFormatEditDialog::OnAddRect()
{
    const int i = Selected();
    if (i < 0)
        return;
    CutRect rect{0, 0, 100, 100, 1};
    if (!rectEditor_(rect, InchMode(), this))
        return;
    formats_.addRect(i, rect.x, rect.y, rect.width, rect.height, rect.solid);
    Changed();
    RefreshMarkers();
}

void CFormatEditDialog::OnEditMarker()
{
    const int i = Selected();
    QListWidgetItem* item = markers_->currentItem();
    if (i < 0 || !item)
        return;
    const int data = item->data(Qt::UserRole).toInt();
    if (data < kRectData) {
        CutLine line = formats_.line(i, data);
        if (!lineEditor_(line, InchMode(), this))
            return;
        formats_.setLine(i, data, line.x1, line.y1, line.x2, line.y2, line.solid);
    } else {
        CutRect rect = formats_.rect(i, data - kRectData);
        if (!rectEditor_(rect, InchMode(), this))
            return;
        formats_.setRect(i, data - kRectData, rect.x, rect.y, rect.width, rect.height, rect.solid);
    }
    Changed();
    RefreshMarkers();
}

void CFormatEditDialog::OnDeleteMarker()
{
    const int i = Selected();
    QListWidgetItem* item = markers_->currentItem();
    if (i < 0 || !item)
        return;
    const int data = item->data(Qt::UserRole).toInt();
    if (data < kRectData)
        formats_.removeLine(i, data);
    else
        formats_.removeRect(i, data - kRectData);
    Changed();
    RefreshMarkers();  // keeps the row, or the one before when the last went
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
