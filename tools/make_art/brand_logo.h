#pragma once

#include <QPainter>
#include <QPointF>

// The maker's logo: a round mark (an open ring with a rising arrow) and the
// word "orvane", 176 x 48 logical pixels from topLeft.
void paintBrandLogo(QPainter &painter, QPointF topLeft, double scale);
