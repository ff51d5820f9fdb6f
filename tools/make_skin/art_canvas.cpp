#include "tools/make_skin/art_canvas.h"

#include <algorithm>
#include <vector>

namespace orvane::skinart {

ArtCanvas::ArtCanvas(QSize size, int scale, int samples)
    : m_size(size), m_scale(scale), m_samples(samples),
      m_image(size * scale * samples, QImage::Format_ARGB32_Premultiplied)
{
    m_image.fill(Qt::transparent);
    m_painter.begin(&m_image);
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.scale(scale * samples, scale * samples);
}

QImage ArtCanvas::finish()
{
    return downscale(false);
}

QImage ArtCanvas::finishTwoLevel()
{
    return downscale(true);
}

QImage ArtCanvas::downscale(bool twoLevel)
{
    if (m_painter.isActive())
        m_painter.end();
    const QSize out = m_size * m_scale;
    const int n = m_samples;
    std::vector<quint64> sums(size_t(out.width()) * out.height() * 4, 0);
    for (int y = 0; y < m_image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(m_image.constScanLine(y));
        quint64 *row = &sums[size_t(y / n) * out.width() * 4];
        for (int x = 0; x < m_image.width(); ++x) {
            quint64 *px = row + size_t(x / n) * 4;
            px[0] += qRed(line[x]);
            px[1] += qGreen(line[x]);
            px[2] += qBlue(line[x]);
            px[3] += qAlpha(line[x]);
        }
    }

    QImage result(out, QImage::Format_ARGB32);
    result.fill(0);
    const quint64 count = quint64(n) * n;
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const quint64 *px = &sums[(size_t(y) * out.width() + x) * 4];
            const quint64 alphaSum = px[3];
            if (alphaSum == 0 || (twoLevel && alphaSum * 2 < count * 255))
                continue;
            // Un-premultiplied colour of the covered samples, rounded.
            const auto straight = [alphaSum](quint64 sum) {
                return int(std::min<quint64>(255, (sum * 255 * 2 + alphaSum) / (alphaSum * 2)));
            };
            const int alpha = twoLevel ? 255 : int((alphaSum * 2 + count) / (count * 2));
            if (alpha == 0)
                continue;
            line[x] = qRgba(straight(px[0]), straight(px[1]), straight(px[2]), alpha);
        }
    }
    return result;
}

} // namespace orvane::skinart
