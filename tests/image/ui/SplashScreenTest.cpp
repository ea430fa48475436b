// The splash: the built-in picture in a window of its size, centred, closed
// by its timer or by a click.
#include "image/ui/SplashScreen.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

class SplashScreenTest : public QObject {
    Q_OBJECT
private slots:
    void closesByItselfAfterItsTime()
    {
        CSplashScreen splash;
        QVERIFY(splash.Picture().IsValid());
        QRect placed;
        QImage shot;
        QTimer::singleShot(100, &splash, [&] {
            placed = splash.frameGeometry();
            shot = splash.grab().toImage();
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(splash.ShowModal(300), 0);
        QVERIFY(clock.elapsed() >= 290);
        QVERIFY(!splash.isVisible());
        QCOMPARE(placed.size(), QSize(splash.Picture().GetWidth(), splash.Picture().GetHeight()));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY(qAbs(placed.center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(placed.center().y() - screen.center().y()) <= 1);
        // The picture, unscaled, inside a thin dark border.
        const int cx = splash.Picture().GetWidth() / 2;
        const int cy = splash.Picture().GetHeight() / 2;
        const Rgb middle = splash.Picture().GetPixelColor(cx, splash.Picture().GetHeight() - 1 - cy);
        QCOMPARE(QColor(shot.pixel(cx, cy)), QColor(middle.r, middle.g, middle.b));
        QCOMPARE(QColor(shot.pixel(0, 0)), QColor(Qt::black));
    }

    void aClickClosesItAtOnce()
    {
        CSplashScreen splash;
        QTimer::singleShot(50, &splash, [&] { QTest::mouseClick(&splash, Qt::LeftButton); });
        QElapsedTimer clock;
        clock.start();
        splash.ShowModal(3000);
        QVERIFY(clock.elapsed() < 2000);
    }
};

QTEST_MAIN(SplashScreenTest)
#include "SplashScreenTest.moc"
