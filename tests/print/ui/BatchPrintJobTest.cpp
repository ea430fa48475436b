// Batch printing: the "Batch Printing" dialog, and batch jobs of real image
// files to a PDF file and to the CUPS test photo queue, one left cover per
// page, unreadable and unsupported files skipped.
#include "app/FormatRecognition.h"
#include "print/PrinterOptions.h"
#include "print/ui/BatchPrintingDialog.h"
#include "print/ui/PrintDialogs.h"
#include "print/ui/PrintJobRunner.h"

#include "CupsTestQueue.h"
#include "PrintTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace printtest;

class BatchPrintJobTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    CoverFormatList formats_ = TestFormats();
    CountingPrompter prompter_;
    CRasterImage left_;

    QString WriteImage(const QString& name, int w, int h, int grey) {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(QColor(grey, grey, grey));
        const QString path = dir_.filePath(name);
        image.save(path, "PNG");
        return path;
    }

    // A square front, a broken file, an unsupported one and a back cover.
    std::vector<std::string> Files() {
        QFile broken(dir_.filePath("broken.png"));
        broken.open(QIODevice::WriteOnly);
        broken.write("not a picture at all");
        broken.close();
        QFile tif(dir_.filePath("scan.tif"));
        tif.open(QIODevice::WriteOnly);
        tif.write("II*\0", 4);
        tif.close();
        return {WriteImage("front.png", 300, 300, 128).toStdString(), broken.fileName().toStdString(),
                tif.fileName().toStdString(), WriteImage("back.png", 375, 295, 200).toStdString()};
    }

    BatchPrintSource Source(std::vector<std::string> files, int proposed) {
        for (CoverFormat& f : formats_.formats)
            f.autodetect = (f.name == "CD Front" || f.name == "CD Back") ? 1 : 0;
        BatchPrintSource s;
        s.formats = &formats_;
        s.leftImage = &left_;
        s.prompter = &prompter_;
        s.recognition = BatchRecognitionFor(formats_, 1, &prompter_);
        s.job.files = std::move(files);
        s.job.format = proposed;
        s.job.drawCutLines = 0;
        s.job.printBorder = 0;
        return s;
    }

