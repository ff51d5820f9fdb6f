#include "tools/make_art/raster.h"

#include <algorithm>
#include <cmath>
#include <vector>

Layer::Layer(QSizeF logicalSize, double scale)
    : m_logicalSize(logicalSize), m_scale(scale),
      m_image(int(std::lround(logicalSize.width() * scale)),
              int(std::lround(logicalSize.height() * scale)), QImage::Format_ARGB32_Premultiplied)
{
    m_image.fill(Qt::transparent);
}

void Layer::begin(QPainter &painter)
{
    painter.begin(&m_image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(m_scale, m_scale);
}

void Layer::blur(double logicalRadius)
{
    blurImage(m_image, int(std::lround(logicalRadius * m_scale)));
}

void Layer::tint(const QColor &colour)
{
    QPainter p(&m_image);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(m_image.rect(), colour);
}

void Layer::drawOnto(QPainter &target, QPointF offset, double opacity) const
{
    target.save();
    target.setOpacity(target.opacity() * opacity);
    target.drawImage(QRectF(offset, m_logicalSize), m_image);
    target.restore();
}

namespace {

// One box pass of width 2 * radius + 1 along a line of premultiplied pixels,
// stride apart in the image, into a contiguous line.
void boxLine(const std::uint32_t *in, int stride, std::uint32_t *out, int count, int radius)
{
    const int width = 2 * radius + 1;
    std::uint32_t sum[4] = {0, 0, 0, 0};
    const auto channel = [](std::uint32_t pixel, int c) {
        return (pixel >> (8 * c)) & 0xffu;
    };
    const auto at = [&](int i) {
        return in[std::clamp(i, 0, count - 1) * stride];
    };
    for (int i = -radius; i <= radius; ++i)
        for (int c = 0; c < 4; ++c)
            sum[c] += channel(at(i), c);
    for (int i = 0; i < count; ++i) {
        std::uint32_t pixel = 0;
        for (int c = 0; c < 4; ++c)
            pixel |= ((sum[c] + std::uint32_t(width) / 2) / std::uint32_t(width)) << (8 * c);
        out[i] = pixel;
        const std::uint32_t leaving = at(i - radius), entering = at(i + radius + 1);
        for (int c = 0; c < 4; ++c)
            sum[c] = sum[c] + channel(entering, c) - channel(leaving, c);
    }
}

} // namespace

void blurImage(QImage &image, int radius)
{
    if (radius < 1)
        return;
    Q_ASSERT(image.format() == QImage::Format_ARGB32_Premultiplied);
    // Three boxes of this width give the spread of a Gaussian of sigma ~ radius / 2.
    const int box = std::max(1, radius / 2);
    const int w = image.width(), h = image.height();
    std::vector<std::uint32_t> line(size_t(std::max(w, h)));
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < h; ++y) {
            auto *row = reinterpret_cast<std::uint32_t *>(image.scanLine(y));
            boxLine(row, 1, line.data(), w, box);
            std::copy_n(line.data(), w, row);
        }
        auto *base = reinterpret_cast<std::uint32_t *>(image.bits());
        const int stride = int(image.bytesPerLine() / 4);
        for (int x = 0; x < w; ++x) {
            boxLine(base + x, stride, line.data(), h, box);
            for (int y = 0; y < h; ++y)
                base[x + y * stride] = line[size_t(y)];
        }
    }
}

std::uint32_t FixedRandom::next()
{
    // SplitMix64.
    std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return std::uint32_t((z ^ (z >> 31)) >> 32);
}

double FixedRandom::uniform(double low, double high)
{
    return low + (high - low) * (next() / 4294967296.0);
}

double relativeLuminance(QRgb colour)
{
    const auto linear = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
           0.0722 * linear(qBlue(colour));
}

double contrastRatio(double luminanceA, double luminanceB)
{
    const auto [dark, light] = std::minmax(luminanceA, luminanceB);
    return (light + 0.05) / (dark + 0.05);
}
