// The format editor driven through its controls (found by their template
// ids): positions, names, units, spins, the tray fields, Cancel, OK writing
// Korvane.dat, a failed save, REMAP links, the marker list and the printer's
// lists. With KORVANE_SCREENSHOT_DIR set, the dialogs are saved as pictures.
#include "../../app/ui/UiTestHome.h"

#include "controls/ui/UpDown.h"
#include "formats/MarkerText.h"
#include "formats/FormatsReporter.h"
#include "formats/ui/EditLineDialog.h"
#include "formats/ui/EditRectDialog.h"
#include "app/ui/FormatEditDialog.h"
#include "print/ui/PaperWidget.h"
#include "settings/LanguageTable.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolButton>
#include <QTreeWidget>

using D = CFormatEditDialog;

namespace {

CoverFormat Sized(const std::string& name, double w, double h, const std::string& type = "CUSTOM")
{
    CoverFormat f = CoverFormat::NewFormat(name);
    f.width = w;
    f.height = h;
    f.type = type;
    return f;
}

template <class W = QWidget>
W* Ctl(const D& d, int id)
{
    W* w = qobject_cast<W*>(d.Control(id));
    if (!w)
        qFatal("control %d missing", id);
    return w;
}

// A click on the control; on a check box or radio button, on its box.
void Click(const D& d, int id)
{
    QWidget* w = Ctl(d, id);
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(std::min(6, w->width() / 2), w->height() / 2));
    else
        QTest::mouseClick(w, Qt::LeftButton);
}