private slots:
    void init() {
        AppPrinterSettings().Clear();
        left_ = CRasterImage();
    }

    void theDialogOpensOnRecognitionForNoProposedFormat() {
        CBatchPrintingDialog dialog(3, -1, formats_);
        QCOMPARE(dialog.Message(), QString("Starting batch job. Printing 3 images..."));
        QCOMPARE(dialog.windowTitle(), QString("Batch Printing"));
        QCOMPARE(dialog.AutoDetectButton()->text(), QString("Auto detect the format of every single file."));
        QCOMPARE(dialog.ForceFormatButton()->text(), QString("Force format:"));
        QCOMPARE(dialog.PrintButton()->text(), QString("Print"));
        QVERIFY(dialog.AutoDetectButton()->isChecked());
        QVERIFY(!dialog.FormatCombo()->isEnabled());
        QCOMPARE(dialog.FormatCombo()->count(), formats_.count());
        QCOMPARE(dialog.FormatCombo()->itemText(1), QString("CD Back"));
        QCOMPARE(dialog.Result(), -1);

        // Forcing a format enables the list; nothing chosen forces none.
        dialog.ForceFormatButton()->click();
        QVERIFY(dialog.FormatCombo()->isEnabled());
        QCOMPARE(dialog.Result(), -1);
        dialog.FormatCombo()->setCurrentIndex(2);
        QCOMPARE(dialog.Result(), 2);
        dialog.AutoDetectButton()->click();
        QVERIFY(!dialog.FormatCombo()->isEnabled());
        QCOMPARE(dialog.Result(), -1);
    }

    void aProposedFormatIsForcedAndPrintAcceptsTheDialog() {
        CBatchPrintingDialog dialog(2, 1, formats_);
        QVERIFY(dialog.ForceFormatButton()->isChecked());
        QVERIFY(dialog.FormatCombo()->isEnabled());
        QCOMPARE(dialog.FormatCombo()->currentIndex(), 1);
        QTimer::singleShot(0, dialog.PrintButton(), &QPushButton::click);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QCOMPARE(dialog.Result(), 1);
    }

    void theQtDialogsRunTheBatchDialog() {
        QWidget parent;
        CQtPrintDialogs dialogs(&parent);
        QTimer::singleShot(100, [] {
            if (auto* d = qobject_cast<CBatchPrintingDialog*>(QApplication::activeModalWidget()))
                d->CancelButton()->click();
        });
        int format = 5;
        QVERIFY(!dialogs.BatchDialog(4, -1, formats_, format));
        QTimer::singleShot(100, [] {
            if (auto* d = qobject_cast<CBatchPrintingDialog*>(QApplication::activeModalWidget()))
                d->PrintButton()->click();
        });
        QVERIFY(dialogs.BatchDialog(4, kCdBack, formats_, format));
        QCOMPARE(format, kCdBack);
    }

    void aBatchToPdfPrintsOneRecognisedCoverPerReadableFile() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("batch.pdf");
        const BatchPrintOutcome out = RunBatchPrintJob(Source(Files(), kCdBack), dialogs);
        QCOMPARE(dialogs.batchCount, 4);
        QCOMPARE(dialogs.batchProposed, kCdBack);
        QVERIFY(dialogs.batch);
        QVERIFY(!out.cancelled && !out.refused);
        QCOMPARE(out.result.pages, 2);
        QCOMPARE(out.leftFormat, kCdBack);  // recognised for the last file
        QVERIFY(dialogs.progressCalls >= 2);
        QCOMPARE(dialogs.batchDone, 1);
        QCOMPARE(PdfInfo(dialogs.pdfPath, "Title"), QString("Korvane"));
        QCOMPARE(PdfInfo(dialogs.pdfPath, "Pages"), QString("2"));
        // Each a left cover: the front on the middle line, the back centred
        // in the upper half.
        QVERIFY(Near(GreyBounds(RasterisePdf(dialogs.pdfPath, 1, 600), 128), QRect(1063, 674, 2834, 2834)));
        const QImage second = RasterisePdf(dialogs.pdfPath, 2, 600);
        QVERIFY2(Near(GreyBounds(second, 200), QRect(709, (3508 - 2787) / 2, 3543, 2787)),
                 qPrintable(Describe(GreyBounds(second, 200))));
        QCOMPARE(GreyBounds(second, 128), QRect());
        // The left slot holds the last file loaded.
        QCOMPARE(left_.GetWidth(), 375);
    }

    void aForcedFormatPrintsEveryFileWithIt() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("forced.pdf");
        dialogs.batchFormat = kCdFront;
        const BatchPrintOutcome out = RunBatchPrintJob(Source(Files(), -1), dialogs);
        QCOMPARE(out.result.pages, 2);
        QCOMPARE(out.leftFormat, kCdFront);
        const QImage second = RasterisePdf(dialogs.pdfPath, 2, 600);
        QVERIFY(Near(GreyBounds(second, 200), QRect(1063, 674, 2834, 2834)));
    }

    void cancellingEitherDialogPrintsNothing() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("cancel.pdf");
        dialogs.acceptBatch = false;
        BatchPrintOutcome out = RunBatchPrintJob(Source(Files(), kCdBack), dialogs);
        QVERIFY(out.cancelled);
        QCOMPARE(out.leftFormat, kCdBack);  // unchanged
        QCOMPARE(dialogs.printDialogs, 0);

        dialogs.acceptBatch = true;
        dialogs.action = RecordingDialogs::Cancel;
        dialogs.batchFormat = -1;
        out = RunBatchPrintJob(Source(Files(), kCdBack), dialogs);
        QVERIFY(out.cancelled);
        QCOMPARE(out.leftFormat, -1);  // the batch dialog's choice stays
        QCOMPARE(out.result.pages, 0);
        QVERIFY(!QFile::exists(dialogs.pdfPath));
        QVERIFY(!left_.IsValid());
    }

    void onlyUnsupportedFilesLeaveNoFile() {
        RecordingDialogs dialogs;
        dialogs.pdfPath = dir_.filePath("empty.pdf");
        QFile tif(dir_.filePath("only.tif"));
        tif.open(QIODevice::WriteOnly);
        tif.write("II*\0", 4);
        tif.close();
        const BatchPrintOutcome out = RunBatchPrintJob(Source({tif.fileName().toStdString()}, kCdFront), dialogs);
        QCOMPARE(out.result.pages, 0);
        QVERIFY(!QFile::exists(dialogs.pdfPath));
        QCOMPARE(dialogs.couldNotStart, 0);
    }

    void aBatchToTheQueueIsOneJobNamedKorvane() {
        if (!cupstest::QueueExists(cupstest::kPhotoQueue))
            QSKIP(cupstest::kMissingQueueReason);
        const std::vector<int> before = cupstest::JobsNamed(cupstest::kPhotoQueue, "Korvane");
        RecordingDialogs dialogs;
        dialogs.action = RecordingDialogs::ToQueue;
        dialogs.queue = cupstest::kPhotoQueue;
        const BatchPrintOutcome out = RunBatchPrintJob(Source(Files(), -1), dialogs);
        std::vector<int> mine;
        for (int id : cupstest::JobsNamed(cupstest::kPhotoQueue, "Korvane"))
            if (std::find(before.begin(), before.end(), id) == before.end())
                mine.push_back(id);
        QString pages;
        if (mine.size() == 1 && !cupstest::SpoolFile(mine[0]).empty()) {
            const QString copy = dir_.filePath("spooled-batch.pdf");
            QFile::copy(QString::fromStdString(cupstest::SpoolFile(mine[0])), copy);
            pages = PdfInfo(copy, "Pages");
        }
        for (int id : mine)
            cupstest::CancelJob(cupstest::kPhotoQueue, id);
        QCOMPARE(out.result.pages, 2);
        QCOMPARE(mine.size(), size_t(1));
        if (!pages.isEmpty())
            QCOMPARE(pages, QString("2"));
    }
};

QTEST_MAIN(BatchPrintJobTest)
#include "BatchPrintJobTest.moc"
