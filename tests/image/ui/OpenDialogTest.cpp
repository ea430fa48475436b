// The image open dialog's panel (preview, size, depth, file size), its
// filters, start folder and settings; and the preview control's drawing.
#include "../../app/ui/UiTestHome.h"

#include "image/RasterSurface.h"
#include "image/ui/ExtendedFileDialog.h"
#include "image/ui/PreviewWidget.h"
#include "image/ui/QtPainterSurface.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"

#include <QCheckBox>

namespace {

// A 24-bit BMP: 54 header bytes and padded rows.
QString SaveBmp(const TestHome& home, const QString& name, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(QColor(1, 2, 3));
    const QString path = home.FilePath(name);
    image.save(path, "BMP");
    return path;
}

QString SaveBytes(const TestHome& home, const QString& name, int size)
{
    const QString path = home.FilePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray(size, 'x'));
    return path;
}

}  // namespace

class OpenDialogTest : public QObject {
    Q_OBJECT
private slots:
    void panelShowsSizeDepthAndFileSize()
    {
        TestHome home;
        const QString bmp = SaveBmp(home, QStringLiteral("tiny.bmp"), 16, 16);
        QCOMPARE(QFileInfo(bmp).size(), 822);
        const QString text = SaveBytes(home, QStringLiteral("notes.txt"), 2048);

        CExtendedFileDialog dialog(false);
        dialog.show();
        QVERIFY(dialog.ShowPreviewBox()->isChecked());
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(":"));
        dialog.SelectionChanged(bmp);
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(": 16 x 16 pixels"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::FileSizeValue), QStringLiteral(": 0 KB"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::DepthValue), QStringLiteral(": 24 bits per pixel"));
        // A file the preview cannot show keeps the picture, with its own length.
        dialog.SelectionChanged(text);
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(": 16 x 16 pixels"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::FileSizeValue), QStringLiteral(": 2 KB"));
        QCOMPARE(dialog.Preview()->File(), text.toStdString());
        // A file that is gone: the values are emptied.
        dialog.SelectionChanged(home.FilePath(QStringLiteral("gone.png")));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(":"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::FileSizeValue), QStringLiteral(":"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::DepthValue), QStringLiteral(":"));
        // The panel's texts.
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::GroupBox), QStringLiteral("Image Information / Preview"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionLabel), QStringLiteral("Resolution"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::DepthLabel), QStringLiteral("ColorDepth"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::FileSizeLabel), QStringLiteral("FileSize"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::ShowPreview), QStringLiteral("Show preview"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select the image you want to use for the cover"));
    }

    void selectingAFileInTheDialogUpdatesThePanel()
    {
        TestHome home;
        const QString png = home.MakePicture(QStringLiteral("pics/Cover.png"), 40, 30);
        WriteLastUsedFolder(QFileInfo(png).path().toStdString());
        CExtendedFileDialog dialog(false);
        dialog.show();
        QCOMPARE(QDir(dialog.directory()).canonicalPath(), QDir(QFileInfo(png).path()).canonicalPath());
        dialog.selectFile(png);
        QTRY_COMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(": 40 x 30 pixels"));
        QCOMPARE(dialog.Paths(), std::vector<std::string>{png.toStdString()});
    }

    void showPreviewOffFreezesThePanelUntilClicked()
    {
        TestHome home;
        const QString first = SaveBmp(home, QStringLiteral("a.bmp"), 16, 16);
        const QString second = home.MakePicture(QStringLiteral("b.png"), 64, 32);
        WriteShowPreview(0);
        {
            CExtendedFileDialog dialog(false);
            QVERIFY(!dialog.ShowPreviewBox()->isChecked());
            dialog.SelectionChanged(first);
            QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(":"));
            // Clicking the box (either way) updates the panel for the selection.
            QTest::mouseClick(dialog.ShowPreviewBox(), Qt::LeftButton);
            QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(": 16 x 16 pixels"));
            QTest::mouseClick(dialog.ShowPreviewBox(), Qt::LeftButton);
            QVERIFY(!dialog.ShowPreviewBox()->isChecked());
            dialog.SelectionChanged(second);
            QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(": 16 x 16 pixels"));
            QTest::mouseClick(dialog.ShowPreviewBox(), Qt::LeftButton);
            QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(": 64 x 32 pixels"));
            QCOMPARE(ReadShowPreview(), 0);
        }
        // Written when the dialog goes.
        QCOMPARE(ReadShowPreview(), 1);
    }

    void filtersAreTheProgramsOwn()
    {
        TestHome home;
        const auto pairs = CExtendedFileDialog::FilterPairs();
        QCOMPARE(pairs.size(), std::size_t{10});
        QCOMPARE(pairs[0].first, std::string("All Supported Graphic Formats"));
        QCOMPARE(pairs[0].second,
                 std::string("*.png;*.tif;*.gif;*.jpg;*.jpeg;*.bmp;*.tiff;*.webp;*.heic;*.heif;*.hif;*.avif;*.jxl"));
        QCOMPARE(pairs[1].first, std::string("CompuServe Graphics Interchange (*.gif)"));
        QCOMPARE(pairs[2].first, std::string("JPEG (*.jpg; *.jpeg)"));
        QCOMPARE(pairs[2].second, std::string("*.jpg;*.jpeg"));
        QCOMPARE(pairs[3].first, std::string("Portable Network Graphics (*.png)"));
        QCOMPARE(pairs[4].first, std::string("Windows or OS/2 Bitmap (*.bmp)"));
        QCOMPARE(pairs[5].first, std::string("WebP (*.webp)"));
        QCOMPARE(pairs[6].second, std::string("*.heic;*.heif;*.hif;*.avif"));
        QCOMPARE(pairs[7].first, std::string("JPEG XL (*.jxl)"));
        QCOMPARE(pairs[8].second, std::string("*.tif;*.tiff"));
        QCOMPARE(pairs[9].first, std::string("All Files (*.*)"));

        CExtendedFileDialog dialog(true);
        QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFiles);
        QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
        const QStringList filters = dialog.nameFilters();
        QCOMPARE(filters.size(), 10);
        // The patterns sit in the last brackets, which the dialog hides.
        QCOMPARE(filters[0], QStringLiteral("All Supported Graphic Formats (*.png *.tif *.gif *.jpg *.jpeg *.bmp *.tiff "
                                            "*.webp *.heic *.heif *.hif *.avif *.jxl)"));
        QCOMPARE(filters[2], QStringLiteral("JPEG (*.jpg; *.jpeg) (*.jpg *.jpeg)"));
        QCOMPARE(filters[9], QStringLiteral("All Files (*.*) (*)"));
        CExtendedFileDialog single(false);
        QCOMPARE(single.fileMode(), QFileDialog::ExistingFile);
    }

    void previewFitsThePictureInsideItsFrame()
    {
        QCOMPARE(CPreview::Placement(200, 100, 102, 102), (SurfaceRect{1, 25, 101, 75}));
        QCOMPARE(CPreview::Placement(100, 200, 102, 102), (SurfaceRect{25, 1, 75, 101}));
        QCOMPARE(CPreview::Placement(50, 50, 102, 80), (SurfaceRect{11, 1, 89, 79}));

        TestHome home;
        const QString wide = home.MakePicture(QStringLiteral("wide.png"), 200, 100, QColor(0, 200, 0));
        CPreview preview;
        preview.resize(102, 102);
        // Empty: a white inside with a black one-pixel frame.
        QImage shot = preview.grab().toImage();
        QCOMPARE(QColor(shot.pixel(0, 0)), QColor(Qt::black));
        QCOMPARE(QColor(shot.pixel(101, 50)), QColor(Qt::black));
        QCOMPARE(QColor(shot.pixel(50, 50)), QColor(Qt::white));
        preview.SetFile(wide.toStdString());
        int w = 0, h = 0;
        QVERIFY(preview.GetImageSize(w, h));
        QCOMPARE(QSize(w, h), QSize(200, 100));
        QCOMPARE(preview.GetImageBpp(), 24);
        shot = preview.grab().toImage();
        QCOMPARE(QColor(shot.pixel(50, 24)), QColor(Qt::white));  // above the picture
        QCOMPARE(QColor(shot.pixel(80, 30)), QColor(0, 200, 0));    // inside it
        QCOMPARE(QColor(shot.pixel(50, 75)), QColor(Qt::white));  // below it
        // Another extension or a broken file keeps the picture.
        preview.SetFile(home.FilePath(QStringLiteral("x.tif")).toStdString());
        QVERIFY(preview.GetImageSize(w, h));
        QCOMPARE(w, 200);
    }

    void aLargeJpegIsShownFromAReducedDecodeWithItsOwnSize()
    {
        TestHome home;
        QImage big(2400, 1200, QImage::Format_RGB32);
        big.fill(QColor(200, 40, 40));
        const QString path = home.FilePath(QStringLiteral("big.jpg"));
        QVERIFY(big.save(path, "JPG", 95));

        CExtendedFileDialog dialog(false);
        dialog.show();
        dialog.SelectionChanged(path);
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::ResolutionValue), QStringLiteral(": 2400 x 1200 pixels"));
        QCOMPARE(dialog.ControlText(CExtendedFileDialog::DepthValue), QStringLiteral(": 24 bits per pixel"));
        const CRasterImage& shown = dialog.Preview()->Image();
        QVERIFY(shown.IsReduced());
        QVERIFY(shown.GetWidth() < 2400 / 4);
        QVERIFY(shown.GetWidth() >= dialog.Preview()->width() - 2);

        // Drawn where the full picture would be.
        CPreview preview;
        preview.resize(102, 102);
        preview.SetFile(path.toStdString());
        const QImage shot = preview.grab().toImage();
        QCOMPARE(QColor(shot.pixel(50, 24)), QColor(Qt::white));
        QVERIFY(qAbs(QColor(shot.pixel(50, 26)).red() - 200) <= 6);
        QVERIFY(qAbs(QColor(shot.pixel(50, 74)).red() - 200) <= 6);
        QCOMPARE(QColor(shot.pixel(50, 76)), QColor(Qt::white));
    }
};

QTEST_MAIN(OpenDialogTest)
#include "OpenDialogTest.moc"
