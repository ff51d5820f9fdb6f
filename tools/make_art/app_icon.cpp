#include "tools/make_art/app_icon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor kOutline(8, 34, 100);
const QColor kPupil(18, 22, 40);

QRadialGradient ringFill(double n)
{
    QRadialGradient fill(QPointF(0.34, 0.26) * n, 0.78 * n);
    fill.setColorAt(0, QColor(130, 206, 255));
    fill.setColorAt(0.45, QColor(36, 124, 240));
    fill.setColorAt(1, QColor(12, 64, 178));
    return fill;
}

// Sizes of 32 points and more: smooth shapes, a glossy ring, a pupil with a
// highlight and a smile with rounded ends.
void paintDetailed(QPainter &p, double n)
{
    const QRectF outer(0.10 * n, 0.02 * n, 0.76 * n, 0.92 * n);
    const QRectF counter(0.31 * n, 0.20 * n, 0.34 * n, 0.46 * n);
    QPainterPath ring;
    ring.addEllipse(outer);
    QPainterPath hole;
    hole.addEllipse(counter);
    ring = ring.subtracted(hole);

    // Some depth, as if the letter stood out of the desktop.
    p.fillPath(ring.translated(0.035 * n, 0.04 * n), kOutline);
    p.fillPath(ring, ringFill(n));
    p.save();
    p.setClipPath(ring);
    QPainterPath gloss;
    gloss.addEllipse(QRectF(0.14 * n, 0.0, 0.60 * n, 0.42 * n));
    QLinearGradient shine(0, 0.02 * n, 0, 0.38 * n);
    shine.setColorAt(0, QColor(255, 255, 255, 160));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillPath(gloss, shine);
    p.restore();

    QLinearGradient white(0, counter.top(), 0, counter.bottom());
    white.setColorAt(0, QColor(255, 255, 255));
    white.setColorAt(1, QColor(210, 224, 246));
    p.fillPath(hole, white);

    const QPointF pupil(0.52 * n, 0.41 * n);
    p.setPen(Qt::NoPen);
    p.setBrush(kPupil);
    p.drawEllipse(pupil, 0.095 * n, 0.12 * n);
    p.setBrush(Qt::white);
    p.drawEllipse(pupil + QPointF(0.035, -0.05) * n, 0.032 * n, 0.032 * n);

    const double line = std::max(1.0, 0.032 * n);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOutline, line));
    p.drawPath(ring);

    QPainterPath smile;
    smile.moveTo(0.32 * n, 0.75 * n);
    smile.quadTo(0.48 * n, 0.90 * n, 0.64 * n, 0.75 * n);
    p.setPen(QPen(Qt::white, std::max(1.5, 0.06 * n), Qt::SolidLine, Qt::RoundCap));
    p.drawPath(smile);
}

// 16 points at 2x: the 16-pixel design's shapes on its 16-unit grid, smooth.
void paintSimple(QPainter &p, double unit)
{
    const auto cell = [unit](double x, double y, double w = 1, double h = 1) {
        return QRectF(x * unit, y * unit, w * unit, h * unit);
    };
    QPainterPath outer;
    outer.addEllipse(cell(2, 0, 12, 16));
    QPainterPath hole;
    hole.addRoundedRect(cell(5, 3, 6, 8), 2.5 * unit, 2.5 * unit);
    QPainterPath ring = outer.subtracted(hole);

    p.fillPath(ring, ringFill(16 * unit));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOutline, unit));
    p.drawEllipse(cell(2.5, 0.5, 11, 15));
    p.fillPath(hole, Qt::white);

    p.setPen(Qt::NoPen);
    p.fillRect(cell(8, 5, 2, 3), kPupil);

    p.fillRect(cell(9, 5.5, 0.5, 0.5), Qt::white);
    QPainterPath smile;
    smile.moveTo(5.5 * unit, 12 * unit);
    smile.quadTo(8 * unit, 14.5 * unit, 10.5 * unit, 12 * unit);
    p.setPen(QPen(Qt::white, unit, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(smile);
}

// 16 pixels: drawn pixel by pixel, so that no edge is a blur of half-covered
// pixels. o outline, b ring, h gloss, w eye, p pupil, s smile.
// clang-format off
constexpr const char *kPixels16[16] = {
    ".....oooooo.....",
    "....ohhhbbbo....",
    "...ohhhbbbbbo...",
    "...ohbwwwwbbo...",
    "..obbbwwwwbbbo..",
    "..obbwwwppwbbo..",
    "..obbwwwppwbbo..",
    "..obbwwwppwbbo..",
    "..obbwwwwwwbbo..",
    "..obbwwwwwwbbo..",
    "..obbbwwwwbbbo..",
    "..obbbbbbbbbbo..",
    "...obsbbbbsbo...",
    "...obbssssbbo...",
    "....obbbbbbo....",
    ".....oooooo.....",
};
// clang-format on

QImage pixelIcon16()
{
    QImage ring(16, 16, QImage::Format_ARGB32);
    ring.fill(Qt::transparent);
    {
        QPainter p(&ring);
        p.fillRect(ring.rect(), ringFill(16));
    }
    QImage icon(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QColor blue = ring.pixelColor(x, y);
            QColor c = Qt::transparent;
            switch (kPixels16[y][x]) {
            case 'o':
                c = kOutline;
                break;
            case 'b':
                c = blue;
                break;
            case 'h':
                c = QColor((blue.red() + 255) / 2, (blue.green() + 255) / 2,
                           (blue.blue() + 255) / 2);
                break;
            case 'w':
            case 's':
                c = Qt::white;
                break;
            case 'p':
                c = kPupil;
                break;
            default:
                break;
            }
            icon.setPixelColor(x, y, c);
        }
    }
    return icon;
}

} // namespace

QImage paintAppIcon(int points, int ratio)
{
    if (points <= 16 && ratio == 1)
        return pixelIcon16();
    const int pixels = points * ratio;
    QImage icon(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    if (points <= 16)
        paintSimple(p, ratio);
    else
        paintDetailed(p, pixels);
    p.end();
    return icon.convertToFormat(QImage::Format_ARGB32);
}
