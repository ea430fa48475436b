// Start-up and shut-down of the real program: the settings it starts from,
// the splash, the main window's size and place, the form's layout, and the
// settings file it leaves behind.
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"
#include "image/ui/SplashScreen.h"
#include "settings/LanguageTable.h"
#include "settings/ui/SystemLanguage.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

class StartupTest : public QObject {
    Q_OBJECT

    // Starts the program and lets its first timer run.
    static void Start(CKorvaneApp& app)
    {
        QVERIFY(app.InitInstance());
        QVERIFY(app.Frame() && app.Frame()->isVisible());
        QTest::qWait(120);
    }

private slots:
    void firstRunWithoutSettings()
    {
        TestHome home;
        QVERIFY(!QFile::exists(home.CfgPath()));
        // No settings: the splash shows; a click closes it before its time.
        QElapsedTimer clock;
        clock.start();
        bool splashSeen = false;
        QSize splashSize;
        QSize pictureSize;
        AnswerNextModal([&](QWidget* w) {
            auto* splash = qobject_cast<CSplashScreen*>(w);
            splashSeen = splash != nullptr;
            if (splash) {
                splashSize = splash->size();
                pictureSize = QSize(splash->Picture().GetWidth(), splash->Picture().GetHeight());
                QTest::mouseClick(splash, Qt::LeftButton);
            }
        });
        CKorvaneApp app;
        Start(app);
        QVERIFY(splashSeen);
        QVERIFY2(clock.elapsed() < 2500, "the click closes the splash at once");
        // The window takes the built-in picture's size.
        QVERIFY(!pictureSize.isEmpty());
        QCOMPARE(splashSize, pictureSize);

        CTheView* view = app.View();
        const ViewState& state = view->State();
        QCOMPARE(state.drawCutLines, 1);
        QCOMPARE(state.singlePage, 0);
        QCOMPARE(state.printMode, PrintMode::Both);
        QCOMPARE(state.leftFormat, 0);
        QCOMPARE(state.rightFormat, 0);
        QCOMPARE(view->Combo(Slot::Left)->currentIndex(), 0);
        QCOMPARE(view->Combo(Slot::Right)->currentIndex(), 0);
        QCOMPARE(view->Combo(Slot::Left)->count(), app.Document()->formats.count());
        QVERIFY(app.Document()->formats.count() > 10);
        QCOMPARE(view->Combo(Slot::Left)->itemText(0), QStringLiteral("CD Front"));
        QVERIFY(qobject_cast<QCheckBox*>(view->Control(Ctl::CutLines))->isChecked());
        QVERIFY(!qobject_cast<QCheckBox*>(view->Control(Ctl::SinglePage))->isChecked());
        QCOMPARE(view->SlotLabel(Slot::Left)->text(), QStringLiteral("no image selected"));
        QCOMPARE(view->SlotLabel(Slot::Right)->text(), QStringLiteral("no image selected"));
        QCOMPARE(app.Frame()->windowTitle(), QStringLiteral("Korvane V1.23 - Ready To Print Some Covers ?"));

        // Centred on the screen, and of a size the user cannot change.
        CMainFrame* frame = app.Frame();
        const QRect screen = frame->screen()->availableGeometry();
        QVERIFY(qAbs(frame->frameGeometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(frame->frameGeometry().center().y() - screen.center().y()) <= 1);
        QCOMPARE(frame->minimumSize(), frame->maximumSize());
        QVERIFY(!(frame->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(view->size(), view->ClientSize());

        frame->close();
        app.ExitInstance();
        QVERIFY(QFile::exists(home.CfgPath()));
    }

    void formIsLaidOutFromItsTemplateAt96Dpi()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\n");
        CKorvaneApp app;
        Start(app);
        CTheView* view = app.View();
        const CFormLayout& units = view->Layout();
        QCOMPARE(units.Font().pixelSize(), 11);
        const QFontMetrics metrics(units.Font());
        const int letters =
            metrics.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"));
        QCOMPARE(units.BaseX(), (letters / 26 + 1) / 2);
        QCOMPARE(units.BaseY(), metrics.height());
        struct Item {
            int id, x, y, w, h;
        };
        const Item items[] = {{Ctl::LeftPaper, 9, 28, 121, 162},   {Ctl::LeftLabel, 8, 194, 125, 8},
                              {Ctl::PrintLeft, 40, 208, 60, 14},   {Ctl::SinglePage, 152, 7, 9, 10},
                              {Ctl::SinglePageLabel, 164, 8, 96, 8}, {Ctl::CutLines, 152, 19, 9, 10},
                              {Ctl::CutLinesLabel, 164, 20, 96, 8}, {Ctl::PrintBoth, 170, 208, 60, 14},
                              {Ctl::RightPaper, 272, 28, 121, 162}, {Ctl::RightLabel, 270, 194, 125, 8},
                              {Ctl::PrintRight, 302, 208, 60, 14}};
        for (const Item& item : items) {
            const QRect expected(static_cast<int>(item.x * units.BaseX() / 4.0 + 0.5),
                                 static_cast<int>(item.y * units.BaseY() / 8.0 + 0.5),
                                 static_cast<int>(item.w * units.BaseX() / 4.0 + 0.5),
                                 static_cast<int>(item.h * units.BaseY() / 8.0 + 0.5));
            QCOMPARE(view->Control(item.id)->geometry(), expected);
            QCOMPARE(view->Control(item.id)->font().pixelSize(), 11);
        }
        // The combo boxes keep the template's place and width.
        QCOMPARE(view->Combo(Slot::Left)->geometry().topLeft(), units.Map(9, 7, 121, 179).topLeft());
        QCOMPARE(view->Combo(Slot::Right)->width(), units.X(121));
        // Everything fits in the client area.
        for (QWidget* child : view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            QVERIFY2(view->rect().contains(child->geometry()), qPrintable(child->metaObject()->className()));
        app.ExitInstance();
    }

    void shrunkenFormatListLeavesNoSelection()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nLastUsedLeftFormat = 999\r\nLastUsedRightFormat = 3\r\n"
                      "DrawCutAndFoldLines = 0\r\n");
        CKorvaneApp app;
        Start(app);
        CTheView* view = app.View();
        QCOMPARE(view->State().leftFormat, -1);
        QCOMPARE(view->Combo(Slot::Left)->currentIndex(), -1);
        QCOMPARE(view->State().rightFormat, 3);
        QCOMPARE(view->Combo(Slot::Right)->currentIndex(), 3);
        QCOMPARE(view->Paper(Slot::Left)->View().firstFormat, kNoSlotFormat);
        QCOMPARE(view->Paper(Slot::Right)->View().firstFormat, RightFormat(3));
        QCOMPARE(view->State().drawCutLines, 0);
        // Choosing in the empty left list takes the chosen format.
        QComboBox* combo = view->Combo(Slot::Left);
        app.Frame()->show();
        QVERIFY(QTest::qWaitForWindowExposed(app.Frame()));
        QTest::mouseClick(combo, Qt::LeftButton);
        QTRY_VERIFY(combo->view()->isVisible());
        QTest::keyClick(combo->view(), Qt::Key_Home);
        QTest::keyClick(combo->view(), Qt::Key_Down);
        QTest::keyClick(combo->view(), Qt::Key_Down);
        QTest::keyClick(combo->view(), Qt::Key_Return);
        QTRY_VERIFY(!combo->view()->isVisible());
        QCOMPARE(view->State().leftFormat, 2);
        QCOMPARE(view->Paper(Slot::Left)->View().firstFormat, LeftFormat(2));
        app.ExitInstance();
        QVERIFY(home.CfgText().contains(QStringLiteral("LastUsedLeftFormat = 2\r\n")));
    }

    void shutDownWritesTheSettingsFileInItsOrder()
    {
        TestHome home;
        CKorvaneApp app;
        AnswerNextModal([](QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); });
        Start(app);
        app.Frame()->move(123, 77);
        app.Frame()->close();
        app.ExitInstance();

        const QByteArray bytes = home.CfgBytes();
        QVERIFY(bytes.startsWith("\xFF\xFE"));
        // Each new key becomes the first line of its section, so a section
        // lists its keys in the reverse order of their first writing: the
        // view's keys at its close, the position at the frame's end, then
        // the exit's.
        const QString expected = QStringLiteral(
            "[Options]\r\n"
            "Language = 0\r\n"
            "GrayScale = 0\r\n"
            "ShowSplash = 1\r\n"
            "Proxy = \"server:port\"\r\n"
            "UseProxy = 0\r\n"
            "RightAutoFiles = \"back;back;-b\"\r\n"
            "LeftAutoFiles = \"front;front + inside;-f\"\r\n"
            "PrintJobName = \"Microsoft Word - Document1\"\r\n"
            "CheckForUpdates = 1\r\n"
            "Print Border = 1\r\n"
            "SelectedSkin = -1\r\n"
            "LastUsedRightFormat = 0\r\n"
            "LastUsedLeftFormat = 0\r\n"
            "BatchMode = 0\r\n"
            "AutoDetectFormat = 1\r\n"
            "RecentFileRight = \"\"\r\n"
            "RecentFileLeft = \"\"\r\n"
            "ReloadOnStartup = 1\r\n"
            "AutoLoad2ndImage = 1\r\n"
            "MaskPrintJobName = 0\r\n"
            "AutoRotate = 1\r\n"
            "DrawCutAndFoldLines = 1\r\n"
            "CheckForPrintableArea = 1\r\n"
            "\r\n"
            "[Position]\r\n"
            "Y = 77\r\n"
            "X = 123\r\n"
            "\r\n"
            "[Settings]\r\n"
            "LastRanVersion = 123\r\n");
        QCOMPARE(home.CfgText(), expected);
    }

