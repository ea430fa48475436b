// Skins on the real main window: the Skins menu with its folder items, a
// folder skin's colours on the window and its controls, and the options
// dialog's grey scale re-applying the current skin.
#include "UiTestHome.h"

#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"
#include "settings/AppSettings.h"
#include "app/ui/OptionsDialog.h"

#include "TestEncoders.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>

#include <fstream>

namespace {

// A skin folder with a skin.ini and, when asked, a main picture.
void AddSkin(const TestHome& home, const QString& name, const QByteArray& ini, bool picture = false)
{
    QDir().mkpath(home.FilePath(QStringLiteral("skins/") + name));
    QFile f(home.FilePath(QStringLiteral("skins/%1/skin.ini").arg(name)));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(ini);
    if (picture)
        home.MakePicture(QStringLiteral("skins/%1/main.png").arg(name), 60, 40);
}

bool IsGray(const CRasterImage& image)
{
    for (int y = 0; y < image.GetHeight(); y += 5) {
        for (int x = 0; x < image.GetWidth(); x += 5) {
            const Rgb c = image.GetPixelColor(x, y);
            if (c.r != c.g || c.g != c.b)
                return false;
        }
    }
    return true;
}

}  // namespace

class SkinsTest : public QObject {
    Q_OBJECT

    static void Start(CKorvaneApp& app)
    {
        QVERIFY(app.InitInstance());
        QTest::qWait(120);
    }

private slots:
    void skinsMenuWithTwelveFolders()
    {
        TestHome home;
        for (int i = 1; i <= 12; ++i)
            AddSkin(home, QStringLiteral("Skin%1").arg(i, 2, 10, QLatin1Char('0')), "MainPosX=5\r\n");
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nSelectedSkin = 0\r\n"
                      "[Settings]\r\nLastRanVersion = 123\r\n");
        CKorvaneApp app;
        Start(app);
        CMainMenu* menu = app.Frame()->Menu();
        emit menu->MenuAboutToShow();
        const QList<QAction*> items = menu->SkinsMenu()->actions();
        QCOMPARE(items.size(), 4 + 1 + 12);
        QVERIFY(items[4]->isSeparator());
        QCOMPARE(menu->SkinFolderCount(), 12);
        for (int k = 0; k < 12; ++k) {
            QAction* item = items[5 + k];
            QCOMPARE(item, menu->SkinFolderItem(k));
            QCOMPARE(item->text(), QStringLiteral("Skin%1").arg(k + 1, 2, 10, QLatin1Char('0')));
            if (k < 11) {
                QCOMPARE(item->data().toInt(), Cmd::SkinFolderFirst + k);
                QVERIFY(item->isEnabled());
            } else {
                QVERIFY2(!item->isEnabled(), "the twelfth folder has no command");
            }
        }
        QVERIFY(menu->Action(Cmd::SkinDefault)->isChecked());

