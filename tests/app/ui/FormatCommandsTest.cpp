// Options > Format Editor... and Options > Edit Formats File... in the running
// program: OK refills the format lists and drops selections past the end,
// Escape leaves Korvane.dat as it was, and the formats file goes to the text
// editor of a real freedesktop setup made here (or the message says what was
// tried).
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "app/ui/FormatEditDialog.h"

#include <QAction>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Sets environment variables for one test and puts them back afterwards.
class EnvScope {
public:
    void Set(const char* name, const QByteArray& value)
    {
        saved_.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv(name, value);
    }
    void Unset(const char* name)
    {
        saved_.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qunsetenv(name);
    }
    ~EnvScope()
    {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->wasSet)
                qputenv(it->name, it->value);
            else
                qunsetenv(it->name);
        }
    }

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    QList<Saved> saved_;
};

}  // namespace

class FormatCommandsTest : public QObject {
    Q_OBJECT

    static void Start(CKorvaneApp& app)
    {
        QVERIFY(app.InitInstance());
        QTest::qWait(120);
    }

    // An XDG setup with nothing in it, and PATH without editors.
    static void EmptyDesktop(EnvScope& env, const QTemporaryDir& dir)
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
            const QString path = dir.filePath(QString::fromLatin1(name));
            QDir().mkpath(path);
            env.Set(name, path.toUtf8());
        }
        env.Unset("VISUAL");
        env.Unset("EDITOR");
        env.Unset("XDG_CURRENT_DESKTOP");
        QDir().mkpath(dir.filePath(QStringLiteral("bin")));
        env.Set("PATH", dir.filePath(QStringLiteral("bin")).toUtf8());
    }

