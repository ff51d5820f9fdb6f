#include "tools/make_skin/art_shapes.h"

#include <algorithm>

namespace orvane::skinart {

QPainterPath roundedBox(const QRectF &rect, double topRadius, double bottomRadius)
{
    const double t = std::min({topRadius, rect.width() / 2, rect.height() / 2});
    const double b = std::min({bottomRadius, rect.width() / 2, rect.height() / 2});
    const double l = rect.left(), r = rect.right(), y0 = rect.top(), y1 = rect.bottom();
    QPainterPath path;
    path.moveTo(l + t, y0);
    path.lineTo(r - t, y0);
    if (t > 0)
        path.arcTo(QRectF(r - 2 * t, y0, 2 * t, 2 * t), 90, -90);
    path.lineTo(r, y1 - b);
    if (b > 0)
        path.arcTo(QRectF(r - 2 * b, y1 - 2 * b, 2 * b, 2 * b), 0, -90);
    path.lineTo(l + b, y1);
    if (b > 0)
        path.arcTo(QRectF(l, y1 - 2 * b, 2 * b, 2 * b), 270, -90);
    path.lineTo(l, y0 + t);
    if (t > 0)
        path.arcTo(QRectF(l, y0, 2 * t, 2 * t), 180, -90);
    path.closeSubpath();
    return path;
}

QLinearGradient glossGradient(double top, double bottom, double split, const Gloss &gloss)
{
    QLinearGradient g(0, top, 0, bottom);
    const double at = (split - top) / (bottom - top);
    g.setColorAt(0, gloss.top);
    g.setColorAt(at, gloss.middleLit);
    g.setColorAt(std::min(1.0, at + 0.0005), gloss.middleShade);
    g.setColorAt(1, gloss.bottom);
    return g;
}

QLinearGradient verticalGradient(double top, double bottom, const QColor &from, const QColor &to)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    return g;
}

QPainterPath topRim(const QPainterPath &shape, double width)
{
    const QRectF box = shape.boundingRect();
    QPainterPath upper;
    upper.addRect(QRectF(box.left(), box.top(), box.width(), box.height() / 2));
    return shape.subtracted(shape.translated(0, width)).intersected(upper);
}

} // namespace orvane::skinart
