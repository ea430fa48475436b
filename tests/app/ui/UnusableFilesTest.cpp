// Files that block or cannot be written, met by the running program: a pipe
// as the reloaded cover picture or as Korvane.dat is refused at once and the
// program still ends with its settings saved; a settings file that cannot be
// saved (a read-only program folder, a full disk) is said at exit, and the
// file that was there stays as it was.
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/TheView.h"

#include <QComboBox>
#include <QMessageBox>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A tmpfs of `size` mounted on a folder of its own for one test, when this
// process may mount; `why` says what stopped it otherwise.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const char* size)
    {
        const std::string options = std::string("size=") + size + ",mode=0755";
        if (::mount("tmpfs", dir_.path().toLocal8Bit().constData(), "tmpfs", 0, options.c_str()) == 0)
            mounted_ = true;
        else
            why_ = QStringLiteral("cannot mount a tmpfs here: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~SmallFileSystem()
    {
        if (mounted_)
            ::umount2(dir_.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    QString Why() const { return why_; }
    QString Path() const { return dir_.path(); }
    bool MakeReadOnly()
    {
        return ::mount("tmpfs", dir_.path().toLocal8Bit().constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString why_;
};

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

}  // namespace

class UnusableFilesTest : public QObject {
    Q_OBJECT

    // Points the program at `folder` (Korvane.dat and a settings file there).
    static void UseFolder(const QString& folder, const QByteArray& cfg)
    {
        QFile::copy(QStringLiteral(KORVANE_BIN_DIR "/Korvane.dat"), folder + QStringLiteral("/Korvane.dat"));
        WriteBytes(folder + QStringLiteral("/Korvane.cfg"), cfg);
        qputenv("KORVANE_HOME", folder.toUtf8());
        ResetSettings(JoinPath(ProgramFolder(), "Korvane.cfg"));
    }

    // Runs the program, ends it and returns what the exit said, if anything.
    static QString RunAndExit()
    {
        CKorvaneApp app;
        if (!app.InitInstance())
            return QStringLiteral("did not start");
        QTest::qWait(120);
        QString said;
        AnswerNextModal([&said](QWidget* w) {
            if (auto* b = qobject_cast<QMessageBox*>(w)) {
                said = b->text();
                b->accept();
            }
        }, 20000);
        app.Frame()->close();
        app.ExitInstance();
        return said;
    }

private slots:
    void aPipeAsTheReloadedCoverIsRefusedAndExitStillSaves()
    {
        TestHome home;
        const QString fifo = home.FilePath(QStringLiteral("cover.jpg"));
        QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nReloadOnStartup = 1\r\nRecentFileLeft = \"" +
                      fifo.toUtf8() + "\"\r\n");
        CKorvaneApp app;
        QVERIFY(app.InitInstance());
        // The pipe is refused by its kind, never opened: a read would wait
        // for a writer that never comes, and the window would never hear.
        const QString refusal = QStringLiteral("This is a pipe, not a picture file");
        QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(app.Document()->image(Slot::Left).GetLastError()), refusal,
                                  1000);
        QVERIFY(!app.Document()->IsLoaded(Slot::Left));
        app.Frame()->close();
        app.ExitInstance();
        QVERIFY(home.CfgText().contains(QStringLiteral("[Settings]\r\nLastRanVersion = 123\r\n")));
    }

    void aPipeAsTheFormatsFileIsRefusedAndTheWindowShows()
    {
        TestHome home;
        QFile::remove(home.FilePath(QStringLiteral("Korvane.dat")));
        QCOMPARE(::mkfifo(home.FilePath(QStringLiteral("Korvane.dat")).toLocal8Bit().constData(), 0600), 0);
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\n");
        QString said;
        AnswerNextModal([&said](QWidget* w) {
            if (auto* b = qobject_cast<QMessageBox*>(w)) {
                said = b->text();
                b->accept();
            }
        }, 5000);
        CKorvaneApp app;
        // Opening the pipe would wait for a writer for ever: it is refused
        // by its kind instead, and the window comes up.
        QVERIFY(app.InitInstance());
        QVERIFY(app.Frame()->isVisible());
        QVERIFY2(said.contains(QStringLiteral("is a pipe, not a regular file")), qPrintable(said));
        QCOMPARE(app.View()->Combo(Slot::Left)->count(), 0);
        app.Frame()->close();
        app.ExitInstance();
        QVERIFY(home.CfgText().contains(QStringLiteral("LastRanVersion = 123")));
        QFileInfo dat(home.FilePath(QStringLiteral("Korvane.dat")));
        QVERIFY(!dat.isFile());  // still the pipe
    }

    void aReadOnlyProgramFolderIsSaidAtExitAndTheFileKept()
    {
        TestHome home;
        const QByteArray cfg = "[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nDrawCutAndFoldLines = 1\r\n";
        // Root writes through permissions: only a read-only mount stops it.
        std::unique_ptr<SmallFileSystem> fs;
        QString folder = home.FilePath(QStringLiteral("ro"));
        if (::geteuid() == 0) {
            fs = std::make_unique<SmallFileSystem>("4m");
            if (!fs->Mounted())
                QSKIP(qPrintable(fs->Why()));
            folder = fs->Path();
        } else {
            QVERIFY(QDir().mkpath(folder));
        }
        UseFolder(folder, cfg);
        if (fs)
            QVERIFY(fs->MakeReadOnly());
        else
            QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        const QString said = RunAndExit();
        if (!fs)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(said.startsWith(QStringLiteral("The settings could not be saved to ") + folder +
                                 QStringLiteral("/Korvane.cfg: ")),
                 qPrintable(said));
        QVERIFY2(said.contains(fs ? QStringLiteral("Read-only file system") : QStringLiteral("Permission denied")),
                 qPrintable(said));
        QVERIFY(said.contains(QStringLiteral("this run are lost")));
        QCOMPARE(Bytes(folder + QStringLiteral("/Korvane.cfg")), cfg);
    }

    void aFullDiskIsSaidAtExitAndTheFileKept()
    {
        TestHome home;
        SmallFileSystem fs("1m");
        if (!fs.Mounted())
            QSKIP(qPrintable(fs.Why()));
        const QByteArray cfg = "[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nDrawCutAndFoldLines = 1\r\n";
        UseFolder(fs.Path(), cfg);
        // Fill what is left of the disk.
        {
            std::ofstream filler((fs.Path() + QStringLiteral("/filler")).toStdString(), std::ios::binary);
            const std::string block(4096, 'x');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) && filler.flush()) {
            }
        }
        const QString said = RunAndExit();
        QVERIFY2(said.contains(QStringLiteral("No space left on device")), qPrintable(said));
        QVERIFY(said.startsWith(QStringLiteral("The settings could not be saved to ") + fs.Path()));
        QCOMPARE(Bytes(fs.Path() + QStringLiteral("/Korvane.cfg")), cfg);
        // No temporary file is left behind.
        QStringList left = QDir(fs.Path()).entryList(QDir::Files);
        left.sort();
        QCOMPARE(left, (QStringList{QStringLiteral("Korvane.cfg"), QStringLiteral("Korvane.dat"), QStringLiteral("filler")}));
    }
};

QTEST_MAIN(UnusableFilesTest)
#include "UnusableFilesTest.moc"