private slots:
    void okRefillsTheListsAndDropsSelectionsPastTheEnd()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nLastUsedLeftFormat = 15\r\nLastUsedRightFormat = 1\r\n");
        CKorvaneApp app;
        Start(app);
        CTheView* view = app.View();
        const int count = view->Combo(Slot::Left)->count();
        QCOMPARE(count, 16);
        QCOMPARE(view->State().leftFormat, 15);
        QAction* item = app.Frame()->Menu()->Action(Cmd::FormatEditor);
        emit app.Frame()->Menu()->MenuAboutToShow();
        QVERIFY(item->isEnabled());

        QString title;
        AnswerNextModal([&title](QWidget* w) {
            auto* d = qobject_cast<CFormatEditDialog*>(w);
            if (!d)
                return;
            title = d->windowTitle();
            QCOMPARE(d->Selected(), 15);  // opened on the left slot's format
            QTest::mouseClick(d->Control(CFormatEditDialog::Remove), Qt::LeftButton);
            QTest::mouseClick(d->Control(CFormatEditDialog::Ok), Qt::LeftButton);
        });
        item->trigger();
        QCOMPARE(title, QStringLiteral("Format Editor"));
        QCOMPARE(view->Combo(Slot::Left)->count(), count - 1);
        QCOMPARE(view->Combo(Slot::Right)->count(), count - 1);
        QCOMPARE(view->State().leftFormat, -1);
        QCOMPARE(view->State().rightFormat, 1);
        QCOMPARE(view->Combo(Slot::Right)->currentIndex(), 1);
        QVERIFY(!FileBytes(home.FilePath(QStringLiteral("Korvane.dat"))).contains("[Photo 13 x 18]"));
        app.ExitInstance();
    }

    void escapeLeavesTheFormatsFileAsItWas()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\n");
        const QByteArray before = FileBytes(home.FilePath(QStringLiteral("Korvane.dat")));
        CKorvaneApp app;
        Start(app);
        const int count = app.Document()->formats.count();
        AnswerNextModal([](QWidget* w) {
            auto* d = qobject_cast<CFormatEditDialog*>(w);
            if (!d)
                return;
            QTest::mouseClick(d->Control(CFormatEditDialog::Add), Qt::LeftButton);
            QTest::keyClick(d, Qt::Key_Escape);
        });
        app.Frame()->Menu()->Action(Cmd::FormatEditor)->trigger();
        QCOMPARE(app.View()->Combo(Slot::Left)->count(), count);
        QCOMPARE(app.Document()->formats.count(), count);
        app.ExitInstance();
        QCOMPARE(FileBytes(home.FilePath(QStringLiteral("Korvane.dat"))), before);
    }

    void formatsFileOpensInTheDesktopsTextEditor()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\n");
        QTemporaryDir desktop;
        EnvScope env;
        EmptyDesktop(env, desktop);
        // The editor: a script that writes down its arguments.
        const QString record = desktop.filePath(QStringLiteral("record.txt"));
        const QString script = desktop.filePath(QStringLiteral("bin/recording-editor"));
        {
            QFile f(script);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + record.toUtf8() + ".part\"\n/bin/mv \"" + record.toUtf8() +
                    ".part\" \"" + record.toUtf8() + "\"\n");
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        {
            QFile entry(desktop.filePath(QStringLiteral("XDG_DATA_HOME/applications/recorder.desktop")));
            QDir().mkpath(QFileInfo(entry).path());
            QVERIFY(entry.open(QIODevice::WriteOnly));
            entry.write("[Desktop Entry]\nType=Application\nName=Recorder\nExec=recording-editor --line 1 %F\n"
                        "MimeType=text/plain;\n");
            QFile list(desktop.filePath(QStringLiteral("XDG_CONFIG_HOME/mimeapps.list")));
            QVERIFY(list.open(QIODevice::WriteOnly));
            list.write("[Default Applications]\ntext/plain=recorder.desktop;\n");
        }
        const QByteArray before = FileBytes(home.FilePath(QStringLiteral("Korvane.dat")));
        CKorvaneApp app;
        Start(app);
        QAction* item = app.Frame()->Menu()->Action(Cmd::EditFormatsFile);
        QVERIFY(item);
        QCOMPARE(item->text(), QStringLiteral("Edit Formats File..."));
        item->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 20000);
        const QString expected = QStringLiteral("--line\n1\n") + home.FilePath(QStringLiteral("Korvane.dat")) + '\n';
        QCOMPARE(QString::fromUtf8(FileBytes(record)), expected);
        app.ExitInstance();
        QCOMPARE(FileBytes(home.FilePath(QStringLiteral("Korvane.dat"))), before);
    }

    void aShellScriptEntryGetsThePathAsOneWordWhateverTheFolderHolds()
    {
        TestHome home;
        // The program's folder, named so that a shell would run commands.
        const QString hostile = home.FilePath(
            QStringLiteral("cover x; touch PWNED1; $(touch PWNED2) `touch PWNED3` it's y"));
        QVERIFY(QDir().mkpath(hostile));
        QVERIFY(QFile::copy(home.FilePath(QStringLiteral("Korvane.dat")), hostile + QStringLiteral("/Korvane.dat")));
        EnvScope env;
        env.Set("KORVANE_HOME", hostile.toUtf8());
        ResetSettings(JoinPath(ProgramFolder(), "Korvane.cfg"));
        {
            QFile cfg(hostile + QStringLiteral("/Korvane.cfg"));
            QVERIFY(cfg.open(QIODevice::WriteOnly));
            cfg.write("[Options]\r\nShowSplash = 0\r\n");
        }
        QTemporaryDir desktop;
        EmptyDesktop(env, desktop);
        const QString record = desktop.filePath(QStringLiteral("record.txt"));
        const QString script = desktop.filePath(QStringLiteral("bin/recorder.sh"));
        {
            QFile f(script);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + record.toUtf8() + ".part\"\n/bin/mv \"" + record.toUtf8() +
                    ".part\" \"" + record.toUtf8() + "\"\n");
            f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        // The shell starts in the desktop folder: a marker would appear there.
        {
            QFile entry(desktop.filePath(QStringLiteral("XDG_DATA_HOME/applications/recorder.desktop")));
            QDir().mkpath(QFileInfo(entry).path());
            QVERIFY(entry.open(QIODevice::WriteOnly));
            entry.write("[Desktop Entry]\nType=Application\nName=Recorder\nExec=sh -c \"recorder.sh %f\"\nPath=" +
                        desktop.path().toUtf8() + "\nMimeType=text/plain;\n");
            QFile list(desktop.filePath(QStringLiteral("XDG_CONFIG_HOME/mimeapps.list")));
            QVERIFY(list.open(QIODevice::WriteOnly));
            list.write("[Default Applications]\ntext/plain=recorder.desktop;\n");
        }
        env.Set("PATH", desktop.filePath(QStringLiteral("bin")).toUtf8() + ":/usr/bin:/bin");
        CKorvaneApp app;
        Start(app);
        app.Frame()->Menu()->Action(Cmd::EditFormatsFile)->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 20000);
        QCOMPARE(QString::fromUtf8(FileBytes(record)), hostile + QStringLiteral("/Korvane.dat\n"));
        app.ExitInstance();
        for (const QString& folder : {desktop.path(), QDir::currentPath(), hostile, home.Path()}) {
            for (const char* marker : {"PWNED1", "PWNED2", "PWNED3"})
                QVERIFY2(!QFile::exists(folder + '/' + QLatin1String(marker)), marker);
        }
    }

    void withoutAnEditorTheMessageSaysWhatWasTried()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\n");
        QTemporaryDir desktop;
        EnvScope env;
        EmptyDesktop(env, desktop);
        env.Set("VISUAL", "vi");
        CKorvaneApp app;
        Start(app);
        QString shown;
        AnswerNextModal([&shown](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w)) {
                shown = box->text();
                box->accept();
            }
        });
        app.Frame()->Menu()->Action(Cmd::EditFormatsFile)->trigger();
        QVERIFY2(shown.contains(QStringLiteral("ShellCommand = no default application for text/plain\n")),
                 qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("$VISUAL = vi (runs in a terminal)")));
        QVERIFY(shown.contains(QStringLiteral("gedit")));
        QVERIFY(shown.endsWith(QStringLiteral("Parameters = ") + home.FilePath(QStringLiteral("Korvane.dat"))));
        app.ExitInstance();
    }
};

QTEST_MAIN(FormatCommandsTest)
#include "FormatCommandsTest.moc"
