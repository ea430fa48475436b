// The format editor's controls: built in columns by Qt layouts, so that every
// caption has the room its language needs, and wired to their handlers.
#include "app/ui/FormatEditDialog.h"

#include "controls/ui/FormLayout.h"
#include "controls/ui/GuardedHandler.h"
#include "controls/ui/UpDown.h"
#include "formats/FormatEditing.h"
#include "formats/MarkerText.h"
#include "formats/ui/EditLineDialog.h"
#include "formats/ui/EditRectDialog.h"
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

constexpr int kTitleText = 7000;

constexpr ControlTextNumber kTexts[] = {
    {1067, 7001}, {3, 7002},    {4, 7003},    {8, 7004},    {9, 7005},    {1070, 7006}, {1071, 7007},
    {1053, 7008}, {1068, 7009}, {1056, 7010}, {1064, 7011}, {1069, 7012}, {1055, 7013}, {1072, 7014},
    {5, 7015},    {11, 7016},   {6, 7017},    {7, 7018},    {1083, 7019}, {1084, 7020}, {1013, 7021},
    {1020, 7021}, {1014, 7022}, {1021, 7022}, {1085, 7023}, {1077, 7024}, {1079, 7024}, {1078, 7025},
    {1080, 7025}, {1074, 7026}, {1086, 7027}, {1045, 7028}, {1046, 7029}, {1, 7030},    {2, 7031},
    {1075, 7032}, {1073, 7033}};

// Never narrower than the longest entry, however little room the screen
// leaves the dialog: format names and "Use printer default" run long in some
// languages, and a printer's own names are read, not guessed.
void FitToEntries(QComboBox* combo)
{
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->setMinimumContentsLength(0);
}

}  // namespace

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
    FitToEntries(remapCombo_);
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
    FitToEntries(media_);
    FitToEntries(source_);
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
    markerList_.SetList(markers_);
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
    // Every handler runs guarded: whatever goes wrong in one is shown to the
    // user, and the dialog with its unsaved edits stays.
    auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, Guarded(this, handler));
    };
    on(list_, &QTreeWidget::itemSelectionChanged, [this] { OnSelectionChanged(); });
    on(Field(Name), &QLineEdit::textEdited, [this](const QString& text) { OnNameTyped(text); });
    on(type_, &QComboBox::activated, [this](int index) { OnTypeChosen(index); });
    on(leftRadios_, &QButtonGroup::idClicked, [this](int id) { OnPositionRadio(0, id == 1); });
    on(rightRadios_, &QButtonGroup::idClicked, [this](int id) { OnPositionRadio(1, id == 1); });
    for (int id : {LeftX, LeftY})
        on(Field(id), &QLineEdit::textEdited, [this] { OnPositionTyped(0); });
    for (int id : {RightX, RightY})
        on(Field(id), &QLineEdit::textEdited, [this] { OnPositionTyped(1); });
    for (int id : {Width, Height})
        on(Field(id), &QLineEdit::textEdited, [this, id] { OnSizeTyped(Field(id)); });
    for (int id : {PaperWidth, PaperHeight})
        on(Field(id), &QLineEdit::textEdited, [this, id] { OnPaperTyped(Field(id)); });
    on(Field(HoleSize), &QLineEdit::textEdited, [this] { OnHoleTyped(); });
    on(Field(SpineValue), &QLineEdit::textEdited, [this] { OnSpineTyped(); });

    auto check = [this](int id) { return static_cast<QCheckBox*>(Control(id)); };
    on(check(Label), &QCheckBox::clicked, [this](bool ticked) {
        if (shown_ < 0)
            return;
        formats_.setLabel(shown_, ticked ? 1 : 0);
        Changed();
        ShowSelected();
    });
    on(check(Autodetect), &QCheckBox::clicked, [this](bool ticked) {
        if (shown_ < 0)
            return;
        formats_.setAutodetect(shown_, ticked ? 1 : 0);
        Changed();
    });
    on(check(Remap), &QCheckBox::clicked, [this](bool ticked) {
        if (shown_ < 0)
            return;
        remapCombo_->setEnabled(ticked);
        formats_.setRemapIndex(shown_, ticked ? remapCombo_->currentIndex() : -1);
        Changed();
    });
    on(remapCombo_, &QComboBox::activated, [this](int index) {
        if (shown_ < 0)
            return;
        formats_.setRemapIndex(shown_, index);
        Changed();
    });
    on(check(Spine), &QCheckBox::clicked, [this](bool ticked) {
        if (shown_ < 0)
            return;
        formats_.setSpine(shown_, ticked ? ParseLength(Field(SpineValue)->text().toStdString(), InchMode()) : NO_SPINE);
        Changed();
        ShowSelected();
    });
    on(media_, &QComboBox::activated, [this](int index) {
        if (shown_ < 0)
            return;
        formats_.setMediaType(shown_, media_->itemData(index).toInt());
        Changed();
    });
    on(source_, &QComboBox::activated, [this](int index) {
        if (shown_ < 0)
            return;
        formats_.setPaperSource(shown_, source_->itemData(index).toInt());
        Changed();
    });
    on(unitRadios_, &QButtonGroup::idClicked, [this](int id) {
        units_ = id;
        Changed();
        ShowSelected();
    });

    auto button = [this](int id) { return static_cast<QPushButton*>(Control(id)); };
    on(button(Add), &QPushButton::clicked, [this] { OnAdd(); });
    on(button(Copy), &QPushButton::clicked, [this] { OnCopy(); });
    on(button(Remove), &QPushButton::clicked, [this] { OnRemove(); });
    on(button(MoveUp), &QPushButton::clicked, [this] { OnMove(-1); });
    on(button(MoveDown), &QPushButton::clicked, [this] { OnMove(1); });
    on(markers_, &QListWidget::currentRowChanged, [this] { UpdateMarkerButtons(); });
    const auto editMarker = [this] {
        if (markerList_.EditCurrent(shown_, InchMode(), this))
            MarkersChanged();
    };
    on(button(AddLine), &QPushButton::clicked, [this] {
        if (markerList_.AddLine(shown_, InchMode(), this))
            MarkersChanged();
    });
    on(button(AddRect), &QPushButton::clicked, [this] {
        if (markerList_.AddRect(shown_, InchMode(), this))
            MarkersChanged();
    });
    on(button(EditMarker), &QPushButton::clicked, editMarker);
    on(button(DeleteMarker), &QPushButton::clicked, [this] {
        if (markerList_.DeleteCurrent(shown_))
            MarkersChanged();
    });
    on(markers_, &QListWidget::itemDoubleClicked, editMarker);
}

void CFormatEditDialog::ApplyTexts()
{
    Language().SetControlText(texts_, 0, kTitleText);
    Language().SetControlTexts(texts_, kTexts);
}
