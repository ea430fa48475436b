// On a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2) the paper draws
// its cover in device pixels: a screenshot of the paper shows no 2 x 2
// blocks of one colour where the picture is, as a pixel-doubled paper would.
#include "print/ui/PaperWidget.h"
#include "print/PaperDrawing.h"

#include <QApplication>
#include <QImage>
#include <QScreen>
#include <QtTest>

#include <random>

namespace {
// Share of the aligned 2 x 2 blocks within `box` (device pixels) whose four
// pixels are one colour.
double UniformBlocks(const QImage& shot, const QRect& box)
{
    int blocks = 0, uniform = 0;
    for (int y = box.top() & ~1; y + 1 <= box.bottom(); y += 2)
        for (int x = box.left() & ~1; x + 1 <= box.right(); x += 2) {
            const QRgb p = shot.pixel(x, y);
            ++blocks;
            uniform += shot.pixel(x + 1, y) == p && shot.pixel(x, y + 1) == p && shot.pixel(x + 1, y + 1) == p;
        }
    return blocks ? static_cast<double>(uniform) / blocks : 1.0;
}
}  // namespace

class PaperHiDpiTest : public QObject {
    Q_OBJECT

private slots:
    void thePaperIsDrawnInDevicePixels()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        CoverFormatList formats;
        CoverFormat front = CoverFormat::NewFormat("CD Front");
        front.type = "CD_FRONT";
        front.width = front.height = 120;
        front.leftX = AUTO_POSITION;
        formats.formats.push_back(front);
        // Every pixel its own colour: detail finer than the paper shows.
        CRasterImage picture;
        picture.Create(800, 800, 24, IMAGE_BMP);
        std::mt19937 random(7);
        for (int y = 0; y < 800; ++y)
            for (int x = 0; x < 800; ++x)
                picture.SetPixelColor(x, y, Rgb{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                                                static_cast<std::uint8_t>(random())});
        CPaper paper;
        paper.resize(161, 216);
        paper.SetFormats(&formats);
        paper.SetFormat(LeftFormat(0));
        paper.SetImage(&picture);
        paper.show();
        QVERIFY(QTest::qWaitForWindowExposed(&paper));

        const QImage shot = paper.grab().toImage();
        QCOMPARE(shot.width(), 322);
        QCOMPARE(shot.height(), 432);
        const PaperCoverBoxes boxes = FirstCoverBoxes(paper.View(), shot.width(), shot.height());
        const QRect cover(boxes.cover.left + 2, boxes.cover.top + 2, boxes.cover.width() - 4,
                          boxes.cover.height() - 4);
        QVERIFY(cover.width() > 100);
        QVERIFY(UniformBlocks(shot, cover) < 0.02);
        // What the test tells apart: the same paper drawn at one pixel per
        // screen pixel and doubled.
        const QImage doubled = paper.Render(1.0).scaled(shot.size());
        QVERIFY(UniformBlocks(doubled, cover) > 0.98);
        // The paper's picture matches the drawing at the device's size.
        PaperView view = paper.View();
        const CRasterSurface expected = RenderPaper(view, shot.width(), shot.height());
        int differences = 0;
        for (int y = cover.top(); y < cover.bottom(); ++y)
            for (int x = cover.left(); x < cover.right(); ++x) {
                const Rgb e = expected.GetPixel(x, y);
                differences += QColor(shot.pixel(x, y)) != QColor(e.r, e.g, e.b);
            }
        QCOMPARE(differences, 0);
    }
};

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    PaperHiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "PaperHiDpiTest.moc"