        // The third folder: its item alone carries the check mark.
        items[5 + 2]->trigger();
        emit menu->MenuAboutToShow();
        QCOMPARE(app.View()->Skin().selectedSkin, 5);
        QCOMPARE(app.View()->Skin().values.mainX, 5);
        for (int k = 0; k < 12; ++k)
            QCOMPARE(menu->SkinFolderItem(k)->isChecked(), k == 2);
        QVERIFY(!menu->Action(Cmd::SkinDefault)->isChecked());
        menu->Action(Cmd::SkinRandom)->trigger();
        emit menu->MenuAboutToShow();
        QVERIFY(menu->Action(Cmd::SkinRandom)->isChecked());
        QVERIFY(!menu->SkinFolderItem(2)->isChecked());
        menu->Action(Cmd::SkinAlternative)->trigger();
        app.Frame()->close();
        app.ExitInstance();
        QVERIFY(home.CfgText().contains(QStringLiteral("SelectedSkin = 1\r\n")));
    }

    void folderSkinColoursTheWindowAndItsControls()
    {
        TestHome home;
        AddSkin(home, QStringLiteral("Red"),
                "[Skin]\r\nMainPosX=300\r\nMainPosY=60\r\nBackgroundColor=FF0000\r\nTextColor=      00FF00\r\n"
                "ComboTextColor= 0000FF\r\nComboBkColor=   FFFF00\r\nDrawEdgeAroundPreview=1\r\n",
                true);
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nSelectedSkin = 3\r\n"
                      "[Settings]\r\nLastRanVersion = 123\r\n");
        CKorvaneApp app;
        Start(app);
        CTheView* view = app.View();
        QCOMPARE(view->Skin().selectedSkin, 3);
        const QImage shot = view->grab().toImage();
        QCOMPARE(shot.pixelColor(2, shot.height() - 2), QColor(Qt::red));
        // The main picture at its place and natural size (top-left quarter blue).
        QCOMPARE(shot.pixelColor(305, 65), QColor(20, 20, 160));
        QCOMPARE(shot.pixelColor(355, 95), QColor(200, 40, 40));

        // File-name labels: the skin's text colour, the window showing through.
        QLabel* name = view->SlotLabel(Slot::Left);
        QCOMPARE(name->palette().color(QPalette::WindowText), QColor(Qt::green));
        QVERIFY(!name->autoFillBackground());
        QCOMPARE(shot.pixelColor(name->geometry().left() + 1, name->geometry().top() + 1), QColor(Qt::red));
        // The check boxes' labels: the skin's text colour over the fixed dark brush.
        auto* label = qobject_cast<QLabel*>(view->Control(Ctl::SinglePageLabel));
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::green));
        QVERIFY(label->autoFillBackground());
        QCOMPARE(shot.pixelColor(label->geometry().right() - 1, label->geometry().top() + 1), QColor(0x3C, 0x3C, 0x3C));
        // Combo boxes: the skin's combo colours, their lists too.
        QComboBox* combo = view->Combo(Slot::Left);
        QCOMPARE(combo->palette().color(QPalette::ButtonText), QColor(Qt::blue));
        QCOMPARE(combo->palette().color(QPalette::Button), QColor(Qt::yellow));
        QCOMPARE(combo->view()->palette().color(QPalette::Base), QColor(Qt::yellow));
        // Both papers get the background colour and the edge.
        for (Slot slot : {Slot::Left, Slot::Right})
            QVERIFY(view->Paper(slot)->View().backgroundColor == (Rgb{255, 0, 0}) && view->Paper(slot)->View().drawBorder);

        // Clean gives the platform's colours back.
        app.Frame()->Menu()->Action(Cmd::SkinClean)->trigger();
        QCOMPARE(name->palette().color(QPalette::WindowText), QApplication::palette(name).color(QPalette::WindowText));
        QVERIFY(!label->autoFillBackground());
        const QImage clean = view->grab().toImage();
        QCOMPARE(clean.pixelColor(2, clean.height() - 2), QApplication::palette().color(QPalette::Button));
        app.Frame()->close();
        app.ExitInstance();
    }

    void grayScaleReappliesTheSameRandomSkin()
    {
        TestHome home;
        AddSkin(home, QStringLiteral("One"), "MainPosX=11\r\n", true);
        AddSkin(home, QStringLiteral("Two"), "MainPosX=22\r\n", true);
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nSelectedSkin = -1\r\n"
                      "[Settings]\r\nLastRanVersion = 123\r\n");
        CKorvaneApp app;
        Start(app);
        CTheView* view = app.View();
        for (int round = 0; round < 4; ++round) {
            const int pick = view->Skin().randomPick;
            const int mainX = view->Skin().values.mainX;
            QString title;
            AnswerNextModal([&](QWidget* w) {
                title = w->windowTitle();
                if (auto* dialog = qobject_cast<COptionsDialog*>(w)) {
                    QTest::mouseClick(dialog->CheckBox("grayScale"), Qt::LeftButton);
                    QTest::keyClick(dialog, Qt::Key_Escape);
                }
            });
            // Options > Options...
            app.Frame()->Menu()->Action(Cmd::Options)->trigger();
            QCOMPARE(title, QStringLiteral("Options"));
            const bool gray = round % 2 == 0;
            QCOMPARE(RunningValues().grayScale, gray ? 1 : 0);
            QCOMPARE(view->Skin().selectedSkin, -1);
            QCOMPARE(view->Skin().randomPick, pick);
            QCOMPARE(view->Skin().values.mainX, mainX);
            // A folder's pictures come from beside the window.
            QTRY_VERIFY(view->Skin().mainPicture.IsValid());
            QCOMPARE(IsGray(view->Skin().mainPicture), gray);
            // A new draw for the next round.
            app.Frame()->Menu()->Action(Cmd::SkinRandom)->trigger();
        }
        app.Frame()->close();
        app.ExitInstance();
        QVERIFY(home.CfgText().contains(QStringLiteral("SelectedSkin = -1\r\n")));
    }

    void aHugeSkinPictureDoesNotHoldTheWindowBack()
    {
        TestHome home;
        // A 196-megapixel main picture (14000 x 14000, a flat colour).
        AddSkin(home, QStringLiteral("Huge"), "MainPosX=0\r\nMainPosY=0\r\n");
        {
            JpegRecipe picture;
            picture.width = picture.height = 14000;
            picture.quality = 50;
            picture.makeRow = [](int, std::uint8_t* row) {
                for (int x = 0; x < 14000; ++x) {
                    row[3 * x] = 30;
                    row[3 * x + 1] = 160;
                    row[3 * x + 2] = 60;
                }
            };
            const std::vector<std::uint8_t> jpeg = EncodeJpeg(picture);
            std::ofstream(home.FilePath(QStringLiteral("skins/Huge/main.jpg")).toStdString(), std::ios::binary)
                .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
        }
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nSelectedSkin = 3\r\n"
                      "[Settings]\r\nLastRanVersion = 123\r\n");
        ResetSettings(JoinPath(ProgramFolder(), "Korvane.cfg"));
        CKorvaneApp app;
        QVERIFY(app.InitInstance() && app.Frame()->isVisible());
        CTheView* view = app.View();
        QCOMPARE(view->Skin().selectedSkin, 3);
        // The window was shown before the picture was decoded: it arrives
        // later from the event loop, fitted into the window.
        QVERIFY(!view->Skin().mainPicture.IsValid());
        QTRY_VERIFY_WITH_TIMEOUT(view->Skin().mainPicture.IsValid(), 60000);
        const CRasterImage& main = view->Skin().mainPicture;
        QVERIFY2(main.GetWidth() <= view->width() && main.GetHeight() <= view->height(),
                 qPrintable(QStringLiteral("%1 x %2").arg(main.GetWidth()).arg(main.GetHeight())));
        QCOMPARE(main.GetWidth(), std::min(view->width(), view->height()));
        const auto near = [](const QColor& c) {
            return std::abs(c.red() - 30) <= 3 && std::abs(c.green() - 160) <= 3 && std::abs(c.blue() - 60) <= 3;
        };
        QTRY_VERIFY(near(view->grab().toImage().pixelColor(5, 5)));
        app.Frame()->close();
        app.ExitInstance();
    }
};

QTEST_MAIN(SkinsTest)
#include "SkinsTest.moc"
