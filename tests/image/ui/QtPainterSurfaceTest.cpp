// The QPainter surface must give the raster surface's pixels: the same shapes
// are drawn on both and compared pixel for pixel.
#include "image/RasterImage.h"
#include "image/RasterSurface.h"
#include "image/ui/QtPainterSurface.h"
#include "print/PaperDrawing.h"

#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

constexpr int W = 120;
constexpr int H = 90;
const Rgb kFill{17, 34, 51};

using Drawing = std::function<void(CDrawContext&)>;

// Draws on both surfaces; returns the number of differing pixels and the first one.
int Compare(const Drawing& draw, QString* where = nullptr, QImage::Format format = QImage::Format_RGB32)
{
    CRasterSurface raster(W, H, kFill);
    CDrawContext rasterDraw(raster);
    draw(rasterDraw);
    QImage image(W, H, format);
    image.fill(QColor(kFill.r, kFill.g, kFill.b));
    {
        QPainter p(&image);
        CQtPainterSurface pixels(p, W, H);
        CDrawContext surface(pixels);
        draw(surface);
    }
    int diff = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const Rgb a = raster.GetPixel(x, y);
            const QRgb b = image.pixel(x, y);
            if (a.r != qRed(b) || a.g != qGreen(b) || a.b != qBlue(b)) {
                if (diff == 0 && where)
                    *where = QStringLiteral("first at %1,%2").arg(x).arg(y);
                ++diff;
            }
        }
    return diff;
}

// A 24-bit picture with a different colour in every pixel.
CRasterImage Gradient(int w, int h)
{
    CRasterImage img;
    img.Create(w, h, 24, IMAGE_BMP);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.SetPixelColor(x, y, Rgb{static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 11),
                                        static_cast<std::uint8_t>((x + y) * 3)});
    return img;
}

Pen MakePen(Rgb c, int width, PenStyle style) { return Pen{c, width, style}; }

}  // namespace

