// Loading pictures beside the window: a large picture arrives from the
// worker thread while the event loop goes on running, a second load into
// the same slot cancels the first, and closing with a load under way waits
// for nothing and reports nothing.
#include "UiTestHome.h"

#include "app/KorvaneDoc.h"
#include "app/ui/ImageLoadWorker.h"
#include "settings/AppSettings.h"

#include <QCursor>
#include <QGuiApplication>

#include <png.h>

#include <cstdio>

namespace {
// A grey PNG written row by row (a 150-megapixel picture never sits in
// memory twice here): row y holds the value y % 251.
bool WriteGreyPng(const QString& path, int width, int height)
{
    std::FILE* file = std::fopen(path.toLocal8Bit().constData(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), static_cast<png_byte>(y % 251));
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

bool BusyCursorShown()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::BusyCursor;
}
}  // namespace

class ImageLoadWorkerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        home_ = std::make_unique<TestHome>();
        big_ = home_->FilePath(QStringLiteral("big.png"));
        small_ = home_->FilePath(QStringLiteral("small.png"));
        // 12248 x 12248 = 150 megapixels.
        QVERIFY(WriteGreyPng(big_, 12248, 12248));
        QVERIFY(WriteGreyPng(small_, 30, 20));
        RunningValues() = AppSettings{};
        RunningValues().autoLoad2ndImage = 0;
    }

    void largePictureLoadsWhileTheEventLoopRuns()
    {
        CKorvaneDoc doc;
        CImageLoadWorker worker(0);  // every load goes to the background
        doc.SetImageLoader(&worker);
        int ticks = 0;
        QTimer timer;
        timer.setInterval(10);
        connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start();

        QVERIFY(!doc.LoadLeftImage(big_.toStdString(), false));  // not there yet
        QCOMPARE(worker.Running(), 1);
        QVERIFY(BusyCursorShown());
        QTRY_VERIFY_WITH_TIMEOUT(doc.IsLoaded(Slot::Left), 120000);
        QCOMPARE(doc.leftImage.GetWidth(), 12248);
        QCOMPARE(doc.leftImage.GetHeight(), 12248);
        QCOMPARE(int(doc.leftImage.GetPixelIndex(5, 12248 - 1 - 300)), 300 % 251);
        QCOMPARE(RunningValues().recentFileLeft, big_.toStdString());
        // The window's event loop ran all along.
        QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
        QCOMPARE(worker.Running(), 0);
        QVERIFY(!QGuiApplication::overrideCursor());
        doc.SetImageLoader(nullptr);
    }

    void aSecondLoadCancelsTheFirst()
    {
        CKorvaneDoc doc;
        CImageLoadWorker worker(0);
        doc.SetImageLoader(&worker);
        doc.LoadLeftImage(big_.toStdString(), false);
        doc.LoadLeftImage(small_.toStdString(), false);
        QTRY_COMPARE_WITH_TIMEOUT(worker.Running(), 0, 60000);
        QVERIFY(doc.IsLoaded(Slot::Left));
        QCOMPARE(doc.leftImage.GetWidth(), 30);
        QCOMPARE(RunningValues().recentFileLeft, small_.toStdString());
        // The first load's picture never arrives later.
        QTest::qWait(50);
        QCOMPARE(doc.leftImage.GetWidth(), 30);
        QVERIFY(!QGuiApplication::overrideCursor());
        doc.SetImageLoader(nullptr);
    }

    void quickPicturesArriveAtOnceAndClosingDropsLoadsUnderWay()
    {
        CKorvaneDoc doc;
        {
            CImageLoadWorker worker;  // the window's grace time
            doc.SetImageLoader(&worker);
            QVERIFY(doc.LoadRightImage(small_.toStdString(), false));
            QCOMPARE(doc.rightImage.GetWidth(), 30);

            CImageLoadWorker background(0);
            doc.SetImageLoader(&background);
            doc.LoadLeftImage(big_.toStdString(), false);
        }
        // Destroyed above with the large load under way: it ended early
        // and nothing reached the slot.
        QTest::qWait(50);
        QVERIFY(!doc.IsLoaded(Slot::Left));
        QVERIFY(!QGuiApplication::overrideCursor());
        doc.SetImageLoader(nullptr);
    }

private:
    std::unique_ptr<TestHome> home_;
    QString big_, small_;
};

QTEST_MAIN(ImageLoadWorkerTest)
#include "ImageLoadWorkerTest.moc"
