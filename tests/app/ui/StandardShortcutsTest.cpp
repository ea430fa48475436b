// The standard shortcuts pressed in the main window as a user presses them:
// each does what its menu item does, and no two items share one.
#include "ChooseFiles.h"
#include "UiTestHome.h"

#include "app/CommandIds.h"
#include "app/KorvaneDoc.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "settings/ui/WebLinks.h"

#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include <set>

namespace {

// A key pressed in the main window, where the keyboard focus is.
void Press(QWidget* frame, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == frame ? focus : frame, key, modifiers);
}

}  // namespace

class StandardShortcutsTest : public QObject {
    Q_OBJECT

private slots:
    void theMenusShowEveryShortcutOnce()
    {
        QMenuBar bar;
        CMainMenu menu(&bar);
        std::set<QString> seen;
        const QList<QAction*> items = bar.findChildren<QAction*>();
        for (QAction* a : items) {
            if (a->shortcut().isEmpty())
                continue;
            const QString keys = a->shortcut().toString(QKeySequence::PortableText);
            QVERIFY2(seen.insert(keys).second, qPrintable(keys + QStringLiteral(" twice")));
        }
        QCOMPARE(menu.Action(Cmd::OpenLeft)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
        QCOMPARE(menu.Action(Cmd::OpenRight)->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
        QCOMPARE(menu.Action(Cmd::Exit)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QCOMPARE(menu.Action(Cmd::OnlineHelp)->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(menu.Action(Cmd::Paste)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_V));
        QCOMPARE(menu.Action(Cmd::PrintLeft)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    }

    void keysRunTheirCommands()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\n");
        CKorvaneApp app;
        QVERIFY(app.InitInstance());
        QTest::qWait(120);
        CTheView* view = app.View();
        CKorvaneDoc& doc = *app.Document();
        QWidget* frame = app.Frame();
        std::vector<int> prints;
        PrintHooks hooks;
        hooks.runPrintJob = [&prints](PrintMode mode, bool) { prints.push_back(PrintModeNumber(mode)); };
        hooks.printSetup = [] {};
        view->SetPrintHooks(hooks);

        // Ctrl+O opens into the left slot, Shift+Ctrl+O into the right one.
        const QString front = home.MakePicture(QStringLiteral("a/Front.png"), 600, 600);
        ChooseInNextDialog({front});
        Press(frame, Qt::Key_O, Qt::ControlModifier);
        QTRY_VERIFY(doc.IsLoaded(Slot::Left));
        QVERIFY(!doc.IsLoaded(Slot::Right));
        const QString tray = home.MakePicture(QStringLiteral("b/Tray.png"), 750, 590);
        ChooseInNextDialog({tray});
        Press(frame, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        QTRY_VERIFY(doc.IsLoaded(Slot::Right));
        QCOMPARE(view->State().leftName, std::string("Front.png"));
        QCOMPARE(view->State().rightName, std::string("Tray.png"));

        // Ctrl+P prints the left cover, as "Print Left..." does.
        Press(frame, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(prints, std::vector<int>{0});

        // Ctrl+V pastes into the left slot, as the File menu's Paste does.
        QImage picture(320, 240, QImage::Format_RGB32);
        picture.fill(QColor(10, 200, 30));
        QGuiApplication::clipboard()->setImage(picture);
        Press(frame, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(view->SlotLabel(Slot::Left)->text(), QStringLiteral("Image from Clipboard"));
        QCOMPARE(doc.leftImage.GetWidth() * doc.leftImage.GetHeight(), 320 * 240);
        QCOMPARE(view->State().rightName, std::string("Tray.png"));

        // F1 opens the online help page. The offscreen platform has nothing
        // to open pages with, so the program says which page it could not open.
        QString told;
        AnswerNextModal([&told](QWidget* w) {
            told = w->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))->text();
            QTest::keyClick(w, Qt::Key_Return);
        });
        Press(frame, Qt::Key_F1, Qt::NoModifier);
        QTRY_VERIFY(!told.isEmpty());
        QVERIFY2(told.contains(OnlineHelpAddress()), qPrintable(told));

        // Ctrl+Q closes the main window.
        Press(frame, Qt::Key_Q, Qt::ControlModifier);
        QTRY_VERIFY(!frame->isVisible());
        app.ExitInstance();
    }
};

QTEST_MAIN(StandardShortcutsTest)
#include "StandardShortcutsTest.moc"
