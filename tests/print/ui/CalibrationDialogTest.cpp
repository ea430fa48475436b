// The calibration dialog: a measurement gives the offsets and the offsets
// give the measurement back, from the offsets the page was printed with.
#include "print/ui/CalibrationDialog.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QtTest>

namespace {

// Replaces the box's number as a user does: select all, type, Tab away.
void Type(QDoubleSpinBox* box, const QString& text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab);
}

}  // namespace

class CalibrationDialogTest : public QObject {
    Q_OBJECT

private slots:
    void measurementsBecomeOffsetsAndBack() {
        CCalibrationDialog dialog(Calibration{0.5, -0.25});
        // Nothing measured yet: the marks sat where they belong.
        QCOMPARE(dialog.OffsetX()->value(), 0.5);
        QCOMPARE(dialog.OffsetY()->value(), -0.25);

        // Crosshair 1 measured 21.5 mm from the left and 19 mm from the top.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        Type(dialog.MeasuredX(), QStringLiteral("21.5"));
        Type(dialog.MeasuredY(), QStringLiteral("19.0"));
        QCOMPARE(dialog.OffsetX()->value(), -1.0);
        QCOMPARE(dialog.OffsetY()->value(), 0.75);
        QCOMPARE(dialog.Result().x, -1.0);
        QCOMPARE(dialog.Result().y, 0.75);

        // Typed in directly: the measurement that would give it.
        Type(dialog.OffsetX(), QStringLiteral("2.0"));
        QCOMPARE(dialog.MeasuredX()->value(), 18.5);
        QCOMPARE(dialog.Result().x, 2.0);
        QVERIFY(dialog.Reprint());
    }
};

QTEST_MAIN(CalibrationDialogTest)
#include "CalibrationDialogTest.moc"
