// Each dialog of the program opened as a keyboard user opens it: Alt and the
// menu's letter, the arrow keys to the item, Return; and closed with Escape.
#include "UiTestHome.h"

#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

class MenuShortcutsTest : public QObject {
    Q_OBJECT

    // Opens the bar's menu with Alt+letter, walks down to `item` and presses
    // Return; the dialog it opens is answered by `answer`.
    static void ChooseWithKeys(CKorvaneApp& app, Qt::Key letter, QAction* item)
    {
        QWidget* frame = app.Frame();
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame));
        QTest::keyClick(frame, letter, Qt::AltModifier);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) != nullptr);
        for (int k = 0; k < 40 && menu->activeAction() != item; ++k)
            QTest::keyClick(menu, Qt::Key_Down);
        QCOMPARE(menu->activeAction(), item);
        QTest::keyClick(menu, Qt::Key_Return);
    }

private slots:
    void everyDialogOpensFromTheMenusAndClosesWithEscape()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\n");
        CKorvaneApp app;
        QVERIFY(app.InitInstance());
        QTest::qWait(120);
        CMainMenu* menu = app.Frame()->Menu();
        const struct {
            Qt::Key menuLetter;
            int command;
            const char* dialogClass;
        } items[] = {
            {Qt::Key_F, Cmd::OpenLeft, "CExtendedFileDialog"},
            {Qt::Key_F, Cmd::OpenRight, "CExtendedFileDialog"},
            {Qt::Key_F, Cmd::PrintSetup, "CPrintSetupDialog"},
            {Qt::Key_O, Cmd::Options, "COptionsDialog"},
            {Qt::Key_O, Cmd::FormatEditor, "CFormatEditDialog"},
            {Qt::Key_O, Cmd::CalibrationPage, "QPrintDialog"},
            {Qt::Key_H, Cmd::About, "CAboutDlg"},
        };
        for (const auto& item : items) {
            QString opened;
            bool closed = false;
            AnswerNextModal([&](QWidget* w) {
                opened = QString::fromLatin1(w->metaObject()->className());
                QTest::keyClick(w, Qt::Key_Escape);
                closed = !w->isVisible();
            });
            ChooseWithKeys(app, item.menuLetter, menu->Action(item.command));
            QTRY_VERIFY2(!opened.isEmpty(), item.dialogClass);
            QCOMPARE(opened, QLatin1String(item.dialogClass));
            QVERIFY2(closed, item.dialogClass);
            QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
            QVERIFY(app.Frame()->isVisible());
        }
        app.ExitInstance();
    }
};

QTEST_MAIN(MenuShortcutsTest)
#include "MenuShortcutsTest.moc"
