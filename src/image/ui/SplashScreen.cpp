#include "image/ui/SplashScreen.h"

#include "image/ui/QtPainterSurface.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

CSplashScreen::CSplashScreen(QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setWindowTitle(QStringLiteral("Korvane"));
    picture_.LoadFromResource("IDJ_SPLASHSCREEN", "JPG", IMAGE_JPG);
}

int CSplashScreen::ShowModal(int displayMs)
{
    if (!picture_.IsValid()) {
        // Nothing to show: the start waits the display time all the same.
        QEventLoop loop;
        QTimer::singleShot(displayMs, &loop, &QEventLoop::quit);
        loop.exec();
        return 0;
    }
    setFixedSize(picture_.GetWidth(), picture_.GetHeight());
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = parentWidget() ? parentWidget()->frameGeometry() : screen->geometry();
        move(area.center() - rect().center());
    }
    // Our own loop rather than exec(): a click or the timer can close the
    // window while show() is still delivering events, before exec()'s loop
    // would start, and that loop would then never end.
    bool closed = false;
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, [&closed, &loop] {
        closed = true;
        loop.quit();
    });
    QTimer::singleShot(displayMs, this, [this] { done(0); });
    setWindowModality(Qt::ApplicationModal);
    show();
    if (!closed)
        loop.exec(QEventLoop::DialogExec);
    return result();
}

void CSplashScreen::paintEvent(QPaintEvent*)
{
    QImage buffer(size(), QImage::Format_RGB32);
    buffer.fill(Qt::black);
    {
        QPainter p(&buffer);
        CQtPainterSurface pixels(p, width(), height());
        CDrawContext surface(pixels);
        picture_.Draw(&surface, 0, 0);
        // The thin border of the window.
        surface.SetPen(Pen{Rgb{0, 0, 0}, 1, PenStyle::Solid});
        surface.SetBrush(Brush{});
        surface.Rectangle(0, 0, width(), height());
    }
    QPainter(this).drawImage(0, 0, buffer);
}

void CSplashScreen::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        done(0);
}
