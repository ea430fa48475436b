// The options dialog: what it shows, which controls it enables, and the
// values it hands back however it is closed.
#include "../../app/ui/UiTestHome.h"

#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/ui/OptionsDialog.h"

#include <QAbstractButton>
#include <QLineEdit>

class OptionsDialogTest : public QObject {
    Q_OBJECT

private slots:
    void init() { Language().SelectLanguage(0); }

    void showsTheRunningValuesWithCaptionsAndPicture()
    {
        TestHome home;
        AppSettings values;
        values.autoRotate = 0;
        values.grayScale = 1;
        values.printJobName = "Quarterly report";
        values.leftAutoFiles = "front;cover";
        COptionsDialog dialog(values);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        QVERIFY(!dialog.CheckBox("autoRotate")->isChecked());
        QVERIFY(dialog.CheckBox("autoDetectFormat")->isChecked());
        QVERIFY(dialog.CheckBox("grayScale")->isChecked());
        QCOMPARE(dialog.CheckBox("autoRotate")->text(),
                 QStringLiteral("Automatically correct orientation when loading  covers."));
        QCOMPARE(dialog.CheckBox("grayScale")->text(), QStringLiteral("Use Gray scale for skins."));
        QCOMPARE(dialog.Edit("printJobName")->text(), QStringLiteral("Quarterly report"));
        QCOMPARE(dialog.Edit("leftAutoFiles")->text(), QStringLiteral("front;cover"));
        QCOMPARE(dialog.Edit("proxy")->text(), QStringLiteral("server:port"));

        // The picture stands at (415, 20), right of every control.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        CRasterImage picture;
        QVERIFY(picture.LoadFromResource("IDP_OPTIONS", "PNG_IMAGES", IMAGE_PNG));
        const QImage shot = dialog.grab().toImage();
        const QRect pictureRect(415, 20, picture.GetWidth(), picture.GetHeight());
        QVERIFY(QRect(QPoint(0, 0), shot.size()).contains(pictureRect));
        int differing = 0;
        for (int y = 0; y < picture.GetHeight(); y += 4) {
            for (int x = 0; x < picture.GetWidth(); x += 4)
                differing += shot.pixelColor(415 + x, 20 + y) != dialog.palette().color(QPalette::Window) ? 1 : 0;
        }
        QVERIFY2(differing > 100, "the picture is drawn");
        for (QWidget* child : dialog.findChildren<QWidget*>())
            QVERIFY2(!child->geometry().intersects(pictureRect), qPrintable(child->objectName()));
        dialog.close();
    }

    void enablingRulesKeepTheValuesOfDisabledControls()
    {
        TestHome home;
        AppSettings values;
        values.checkForUpdates = 1;
        values.useProxy = 1;
        values.proxy = "proxy.lan:3128";
        COptionsDialog dialog(values);
        QVERIFY(!dialog.Edit("printJobName")->isEnabled());
        QVERIFY(dialog.CheckBox("useProxy")->isEnabled());
        QVERIFY(dialog.Edit("proxy")->isEnabled());

        dialog.CheckBox("maskPrintJobName")->click();
        QVERIFY(dialog.Edit("printJobName")->isEnabled());

        dialog.CheckBox("checkForUpdates")->click();
        QVERIFY(!dialog.CheckBox("useProxy")->isEnabled());
        QVERIFY(!dialog.Edit("proxy")->isEnabled());
        QVERIFY(dialog.CheckBox("useProxy")->isChecked());

        dialog.CheckBox("checkForUpdates")->click();
        dialog.CheckBox("useProxy")->click();
        QVERIFY(dialog.CheckBox("useProxy")->isEnabled());
        QVERIFY(!dialog.Edit("proxy")->isEnabled());

        dialog.CheckBox("checkForUpdates")->click();
        // The close box.
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.close();
        QCOMPARE(values.checkForUpdates, 0);
        QCOMPARE(values.useProxy, 0);
        QCOMPARE(values.proxy, std::string("proxy.lan:3128"));
        QCOMPARE(values.maskPrintJobName, 1);
    }

    void escapeKeepsTheChangesAndSplitsTheKeywords()
    {
        TestHome home;
        AppSettings values;
        SplitAutoFileKeywords(values);
        bool shown = false;
        AnswerNextModal([&](QWidget* w) {
            auto* dialog = qobject_cast<COptionsDialog*>(w);
            shown = dialog != nullptr;
            if (!dialog)
                return;
            dialog->CheckBox("autoRotate")->click();
            dialog->CheckBox("batchMode")->click();
            dialog->CheckBox("printBorder")->click();
            dialog->Edit("leftAutoFiles")->setText(QStringLiteral("cover;;inlay;"));
            dialog->Edit("rightAutoFiles")->setText(QStringLiteral("back;tray;x"));
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        {
            COptionsDialog dialog(values);
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        }
        QVERIFY(shown);
        QCOMPARE(values.autoRotate, 0);
        QCOMPARE(values.batchMode, 1);
        QCOMPARE(values.printBorder, 0);
        QCOMPARE(values.leftAutoFiles, std::string("cover;;inlay;"));
        QCOMPARE(values.leftKeywords, (std::vector<std::string>{"cover", "", "inlay"}));
        QCOMPARE(values.rightKeywords, (std::vector<std::string>{"back", "tray", "x"}));
        QCOMPARE(values.grayScale, 0);
    }

    void captionsFollowTheLanguage()
    {
        TestHome home;
        QFile lng(home.FilePath(QStringLiteral("languages/German.lng")));
        QVERIFY(lng.open(QIODevice::WriteOnly));
        lng.write("[German]\r\n5008=Optionen\r\n5022=Graustufen f\xC3\xBCr Skins.\r\n");
        lng.close();
        Language().ProbeLanguageFiles();
        Language().SelectLanguage(6);
        QCOMPARE(Language().GetCurrentLanguage(), 6);
        AppSettings values;
        COptionsDialog dialog(values);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Optionen"));
        QCOMPARE(dialog.CheckBox("grayScale")->text(), QStringLiteral("Graustufen für Skins."));
        // Texts the file leaves out stay English.
        QCOMPARE(dialog.CheckBox("batchMode")->text(), QStringLiteral("Enable Batch Mode"));
        Language().SelectLanguage(0);
    }
};

QTEST_MAIN(OptionsDialogTest)
#include "OptionsDialogTest.moc"
