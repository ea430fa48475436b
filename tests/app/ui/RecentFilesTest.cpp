// File > Recent Files on the real window: pictures dropped on either paper
// come first, each once, eight at most; a missing one is shown but cannot be
// chosen; choosing one from the menu opens it into the left slot; the list
// is there again after a restart over the same settings.
#include "DropFiles.h"
#include "UiTestHome.h"

#include "app/CommandIds.h"
#include "app/KorvaneDoc.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

struct RecentItem {
    QString text;
    bool enabled;
};

// Opens File > Recent Files as a user does (a click on the File menu, the
// arrow keys to the submenu, Right) and reads its items; then, when `choose`
// is 0 or more, walks down to that item and presses Return, else closes
// the menus with Escape.
void OpenRecentMenu(CMainMenu* menu, std::vector<RecentItem>& items, int choose = -1)
{
    items.clear();
    QMenuBar* bar = menu->Bar();
    QMenu* recent = menu->RecentMenu();
    bool done = false;
    AnswerNextPopup([&](QWidget* popup) {
        auto* file = qobject_cast<QMenu*>(popup);
        QVERIFY(file);
        for (int k = 0; k < 30 && file->activeAction() != recent->menuAction(); ++k)
            QTest::keyClick(file, Qt::Key_Down);
        if (file->activeAction() != recent->menuAction()) {
            // The submenu is unavailable: the arrow keys pass it by.
            QTest::keyClick(file, Qt::Key_Escape);
            done = true;
            return;
        }
        QTest::keyClick(file, Qt::Key_Right);
        QTRY_VERIFY(QApplication::activePopupWidget() == recent);
        for (QAction* a : recent->actions()) {
            if (a->isVisible())
                items.push_back({a->text(), a->isEnabled()});
        }
        if (choose < 0) {
            QTest::keyClick(recent, Qt::Key_Escape);
            QTest::keyClick(file, Qt::Key_Escape);
        } else {
            QAction* target = recent->actions().at(choose);
            for (int k = 0; k < 10 && recent->activeAction() != target; ++k)
                QTest::keyClick(recent, Qt::Key_Down);
            QCOMPARE(recent->activeAction(), target);
            QTest::keyClick(recent, Qt::Key_Return);
        }
        done = true;
    });
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(bar->actions().at(0)).center());
    QTRY_VERIFY(done);
}

QString Numbered(int n, const QString& path)
{
    return QStringLiteral("&%1 ").arg(n) + path;
}

}  // namespace

class RecentFilesTest : public QObject {
    Q_OBJECT

private slots:
    void recentPicturesAreListedChosenAndKeptAcrossARestart()
    {
        TestHome home;
        // A settings file of an earlier version: no list at all.
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nAutoLoad2ndImage = 0\r\n"
                      "ReloadOnStartup = 0\r\n");
        QStringList pictures;
        for (int i = 1; i <= 10; ++i)
            pictures << home.MakePicture(QStringLiteral("covers/Cover %1.png").arg(i), 300 + i, 300);
        {
            CKorvaneApp app;
            QVERIFY(app.InitInstance());
            QTest::qWait(80);
            CMainMenu* menu = app.Frame()->Menu();
            std::vector<RecentItem> items;
            OpenRecentMenu(menu, items);
            QVERIFY(items.empty());
            // Dropped on either paper in turn, the third once more at the end.
            CKorvaneDoc& doc = *app.Document();
            for (int i = 0; i < 10; ++i) {
                const Slot slot = i % 2 ? Slot::Right : Slot::Left;
                Drop(app.View()->Paper(slot), {pictures[i]});
                QTRY_COMPARE(app.View()->State().name(slot), QFileInfo(pictures[i]).fileName().toStdString());
            }
            Drop(app.View()->Paper(Slot::Left), {pictures[2]});
            QTRY_COMPARE(app.View()->State().leftName, std::string("Cover 3.png"));
            OpenRecentMenu(menu, items);
            QCOMPARE(items.size(), std::size_t(8));
            QCOMPARE(items[0].text, Numbered(1, pictures[2]));
            QCOMPARE(items[1].text, Numbered(2, pictures[9]));
            QCOMPARE(items[7].text, Numbered(8, pictures[3]));
            for (const RecentItem& item : items)
                QVERIFY(item.enabled);
            // A file gone from the disc stays in the list, not available.
            QVERIFY(QFile::remove(pictures[9]));
            OpenRecentMenu(menu, items);
            QCOMPARE(items[1].text, Numbered(2, pictures[9]));
            QVERIFY(!items[1].enabled);
            // Choosing the fourth (Cover 8) opens it into the left slot and
            // puts it first.
            OpenRecentMenu(menu, items, 3);
            QTRY_COMPARE(app.View()->State().leftName, std::string("Cover 8.png"));
            QCOMPARE(doc.leftImage.GetWidth(), 308);
            QCOMPARE(app.View()->State().rightName, std::string("Cover 10.png"));
            app.ExitInstance();
        }
        QVERIFY(home.CfgText().contains(QStringLiteral("RecentPictures = ")));
        // A second window over the same settings has the list as it was left.
        CKorvaneApp again;
        QVERIFY(again.InitInstance());
        QTest::qWait(80);
        std::vector<RecentItem> items;
        OpenRecentMenu(again.Frame()->Menu(), items);
        QCOMPARE(items.size(), std::size_t(8));
        QCOMPARE(items[0].text, Numbered(1, pictures[7]));
        QCOMPARE(items[1].text, Numbered(2, pictures[2]));
        QCOMPARE(items[2].text, Numbered(3, pictures[9]));
        QVERIFY(!items[2].enabled);
        QCOMPARE(items[7].text, Numbered(8, pictures[3]));
        again.ExitInstance();
    }
};

QTEST_MAIN(RecentFilesTest)
#include "RecentFilesTest.moc"
