// The real program printing through its real print dialogs onto the CUPS
// test photo queue (held jobs, read back through pdfinfo and pdftoppm):
// after a batch the left slot, its format, its name and its paper agree and
// Print Left prints that; "Print Both..." prints both covers whatever the
// job before; a cover that runs into the printer's margin is told before
// the job; a front cover finds its back whatever the letter case; the
// keywords typed into the Options dialog survive the next start.
#include "DropFiles.h"
#include "MenuChoices.h"
#include "UiTestHome.h"

#include "../../print/ui/CupsTestQueue.h"

#include "app/KorvaneDoc.h"
#include "app/CommandIds.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/MainFrame.h"
#include "app/ui/MainMenu.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"
#include "print/PrinterOptions.h"
#include "settings/AppSettings.h"

#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QUrl>

namespace {

// Answers the next print dialog with the key a user presses: Return prints
// on the printer it shows, Escape cancels.
void AnswerPrintDialog(Qt::Key key, QString* shownPrinter = nullptr)
{
    AnswerNextModal([key, shownPrinter](QWidget* w) {
        auto* dialog = qobject_cast<QPrintDialog*>(w);
        QVERIFY2(dialog, qPrintable(QStringLiteral("expected the print dialog, got ") + w->metaObject()->className()));
        if (shownPrinter)
            *shownPrinter = dialog->printer()->printerName();
        QTest::keyClick(dialog, key);
    });
}

// A key pressed in the main window, where the keyboard focus is.
void PressInWindow(QWidget* frame, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    // The user's click into the window that the key goes to.
    frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == frame ? focus : frame, key, modifiers);
}

// The spooled PDF of the held job named `title` on a held queue (the job is
// cancelled once read): its page count and its pages at 50 dpi.
struct HeldJob {
    int pages = 0;
    QList<QImage> images;
};

HeldJob TakeHeldJob(const std::string& title, const char* queue = cupstest::kPhotoQueue)
{
    HeldJob job;
    std::vector<int> ids;
    for (int i = 0; i < 100 && ids.empty(); ++i) {
        ids = cupstest::JobsNamed(queue, title);
        if (ids.empty())
            QTest::qWait(50);
    }
    if (ids.size() != 1)
        return job;
    const QString spool = QString::fromStdString(cupstest::SpoolFile(ids.front()));
    if (!spool.isEmpty()) {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("job.pdf"));
        QFile::copy(spool, pdf);
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        info.waitForFinished(30000);
        for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("Pages:")))
                job.pages = line.mid(6).trimmed().toInt();
        for (int page = 1; page <= job.pages; ++page) {
            QProcess raster;
            const QString out = dir.filePath(QStringLiteral("page%1").arg(page));
            raster.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"),
                                                      QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                                      QString::number(page), QStringLiteral("-singlefile"), pdf, out});
            raster.waitForFinished(60000);
            job.images << QImage(out + QStringLiteral(".png")).convertToFormat(QImage::Format_RGB32);
        }
    }
    cupstest::CancelJob(queue, ids.front());
    return job;
}

// The box of the pixels near `colour` (each channel within 40), in pixels.
QRect ColourBounds(const QImage& image, QColor colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) < 40 && std::abs(c.green() - colour.green()) < 40 &&
                std::abs(c.blue() - colour.blue()) < 40)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

// A held queue of a real disc-tray printer (Gutenprint's own driver).
constexpr const char* kBatchQueue = "KorvaneTestIP7250";

double Mm(int pixelsAt50Dpi) { return pixelsAt50Dpi * 25.4 / 50; }

}  // namespace

class PrintWhatIsShownTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestHome> home_;
    std::unique_ptr<CKorvaneApp> app_;

    CTheView* View() { return app_->View(); }
    CKorvaneDoc& Doc() { return *app_->Document(); }
    QWidget* Frame() { return app_->Frame(); }
    QString Pid() { return QString::number(QCoreApplication::applicationPid()); }
    int FormatIndex(const QString& name) { return View()->Combo(Slot::Left)->findText(name); }

    void Start(const QByteArray& cfg)
    {
        home_ = std::make_unique<TestHome>();
        home_->WriteCfg(cfg);
        StartAgain();
    }
    void StartAgain()
    {
        RunningValues() = AppSettings{};
        app_ = std::make_unique<CKorvaneApp>();
        QVERIFY(app_->InitInstance());
        QTest::qWait(80);
        Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }
    void Stop()
    {
        if (app_)
            app_->ExitInstance();
        app_.reset();
    }

private slots:
    void init()
    {
        if (!cupstest::QueueExists(cupstest::kPhotoQueue))
            QSKIP(cupstest::kMissingQueueReason);
        AppPrinterSettings().SelectPrinter(cupstest::kPhotoQueue);
    }

    void cleanup()
    {
        Stop();
        home_.reset();
    }

    void aBatchOfTwentyLeavesTheSlotAsPrintLeftPrintsIt()
    {
        // Another queue than the one the batch job tests use: every batch
        // job has the same name.
        if (!cupstest::QueueExists(kBatchQueue))
            QSKIP(cupstest::kMissingQueueReason);
        AppPrinterSettings().SelectPrinter(kBatchQueue);
        Start("[Options]\r\nShowSplash = 0\r\nBatchMode = 1\r\n");
        // The slot held a CD front before the batch.
        const QString earlier = home_->MakePicture(QStringLiteral("Earlier front.png"), 600, 600);
        Drop(View()->Paper(Slot::Left), {earlier});
        QTRY_VERIFY(Doc().IsLoaded(Slot::Left));
        QCOMPARE(View()->Combo(Slot::Left)->currentText(), QStringLiteral("CD Front"));

        // Nineteen CD fronts and, last, a DVD sleeve in its own colour.
        QStringList batch;
        for (int i = 1; i <= 19; ++i)
            batch << home_->MakePicture(QStringLiteral("batch/Disc %1.png").arg(i, 2, 10, QLatin1Char('0')), 300, 300);
        const QString dvdName = QStringLiteral("Disc 20 DVD-%1.png").arg(Pid());
        batch << home_->MakePicture(QStringLiteral("batch/") + dvdName, 366, 546, QColor(30, 170, 60));

        QString batchPrinter;
        AnswerNextModal([&batchPrinter](QWidget* w) {
            // The batch dialog proposes the slot's format: recognise each file instead.
            auto* autoDetect = w->findChild<QRadioButton*>();
            QVERIFY(autoDetect);
            QTest::mouseClick(autoDetect, Qt::LeftButton, Qt::NoModifier, QPoint(6, autoDetect->height() / 2));
            QVERIFY(autoDetect->isChecked());
            AnswerPrintDialog(Qt::Key_Return, &batchPrinter);
            QPushButton* print = nullptr;
            for (QPushButton* b : w->findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("Print"))
                    print = b;
            QVERIFY(print);
            QTest::mouseClick(print, Qt::LeftButton);
        });
        Drop(View()->Paper(Slot::Left), batch);
        QCOMPARE(batchPrinter, QString(kBatchQueue));
        QCOMPARE(TakeHeldJob("Korvane", kBatchQueue).pages, 20);

        // The slot, its format, its name and the paper agree on the last file.
        const int dvd = FormatIndex(QStringLiteral("DVD Sleeve"));
        QVERIFY(dvd >= 0);
        QCOMPARE(View()->State().leftFormat, dvd);
        QCOMPARE(View()->Combo(Slot::Left)->currentIndex(), dvd);
        QCOMPARE(View()->State().leftName, dvdName.toStdString());
        QCOMPARE(View()->SlotLabel(Slot::Left)->text(), dvdName);
        QCOMPARE(View()->Paper(Slot::Left)->View().firstImage, &Doc().leftImage);
        QCOMPARE(View()->Paper(Slot::Left)->View().firstFormat, LeftFormat(dvd));
        QCOMPARE(Doc().leftImage.GetWidth(), 366);
        QCOMPARE(Doc().leftImage.GetHeight(), 546);
        QCOMPARE(QString::fromStdString(RunningValues().recentFileLeft), batch.back());

        // Print Left (Ctrl+P) prints that: one page, named after it, a
        // 183 x 273 mm sleeve in its colour.
        AnswerPrintDialog(Qt::Key_Return);
        PressInWindow(Frame(), Qt::Key_P, Qt::ControlModifier);
        const HeldJob printed = TakeHeldJob("Korvane - " + dvdName.toStdString(), kBatchQueue);
        QCOMPARE(printed.pages, 1);
        if (printed.images.isEmpty())
            QSKIP("the spooled job cannot be read here (no root)");
        const QRect sleeve = ColourBounds(printed.images.front(), QColor(30, 170, 60));
        QVERIFY2(std::abs(Mm(sleeve.width()) - 183) < 1.5 && std::abs(Mm(sleeve.height()) - 273) < 1.5,
                 qPrintable(QStringLiteral("printed %1 x %2 mm").arg(Mm(sleeve.width())).arg(Mm(sleeve.height()))));
    }

    void printBothAfterACancelledPrintLeftPrintsBoth()
    {
        Start("[Options]\r\nShowSplash = 0\r\n");
        const QString front =
            home_->MakePicture(QStringLiteral("Pair-%1 front.png").arg(Pid()), 600, 600, QColor(200, 40, 40));
        const QString backName = QStringLiteral("Pair-%1 back.png").arg(Pid());
        home_->MakePicture(backName, 750, 590, QColor(40, 40, 200));
        Drop(View()->Paper(Slot::Left), {front});
        QTRY_VERIFY(Doc().IsLoaded(Slot::Right));

        AnswerPrintDialog(Qt::Key_Escape);
        PressInWindow(Frame(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(View()->State().printMode, PrintMode::Left);

        // File > Print Both (its letter P).
        AnswerPrintDialog(Qt::Key_Return);
        ChooseFromMenu(app_->Frame()->menuBar(), 0, Qt::Key_P);
        // A job of the left cover alone would be named after the front.
        const std::string leftAlone = "Korvane - " + QFileInfo(front).fileName().toStdString();
        QTRY_VERIFY(View()->State().printMode == PrintMode::Both || !cupstest::JobsNamed(cupstest::kPhotoQueue, leftAlone).empty());
        cupstest::CancelJobsNamed(cupstest::kPhotoQueue, leftAlone);
        QCOMPARE(View()->State().printMode, PrintMode::Both);
        const HeldJob printed = TakeHeldJob("Korvane - " + backName.toStdString());
        QCOMPARE(printed.pages, 2);
        if (printed.images.size() == 2) {
            QVERIFY(!ColourBounds(printed.images[0], QColor(200, 40, 40)).isEmpty());
            QVERIFY(!ColourBounds(printed.images[1], QColor(40, 40, 200)).isEmpty());
        }
    }

    void aSleeveTooLongForThePaperIsToldBeforeTheJobAndStillPrints()
    {
        home_ = std::make_unique<TestHome>();
        home_->WriteCfg("[Options]\r\nShowSplash = 0\r\n");
        // A sleeve of 295 mm: the photo printer's A4 leaves 288.6 mm of
        // printable height, so it runs 3.2 mm into the margin at either end.
        QFile dat(home_->FilePath(QStringLiteral("Korvane.dat")));
        QVERIFY(dat.open(QIODevice::ReadOnly));
        QByteArray formats = dat.readAll();
        dat.close();
        const qsizetype at = formats.indexOf("[Slim DVD Sleeve 9 mm]");
        QVERIFY(at > 0);
        formats.insert(at, "[Tall Sleeve]\r\nSIZE = 183, 295\r\nPOSITION = AUTO\r\nPOSITION2 = AUTO\r\n"
                           "AUTODETECT = YES, 183, 295\r\nTYPE = CUSTOM\r\n\r\n");
        QVERIFY(dat.open(QIODevice::WriteOnly | QIODevice::Truncate));
        dat.write(formats);
        dat.close();
        StartAgain();

        const QString name = QStringLiteral("Long sleeve-%1.png").arg(Pid());
        const QString sleeve = home_->MakePicture(name, 366, 590);
        Drop(View()->Paper(Slot::Left), {sleeve});
        QTRY_VERIFY(Doc().IsLoaded(Slot::Left));
        QCOMPARE(View()->Combo(Slot::Left)->currentText(), QStringLiteral("Tall Sleeve"));

        QStringList boxes;
        bool jobStartedBeforeTheBox = false;
        const std::string title = "Korvane - " + name.toStdString();
        AnswerPrintDialog(Qt::Key_Return);
        // After the print dialog, before the job: one box.
        auto* watch = new QTimer(this);
        watch->setInterval(10);
        connect(watch, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box && box->isVisible()) {
                boxes << box->text();
                jobStartedBeforeTheBox = !cupstest::JobsNamed(cupstest::kPhotoQueue, title).empty();
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        watch->start();
        PressInWindow(Frame(), Qt::Key_P, Qt::ControlModifier);
        const HeldJob printed = TakeHeldJob(title);
        watch->stop();
        QCOMPARE(printed.pages, 1);
        QCOMPARE(boxes.size(), 1);
        QVERIFY(!jobStartedBeforeTheBox);
        QVERIFY2(boxes[0].contains(QStringLiteral("\"%1\" (Tall Sleeve)").arg(name)), qPrintable(boxes[0]));
        const QRegularExpressionMatch mm = QRegularExpression(QStringLiteral("runs (\\d+\\.\\d) mm into the margin")).match(boxes[0]);
        QVERIFY2(mm.hasMatch(), qPrintable(boxes[0]));
        QVERIFY2(std::abs(mm.captured(1).toDouble() - 3.2) <= 0.1, qPrintable(boxes[0]));
    }

    void typedKeywordsSurviveTheNextStartAndFindBacksInAnyCase()
    {
        Start("[Options]\r\nShowSplash = 0\r\n");
        // The usual names: "Front" finds "Back" beside it.
        const QString front = home_->MakePicture(QStringLiteral("Artist - Album - Front.jpg"), 600, 600);
        home_->MakePicture(QStringLiteral("Artist - Album - Back.jpg"), 750, 590);
        Drop(View()->Paper(Slot::Left), {front});
        QTRY_VERIFY(Doc().IsLoaded(Slot::Right));
        QCOMPARE(View()->SlotLabel(Slot::Right)->text(), QStringLiteral("Artist - Album - Back.jpg"));

        // Options > Options... (its letter O): new keyword pairs typed in, then OK.
        AnswerNextModal([](QWidget* dialog) {
            for (const char* name : {"leftAutoFiles", "rightAutoFiles"}) {
                auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(name));
                QVERIFY(edit);
                QTest::mouseClick(edit, Qt::LeftButton);
                QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(edit, QLatin1String(name) == QLatin1String("leftAutoFiles") ? QStringLiteral("Vorne;front")
                                                                                          : QStringLiteral("Hinten;back"));
            }
            auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("ok"));
            QVERIFY(ok);
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        ChooseFromMenu(app_->Frame()->menuBar(), 1, Qt::Key_O);
        QTRY_COMPARE(RunningValues().leftAutoFiles, std::string("Vorne;front"));

        Stop();
        StartAgain();
        QCOMPARE(RunningValues().leftAutoFiles, std::string("Vorne;front"));
        QCOMPARE(RunningValues().rightAutoFiles, std::string("Hinten;back"));
        const QString vorne = home_->MakePicture(QStringLiteral("other/Band - Vorne.png"), 600, 600);
        home_->MakePicture(QStringLiteral("other/Band - HINTEN.png"), 750, 590);
        Drop(View()->Paper(Slot::Left), {vorne});
        QTRY_COMPARE(View()->SlotLabel(Slot::Right)->text(), QStringLiteral("Band - HINTEN.png"));
    }
};

QTEST_MAIN(PrintWhatIsShownTest)
#include "PrintWhatIsShownTest.moc"
