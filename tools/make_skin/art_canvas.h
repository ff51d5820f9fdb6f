#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>

namespace orvane::skinart {

// A picture painted in 1x pixels at `scale` (1 or 2), with `samples` x
// `samples` samples per output pixel that are box-filtered at the end, so the
// edges do not depend on the smoothing of a particular Qt version.
class ArtCanvas {
public:
    ArtCanvas(QSize size, int scale, int samples = 8);
    ArtCanvas(const ArtCanvas &) = delete;
    ArtCanvas &operator=(const ArtCanvas &) = delete;

    QPainter &painter() { return m_painter; }

    // Straight-alpha ARGB32; pixels without coverage are exactly zero.
    QImage finish();
    // The same, but pixels at least half covered become opaque and all others
    // clear: for a picture whose outline a one-bit mask repeats.
    QImage finishTwoLevel();

private:
    QImage downscale(bool twoLevel);

    QSize m_size;
    int m_scale;
    int m_samples;
    QImage m_image;
    QPainter m_painter;
};

} // namespace orvane::skinart
