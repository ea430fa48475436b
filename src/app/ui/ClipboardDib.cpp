#include "app/ui/ClipboardDib.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>

#include <cstring>

namespace {
void Put16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
}  // namespace

std::vector<std::uint8_t> DibFromImage(const QImage& image)
{
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return {};
    QImage rgb(image.size(), QImage::Format_RGB888);
    rgb.fill(Qt::white);
    {
        QPainter p(&rgb);
        p.drawImage(0, 0, image);
    }
    const int w = rgb.width();
    const int h = rgb.height();
    const std::size_t rowBytes = (static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> block(40 + rowBytes * h, 0);
    std::uint8_t* header = block.data();
    Put32(header + 0, 40);
    Put32(header + 4, static_cast<std::uint32_t>(w));
    Put32(header + 8, static_cast<std::uint32_t>(h));
    Put16(header + 12, 1);
    Put16(header + 14, 24);
    Put32(header + 16, 0);  // BI_RGB
    Put32(header + 20, static_cast<std::uint32_t>(rowBytes * h));
    const int dpm = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() : 3780;
    Put32(header + 24, static_cast<std::uint32_t>(dpm));
    Put32(header + 28, static_cast<std::uint32_t>(image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() : dpm));
    for (int y = 0; y < h; ++y) {
        const uchar* in = rgb.constScanLine(h - 1 - y);
        std::uint8_t* out = block.data() + 40 + rowBytes * y;
        for (int x = 0; x < w; ++x) {
            out[x * 3] = in[x * 3 + 2];
            out[x * 3 + 1] = in[x * 3 + 1];
            out[x * 3 + 2] = in[x * 3];
        }
    }
    return block;
}

std::vector<std::uint8_t> ClipboardDib()
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return {};
    const QMimeData* data = clipboard->mimeData();
    if (!data || !data->hasImage())
        return {};
    return DibFromImage(clipboard->image());
}
