#pragma once

#include <QColor>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRectF>

namespace orvane::skinart {

// The face colour of the skin, inside the frame and every page.
inline const QColor kFace(115, 136, 166);

// A rectangle with its top and bottom corners rounded by their own radii.
QPainterPath roundedBox(const QRectF &rect, double topRadius, double bottomRadius);
inline QPainterPath roundedBox(const QRectF &rect, double radius)
{
    return roundedBox(rect, radius, radius);
}

// The colours of a glossy surface: a lit upper half with a crisp lower edge
// and a shaded lower half.
struct Gloss {
    QColor top, middleLit, middleShade, bottom;
};

// A vertical gradient from `top` to `bottom` that steps at `split` (all in
// 1x pixels); put the split on a whole pixel so it stays crisp.
QLinearGradient glossGradient(double top, double bottom, double split, const Gloss &gloss);
QLinearGradient verticalGradient(double top, double bottom, const QColor &from, const QColor &to);

// The one-pixel sliver just inside the top of `shape`, following its corners:
// where light catches a rounded edge.
QPainterPath topRim(const QPainterPath &shape, double width = 1.0);

} // namespace orvane::skinart
