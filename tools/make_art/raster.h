#pragma once

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <cstdint>

// An off-screen picture at the output's resolution that is painted in the
// picture's logical coordinates, for effects that need a pass of their own
// (blurred glows and shadows, masks).
class Layer {
public:
    Layer(QSizeF logicalSize, double scale);

    QImage &image() { return m_image; }

    // A painter on the layer, already scaled to logical coordinates.
    void begin(QPainter &painter);
    void blur(double logicalRadius);
    // Keeps the layer's coverage and paints it in one colour.
    void tint(const QColor &colour);
    void drawOnto(QPainter &target, QPointF offset = {}, double opacity = 1.0) const;

private:
    QSizeF m_logicalSize;
    double m_scale;
    QImage m_image;
};

// Three box passes in each direction, close to a Gaussian of the given
// radius; integer arithmetic so that every machine gets the same bytes.
void blurImage(QImage &image, int radius);

// A generator that starts from a fixed state, with its own mapping to reals: the standard library's
// distributions differ between implementations.
class FixedRandom {
public:
    explicit FixedRandom(std::uint64_t start) : m_state(start) {}
    std::uint32_t next();
    double uniform(double low, double high);

private:
    std::uint64_t m_state;
};

double relativeLuminance(QRgb colour);
double contrastRatio(double luminanceA, double luminanceB);
