#include "tools/make_art/brand_logo.h"

#include "tools/make_art/raster.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

using namespace Qt::StringLiterals;

namespace {

void paintMark(QPainter &p, QPointF centre, double radius)
{
    QRadialGradient disc(centre - QPointF(radius, radius) * 0.4, radius * 1.6);
    disc.setColorAt(0, QColor(110, 190, 255));
    disc.setColorAt(0.6, QColor(30, 110, 230));
    disc.setColorAt(1, QColor(12, 56, 150));
    p.setPen(QPen(QColor(200, 230, 255, 200), 1));
    p.setBrush(disc);
    p.drawEllipse(centre, radius, radius);

    // The ring opens towards the upper right, where the arrow leaves it.
    const double ring = radius * 0.58;
    const QRectF ringBox(centre - QPointF(ring, ring), QSizeF(2 * ring, 2 * ring));
    p.setPen(QPen(Qt::white, radius * 0.22, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ringBox, 70 * 16, 290 * 16);

    const QPointF tail = centre + QPointF(-ring * 0.35, ring * 0.35);
    const QPointF head = centre + QPointF(ring * 0.95, -ring * 0.95);
    p.setPen(QPen(QColor(255, 204, 80), radius * 0.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(tail, head);
    QPainterPath arrow;
    const double a = radius * 0.34;
    arrow.moveTo(head + QPointF(a * 0.25, -a * 0.25));
    arrow.lineTo(head + QPointF(-a, -a * 0.1));
    arrow.lineTo(head + QPointF(a * 0.1, a));
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 204, 80));
    p.drawPath(arrow);
}

} // namespace

void paintBrandLogo(QPainter &painter, QPointF topLeft, double scale)
{
    QFont word(u"Liberation Sans"_s);
    word.setBold(true);
    word.setPixelSize(32);
    word.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath text;
    text.addText(topLeft + QPointF(54, 33), word, u"orvane"_s);
    QFont small(u"Liberation Sans"_s);
    small.setBold(true);
    small.setPixelSize(9);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.7);
    small.setHintingPreference(QFont::PreferNoHinting);
    QPainterPath caption;
    caption.addText(topLeft + QPointF(56, 46), small, u"SPORTS FORECASTS"_s);

    const QPointF centre = topLeft + QPointF(22, 24);
    Layer shadow(QSizeF(800, 600), scale);
    {
        QPainter s;
        shadow.begin(s);
        s.fillPath(text, Qt::black);
        s.fillPath(caption, Qt::black);
        s.setPen(Qt::NoPen);
        s.setBrush(Qt::black);
        s.drawEllipse(centre, 21, 21);
    }
    shadow.blur(5);
    shadow.drawOnto(painter, QPointF(0, 2), 0.8);

    paintMark(painter, centre, 21);
    QLinearGradient face(0, topLeft.y() + 8, 0, topLeft.y() + 34);
    face.setColorAt(0, QColor(255, 255, 255));
    face.setColorAt(1, QColor(206, 226, 255));
    painter.fillPath(text, face);
    painter.fillPath(caption, QColor(150, 200, 255));
}
