// The menu bar and its Language menu: the layout the language table binds
// its texts to, a language file translating menu and captions, the items'
// states, and the mail item opening mail.
#include "CaptionFit.h"
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "formats/ui/EditLineDialog.h"
#include "formats/ui/EditRectDialog.h"
#include "app/ui/FormatEditDialog.h"
#include "print/ui/BatchPrintingDialog.h"
#include "print/ui/CalibrationDialog.h"
#include "print/ui/PrintSetupDialog.h"
#include "app/ui/TheView.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "app/ui/AboutDialog.h"
#include "app/ui/OptionsDialog.h"
#include "settings/ui/QtMenuText.h"

#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QStyle>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

class LanguageTest : public QObject {
    Q_OBJECT

    static void WriteGerman(const TestHome& home)
    {
        QFile lng(home.FilePath(QStringLiteral("languages/German.lng")));
        QVERIFY(lng.open(QIODevice::WriteOnly));
        lng.write("; Korvane language file\r\n[German]\r\n"
                  "1000=Bereit zum Drucken ?\r\n"
                  "2004=Auf eine Seite drucken\r\n"
                  "2006=kein Bild gew\xC3\xA4hlt\r\n"
                  "2007=Links drucken\r\n"
                  "3000=&Datei\r\n"
                  "3001=&Neu\\tStrg+N\r\n"
                  "3008=Sprache\r\n"
                  "9000=CD Vorderseite\r\n"
                  "9550=Druckeinrichtung\r\n"
                  "9551=Drucker:\r\n");
    }