    void positionSurvivesARestart()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\n[Position]\r\nX = 40\r\nY = 55\r\n");
        {
            CKorvaneApp app;
            Start(app);
            QCOMPARE(app.Frame()->pos(), QPoint(40, 55));
            app.Frame()->move(64, 32);
            app.ExitInstance();
        }
        {
            CKorvaneApp app;
            Start(app);
            QCOMPARE(app.Frame()->pos(), QPoint(64, 32));
            app.ExitInstance();
        }
    }

    void aPlaceOffEveryScreenIsCentred()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\n[Position]\r\nX = -5000\r\nY = 9000\r\n");
        CKorvaneApp app;
        Start(app);
        const QRect screen = app.Frame()->screen()->availableGeometry();
        QVERIFY(screen.contains(app.Frame()->frameGeometry().center()));
        QVERIFY(qAbs(app.Frame()->frameGeometry().center().x() - screen.center().x()) <= 1);
        app.ExitInstance();
    }

    void nextStartReloadsThePreviousFiles()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\n");
        const QString front = home.MakePicture(QStringLiteral("covers/Album front.jpg"), 600, 600);
        const QString back = home.MakePicture(QStringLiteral("covers/Album back.jpg"), 750, 590);
        const QString other = home.MakePicture(QStringLiteral("covers/Other.png"), 300, 300);
        {
            CKorvaneApp app;
            Start(app);
            CKorvaneDoc* doc = app.Document();
            QVERIFY(doc->LoadLeftImage(front.toStdString(), true));
            QVERIFY(doc->IsLoaded(Slot::Right));
            // A right cover chosen afterwards replaces the matched one.
            QVERIFY(doc->LoadRightImage(other.toStdString(), true));
            app.ExitInstance();
        }
        QVERIFY(home.CfgText().contains(QStringLiteral("RecentFileLeft = \"%1\"").arg(front)));
        {
            CKorvaneApp app;
            Start(app);
            CTheView* view = app.View();
            CKorvaneDoc* doc = app.Document();
            QVERIFY(doc->IsLoaded(Slot::Left));
            QCOMPARE(view->State().leftName, std::string("Album front.jpg"));
            // The left file brings its back cover; RecentFileRight names that
            // cover by then, so it is loaded again and the previous run's
            // right file (Other.png) is not.
            QCOMPARE(view->State().rightName, std::string("Album back.jpg"));
            QCOMPARE(doc->rightImage.GetWidth(), 750);
            QCOMPARE(view->SlotLabel(Slot::Left)->text(), QStringLiteral("Album front.jpg"));
            // The folder the user loaded from is where the open dialog starts.
            QCOMPARE(QString::fromStdString(GetCfgString("Paths", "LastUsed", "")), QFileInfo(front).path());
            app.ExitInstance();
        }
        // "New" forgets the files: the next start reloads nothing.
        {
            CKorvaneApp app;
            Start(app);
            app.View()->OnCommand(Cmd::New);
            QCOMPARE(app.View()->SlotLabel(Slot::Left)->text(), QStringLiteral("no image selected"));
            app.ExitInstance();
        }
        {
            CKorvaneApp app;
            Start(app);
            QVERIFY(!app.Document()->IsLoaded(Slot::Left));
            QVERIFY(!app.Document()->IsLoaded(Slot::Right));
            app.ExitInstance();
        }
    }

    void systemLanguagesMapToTheTablesIds()
    {
        // Every language of the table can be chosen from some system language.
        const QLocale::Language all[] = {
            QLocale::English, QLocale::Dutch,   QLocale::Spanish,  QLocale::Finnish,   QLocale::Swedish,
            QLocale::French,  QLocale::German,  QLocale::Italian,  QLocale::Danish,    QLocale::Russian,
            QLocale::Portuguese, QLocale::Estonian, QLocale::Polish, QLocale::NorwegianBokmal, QLocale::Greek,
            QLocale::Turkish, QLocale::Czech,   QLocale::Romanian, QLocale::Hungarian, QLocale::Latvian,
            QLocale::Chinese, QLocale::Japanese, QLocale::Catalan, QLocale::Arabic,    QLocale::Vietnamese,
            QLocale::Slovak};
        QSet<int> ids;
        for (QLocale::Language l : all)
            ids.insert(PrimaryLanguageId(l));
        for (const LanguageInfo& info : Languages())
            QVERIFY2(ids.contains(info.primaryLanguageId), info.fileName);
        // A Brazilian user interface chooses Portuguese, which shares its id.
        QCOMPARE(PrimaryLanguageId(QLocale(QStringLiteral("pt_BR")).language()), 0x16);
        QCOMPARE(PrimaryLanguageId(QLocale::Swahili), 0);
    }
};

QTEST_MAIN(StartupTest)
#include "StartupTest.moc"
