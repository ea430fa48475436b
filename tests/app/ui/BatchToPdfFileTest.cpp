// A batch job printed to a PDF file from the window: files dropped in batch
// mode, the batch dialog's Print, then Qt's print dialog with "Print to File
// (PDF)" chosen and a file name typed; the file holds every cover, one a
// page, with the JPEG pictures as they were.
#include "DropFiles.h"
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/ui/KorvaneApp.h"
#include "app/ui/TheView.h"
#include "print/ui/PaperWidget.h"
#include "print/ui/BatchPrintingDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>

namespace {

QString Run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class BatchToPdfFileTest : public QObject {
    Q_OBJECT

private slots:
    void aDroppedBatchGoesToOnePdfFile()
    {
        TestHome home;
        home.WriteCfg("[Options]\r\nShowSplash = 0\r\nCheckForUpdates = 0\r\nBatchMode = 1\r\n");
        CKorvaneApp app;
        QVERIFY(app.InitInstance());
        QTest::qWait(120);
        const QStringList files = {
            home.MakePicture(QStringLiteral("batch/One.jpg"), 600, 600, QColor(200, 40, 40)),
            home.MakePicture(QStringLiteral("batch/Two.jpg"), 600, 600, QColor(40, 160, 40)),
            home.MakePicture(QStringLiteral("batch/Three.jpg"), 800, 800, QColor(40, 40, 200)),
        };
        const QString pdf = home.FilePath(QStringLiteral("out/covers.pdf"));
        QDir().mkpath(QFileInfo(pdf).path());

        QString printerShown;
        bool fileOffered = false;
        AnswerNextModal([&](QWidget* w) {
            auto* batch = qobject_cast<CBatchPrintingDialog*>(w);
            QVERIFY2(batch, w->metaObject()->className());
            AnswerNextModal([&](QWidget* next) {
                auto* dialog = qobject_cast<QPrintDialog*>(next);
                QVERIFY2(dialog, next->metaObject()->className());
                auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
                QVERIFY(printers);
                fileOffered = printers->findText(QStringLiteral("Print to File (PDF)")) >= 0;
                if (!fileOffered) {
                    dialog->reject();
                    return;
                }
                // The list's last entry, chosen from the keyboard.
                printers->setFocus();
                QTest::keyClick(printers, Qt::Key_End);
                printerShown = printers->currentText();
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
                QVERIFY(name && name->isEnabled());
                name->setFocus();
                QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(name, pdf);
                QTest::keyClick(name, Qt::Key_Return);
            });
            QTest::mouseClick(batch->PrintButton(), Qt::LeftButton);
        });
        Drop(app.View()->Paper(Slot::Left), files);

        QVERIFY(fileOffered);
        QCOMPARE(printerShown, QStringLiteral("Print to File (PDF)"));
        QTRY_VERIFY(QFile::exists(pdf));
        QTRY_VERIFY(Run(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))));
        // One picture a page, each a JPEG that kept its bytes.
        const QStringList rows = Run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                     .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                     .mid(2);
        QCOMPARE(rows.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QStringList cells = rows[i].simplified().split(QLatin1Char(' '));
            QCOMPARE(cells.value(0), QString::number(i + 1));  // its page
            QCOMPARE(cells.value(8), QStringLiteral("jpeg"));
        }
        const QString stem = home.FilePath(QStringLiteral("out/picture"));
        Run(QStringLiteral("pdfimages"), {QStringLiteral("-j"), pdf, stem});
        for (int i = 0; i < 3; ++i)
            QCOMPARE(FileBytes(stem + QStringLiteral("-%1.jpg").arg(i, 3, 10, QLatin1Char('0'))), FileBytes(files[i]));
        // The left slot holds the job's last cover.
        QCOMPARE(app.View()->State().leftName, std::string("Three.jpg"));
        app.ExitInstance();
    }
};

QTEST_MAIN(BatchToPdfFileTest)
#include "BatchToPdfFileTest.moc"