    static void Start(CKorvaneApp& app)
    {
        QVERIFY(app.InitInstance());
        QTest::qWait(120);
    }

private slots:
    void menuLayoutMatchesTheLanguageTablesRows()
    {
        QMenuBar bar;
        CMainMenu menu(&bar);
        CQtMenuText text(&bar);
        for (const MenuTextRow& row : MenuTextRows()) {
            IMenuText* level = &text;
            for (int d = 0; d + 1 < row.depth; ++d) {
                level = level->SubMenu(row.pos[d]);
                QVERIFY2(level, qPrintable(QString::number(row.number)));
            }
            QCOMPARE(QString::fromStdString(level->ItemText(row.pos[row.depth - 1])),
                     QString::fromStdString(BuiltinEnglishText(row.number)));
        }
        // 28 languages, a separator and the mail item.
        int languages = 0;
        for (QAction* a : menu.LanguageMenu()->actions())
            languages += LanguageIndexForCommand(a->data().toInt()) >= 0 ? 1 : 0;
        QCOMPARE(languages, 28);
        QCOMPARE(menu.LanguageMenu()->actions().last()->data().toInt(), Cmd::MailTranslation);
        QCOMPARE(menu.Action(Cmd::New)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
        QCOMPARE(menu.Action(Cmd::PrintLeft)->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(menu.Action(Cmd::Paste)->text(), QStringLiteral("P&aste\tCtrl-V"));
    }

    void languageFileTranslatesMenuAndCaptions()
    {
        TestHome home;
        WriteGerman(home);
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nLanguage = 6\r\n");
        CKorvaneApp app;
        Start(app);
        CTheView* view = app.View();
        QMenuBar* bar = app.Frame()->menuBar();
        QCOMPARE(bar->actions()[0]->text(), QStringLiteral("&Datei"));
        QCOMPARE(app.Frame()->Menu()->Action(Cmd::New)->text(), QStringLiteral("&Neu\tStrg+N"));
        // Texts the file lacks stay English.
        QCOMPARE(bar->actions()[1]->text(), QStringLiteral("&Options"));
        QCOMPARE(app.Frame()->Menu()->Action(Cmd::Exit)->text(), QStringLiteral("E&xit"));
        QCOMPARE(app.Frame()->windowTitle(), QStringLiteral("Korvane V1.23 - Bereit zum Drucken ?"));
        QCOMPARE(qobject_cast<QLabel*>(view->Control(Ctl::SinglePageLabel))->text(),
                 QStringLiteral("Auf eine Seite drucken"));
        QCOMPARE(qobject_cast<QLabel*>(view->Control(Ctl::CutLinesLabel))->text(),
                 QStringLiteral("Draw Cut / Fold lines"));
        QCOMPARE(qobject_cast<QPushButton*>(view->Control(Ctl::PrintLeft))->text(), QStringLiteral("Links drucken"));
        QCOMPARE(view->SlotLabel(Slot::Left)->text(), QString::fromUtf8("kein Bild gew\xC3\xA4hlt"));
        QCOMPARE(view->Combo(Slot::Left)->itemText(0), QStringLiteral("CD Vorderseite"));
        QCOMPARE(view->Combo(Slot::Left)->itemText(1), QStringLiteral("CD Back"));
        // Qt's own windows speak German too, and so does Print Setup.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
        {
            CPrintSetupDialog setup{CPrinterSettings()};
            QCOMPARE(setup.windowTitle(), QStringLiteral("Druckeinrichtung"));
            QVERIFY(setup.findChild<QLabel*>() != nullptr);
            QStringList labels;
            for (QLabel* label : setup.findChildren<QLabel*>())
                labels << label->text();
            QVERIFY(labels.contains(QStringLiteral("Drucker:")));
            QVERIFY(labels.contains(QStringLiteral("Paper size:")));
        }

        // The Language menu: German checked, languages without a file greyed.
        CMainMenu* menu = app.Frame()->Menu();
        emit menu->MenuAboutToShow();
        QVERIFY(menu->Action(32774)->isChecked());
        QVERIFY(menu->Action(32774)->isEnabled());
        QVERIFY(menu->Action(32773)->isEnabled());
        QVERIFY(!menu->Action(32773)->isChecked());
        QVERIFY(!menu->Action(32771)->isEnabled());  // Dutch: no file here
        QVERIFY(!menu->Action(32840)->isEnabled());

        // Back to English through the menu.
        menu->Action(32773)->trigger();
        QCOMPARE(bar->actions()[0]->text(), QStringLiteral("&File"));
        QCOMPARE(app.Frame()->windowTitle(), QStringLiteral("Korvane V1.23 - Ready To Print Some Covers ?"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
        QCOMPARE(qobject_cast<QPushButton*>(view->Control(Ctl::PrintLeft))->text(), QStringLiteral("Print Left"));
        QCOMPARE(qobject_cast<QLabel*>(view->Control(Ctl::SinglePageLabel))->text(),
                 QStringLiteral("Print on a Single Page"));
        QCOMPARE(view->SlotLabel(Slot::Left)->text(), QStringLiteral("no image selected"));
        QCOMPARE(view->Combo(Slot::Left)->itemText(0), QStringLiteral("CD Front"));
        QCOMPARE(view->Combo(Slot::Left)->currentIndex(), 0);
        emit menu->MenuAboutToShow();
        QVERIFY(menu->Action(32773)->isChecked());
        QVERIFY(!menu->Action(32774)->isChecked());
        app.ExitInstance();
        QVERIFY(home.CfgText().contains(QStringLiteral("Language = 0\r\n")));
    }

    // Every shipped language's texts fit every window of the program: the
    // main window and each dialog it opens.
    void shippedLanguagesFitEveryDialog()
    {
        TestHome home;
        const QDir shipped(QStringLiteral(KORVANE_BIN_DIR "/languages"));
        const QStringList files = shipped.entryList({QStringLiteral("*.lng")}, QDir::Files);
        QVERIFY(files.size() >= 14);
        for (const QString& file : files)
            QVERIFY(QFile::copy(shipped.filePath(file), home.FilePath(QStringLiteral("languages/") + file)));
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\n");
        CKorvaneApp app;
        Start(app);
        CMainMenu* menu = app.Frame()->Menu();
        CoverFormatList& formats = app.View()->Document().formats;
        CFormatEditDialog::PrinterLists printer;
        printer.havePrinter = true;
        printer.mediaTypes = {{"plain", "Plain Paper", 1}};
        printer.sources = {{"tray", "Tray 1", 1}};
        QStringList problems;
        int checked = 0;
        for (int i = 0; i < kLanguageCount; ++i) {
            if (!files.contains(QLatin1String(Languages()[i].fileName) + QStringLiteral(".lng")))
                continue;
            menu->Action(Languages()[i].menuCommand)->trigger();
            QCOMPARE(Language().GetCurrentLanguage(), i);
            ++checked;
            // The main window's format lists stand where the skin puts them, as
            // wide as it says; their entries open in full in the drop-down.
            auto check = [&](QWidget& window, bool entries = true) {
                const bool wasShown = window.isVisible();
                window.show();
                QVERIFY(QTest::qWaitForWindowExposed(&window));
                for (const QString& cut : CutCaptions(&window, entries))
                    problems << QLatin1String(Languages()[i].fileName) + QStringLiteral(": ") +
                                    window.metaObject()->className() + QStringLiteral(": ") + cut;
                if (!wasShown)
                    window.hide();
            };
            check(*app.Frame(), false);
            AppSettings values;
            COptionsDialog options(values);
            check(options);
            CAboutDlg about;
            check(about);
            CBatchPrintingDialog batch(12, -1, formats);
            check(batch);
            CPrintSetupDialog setup{CPrinterSettings()};
            check(setup);
            CCalibrationDialog calibration(Calibration{0, 0});
            check(calibration);
            CFormatEditDialog editor(formats, nullptr, 0, printer);
            check(editor);
            editor.reject();
            CEditLineDialog line(CutLine{}, false);
            check(line);
            CEditRectDialog rect(CutRect{}, false);
            check(rect);
        }
        QCOMPARE(checked, files.size());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        app.ExitInstance();
    }

    void everyItemStandsEnabledAndTheMailItemOpensMail()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\n");
        CKorvaneApp app;
        Start(app);
        CMainMenu* menu = app.Frame()->Menu();
        emit menu->MenuAboutToShow();
        // Random is the stored skin of a first run.
        QVERIFY(menu->Action(Cmd::SkinRandom)->isChecked());
        for (int id : {Cmd::New, Cmd::OpenLeft, Cmd::OpenRight, Cmd::Paste, Cmd::Exit, Cmd::MailTranslation,
                       Cmd::OnlineHelp, Cmd::Website, Cmd::DownloadCovers1, Cmd::DownloadCovers2, Cmd::About,
                       Cmd::Options, Cmd::SkinDefault, Cmd::SkinAlternative, Cmd::SkinClean, Cmd::SkinRandom})
            QVERIFY(menu->Action(id)->isEnabled());

        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
        menu->Action(Cmd::MailTranslation)->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QCOMPARE(catcher.urls.size(), 1);
        QCOMPARE(catcher.urls[0].scheme(), QStringLiteral("mailto"));

        // Exit closes the main window.
        menu->Action(Cmd::Exit)->trigger();
        QVERIFY(!app.Frame()->isVisible());
        app.ExitInstance();
    }
};

QTEST_MAIN(LanguageTest)
#include "LanguageTest.moc"
