// The widgets the windows of every subsystem share, driven by real clicks:
// the clickable label, the wrapping check box, the up-down arrows, skin
// colours on widgets and the dialog-unit form layout.
#include "controls/ui/ClickableLabel.h"
#include "controls/ui/FormLayout.h"
#include "controls/ui/UpDown.h"
#include "controls/ui/WidgetColors.h"
#include "controls/ui/WrappingCheckBox.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class SharedWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void clickableLabelReportsLeftClicksOnly()
    {
        CClickableLabel label(QStringLiteral("Print cut lines"));
        label.resize(120, 20);
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        QSignalSpy clicked(&label, &CClickableLabel::clicked);
        QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(clicked.count(), 1);
        QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(clicked.count(), 1);
        // Pressed inside, released outside: no click.
        QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(200, 10));
        QCOMPARE(clicked.count(), 1);
    }

    void wrappingCheckBoxTogglesOnAClickAnywhereOnItsCaption()
    {
        CWrappingCheckBox box(QStringLiteral("A long caption that wraps onto a second and a third line here"));
        box.resize(120, 60);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(!box.isChecked());
        // On the last line of the caption, far from the box itself.
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(100, 50));
        QVERIFY(box.isChecked());
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!box.isChecked());
        // The space bar, as for any check box.
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Space);
        QVERIFY(box.isChecked());
    }

    void upDownReportsEachStepWhileEnabled()
    {
        QWidget window;
        auto* arrows = new CUpDown(&window);
        arrows->setGeometry(0, 0, 16, 24);
        window.resize(40, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSignalSpy stepped(arrows, &CUpDown::Stepped);
        QToolButton* up = arrows->UpButton();
        QToolButton* down = arrows->DownButton();
        QTest::mouseClick(up, Qt::LeftButton, {}, up->rect().center());
        QTest::mouseClick(down, Qt::LeftButton, {}, down->rect().center());
        QTest::mouseClick(up, Qt::LeftButton, {}, up->rect().center());
        QCOMPARE(stepped.count(), 3);
        QCOMPARE(stepped[0][0].toBool(), true);
        QCOMPARE(stepped[1][0].toBool(), false);
        QCOMPARE(stepped[2][0].toBool(), true);
        // The arrows never take the focus from the field they step.
        QCOMPARE(up->focusPolicy(), Qt::NoFocus);
        arrows->setEnabled(false);
        QTest::mouseClick(up, Qt::LeftButton, {}, up->rect().center());
        QCOMPARE(stepped.count(), 3);
    }

    void controlColoursGoToThePaletteAndBackToThePlatform()
    {
        QComboBox combo;
        const QPalette platform = combo.palette();
        ControlColors colors;
        colors.text = Rgb{0xFF, 0xFF, 0xFF};
        colors.textBackground = Rgb{0x80, 0x80, 0x80};
        colors.brush = kComboBrush;
        ApplyControlColors(&combo, colors);
        QCOMPARE(combo.palette().color(QPalette::Text), QColor(0xFF, 0xFF, 0xFF));
        QCOMPARE(combo.palette().color(QPalette::ButtonText), QColor(0xFF, 0xFF, 0xFF));
        QCOMPARE(combo.palette().color(QPalette::Base), QColor(0x80, 0x80, 0x80));
        QCOMPARE(combo.palette().color(QPalette::Window), QColor(0x80, 0x80, 0x80));
        QVERIFY(combo.autoFillBackground());
        // The drop-down list is a window of its own and gets the colours too.
        QCOMPARE(combo.view()->palette().color(QPalette::Text), QColor(0xFF, 0xFF, 0xFF));

        ApplyControlColors(&combo, ControlColors{});
        QCOMPARE(combo.palette().color(QPalette::Text), platform.color(QPalette::Text));
        QCOMPARE(combo.palette().color(QPalette::Window), platform.color(QPalette::Window));
        QVERIFY(!combo.autoFillBackground());
    }

    void transparentLabelsPaintNoBackground()
    {
        QLabel label;
        ControlColors colors;
        colors.text = Rgb{0xC0, 0xC0, 0xC0};
        colors.transparent = true;
        ApplyControlColors(&label, colors);
        QCOMPARE(label.palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
        QVERIFY(!label.autoFillBackground());
    }

    void formLayoutMapsDialogUnitsThroughTheFontsBaseUnits()
    {
        QCOMPARE(CFormLayout::PixelHeight(8), 11);   // trunc(8 * 96 / 72 + 0.5)
        QCOMPARE(CFormLayout::PixelHeight(10), 13);  // 13.33
        const CFormLayout layout;
        QVERIFY(layout.BaseX() > 0);
        QVERIFY(layout.BaseY() > 0);
        // Four units across are one base unit, eight down are one line.
        QCOMPARE(layout.X(4), layout.BaseX());
        QCOMPARE(layout.Y(8), layout.BaseY());
        QCOMPARE(layout.X(0), 0);
        QWidget w;
        layout.Place(&w, 4, 8, 40, 16);
        QCOMPARE(w.geometry(), layout.Map(4, 8, 40, 16));
        QCOMPARE(w.font(), layout.Font());
    }
};

QTEST_MAIN(SharedWidgetsTest)
#include "SharedWidgetsTest.moc"
