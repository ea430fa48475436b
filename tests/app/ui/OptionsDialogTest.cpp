// The options dialog: what it shows, which controls it enables, and the
// values it hands back however it is closed.
#include "../../app/ui/UiTestHome.h"

#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "app/ui/OptionsDialog.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>

namespace {

void Click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(4, w->height() / 2));
}

// Replaces the field's text as a user does: click, select all, type.
void Type(QLineEdit* field, const QString& text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

}  // namespace

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
            QVERIFY2(!QRect(child->mapTo(&dialog, QPoint(0, 0)), child->size()).intersects(pictureRect),
                     qPrintable(child->objectName()));
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

        Click(dialog.CheckBox("maskPrintJobName"));
        QVERIFY(dialog.Edit("printJobName")->isEnabled());

        Click(dialog.CheckBox("checkForUpdates"));
        QVERIFY(!dialog.CheckBox("useProxy")->isEnabled());
        QVERIFY(!dialog.Edit("proxy")->isEnabled());
        QVERIFY(dialog.CheckBox("useProxy")->isChecked());

        Click(dialog.CheckBox("checkForUpdates"));
        Click(dialog.CheckBox("useProxy"));
        QVERIFY(dialog.CheckBox("useProxy")->isEnabled());
        QVERIFY(!dialog.Edit("proxy")->isEnabled());

        Click(dialog.CheckBox("checkForUpdates"));
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
            Click(dialog->CheckBox("autoRotate"));
            Click(dialog->CheckBox("batchMode"));
            Click(dialog->CheckBox("printBorder"));
            Type(dialog->Edit("leftAutoFiles"), QStringLiteral("cover;;inlay;"));
            Type(dialog->Edit("rightAutoFiles"), QStringLiteral("back;tray;x"));
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

    void cancelLeavesEverythingAsItWas()
    {
        TestHome home;
        AppSettings values;
        values.checkForUpdates = 1;
        values.maskPrintJobName = 1;
        values.printJobName = "Report";
        SplitAutoFileKeywords(values);
        const AppSettings before = values;
        bool shown = false, hasCancel = false;
        AnswerNextModal([&](QWidget* w) {
            auto* dialog = qobject_cast<COptionsDialog*>(w);
            shown = dialog != nullptr;
            if (!dialog)
                return;
            Click(dialog->CheckBox("autoRotate"));
            Click(dialog->CheckBox("grayScale"));
            Click(dialog->CheckBox("checkForUpdates"));
            Type(dialog->Edit("printJobName"), QStringLiteral("Other"));
            Type(dialog->Edit("leftAutoFiles"), QStringLiteral("cover"));
            auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cancel"));
            hasCancel = cancel && cancel->isVisible();
            if (hasCancel)
                QTest::mouseClick(cancel, Qt::LeftButton);
            else
                dialog->reject();
        });
        {
            COptionsDialog dialog(values);
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        }
        QVERIFY(shown);
        QVERIFY(hasCancel);
        QCOMPARE(values.autoRotate, before.autoRotate);
        QCOMPARE(values.grayScale, before.grayScale);
        QCOMPARE(values.checkForUpdates, 1);
        QCOMPARE(values.printJobName, std::string("Report"));
        QCOMPARE(values.leftAutoFiles, before.leftAutoFiles);
        QVERIFY(values.leftKeywords == before.leftKeywords);

        // OK still hands the values back.
        AnswerNextModal([&](QWidget* w) {
            if (auto* dialog = qobject_cast<COptionsDialog*>(w)) {
                Click(dialog->CheckBox("grayScale"));
                QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ok")), Qt::LeftButton);
            }
        });
        {
            COptionsDialog dialog(values);
            QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        }
        QCOMPARE(values.grayScale, 1 - before.grayScale);
    }

    // Tab runs through the controls as they stand on the page: top to bottom,
    // left to right within a row, then OK and Cancel.
    void tabFollowsTheLayout()
    {
        TestHome home;
        AppSettings values;
        values.maskPrintJobName = 1;
        values.checkForUpdates = 1;
        values.useProxy = 1;
        COptionsDialog dialog(values);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.CheckBox("autoRotate")->setFocus(Qt::TabFocusReason);
        QStringList order;
        for (int k = 0; k < 19; ++k) {
            QWidget* focus = QApplication::focusWidget();
            QVERIFY(focus);
            order << focus->objectName();
            QTest::keyClick(focus, Qt::Key_Tab);
        }
        const QStringList expected = {
            "autoRotate", "autoDetectFormat", "maskPrintJobName", "printJobName", "reloadOnStartup",
            "autoLoad2ndImage", "leftAutoFiles", "rightAutoFiles", "showSplash", "checkForPrintableArea",
            "batchMode", "printBorder", "checkForUpdates", "useProxy", "proxy", "grayScale"};
        QCOMPARE(order.mid(0, expected.size()), expected);
        QVERIFY(order.mid(expected.size(), 2).contains(QStringLiteral("ok")));
        QVERIFY(order.mid(expected.size(), 2).contains(QStringLiteral("cancel")));
        QCOMPARE(order.last(), QStringLiteral("autoRotate"));
        dialog.close();
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