void Type(const D& d, int id, const QString& text)
{
    auto* field = Ctl<QLineEdit>(d, id);
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

// The dialog on screen, so that its rows and pop-ups have their places.
void Show(D& d)
{
    if (d.isVisible())
        return;
    d.show();
    QVERIFY(QTest::qWaitForWindowExposed(&d));
}

// A click on the row as a user makes it: on the row's place in the list.
void SelectRow(D& d, int row)
{
    Show(d);
    auto* list = Ctl<QTreeWidget>(d, D::FormatList);
    QTreeWidgetItem* item = list->topLevelItem(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// Opens the combo's list with a click and picks entry `index` with the keys.
void Choose(D& d, int id, int index)
{
    Show(d);
    auto* combo = Ctl<QComboBox>(d, id);
    QTest::mouseClick(combo, Qt::LeftButton);
    QAbstractItemView* popup = combo->view();
    QTRY_VERIFY(popup->isVisible());
    QTest::keyClick(popup, Qt::Key_Home);
    for (int k = 0; k < index; ++k)
        QTest::keyClick(popup, Qt::Key_Down);
    QTest::keyClick(popup, Qt::Key_Return);
    QTRY_VERIFY(!popup->isVisible());
    QCOMPARE(combo->currentIndex(), index);
}

// A click on line `row` of the marker list.
void ClickMarker(D& d, int row)
{
    Show(d);
    auto* markers = Ctl<QListWidget>(d, D::Markers);
    QTest::mouseClick(markers->viewport(), Qt::LeftButton, {}, markers->visualItemRect(markers->item(row)).center());
}

D::PrinterLists SomePrinter()
{
    D::PrinterLists printer;
    printer.havePrinter = true;
    printer.mediaTypes = {{"plain", "Plain Paper", 1}, {"disc", "Printable Disc", 262}};
    printer.sources = {{"tray1", "Tray 1", 1}, {"cd", "CD Tray", 7}};
    return printer;
}

QString Text(const D& d, int id)
{
    return Ctl<QLineEdit>(d, id)->text();
}

}  // namespace

class FormatEditDialogTest : public QObject {
    Q_OBJECT

    CFormatEditDialog::PrinterLists noPrinter_;

    void Shoot(QWidget& w, const char* name)
    {
        const QByteArray dir = qgetenv("KORVANE_SCREENSHOT_DIR");
        if (dir.isEmpty())
            return;
        w.show();
        QTest::qWait(50);
        w.grab().save(QString::fromUtf8(dir) + QLatin1Char('/') + QLatin1String(name));
    }

private slots:
    void manualPositionsStartCentredOnTheSheet()
    {
        CoverFormatList list;
        list.formats = {Sized("A", 120, 118), Sized("B", 130, 184)};
        D d(list, nullptr, 0, noPrinter_);
        QVERIFY(!Ctl(d, D::LeftX)->isEnabled());
        Click(d, D::LeftManual);
        QCOMPARE(list.at(0).leftX, 45.0);
        QCOMPARE(list.at(0).leftY, 15.25);
        QVERIFY(Ctl(d, D::LeftX)->isEnabled());
        QCOMPARE(Text(d, D::LeftY), QStringLiteral("15.2"));  // shown rounded, kept exact
        Click(d, D::RightManual);
        QCOMPARE(list.at(0).rightX, 45.0);
        QCOMPARE(list.at(0).rightY, 163.75);
        // Typing a position, then clicking "Manual" again, keeps what was typed.
        Type(d, D::LeftX, QStringLiteral("12"));
        Click(d, D::LeftManual);
        QCOMPARE(list.at(0).leftX, 12.0);
        Click(d, D::LeftAuto);
        QCOMPARE(list.at(0).leftX, AUTO_POSITION);
        QCOMPARE(Text(d, D::LeftX), QString());

        SelectRow(d, 1);
        Click(d, D::LeftManual);
        QCOMPARE(list.at(1).leftX, 40.0);
        QCOMPARE(list.at(1).leftY, 56.5);
        QVERIFY(d.Modified());
    }

    void addAndCopyNameTheirFormats()
    {
        CoverFormatList list;
        list.formats = {Sized("New Format", 1, 1), Sized("New Format 1", 1, 1), Sized("Other", 1, 1)};
        list.at(2).translationId = 9000;
        list.at(2).lines.push_back(CutLine{1, 2, 3, 4, 1});
        D d(list, nullptr, -1, noPrinter_);
        QVERIFY(!Ctl(d, D::Copy)->isEnabled());  // nothing selected
        Click(d, D::Add);
        QCOMPARE(list.count(), 4);
        QCOMPARE(list.name(3), std::string("New Format 2"));
        QCOMPARE(d.Selected(), 3);
        QCOMPARE(list.at(3).width, 100.0);

        SelectRow(d, 2);  // shown by its translation: "CD Front"
        QCOMPARE(Text(d, D::Name), QStringLiteral("CD Front"));
        Click(d, D::Copy);
        QCOMPARE(list.count(), 5);
        QCOMPARE(list.name(3), std::string("Copy of CD Front"));
        QCOMPARE(list.translationId(3), 0);
        QCOMPARE(list.at(3).lines, list.at(2).lines);
        QCOMPARE(d.Selected(), 3);
        // Rows alternate from a green first row.
        auto* rows = Ctl<QTreeWidget>(d, D::FormatList);
        QCOMPARE(rows->topLevelItem(2)->background(0).color(), QColor(240, 255, 240));
        QCOMPARE(rows->topLevelItem(3)->background(0).color(), QColor(Qt::white));
    }

    void renamingClearsTheTranslation()
    {
        CoverFormatList list;
        list.formats = {Sized("CD Front", 120, 120, "CD_FRONT")};
        list.at(0).translationId = 9000;
        D d(list, nullptr, 0, noPrinter_);
        Type(d, D::Name, QStringLiteral("My Front"));
        QCOMPARE(list.name(0), std::string("My Front"));
        QCOMPARE(list.translationId(0), 0);
        QCOMPARE(Ctl<QTreeWidget>(d, D::FormatList)->topLevelItem(0)->text(0), QStringLiteral("My Front"));
        QCOMPARE(Ctl<QComboBox>(d, D::RemapCombo)->itemText(0), QStringLiteral("My Front"));
    }

    void inchesShowAndReadLengths()
    {
        CoverFormatList list;
        list.formats = {Sized("A", 120, 118)};
        D d(list, nullptr, 0, noPrinter_);
        QCOMPARE(Text(d, D::Width), QStringLiteral("120.0"));
        Click(d, D::Inches);
        QVERIFY(d.InchMode());
        QCOMPARE(Text(d, D::Width), QStringLiteral("4.72"));
        QCOMPARE(Text(d, D::Height), QStringLiteral("4.65"));
        Type(d, D::Width, QStringLiteral("5"));
        QCOMPARE(list.at(0).width, 127.0);
        QCOMPARE(list.at(0).height, 118.0);  // the untouched field keeps its exact value
        QCOMPARE(Text(d, D::Width), QStringLiteral("5"));  // the field being typed in is left alone
        // The automatic position stays automatic while the size is typed.
        QCOMPARE(list.at(0).leftX, AUTO_POSITION);
        QVERIFY(Ctl<QRadioButton>(d, D::LeftAuto)->isChecked());
        // Inch spins step 0.01 inch.
        QTest::mouseClick(Ctl<CUpDown>(d, D::HeightSpin)->UpButton(), Qt::LeftButton);
        QCOMPARE(list.at(0).height, 118.254);
        Click(d, D::Millimeters);
        QCOMPARE(Text(d, D::Width), QStringLiteral("127.0"));
        Type(d, D::Height, QStringLiteral("abc"));
        QCOMPARE(list.at(0).height, 0.0);
    }

    void spinsStepTheModelAndStopAtZero()
    {
        CoverFormatList list;
        list.formats = {Sized("Label", 118, 118)};
        list.at(0).label = 1;
        list.at(0).holeSize = 0.05;
        D d(list, nullptr, 0, noPrinter_);
        QVERIFY(Ctl(d, D::HoleSize)->isEnabled());
        QTest::mouseClick(Ctl<CUpDown>(d, D::HoleSizeSpin)->UpButton(), Qt::LeftButton);
        QCOMPARE(list.at(0).holeSize, 0.15);
        list.at(0).holeSize = 0.05;
        QTest::mouseClick(Ctl<CUpDown>(d, D::HoleSizeSpin)->DownButton(), Qt::LeftButton);
        QCOMPARE(list.at(0).holeSize, 0.0);
        QCOMPARE(Text(d, D::HoleSize), QStringLiteral("0.0"));
        // Without a label the hole field is disabled and empty.
        Click(d, D::Label);
        QCOMPARE(list.at(0).label, 0);
        QVERIFY(!Ctl(d, D::HoleSize)->isEnabled());
        QCOMPARE(Text(d, D::HoleSize), QString());
    }

    void trayPaperFieldsFollowTheType()
    {
        CoverFormatList list;
        list.formats = {Sized("Tray", 120, 120, "CD_TRAY"), Sized("Slim", 130, 184, "SLIMLINE_DVD")};
        list.at(0).paperWidth = 216;
        D d(list, nullptr, 0, noPrinter_);
        QVERIFY(Ctl(d, D::PaperGroup)->isEnabled());
        QCOMPARE(Text(d, D::PaperWidth), QStringLiteral("216.0"));
        QVERIFY(Ctl<CPaper>(d, D::LeftPreview)->View().trayMode);
        QVERIFY(!Ctl<CPaper>(d, D::LeftPreview)->View().firstImage);
        QVERIFY(!Ctl(d, D::Spine)->isEnabled());
        auto* type = Ctl<QComboBox>(d, D::Type);
        QCOMPARE(type->currentText(), QStringLiteral("CD_TRAY"));
        Choose(d, D::Type, 0);  // "DVD"
        QCOMPARE(list.type(0), std::string("DVD"));
        QVERIFY(!Ctl(d, D::PaperGroup)->isEnabled());
        QCOMPARE(list.paperWidth(0), 216.0);
        QVERIFY(!Ctl<CPaper>(d, D::LeftPreview)->View().trayMode);
        QVERIFY(Ctl<CPaper>(d, D::LeftPreview)->View().firstImage);  // the sample cover
        QCOMPARE(Ctl<CPaper>(d, D::RightPreview)->View().firstFormat, RightFormat(0));

        SelectRow(d, 1);  // a slimline sleeve offers the spine
        QVERIFY(Ctl(d, D::Spine)->isEnabled());
        QVERIFY(!Ctl(d, D::SpineValue)->isEnabled());
        Click(d, D::Spine);
        QCOMPARE(list.spine(1), 0.0);
        Type(d, D::SpineValue, QStringLiteral("9"));
        QCOMPARE(list.spine(1), 9.0);
        Click(d, D::Spine);
        QVERIFY(!list.hasSpine(1));
    }

    void cancelBringsRemovedFormatsBack()
    {
        CoverFormatList list;
        list.formats = {Sized("A", 1, 1), Sized("B", 2, 2), Sized("C", 3, 3)};
        const std::vector<CoverFormat> before = list.formats;
        D d(list, nullptr, 1, noPrinter_);
        Click(d, D::Remove);
        QCOMPARE(list.count(), 2);
        QCOMPARE(d.Selected(), 1);
        QCOMPARE(Text(d, D::Name), QStringLiteral("C"));
        Click(d, D::Remove);
        QCOMPARE(d.Selected(), 0);  // the last row went: the one before
        Click(d, D::Cancel);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(list.formats == before);
    }

    void remapLinksFollowMovesAndRemovals()
    {
        CoverFormatList list;
        list.formats = {Sized("A", 1, 1), Sized("B", 2, 2), Sized("C", 3, 3)};
        list.at(0).remapIndex = 2;
        D d(list, nullptr, 2, noPrinter_);
        Click(d, D::MoveUp);
        QCOMPARE(d.Selected(), 1);
        QCOMPARE(list.name(list.remapIndex(0)), std::string("C"));
        QVERIFY(!Ctl(d, D::MoveUp)->isEnabled() == false);
        SelectRow(d, 2);  // B
        QVERIFY(!Ctl(d, D::MoveDown)->isEnabled());
        Click(d, D::Remove);
        QCOMPARE(list.name(list.remapIndex(0)), std::string("C"));
        SelectRow(d, 0);
        QVERIFY(Ctl<QCheckBox>(d, D::Remap)->isChecked());
        QCOMPARE(Ctl<QComboBox>(d, D::RemapCombo)->currentText(), QStringLiteral("C"));
        Click(d, D::Remap);
        QCOMPARE(list.remapIndex(0), -1);
        QVERIFY(!Ctl(d, D::RemapCombo)->isEnabled());
    }

    void markerListShowsLinesThenRectangles()
    {
        CoverFormatList list;
        list.formats = {Sized("A", 120, 120)};
        list.at(0).rects.push_back(CutRect{0, 0, 120, 120, 1});
        list.at(0).lines.push_back(CutLine{EDGE_TOP, 0, 0, 0, 0});
        list.at(0).lines.push_back(CutLine{0, 6, 120, 6, 1});
        D d(list, nullptr, 0, noPrinter_);
        auto* markers = Ctl<QListWidget>(d, D::Markers);
        QCOMPARE(markers->count(), 3);
        QCOMPARE(markers->item(0)->text(), QStringLiteral("LINE = TOP, DASHED"));
        QCOMPARE(markers->item(1)->text(), QStringLiteral("LINE = (0.0, 6.0)(120.0, 6.0), SOLID"));
        QCOMPARE(markers->item(2)->text(), QStringLiteral("RECT = (0.0, 0.0)(120.0, 120.0), SOLID"));
        QCOMPARE(markers->item(2)->data(Qt::UserRole).toInt(), 1000);
        QVERIFY(!Ctl(d, D::EditMarker)->isEnabled());

        // Edit opens the dialog on the stored values; OK stores its answer.
        CutRect seen;
        d.SetMarkerEditors([](CutLine&, bool, QWidget*) { return false; },
                           [&seen](CutRect& r, bool, QWidget*) {
                               seen = r;
                               r.width = 100;
                               return true;
                           });
        ClickMarker(d, 2);
        QVERIFY(Ctl(d, D::EditMarker)->isEnabled());
        Click(d, D::EditMarker);
        QCOMPARE(seen, (CutRect{0, 0, 120, 120, 1}));
        QCOMPARE(list.rect(0, 0).width, 100.0);
        // Delete keeps the row, or the one before when the last went.
        Click(d, D::DeleteMarker);
        QCOMPARE(list.rectCount(0), 0);
        QCOMPARE(markers->currentRow(), 1);
        ClickMarker(d, 0);
        Click(d, D::DeleteMarker);
        QCOMPARE(markers->currentRow(), 0);
        QCOMPARE(markers->item(0)->text(), QStringLiteral("LINE = (0.0, 6.0)(120.0, 6.0), SOLID"));
    }

    void okWritesWhatTheReaderReadsBack()
    {
        QTemporaryDir dir;
        const std::string path = dir.filePath(QStringLiteral("Korvane.dat")).toStdString();
        CoverFormatList list;
        list.formats = {Sized("Front", 120, 120, "CD_FRONT"), Sized("Tray", 118, 118, "CD_TRAY")};
        list.at(1).paperWidth = 216.5;
        list.at(1).label = 1;
        list.at(1).holeSize = 22;
        list.trailer = "; ****** end\r\n";
        QVERIFY(list.saveAs(path));
        CoverFormatList onDisk;
        CCollectingFormatsReporter reporter;
        QVERIFY(onDisk.load(path, reporter));

        D d(onDisk, nullptr, 0, noPrinter_);
        d.SetMarkerEditors(
            [](CutLine& l, bool, QWidget*) {
                l = CutLine{0, 6.5, 120, 6.5, 0};
                return true;
            },
            [](CutRect& r, bool, QWidget*) {
                r.solid = 0;
                return true;
            });
        Click(d, D::AddLine);
        Click(d, D::AddRect);
        Click(d, D::Add);
        Type(d, D::Name, QString());  // an empty name becomes "No Name"
        Click(d, D::Autodetect);
        SelectRow(d, 0);
        Click(d, D::Remap);
        Choose(d, D::RemapCombo, 1);
        Click(d, D::Ok);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(d.SaveError().isEmpty());
        QCOMPARE(onDisk.name(2), std::string("No Name"));

        CoverFormatList back;
        QVERIFY(back.load(path, reporter));
        QCOMPARE(back.count(), 3);
        for (int i = 0; i < 3; ++i)
            QVERIFY2(back.at(i) == onDisk.at(i), onDisk.name(i).c_str());
        QCOMPARE(back.remapIndex(0), 1);
        QCOMPARE(back.line(0, 0), (CutLine{0, 6.5, 120, 6.5, 0}));
        QCOMPARE(back.rect(0, 0), (CutRect{0, 0, 100, 100, 0}));
        QCOMPARE(back.trailer, list.trailer);
    }

    void failedSaveSaysSoAndKeepsTheEdits()
    {
        QTemporaryDir dir;
        CoverFormatList list;
        list.formats = {Sized("A", 1, 1)};
        list.filePath = dir.filePath(QStringLiteral("no-such-folder/Korvane.dat")).toStdString();
        D d(list, nullptr, 0, noPrinter_);
        Type(d, D::Name, QStringLiteral("Edited"));
        QString shown;
        AnswerNextModal([&shown](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                shown = box->text();
                box->accept();
            }
        });
        Click(d, D::Ok);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY2(shown.contains(QString::fromStdString(list.filePath)), qPrintable(shown));
        QVERIFY(shown.startsWith(QStringLiteral("The formats file could not be saved")));
        QCOMPARE(shown, d.SaveError());
        QCOMPARE(list.name(0), std::string("Edited"));
        QVERIFY(!QFile::exists(QString::fromStdString(list.filePath)));
    }

    void printerListsCarryTheirNumbers()
    {
        CoverFormatList list;
        list.formats = {Sized("A", 1, 1)};
        list.at(0).mediaType = 262;
        D::PrinterLists printer;
        printer.havePrinter = true;
        printer.mediaTypes = {{"plain", "Plain Paper", 1}, {"disc", "Printable Disc", 262}};
        D d(list, nullptr, 0, printer);
        auto* media = Ctl<QComboBox>(d, D::MediaType);
        QVERIFY(media->isEnabled());
        QCOMPARE(media->count(), 3);
        QCOMPARE(media->currentText(), QStringLiteral("Printable Disc"));
        auto* source = Ctl<QComboBox>(d, D::PaperSource);
        QCOMPARE(source->count(), 1);  // only "Use printer default"
        QVERIFY(!source->isEnabled());
        QVERIFY(!Ctl(d, D::PaperSourceCaption)->isEnabled());
        Choose(d, D::MediaType, 0);
        QCOMPARE(list.mediaType(0), 1);
        Choose(d, D::MediaType, 2);
        QCOMPARE(list.mediaType(0), -1);
    }

    // A click on each row in turn shows that row's format, with the printer
    // lists acting on it alone; the keys Up and Down do the same.
    void clickingEachRowShowsItsFormat()
    {
        TestHome home;
        CoverFormatList list;
        CCollectingFormatsReporter reporter;
        QVERIFY(list.load(home.FilePath(QStringLiteral("Korvane.dat")).toStdString(), reporter));
        QVERIFY(list.count() > 10);
        const std::vector<CoverFormat> before = list.formats;
        D d(list, nullptr, 0, SomePrinter());
        auto* rows = Ctl<QTreeWidget>(d, D::FormatList);
        for (int row = list.count() - 1; row >= 0; --row) {
            SelectRow(d, row);
            const QString what = QString::number(row) + QLatin1Char(' ') + rows->topLevelItem(row)->text(0);
            QVERIFY2(d.Selected() == row, qPrintable(what));
            QVERIFY2(Ctl(d, D::Name)->isEnabled(), qPrintable(what));
            QCOMPARE(Text(d, D::Name), rows->topLevelItem(row)->text(0));
            QCOMPARE(Text(d, D::Width), QString::fromStdString(LengthText(list.at(row).width, false)));
            QCOMPARE(Text(d, D::Height), QString::fromStdString(LengthText(list.at(row).height, false)));
            QVERIFY2(Ctl<QComboBox>(d, D::Type)->currentText().startsWith(QString::fromStdString(list.type(row)),
                                                                            Qt::CaseInsensitive),
                     qPrintable(what));
            QCOMPARE(Ctl<CPaper>(d, D::LeftPreview)->View().firstFormat, LeftFormat(row));
            QVERIFY(Ctl(d, D::MediaType)->isEnabled());
        }
        QVERIFY(!d.Modified());
        QVERIFY(list.formats == before);

        // A media type and a paper source chosen after a click land on the
        // row the fields show, and on no other.
        int playStation = -1;
        for (int i = 0; i < list.count(); ++i)
            if (list.name(i) == "PlayStation Front")
                playStation = i;
        QVERIFY(playStation > 3);
        SelectRow(d, 3);  // "DVD Sleeve"
        SelectRow(d, playStation);
        Choose(d, D::MediaType, 1);
        Choose(d, D::PaperSource, 0);
        for (int i = 0; i < list.count(); ++i) {
            QCOMPARE(list.mediaType(i), i == playStation ? 262 : before[i].mediaType);
            QCOMPARE(list.paperSource(i), i == playStation ? 1 : before[i].paperSource);
        }
        QCOMPARE(Text(d, D::Name), rows->topLevelItem(playStation)->text(0));

        // The keys move the selection and the fields with it.
        QTest::keyClick(rows, Qt::Key_Down);
        QCOMPARE(d.Selected(), playStation + 1);
        QCOMPARE(Text(d, D::Name), rows->topLevelItem(playStation + 1)->text(0));
        QTest::keyClick(rows, Qt::Key_Up);
        QTest::keyClick(rows, Qt::Key_Up);
        QCOMPARE(Text(d, D::Name), rows->topLevelItem(playStation - 1)->text(0));
        Click(d, D::Cancel);
    }

    // With no row selected (the left slot's format was removed), nothing that
    // acts on a format is enabled, and the greyed controls show no format.
    void noSelectionLeavesNothingToActOn()
    {
        CoverFormatList list;
        list.formats = {Sized("CD Front Cover", 120, 120, "CD_FRONT"), Sized("B", 130, 184)};
        list.at(0).remapIndex = 1;
        list.at(1).remapIndex = 0;
        D d(list, nullptr, -1, SomePrinter());
        Show(d);
        QCOMPARE(d.Selected(), -1);
        for (int id : {D::MediaType, D::MediaTypeCaption, D::PaperSource, D::PaperSourceCaption, D::Copy, D::Remove,
                       D::MoveUp, D::MoveDown, D::Name, D::Type, D::Label, D::Remap, D::RemapCombo, D::Autodetect,
                       D::Spine, D::AddLine, D::AddRect, D::EditMarker, D::DeleteMarker, D::LeftGroup, D::SizeGroup})
            QVERIFY2(!Ctl(d, id)->isEnabled(), qPrintable(QString::number(id)));
        QCOMPARE(Ctl<QComboBox>(d, D::RemapCombo)->currentText(), QString());
        QCOMPARE(Text(d, D::Name), QString());
        QCOMPARE(Text(d, D::Width), QString());
        // Keys on the disabled media list do nothing, and the dialog stays.
        QTest::keyClick(Ctl(d, D::MediaType), Qt::Key_Down);
        QVERIFY(!d.Modified());

        // Shown once a row is picked; cleared again when it is removed and
        // the list ends empty.
        SelectRow(d, 0);
        QCOMPARE(Ctl<QComboBox>(d, D::RemapCombo)->currentText(), QStringLiteral("B"));
        QVERIFY(Ctl(d, D::MediaType)->isEnabled());
        Click(d, D::Remove);
        Click(d, D::Remove);
        QCOMPARE(list.count(), 0);
        QVERIFY(!Ctl(d, D::MediaType)->isEnabled());
        QVERIFY(!Ctl(d, D::Remove)->isEnabled());
        QCOMPARE(Text(d, D::Name), QString());
        Click(d, D::Cancel);
        QCOMPARE(list.count(), 2);
    }

    // In German "Use printer default" is "Druckerstandard verwenden": both
    // printer lists are wide enough for it.
    void printerListsFitTheirLongestEntry()
    {
        TestHome home;
        QVERIFY(QFile::copy(QStringLiteral(KORVANE_SOURCE_DIR "/resources/languages/German.lng"),
                            home.FilePath(QStringLiteral("languages/German.lng"))));
        Language().ProbeLanguageFiles();
        Language().SelectLanguage(6);
        QCOMPARE(Language().GetCurrentLanguage(), 6);
        CoverFormatList list;
        list.formats = {Sized("A", 120, 120)};
        D d(list, nullptr, 0, SomePrinter());
        Show(d);
        for (int id : {D::MediaType, D::PaperSource}) {
            auto* combo = Ctl<QComboBox>(d, id);
            QCOMPARE(combo->currentText(), QStringLiteral("Druckerstandard verwenden"));
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = false;
            const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                               QStyle::SC_ComboBoxEditField, combo);
            for (int k = 0; k < combo->count(); ++k)
                QVERIFY2(field.width() >= combo->fontMetrics().horizontalAdvance(combo->itemText(k)),
                         qPrintable(QStringLiteral("%1: %2 < %3")
                                        .arg(combo->itemText(k))
                                        .arg(field.width())
                                        .arg(combo->fontMetrics().horizontalAdvance(combo->itemText(k)))));
        }
        Language().SelectLanguage(0);
    }

    // Every caption has the room it asks for, in every shipped language.
    void captionsFitInEveryShippedLanguage()
    {
        TestHome home;
        const QDir shipped(QStringLiteral(KORVANE_SOURCE_DIR "/resources/languages"));
        const QStringList files = shipped.entryList({QStringLiteral("*.lng")});
        QVERIFY(!files.isEmpty());
        for (const QString& file : files)
            QFile::copy(shipped.filePath(file), home.FilePath(QStringLiteral("languages/")) + file);
        Language().ProbeLanguageFiles();
        CoverFormatList list;
        list.formats = {Sized("Slim", 130, 184, "SLIMLINE_DVD")};
        for (const QString& file : files) {
            int index = -1;
            for (int i = 0; i < kLanguageCount; ++i)
                if (QString::fromLatin1(Languages()[i].fileName) + QStringLiteral(".lng") == file)
                    index = i;
            QVERIFY2(index > 0, qPrintable(file));
            Language().SelectLanguage(index);
            QCOMPARE(Language().GetCurrentLanguage(), index);
            D editor(list, nullptr, 0, noPrinter_);
            CEditLineDialog line(CutLine{}, true);
            CEditRectDialog rect(CutRect{}, true);
            for (QDialog* dialog : {static_cast<QDialog*>(&editor), static_cast<QDialog*>(&line),
                                    static_cast<QDialog*>(&rect)}) {
                dialog->show();
                QVERIFY(QTest::qWaitForWindowExposed(dialog));
                for (QWidget* w : dialog->findChildren<QWidget*>()) {
                    QString caption;
                    int room = w->width(), needed = 0;
                    if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
                        caption = b->text();
                        needed = b->sizeHint().width();
                    } else if (auto* l = qobject_cast<QLabel*>(w); l && !l->wordWrap()) {
                        caption = l->text();
                        needed = l->sizeHint().width();
                    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
                        caption = g->title();
                        needed = g->fontMetrics().horizontalAdvance(caption);
                    }
                    if (!caption.isEmpty())
                        QVERIFY2(room >= needed, qPrintable(file + QStringLiteral(": ") + caption));
                }
                dialog->hide();
            }
        }
        Language().SelectLanguage(0);
    }

    void screenshots()
    {
        if (qEnvironmentVariableIsEmpty("KORVANE_SCREENSHOT_DIR"))
            QSKIP("KORVANE_SCREENSHOT_DIR is not set");
        TestHome home;
        CoverFormatList list;
        CCollectingFormatsReporter reporter;
        QVERIFY(list.load(home.FilePath(QStringLiteral("Korvane.dat")).toStdString(), reporter));
        const QString lang = qEnvironmentVariable("KORVANE_SCREENSHOT_LANGUAGE");
        const QString suffix = lang.isEmpty() ? QStringLiteral("en") : lang.toLower();
        if (!lang.isEmpty()) {
            QFile::copy(QStringLiteral(KORVANE_SOURCE_DIR "/resources/languages/") + lang + QStringLiteral(".lng"),
                        home.FilePath(QStringLiteral("languages/")) + lang + QStringLiteral(".lng"));
            for (int i = 0; i < kLanguageCount; ++i)
                if (QString::fromLatin1(Languages()[i].fileName) == lang)
                    Language().SelectLanguage(i);
        }
        for (int i = 0; i < list.count(); ++i)
            if (list.at(i).translationId != 0)
                Language().SetEnglishText(list.at(i).translationId, list.name(i));
        {
            D d(list, nullptr, list.findByType("CD_FRONT"), noPrinter_);
            Shoot(d, qPrintable(QStringLiteral("format-editor-cd-front-mm-%1.png").arg(suffix)));
        }
        {
            int tray = -1;
            for (int i = 0; i < list.count(); ++i)
                if (list.name(i) == "Disc in Printer Tray")
                    tray = i;
            D d(list, nullptr, tray, noPrinter_);
            QTest::mouseClick(Ctl<QRadioButton>(d, D::Inches), Qt::LeftButton);
            Shoot(d, qPrintable(QStringLiteral("format-editor-tray-inches-%1.png").arg(suffix)));
        }
        {
            CEditLineDialog line(CutLine{0, 6, 120, 6, 0}, false);
            Shoot(line, qPrintable(QStringLiteral("line-dialog-%1.png").arg(suffix)));
            CEditRectDialog rect(CutRect{0, 0, 100, 100, 1}, false);
            Shoot(rect, qPrintable(QStringLiteral("rectangle-dialog-%1.png").arg(suffix)));
        }
        Language().SelectLanguage(0);
    }
};

QTEST_MAIN(FormatEditDialogTest)
#include "FormatEditDialogTest.moc"
