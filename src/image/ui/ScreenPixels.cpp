#include "image/ui/ScreenPixels.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QSize LargestScreenPixels()
{
    int width = 0, height = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QSize size = screen->size() * screen->devicePixelRatio();
        width = std::max(width, size.width());
        height = std::max(height, size.height());
    }
    // Without a screen, a common desktop's.
    if (width <= 0 || height <= 0)
        return QSize(1920, 1080);
    return QSize(width, height);
}
