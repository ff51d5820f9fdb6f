// The light glossy push buttons and the check marks.
#include "tools/make_skin/art_canvas.h"
#include "tools/make_skin/art_shapes.h"
#include "tools/make_skin/skin_art.h"

#include <QPainter>
#include <cmath>

namespace orvane::skinart {
namespace {

enum class Press { Normal, Hover, Pressed, Disabled };
constexpr Press kStates[] = {Press::Normal, Press::Hover, Press::Pressed, Press::Disabled};

struct Look {
    QColor outline;
    Gloss gloss;
    QColor rim;        // along the inside of the top edge
    bool sunk = false; // a shadow, not a highlight, under the top edge
};

Look lightLook(Press press)
{
    switch (press) {
    case Press::Normal:
        return {{50, 54, 62},
                {{255, 255, 255}, {241, 243, 246}, {218, 222, 229}, {236, 239, 243}},
                {255, 255, 255, 220}};
    case Press::Hover:
        return {{40, 72, 132},
                {{255, 255, 255}, {236, 243, 253}, {204, 221, 246}, {228, 238, 252}},
                {255, 255, 255, 230}};
    case Press::Pressed:
        return {{30, 32, 38},
                {{178, 183, 192}, {198, 202, 209}, {214, 218, 224}, {232, 235, 239}},
                {0, 0, 0, 70},
                true};
    case Press::Disabled:
        return {{150, 153, 158},
                {{206, 208, 211}, {206, 208, 211}, {206, 208, 211}, {206, 208, 211}},
                {255, 255, 255, 90}};
    }
    return {};
}

// A rounded light button filling `box`.
void paintLightButton(QPainter &p, const QRectF &box, double radius, Press press)
{
    const Look look = lightLook(press);
    const QPainterPath outer = roundedBox(box, radius);
    const QPainterPath inner = roundedBox(box.adjusted(1, 1, -1, -1), radius - 1);
    p.fillPath(outer, look.outline);
    const double split = box.top() + std::floor(box.height() / 2);
    p.fillPath(inner, glossGradient(box.top() + 1, box.bottom() - 1, split, look.gloss));
    p.fillPath(topRim(inner, look.sunk ? 2 : 1), look.rim);
}

template <typename Paint> QImage strip(QSize cell, int scale, Paint paint)
{
    ArtCanvas canvas(QSize(cell.width() * 4, cell.height()), scale);
    QPainter &p = canvas.painter();
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(i * cell.width(), 0);
        p.setClipRect(QRectF(QPointF(0, 0), QSizeF(cell)));
        paint(p, kStates[i]);
        p.restore();
    }
    return canvas.finish();
}

void paintCheckBox(QPainter &p, Press press, bool checked)
{
    const QRectF box(2, 1, 15, 15);
    // A faint light lip below the box lifts it off a dark background.
    p.fillPath(roundedBox(box.translated(0, 1), 3), QColor(255, 255, 255, 50));
    Look look = lightLook(press);
    if (press == Press::Disabled)
        look = {{78, 80, 86},
                {{150, 152, 157}, {150, 152, 157}, {150, 152, 157}, {150, 152, 157}},
                {255, 255, 255, 50}};
    else if (press == Press::Normal)
        look.outline = QColor(22, 26, 32);
    const QPainterPath outer = roundedBox(box, 3);
    const QPainterPath inner = roundedBox(box.adjusted(1, 1, -1, -1), 2);
    p.fillPath(outer, look.outline);
    p.fillPath(inner, glossGradient(2, 15, 8, look.gloss));
    p.fillPath(topRim(inner, look.sunk ? 1.5 : 1), look.rim);
    if (!checked)
        return;

    QPainterPath tick;
    tick.moveTo(5.6, 8.4);
    tick.lineTo(8.6, 11.6);
    tick.lineTo(13.8, 4.6);
    const QColor ink = press == Press::Disabled ? QColor(92, 94, 100) : QColor(18, 58, 142);
    QPen pen(ink, 2.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.strokePath(tick, pen);
}

} // namespace

QImage buttonPicture(int scale)
{
    return strip(QSize(88, 28), scale, [](QPainter &p, Press press) {
        paintLightButton(p, QRectF(0, 0, 88, 28), 6, press);
    });
}

QImage resizeButtonPicture(int scale)
{
    return strip(QSize(39, 39), scale, [](QPainter &p, Press press) {
        paintLightButton(p, QRectF(0, 0, 39, 39), 6, press);
    });
}

QImage checkboxPicture(int scale)
{
    ArtCanvas canvas(QSize(152, 18), scale);
    QPainter &p = canvas.painter();
    for (int i = 0; i < 8; ++i) {
        p.save();
        p.translate(i * 19, 0);
        p.setClipRect(QRectF(0, 0, 19, 18));
        paintCheckBox(p, kStates[i % 4], i >= 4);
        p.restore();
    }
    return canvas.finish();
}

} // namespace orvane::skinart