class QtPainterSurfaceTest : public QObject {
    Q_OBJECT
private slots:
    void linesInEveryDirection_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("style");
        QTest::newRow("solid") << 0 << int(PenStyle::Solid);
        QTest::newRow("dotted") << 0 << int(PenStyle::Dotted);
        QTest::newRow("wide") << 3 << int(PenStyle::Solid);
        QTest::newRow("wide even") << 2 << int(PenStyle::Solid);
        QTest::newRow("wide dotted") << 2 << int(PenStyle::Dotted);
    }
    void linesInEveryDirection()
    {
        QFETCH(int, width);
        QFETCH(int, style);
        QString where;
        const int diff = Compare([&](CDrawContext& s) {
            s.SetPen(MakePen(Rgb{200, 10, 10}, width, PenStyle(style)));
            const int cx = 60, cy = 45;
            const int ends[][2] = {{110, 45}, {110, 60}, {100, 85}, {60, 88}, {30, 85}, {5, 60}, {5, 45},
                                   {5, 20},  {20, 2},  {60, 2},  {95, 5},  {115, 30}, {61, 46}};
            for (const auto& e : ends)
                s.Line(cx, cy, e[0], e[1]);
            s.Line(-50, -20, 300, 140);  // reaching far outside
            s.Polyline({{2, 2}, {40, 2}, {40, 30}, {10, 40}});
        }, &where);
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels differ, %2").arg(diff).arg(where)));
    }

    void rectanglesWithPensAndBrushes()
    {
        QString where;
        const int diff = Compare([](CDrawContext& s) {
            s.Rectangle(2, 2, 30, 20);  // default pen and brush: black outline, white inside
            s.SetBrush(Brush{Rgb{0, 0, 255}, false});
            s.SetPen(MakePen(Rgb{0, 0, 0}, 0, PenStyle::Null));
            s.Rectangle(35, 2, 60, 20);  // null pen: the brush fills the whole box
            s.SetPen(MakePen(Rgb{128, 128, 128}, 0, PenStyle::Dotted));
            s.SetBrush(Brush{});
            s.Rectangle(65, 2, 118, 40);  // dotted, hollow
            s.SetPen(MakePen(Rgb{255, 0, 0}, 2, PenStyle::Solid));
            s.Rectangle(5, 30, 50, 80);   // wide outline
            s.SetPen(MakePen(Rgb{0, 0, 0}, 1, PenStyle::Solid));
            s.Rectangle(70, 50, 71, 51);  // one pixel
            s.Rectangle(80, 50, 80, 60);  // empty: nothing
            s.Rectangle(90, 50, 130, 100);  // clipped by the surface
        }, &where);
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels differ, %2").arg(diff).arg(where)));
    }

    void ellipsesAsTheDiscLabelDrawsThem()
    {
        QString where;
        const int diff = Compare([](CDrawContext& s) {
            s.SetBrush(Brush{Rgb{0, 0, 0}, false});
            s.Ellipse(0, 0, 80, 80);
            s.SetBrush(Brush{Rgb{255, 255, 255}, false});
            s.Ellipse(30, 30, 50, 50);
            s.SetBrush(Brush{});
            s.SetPen(MakePen(Rgb{0, 200, 0}, 0, PenStyle::Dotted));
            s.Ellipse(82, 5, 118, 60);
            s.SetPen(MakePen(Rgb{255, 0, 0}, 2, PenStyle::Solid));
            s.Ellipse(85, 62, 119, 89);
            s.SetPen(MakePen(Rgb{0, 0, 0}, 0, PenStyle::Null));
            s.SetBrush(Brush{Rgb{235, 235, 235}, false});
            s.Ellipse(60, 60, 84, 70);
            s.SetPen(MakePen(Rgb{0, 0, 0}, 0, PenStyle::Solid));
            s.Ellipse(40, 84, 41, 85);  // a single pixel
        }, &where);
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels differ, %2").arg(diff).arg(where)));
    }

    void polygonsFilledAndOutlined()
    {
        QString where;
        const int diff = Compare([](CDrawContext& s) {
            s.SetBrush(Brush{Rgb{10, 120, 10}, false});
            s.Polygon({{10, 10}, {100, 20}, {60, 80}, {5, 60}});
            s.SetPen(MakePen(Rgb{0, 0, 0}, 0, PenStyle::Dotted));
            s.SetBrush(Brush{Rgb{200, 200, 0}, false});
            s.Polygon({{70, 5}, {115, 5}, {115, 40}, {90, 20}, {70, 40}});
        }, &where);
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels differ, %2").arg(diff).arg(where)));
    }

    void pixelsAndFillsRespectTheClip()
    {
        QString where;
        const int diff = Compare([](CDrawContext& s) {
            const SurfaceRect previous = s.IntersectClip(SurfaceRect{10, 10, 70, 60});
            s.FillRect(SurfaceRect{0, 0, 100, 100}, Rgb{1, 2, 3});
            s.SetPixel(5, 5, Rgb{255, 0, 0});   // outside the clip
            s.SetPixel(20, 20, Rgb{255, 0, 0});
            s.Line(0, 30, 119, 30);
            s.SetClip(previous);
            s.SetPixel(5, 5, Rgb{0, 255, 0});
            s.FillRect(SurfaceRect{100, 80, 200, 200}, Rgb{9, 9, 9});
        }, &where);
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels differ, %2").arg(diff).arg(where)));
    }

    void scaledAndMaskedPictures()
    {
        const CRasterImage picture = Gradient(13, 7);
        std::vector<std::uint8_t> rows(13 * 7 * 3);
        picture.CopyRowsBgr(0, 7, rows.data(), 13 * 3);
        const PixelBlock block{rows.data(), 13 * 3, 13, 7};
        std::vector<std::uint8_t> mask(13 * 7);
        for (std::size_t i = 0; i < mask.size(); ++i)
            mask[i] = (i % 3 == 0) ? 1 : 0;
        QString where;
        const int diff = Compare([&](CDrawContext& s) {
            s.StretchPixels(SurfaceRect{0, 0, 50, 40}, block);     // enlarged
            s.StretchPixels(SurfaceRect{55, 0, 62, 4}, block);     // shrunk
            s.StretchPixels(SurfaceRect{100, 70, 160, 130}, block);  // partly outside
            s.WritePixels(70, 10, block);
            s.WritePixels(-5, 80, block);
            s.StretchPixelsMasked(SurfaceRect{10, 45, 60, 88}, block, mask.data(), 13);
            // Bottom-up rows, as images hand them over.
            s.StretchPixels(SurfaceRect{65, 30, 98, 60},
                            PixelBlock{picture.GetRow(6), -static_cast<std::ptrdiff_t>(picture.GetStride()), 13, 7});
        }, &where);
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels differ, %2").arg(diff).arg(where)));
    }

    // Screen images take the sampled pixels straight into their rows; what
    // they show must not differ from the raster surface, under a clip that
    // cuts into the pictures, for every 32-bit layout.
    void stretchesIntoScreenImages_data()
    {
        QTest::addColumn<int>("format");
        QTest::newRow("RGB32") << int(QImage::Format_RGB32);
        QTest::newRow("ARGB32") << int(QImage::Format_ARGB32);
        QTest::newRow("ARGB32 premultiplied") << int(QImage::Format_ARGB32_Premultiplied);
    }
    void stretchesIntoScreenImages()
    {
        QFETCH(int, format);
        const CRasterImage picture = Gradient(61, 47);
        const PixelBlock bottomUp{picture.GetRow(46), -static_cast<std::ptrdiff_t>(picture.GetStride()), 61, 47};
        std::vector<std::uint8_t> mask(61 * 47);
        for (std::size_t i = 0; i < mask.size(); ++i)
            mask[i] = (i % 4 == 0 || i % 9 == 2) ? 1 : 0;
        QString where;
        const int diff = Compare([&](CDrawContext& s) {
            const SurfaceRect previous = s.IntersectClip(SurfaceRect{9, 6, 101, 77});
            s.StretchPixels(SurfaceRect{-20, -10, 150, 70}, bottomUp);  // enlarged, cut on all sides
            s.StretchPixels(SurfaceRect{30, 20, 47, 33}, bottomUp);     // reduced
            s.StretchPixelsMasked(SurfaceRect{5, 40, 115, 95}, bottomUp, mask.data(), 61);
            s.SetClip(previous);
            s.StretchPixels(SurfaceRect{100, 70, 160, 130}, bottomUp);  // past the image's corner
            s.StretchPixelsMasked(SurfaceRect{0, 80, 119, 89}, bottomUp, mask.data(), 61);
        }, &where, QImage::Format(format));
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels differ, %2").arg(diff).arg(where)));
    }

    // A painter that moves or scales its drawing keeps drawing the picture
    // through itself, moved like everything else.
    void aMovedPainterMovesThePicture()
    {
        const CRasterImage picture = Gradient(23, 17);
        const PixelBlock block{picture.GetRow(16), -static_cast<std::ptrdiff_t>(picture.GetStride()), 23, 17};
        CRasterSurface raster(W, H, kFill);
        CDrawContext rasterDraw(raster);
        rasterDraw.SetClip(SurfaceRect{7, 5, W, H});
        rasterDraw.StretchPixels(SurfaceRect{7 - 4, 5 + 3, 7 + 90, 5 + 60}, block);
        QImage image(W, H, QImage::Format_RGB32);
        image.fill(QColor(kFill.r, kFill.g, kFill.b));
        {
            QPainter p(&image);
            p.translate(7, 5);
            CQtPainterSurface pixels(p, W - 7, H - 5);
            CDrawContext surface(pixels);
            surface.StretchPixels(SurfaceRect{-4, 3, 90, 60}, block);
        }
        int diff = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const Rgb a = raster.GetPixel(x, y);
                diff += image.pixel(x, y) != qRgb(a.r, a.g, a.b);
            }
        QCOMPARE(diff, 0);
    }

    // A surface that says it is larger than its image writes inside the image only.
    void aSurfaceLargerThanItsImage()
    {
        const CRasterImage picture = Gradient(30, 20);
        const PixelBlock block{picture.GetRow(19), -static_cast<std::ptrdiff_t>(picture.GetStride()), 30, 20};
        QImage image(40, 25, QImage::Format_RGB32);
        image.fill(Qt::white);
        CRasterSurface raster(40, 25);
        CDrawContext rasterDraw(raster);
        rasterDraw.StretchPixels(SurfaceRect{-5, -5, 200, 150}, block);
        {
            QPainter p(&image);
            CQtPainterSurface pixels(p, 300, 200);
            CDrawContext surface(pixels);
            surface.StretchPixels(SurfaceRect{-5, -5, 200, 150}, block);
        }
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 40; ++x) {
                const Rgb a = raster.GetPixel(x, y);
                QCOMPARE(image.pixel(x, y), qRgb(a.r, a.g, a.b));
            }
    }

    void picturesWithTransparencyReadTheSurfaceBack()
    {
        CRasterImage picture = Gradient(20, 10);
        picture.SetTransparentIndex(0);
        picture.SetTransparentColor(picture.GetPixelColor(0, 0));
        QString where;
        const int diff = Compare([&](CDrawContext& s) {
            s.FillRect(SurfaceRect{0, 0, 60, 60}, Rgb{0, 90, 0});
            picture.Draw(&s, 3, 4, 47, 31);
            picture.Draw(&s, 70, 50);
            picture.DrawMasked(&s, 70, 5, 40, 40);
        }, &where);
        QVERIFY2(diff == 0, qPrintable(QStringLiteral("%1 pixels differ, %2").arg(diff).arg(where)));
    }

    void aPaperPreviewLooksTheSameOnBoth()
    {
        CoverFormatList formats;
        CoverFormat front = CoverFormat::NewFormat("CD Front");
        front.type = "CD_FRONT";
        front.width = front.height = 120;
        front.leftX = AUTO_POSITION;
        front.lines.push_back(CutLine{EDGE_TOP, 0, 0, 0, 0});
        front.lines.push_back(CutLine{10, 10, 100, 10, 1});
        front.rects.push_back(CutRect{5, 5, 20, 30, 0});
        formats.formats.push_back(front);
        CoverFormat label = CoverFormat::NewFormat("Label");
        label.type = "CUSTOM";
        label.label = 1;
        label.width = label.height = 116;
        label.holeSize = 9;
        label.leftX = 40;
        label.leftY = 150;
        formats.formats.push_back(label);
        const CRasterImage cover = Gradient(40, 40);
        for (int f = 0; f < 2; ++f) {
            PaperView paper;
            paper.formats = &formats;
            paper.firstImage = &cover;
            paper.firstFormat = LeftFormat(f);
            paper.drawCutLines = true;
            paper.drawBorder = true;
            QString where;
            const int diff = Compare([&](CDrawContext& s) { DrawPaper(s, paper); }, &where);
            QVERIFY2(diff == 0, qPrintable(QStringLiteral("format %1: %2 pixels differ, %3").arg(f).arg(diff).arg(where)));
        }
    }

    void aPdfPageTakesTheSameDrawing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("page.pdf"));
        {
            QPdfWriter pdf(path);
            pdf.setResolution(300);
            pdf.setPageSize(QPageSize(QPageSize::A4));
            QPainter p(&pdf);
            CQtPainterSurface pixels(p, pdf.width(), pdf.height());
            CDrawContext surface(pixels);
            QVERIFY(!pixels.IsRaster());
            std::uint8_t pixel[3];
            QVERIFY(!surface.ReadPixels(SurfaceRect{0, 0, 1, 1}, pixel, 3));
            const CRasterImage picture = Gradient(30, 20);
            picture.DrawMasked(&surface, 100, 100, 1200, 800);
            surface.SetBrush(Brush{});
            surface.Rectangle(99, 99, 1301, 901);
            surface.SetPen(Pen{Rgb{0, 0, 0}, 0, PenStyle::Dotted});
            surface.Line(0, 1000, pdf.width(), 1000);
            surface.Ellipse(100, 1100, 1400, 2400);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QVERIFY(file.size() > 1000);
    }
};

QTEST_MAIN(QtPainterSurfaceTest)
#include "QtPainterSurfaceTest.moc"
