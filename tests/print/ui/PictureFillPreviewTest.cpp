// The print preview places a fitted, filled (with a moved crop) and bled
// picture as the printed page does: the page drawn through the preview's
// painter device into a recorded picture, as the preview window records it,
// and played back onto an image.
#include "image/RasterSurface.h"
#include "image/ui/QtPainterSurface.h"
#include "print/PrintPlan.h"

#include <QImage>
#include <QPainter>
#include <QPicture>
#include <QtTest>

namespace {
// A4 at 254 dpi without margins: ten pixels per millimetre.
const PageMetrics kPage = PageMetrics::Make(2100, 2970, 0, 0, 2100, 2970, 254, 254);

CoverFormatList SquareFormat()
{
    CoverFormatList list;
    CoverFormat f = CoverFormat::NewFormat("Square");
    f.width = f.height = 40;  // at (20, 30) mm: pixels 200..600 across, 300..700 down
    f.leftX = 20;
    f.leftY = 30;
    f.lines.push_back(CutLine{EDGE_LEFT, 0, 0, 0, 1});
    list.formats.push_back(f);
    return list;
}

// Red on the left half, blue on the right, twice as wide as high.
CRasterImage Halves()
{
    CRasterImage image;
    image.Create(200, 100, 24, IMAGE_BMP);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            image.SetPixelColor(x, y, x < 100 ? Rgb{255, 0, 0} : Rgb{0, 0, 200});
    return image;
}

QImage Preview(const CoverFormatList& formats, const CRasterImage& picture, const PictureFill& fill, double bleed)
{
    CPrintPlan plan(formats, picture, picture, nullptr);
    PrintJobRequest request;
    request.printMode = PrintMode::Left;
    request.leftFormat = 0;
    request.printBorder = 0;
    request.checkForPrintableArea = 0;
    request.leftFill = fill;
    request.bleedMm = bleed;
    if (!plan.Prepare(request, true))
        return {};
    plan.Begin(kPage);
    QPicture recorded;
    {
        QPainter painter(&recorded);
        CQtPainterSurface surface(painter, kPage.printableWidth, kPage.printableHeight);
        surface.SetCosmeticOutlines(true);
        CDrawContext page(surface);
        plan.RenderPage(page, 1, true);
    }
    plan.End();
    QImage image(kPage.printableWidth, kPage.printableHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter(&image).drawPicture(0, 0, recorded);
    return image;
}

QColor At(const QImage& image, int x, int y) { return QColor(image.pixel(x, y)); }
}  // namespace

class PictureFillPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void thePreviewFitsFillsAndBleedsAsThePageDoes()
    {
        const CoverFormatList formats = SquareFormat();
        const CRasterImage picture = Halves();
        const QColor red(255, 0, 0), blue(0, 0, 200), white(Qt::white);
        const int midY = 500;

        QImage page = Preview(formats, picture, PictureFill{CoverFit::Fit}, 0);
        QVERIFY(!page.isNull());
        QCOMPARE(At(page, 250, 395), white);
        QCOMPARE(At(page, 250, 405), red);
        QCOMPARE(At(page, 550, 595), blue);
        QCOMPARE(At(page, 550, 605), white);

        // Filled with the crop moved to the right edge: all blue, cropped.
        page = Preview(formats, picture, PictureFill{CoverFit::Fill, 1.0, 0.5}, 0);
        QCOMPARE(At(page, 205, midY), blue);
        QCOMPARE(At(page, 595, midY), blue);
        QCOMPARE(At(page, 610, midY), white);
        QCOMPARE(At(page, 190, midY), white);

        // Filled from the left edge with 2 mm of bleed: red past the cover's
        // edges, white beyond the bleed; the cut line along the left edge.
        page = Preview(formats, picture, PictureFill{CoverFit::Fill, 0.0, 0.5}, 2.0);
        QCOMPARE(At(page, 185, midY), red);
        QCOMPARE(At(page, 615, midY), red);
        QCOMPARE(At(page, 175, midY), white);
        QCOMPARE(At(page, 625, midY), white);
        QCOMPARE(At(page, 200, 100), QColor(0, 0, 0));
    }
};

QTEST_MAIN(PictureFillPreviewTest)
#include "PictureFillPreviewTest.moc"
