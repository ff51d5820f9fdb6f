// The tabs and page frame, the text field, the tool panel and its labels.
#include "tools/make_skin/art_canvas.h"
#include "tools/make_skin/art_shapes.h"
#include "tools/make_skin/skin_art.h"

#include <QPainter>
#include <cmath>

namespace orvane::skinart {
namespace {

// Paints `paint` into the cell at `origin` of `size`, clipped to it.
template <typename Paint> void inCell(QPainter &p, QPointF origin, QSizeF size, Paint paint)
{
    p.save();
    p.translate(origin);
    p.setClipRect(QRectF(QPointF(0, 0), size));
    paint();
    p.restore();
}

// A tab: rounded top corners, open at the bottom where it meets the page.
void paintTab(QPainter &p, double height, const QColor &outline, const Gloss &gloss,
              const QColor &rim)
{
    const QRectF shape(1, 0, 60, height + 1);
    const QPainterPath outer = roundedBox(shape, 5, 0);
    const QPainterPath inner = roundedBox(shape.adjusted(1, 1, -1, 0), 4, 0);
    p.fillPath(outer, outline);
    p.fillPath(inner, glossGradient(1, height, std::floor(height / 2), gloss));
    p.fillPath(topRim(inner), rim);
}

enum class Field { Normal, Hover, Focused, Disabled };

void paintField(QPainter &p, Field state)
{
    const QRectF box(0, 0, 59, 21);
    const QPainterPath outer = roundedBox(box, 4);
    const QPainterPath inner = roundedBox(box.adjusted(1, 1, -1, -1), 3);
    switch (state) {
    case Field::Normal:
        p.fillPath(outer, verticalGradient(0, 21, QColor(104, 110, 120), QColor(150, 155, 163)));
        break;
    case Field::Hover:
        p.fillPath(outer, verticalGradient(0, 21, QColor(78, 116, 178), QColor(122, 154, 204)));
        break;
    case Field::Focused:
        p.fillPath(outer, QColor(34, 104, 218));
        break;
    case Field::Disabled:
        p.fillPath(outer, QColor(170, 172, 176));
        break;
    }
    p.fillPath(inner, state == Field::Disabled ? QColor(228, 229, 231) : QColor(255, 255, 255));
    if (state == Field::Focused) {
        const QPainterPath glow = inner.subtracted(roundedBox(box.adjusted(2, 2, -2, -2), 2));
        p.fillPath(glow, QColor(96, 156, 240, 150));
    }
    // A shallow inner shadow under the top edge: the field is set into its surface.
    p.save();
    p.setClipPath(inner);
    p.fillRect(QRectF(0, 1, 59, 3),
               verticalGradient(1, 4, QColor(0, 0, 0, state == Field::Disabled ? 18 : 34),
                                QColor(0, 0, 0, 0)));
    p.restore();
}

} // namespace

QImage tabPicture(int scale)
{
    ArtCanvas canvas(QSize(245, 52), scale);
    QPainter &p = canvas.painter();
    const QColor darkOutline(16, 18, 22);
    inCell(p, {0, 0}, {62, 21}, [&] {
        paintTab(p, 21, darkOutline, {{88, 92, 102}, {60, 63, 71}, {40, 42, 48}, {48, 51, 58}},
                 QColor(255, 255, 255, 60));
    });
    inCell(p, {62, 0}, {62, 21}, [&] {
        paintTab(p, 21, darkOutline, {{112, 120, 136}, {78, 85, 99}, {54, 60, 72}, {64, 71, 85}},
                 QColor(255, 255, 255, 80));
    });
    inCell(p, {124, 0}, {62, 22}, [&] {
        paintTab(p, 22, QColor(46, 52, 62),
                 {{255, 255, 255}, {240, 242, 246}, {220, 225, 232}, {234, 237, 242}},
                 QColor(255, 255, 255, 230));
    });
    // The page frame: a dark line, a lighter one inside it, then the face.
    inCell(p, {186, 0}, {59, 52}, [&] {
        p.fillRect(QRectF(0, 0, 59, 52), QColor(38, 46, 60));
        p.fillRect(QRectF(1, 1, 57, 50), QColor(148, 166, 192));
        p.fillRect(QRectF(2, 2, 55, 48), kFace);
    });
    return canvas.finish();
}

QImage editPicture(int scale)
{
    ArtCanvas canvas(QSize(236, 21), scale);
    QPainter &p = canvas.painter();
    const Field states[] = {Field::Normal, Field::Hover, Field::Focused, Field::Disabled};
    for (int i = 0; i < 4; ++i)
        inCell(p, {i * 59.0, 0}, {59, 21}, [&] { paintField(p, states[i]); });
    return canvas.finish();
}

QImage panelPicture(int scale)
{
    ArtCanvas canvas(QSize(59, 52), scale);
    QPainter &p = canvas.painter();
    p.fillRect(QRectF(0, 0, 59, 52),
               verticalGradient(1, 51, QColor(110, 126, 152), QColor(70, 83, 104)));
    p.fillRect(QRectF(0, 0, 59, 1), QColor(162, 178, 202));
    p.fillRect(QRectF(0, 1, 59, 1), QColor(255, 255, 255, 40));
    p.fillRect(QRectF(0, 51, 59, 1), QColor(30, 36, 48));
    return canvas.finish();
}

QImage labelPicture(int scale)
{
    ArtCanvas canvas(QSize(33, 20), scale);
    QPainter &p = canvas.painter();
    const QRectF box(0, 0, 33, 20);
    // Light catches the lower lip of the well.
    p.fillPath(roundedBox(box, 4), QColor(255, 255, 255, 70));
    const QPainterPath rim = roundedBox(box.adjusted(0, 0, 0, -1), 4);
    const QPainterPath well = roundedBox(box.adjusted(1, 1, -1, -2), 3);
    p.fillPath(rim, verticalGradient(0, 19, QColor(70, 82, 102), QColor(104, 116, 136)));
    p.fillPath(well, verticalGradient(1, 18, QColor(198, 207, 221), QColor(230, 235, 242)));
    p.save();
    p.setClipPath(well);
    p.fillRect(QRectF(0, 1, 33, 3),
               verticalGradient(1, 4, QColor(0, 0, 0, 40), QColor(0, 0, 0, 0)));
    p.restore();
    return canvas.finish();
}

} // namespace orvane::skinart
