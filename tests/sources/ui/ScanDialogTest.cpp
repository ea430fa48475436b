// File > Scan Cover... on the real main window with SANE's own test
// backend as the scanner: a 300 dpi scan reaches the slot knowing its size
// and is recognised by it, grey and the paper's menu choose as they say,
// the preview leaves the slots alone, Cancel and a closing dialog end the
// scan and leave the slot as it was, and a machine without a scanner says so.
#include "../../app/ui/UiTestHome.h"
#include "../SaneTestConfig.h"

#include "app/CommandIds.h"
#include "app/KorvaneDoc.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"
#include "sources/SourceTexts.h"
#include "sources/ui/ScanDialog.h"
#include "sources/ui/ServiceMessages.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

class ScanDialogTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> home_;
    std::unique_ptr<CKorvaneApp> app_;

    CTheView* View() { return app_->View(); }
    CKorvaneDoc& Doc() { return *app_->Document(); }

    CScanDialog* OpenDialog()
    {
        app_->Frame()->Menu()->Action(Cmd::ScanCover)->trigger();
        return Found();
    }
    CScanDialog* Found()
    {
        CScanDialog* dialog = nullptr;
        [&] { QTRY_VERIFY((dialog = View()->findChild<CScanDialog*>()) && dialog->isVisible()); }();
        return dialog;
    }
    template <class T>
    static T* Part(QWidget* dialog, const char* name)
    {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    static void Click(QWidget* dialog, const char* name)
    {
        QTest::mouseClick(Part<QAbstractButton>(dialog, name), Qt::LeftButton);
    }
    static void WaitForScanners(QWidget* dialog, int count = 2)
    {
        QTRY_COMPARE_WITH_TIMEOUT(Part<QComboBox>(dialog, "scanner")->count(), count, 20000);
        QTRY_VERIFY(Part<QPushButton>(dialog, "scan")->isEnabled());
    }

private slots:
    void init()
    {
        UseSaneTestBackend(120, 120);
        home_ = std::make_unique<TestHome>();
        home_->WriteCfg("[Options]\r\nShowSplash = 0\r\n");
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        QTest::qWait(50);
    }

    void cleanup()
    {
        app_->ExitInstance();
        app_.reset();
        home_.reset();
    }

    void aScanReachesTheSlotWithItsSizeAndFormat()
    {
        CScanDialog* dialog = OpenDialog();
        WaitForScanners(dialog);
        QCOMPARE(Part<QComboBox>(dialog, "resolution")->currentText(), QStringLiteral("300 dpi"));
        QCOMPARE(Part<QComboBox>(dialog, "slot")->currentIndex(), 0);
        Click(dialog, "crop");  // the test picture fills the platen: nothing to cut
        QVERIFY(!Part<QCheckBox>(dialog, "crop")->isChecked());
        Click(dialog, "scan");
        QTRY_VERIFY_WITH_TIMEOUT(Doc().IsLoaded(Slot::Left), 20000);
        const CRasterImage& scan = Doc().leftImage;
        QCOMPARE(scan.GetXDpi(), 300);
        QCOMPARE(scan.GetBpp(), 24);
        QVERIFY(qAbs(scan.GetWidth() * 25.4 / scan.GetXDpi() - 120) < 0.2);
        QVERIFY(qAbs(scan.GetHeight() * 25.4 / scan.GetYDpi() - 120) < 0.2);
        QCOMPARE(View()->State().leftFormat, 0);  // CD Front, by its size
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), SourceTextOf(SourceText::ScannedLabel));
        QVERIFY(!Doc().IsLoaded(Slot::Right));
        QTRY_VERIFY(!View()->findChild<CScanDialog*>());
    }

    void greyIntoTheRightSlotFromThePapersMenu()
    {
        // A DVD sleeve lying on the platen.
        UseSaneTestBackend(273, 183);
        AnswerNextPopup([](QWidget* w) {
            auto* menu = qobject_cast<QMenu*>(w);
            for (QAction* a : menu->actions()) {
                if (a->data().toInt() == Cmd::PaperScanCover) {
                    menu->setActiveAction(a);
                    QTest::keyClick(menu, Qt::Key_Return);
                    return;
                }
            }
            menu->close();
        });
        QTest::mouseClick(View()->Paper(Slot::Right), Qt::RightButton);
        CScanDialog* dialog = Found();
        QVERIFY(dialog);
        QCOMPARE(Part<QComboBox>(dialog, "slot")->currentIndex(), 1);
        WaitForScanners(dialog);
        Click(dialog, "grey");
        QComboBox* resolution = Part<QComboBox>(dialog, "resolution");
        resolution->setFocus();  // as a Tab to it would
        QTest::keyClick(resolution, Qt::Key_Up);
        QCOMPARE(resolution->currentData().toInt(), 150);
        Click(dialog, "scan");
        QTRY_VERIFY_WITH_TIMEOUT(Doc().IsLoaded(Slot::Right), 20000);
        QCOMPARE(Doc().rightImage.GetBpp(), 8);
        QCOMPARE(Doc().rightImage.GetXDpi(), 150);
        // Turned upright and recognised as the DVD sleeve it is.
        QVERIFY(Doc().rightImage.GetHeight() > Doc().rightImage.GetWidth());
        QCOMPARE(View()->Combo(Slot::Right)->currentText(), QStringLiteral("DVD Sleeve"));
        QVERIFY(!Doc().IsLoaded(Slot::Left));
    }

    void previewAndCancelLeaveTheSlotsAsTheyWere()
    {
        const QString cover = home_->MakePicture(QStringLiteral("Cover.png"), 300, 300);
        QVERIFY(Doc().LoadLeftImage(cover.toStdString(), true));
        const int widthBefore = Doc().leftImage.GetWidth();
        CScanDialog* dialog = OpenDialog();
        WaitForScanners(dialog);
        Click(dialog, "preview");
        QTRY_VERIFY_WITH_TIMEOUT(!Part<QLabel>(dialog, "previewPicture")->pixmap().isNull(), 20000);
        QCOMPARE(Doc().leftImage.GetWidth(), widthBefore);

        // A slow scanner: Cancel while it reads.
        UseSaneTestBackend(120, 120, "read-delay true\nread-delay-duration 20000\n");
        Click(dialog, "scan");
        QTRY_VERIFY_WITH_TIMEOUT(Part<QProgressBar>(dialog, "progress")->value() > 0, 20000);
        QVERIFY(Part<QPushButton>(dialog, "cancel")->isEnabled());
        Click(dialog, "cancel");
        QTRY_VERIFY_WITH_TIMEOUT(Part<QPushButton>(dialog, "scan")->isEnabled(), 5000);
        QCOMPARE(Part<QProgressBar>(dialog, "progress")->value(), 0);
        QCOMPARE(Doc().leftImage.GetWidth(), widthBefore);
        QCOMPARE(View()->State().leftName, std::string("Cover.png"));

        // Closing the dialog during a scan ends it at once.
        Click(dialog, "scan");
        QTRY_VERIFY_WITH_TIMEOUT(Part<QProgressBar>(dialog, "progress")->value() > 0, 20000);
        QPointer<CScanDialog> closing = dialog;
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Close), Qt::LeftButton);
        QTRY_VERIFY(closing.isNull());
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(Doc().leftImage.GetWidth(), widthBefore);
    }

    void noScannerIsSaid()
    {
        std::ofstream(SaneTestFolder() + "/dll.conf") << "";
        CScanDialog* dialog = OpenDialog();
        QTRY_COMPARE_WITH_TIMEOUT(Part<QLabel>(dialog, "status")->text(), SourceTextOf(SourceText::NoScanner), 20000);
        QVERIFY(!Part<QPushButton>(dialog, "scan")->isEnabled());
        QVERIFY(!Part<QPushButton>(dialog, "preview")->isEnabled());
    }
};

QTEST_MAIN(ScanDialogTest)
#include "ScanDialogTest.moc"
