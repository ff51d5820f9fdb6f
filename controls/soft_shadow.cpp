#include "controls/soft_shadow.h"

#include <algorithm>

namespace orvane {
namespace {

constexpr QPoint kDiagonals[] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};

bool white(const QImage &mask, int x, int y)
{
    return (mask.pixel(x, y) & 0xffffffu) == 0xffffffu;
}

int darkened(int channel)
{
    return channel * 7 / 10;
}

} // namespace

QImage softShadow(const QImage &picture, const QImage &mask)
{
    QImage dark = picture.convertToFormat(QImage::Format_RGB32);
    const QImage shape = mask.convertToFormat(QImage::Format_RGB32);
    const int w = dark.width();
    const int h = dark.height();
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(dark.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (!white(shape, x, y)) {
                const QRgb p = line[x];
                line[x] = qRgb(darkened(qRed(p)), darkened(qGreen(p)), darkened(qBlue(p)));
            }
        }
    }
    QImage soft = dark;
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(soft.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (white(shape, x, y))
                continue;
            bool edge = false;
            for (const QPoint d : kDiagonals) {
                const int nx = x + d.x();
                const int ny = y + d.y();
                edge = edge || (nx >= 0 && ny >= 0 && nx < w && ny < h && white(shape, nx, ny));
            }
            if (!edge)
                continue;
            int r = 0, g = 0, b = 0;
            for (const QPoint d : kDiagonals) {
                const QRgb n =
                    dark.pixel(std::clamp(x + d.x(), 0, w - 1), std::clamp(y + d.y(), 0, h - 1));
                r += qRed(n);
                g += qGreen(n);
                b += qBlue(n);
            }
            line[x] = qRgb(r / 4, g / 4, b / 4);
        }
    }
    soft.setDevicePixelRatio(picture.devicePixelRatio());
    return soft;
}

} // namespace orvane
