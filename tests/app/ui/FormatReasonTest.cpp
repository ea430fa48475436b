// Why a format was chosen, on the real window: the paper's tooltip (asked
// for as the mouse resting on it asks) and the status line say the format,
// the picture's proportions and whether it was turned; a format chosen in
// the list says so.
#include "DropFiles.h"
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/RecognitionReason.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"

#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QStatusBar>
#include <QToolTip>

namespace {

// The tooltip the paper shows when the mouse rests on it.
QString ToolTipOf(QWidget* paper)
{
    // The last one fades out first.
    QToolTip::hideText();
    QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000);
    const QPoint at = paper->rect().center();
    QHelpEvent help(QEvent::ToolTip, at, paper->mapToGlobal(at));
    QCoreApplication::sendEvent(paper, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

QString StatusLine(CKorvaneApp& app)
{
    auto* label = app.Frame()->statusBar()->findChild<QLabel*>(QStringLiteral("reason"));
    return label ? label->text() : QStringLiteral("(no status line)");
}

}  // namespace

class FormatReasonTest : public QObject {
    Q_OBJECT

private slots:
    void tooltipAndStatusLineSayWhyThisFormat()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nAutoLoad2ndImage = 0\r\n");
        CKorvaneApp app;
        QVERIFY(app.InitInstance());
        QTest::qWait(80);
        CTheView* view = app.View();
        CPaper* left = view->Paper(Slot::Left);
        CPaper* right = view->Paper(Slot::Right);
        QCOMPARE(ToolTipOf(left), QString());
        QCOMPARE(StatusLine(app), QString());

        Drop(left, {home.MakePicture(QStringLiteral("Front.png"), 1400, 1400)});
        const QString front = QStringLiteral("CD Front: 1400 x 1400 px, ratio 1.00 (format 1.00); not turned");
        QTRY_COMPARE(ToolTipOf(left), front);
        QCOMPARE(StatusLine(app), front);

        // A landscape booklet scan on the right paper is turned upright; the
        // ratio shown is the turned picture's, beside the format's.
        Drop(right, {home.MakePicture(QStringLiteral("Booklet.png"), 2400, 1200)});
        QTRY_VERIFY(app.Document()->IsLoaded(Slot::Right));
        const int booklet = view->State().rightFormat;
        const QString turned = QStringLiteral("%1: 2400 x 1200 px, ratio 2.00 (format %2); turned a quarter turn clockwise")
                                   .arg(view->Combo(Slot::Right)->itemText(booklet),
                                        QString::fromStdString(RatioText(app.Document()->formats.detectRatio(booklet))));
        QCOMPARE(ToolTipOf(right), turned);
        QCOMPARE(StatusLine(app), turned);
        QCOMPARE(ToolTipOf(left), front);

        // Another format chosen in the left list, from the keyboard.
        QComboBox* combo = view->Combo(Slot::Left);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down);
        QCOMPARE(view->State().leftFormat, 1);
        const QString chosen = QStringLiteral("%1: chosen in the list; the picture is 1400 x 1400 px, ratio 1.00 (format %2)")
                                   .arg(combo->itemText(1),
                                        QString::fromStdString(RatioText(app.Document()->formats.detectRatio(1))));
        QCOMPARE(ToolTipOf(left), chosen);

        // "New" leaves nothing to explain.
        app.Document()->ClearBoth();
        QCOMPARE(ToolTipOf(left), QString());
        QCOMPARE(StatusLine(app), QString());
        app.ExitInstance();
    }
};

QTEST_MAIN(FormatReasonTest)
#include "FormatReasonTest.moc"
