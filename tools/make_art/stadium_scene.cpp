#include "tools/make_art/stadium_scene.h"

#include "tools/make_art/page_layout.h"
#include "tools/make_art/raster.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace {

constexpr double kWidth = 800, kHeight = 600;
// Where the stands meet the pitch, and the top of the upper tier.
constexpr double kPitchTop = 372;
constexpr double kStandsTop = 250;

struct Floodlight {
    QPointF centre;
    double size;
};
constexpr Floodlight kFloodlights[] = {{{64, 92}, 1.0}, {{742, 176}, 0.72}, {{526, 204}, 0.42}};

void paintSky(QPainter &p)
{
    QLinearGradient sky(0, 0, 0, kPitchTop);
    sky.setColorAt(0.0, QColor(5, 8, 24));
    sky.setColorAt(0.45, QColor(10, 22, 56));
    sky.setColorAt(0.85, QColor(26, 48, 96));
    sky.setColorAt(1.0, QColor(44, 70, 118));
    p.fillRect(QRectF(0, 0, kWidth, kPitchTop), sky);

    // The light the floodlights throw into the haze.
    for (const Floodlight &light : kFloodlights) {
        QRadialGradient haze(light.centre, 260 * light.size);
        haze.setColorAt(0, QColor(150, 190, 255, int(90 * light.size)));
        haze.setColorAt(0.4, QColor(90, 130, 220, int(36 * light.size)));
        haze.setColorAt(1, QColor(40, 70, 160, 0));
        p.fillRect(QRectF(0, 0, kWidth, kPitchTop), haze);
    }
}

// The bowl of the stands: two tiers whose upper edge curves like the far side
// of a stadium seen from the pitch.
QPainterPath tier(double top, double bottom, double sag)
{
    QPainterPath path;
    path.moveTo(0, top);
    path.cubicTo(kWidth * 0.3, top + sag, kWidth * 0.7, top + sag, kWidth, top);
    path.lineTo(kWidth, bottom);
    path.lineTo(0, bottom);
    path.closeSubpath();
    return path;
}

void paintCrowd(QPainter &p, const QPainterPath &area, double top, double bottom,
                FixedRandom &random)
{
    p.save();
    p.setClipPath(area);
    p.setPen(Qt::NoPen);
    // Dim specks of shirts and faces.
    for (int i = 0; i < 2600; ++i) {
        const QPointF at(random.uniform(0, kWidth), random.uniform(top, bottom));
        const double hue = random.uniform(0, 1);
        QColor speck = hue < 0.2   ? QColor(150, 40, 50)
                       : hue < 0.4 ? QColor(40, 80, 160)
                       : hue < 0.6 ? QColor(200, 170, 120)
                                   : QColor(90, 96, 120);
        speck.setAlpha(int(random.uniform(40, 110)));
        p.setBrush(speck);
        const double r = random.uniform(0.6, 1.3);
        p.drawEllipse(at, r, r);
    }
    p.restore();
}

void paintStands(QPainter &p, FixedRandom &random)
{
    const QPainterPath upper = tier(kStandsTop, kPitchTop, 26);
    QLinearGradient upperFill(0, kStandsTop, 0, kPitchTop);
    upperFill.setColorAt(0, QColor(22, 28, 48));
    upperFill.setColorAt(1, QColor(12, 16, 30));
    p.fillPath(upper, upperFill);
    paintCrowd(p, upper, kStandsTop, kPitchTop - 44, random);

    // The roof's lit edge.
    QPainterPath roof;
    roof.moveTo(0, kStandsTop);
    roof.cubicTo(kWidth * 0.3, kStandsTop + 26, kWidth * 0.7, kStandsTop + 26, kWidth, kStandsTop);
    p.setPen(QPen(QColor(170, 200, 255, 150), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(roof);

    const QPainterPath lower = tier(kPitchTop - 44, kPitchTop, 10);
    QLinearGradient lowerFill(0, kPitchTop - 44, 0, kPitchTop);
    lowerFill.setColorAt(0, QColor(18, 22, 40));
    lowerFill.setColorAt(1, QColor(30, 36, 58));
    p.fillPath(lower, lowerFill);
    paintCrowd(p, lower, kPitchTop - 40, kPitchTop - 8, random);

    // Advertising boards along the pitch: a lit strip in the brand's blue.
    QLinearGradient boards(0, 0, kWidth, 0);
    boards.setColorAt(0, QColor(20, 90, 200));
    boards.setColorAt(0.5, QColor(40, 150, 255));
    boards.setColorAt(1, QColor(20, 90, 200));
    p.fillRect(QRectF(0, kPitchTop - 7, kWidth, 7), boards);
    p.fillRect(QRectF(0, kPitchTop - 7, kWidth, 1.2), QColor(200, 230, 255, 160));
}

void paintPitch(QPainter &p)
{
    const QRectF pitch(0, kPitchTop, kWidth, kHeight - kPitchTop);
    QLinearGradient grass(0, kPitchTop, 0, kHeight);
    grass.setColorAt(0, QColor(34, 110, 52));
    grass.setColorAt(1, QColor(14, 66, 30));
    p.fillRect(pitch, grass);

    // Mowing stripes, wider as they come closer.
    double y = kPitchTop;
    double band = 9;
    for (int i = 0; y < kHeight; ++i) {
        if (i % 2 == 0)
            p.fillRect(QRectF(0, y, kWidth, band), QColor(255, 255, 255, 14));
        y += band;
        band *= 1.32;
    }

    // The centre circle and the halfway line in perspective.
    p.setPen(QPen(QColor(235, 245, 235, 150), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(560, 470), 250, 56);
    p.drawLine(QPointF(0, 470), QPointF(kWidth, 470));

    // The floodlights' pool of light on the grass.
    QRadialGradient pool(QPointF(430, 430), 420);
    pool.setColorAt(0, QColor(200, 255, 200, 40));
    pool.setColorAt(1, QColor(200, 255, 200, 0));
    p.fillRect(pitch, pool);
}

void paintFloodlight(QPainter &p, const Floodlight &light, double scale)
{
    // Glow first, drawn on a layer of its own and blurred.
    Layer glow(QSizeF(kWidth, kHeight), scale);
    {
        QPainter g;
        glow.begin(g);
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(200, 225, 255));
        g.drawEllipse(light.centre, 40 * light.size, 26 * light.size);
        g.end();
    }
    glow.blur(22 * light.size);
    glow.drawOnto(p, {}, 0.9);

    // The lamp bank: rows of lamps on a dark frame.
    const double w = 56 * light.size, h = 28 * light.size;
    const QRectF frame(light.centre - QPointF(w / 2, h / 2), QSizeF(w, h));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 46, 64));
    p.drawRoundedRect(frame.adjusted(-2, -2, 2, 2), 3, 3);
    const int columns = 6, rows = 3;
    const double cw = w / columns, ch = h / rows;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const QPointF at = frame.topLeft() + QPointF((c + 0.5) * cw, (r + 0.5) * ch);
            QRadialGradient lamp(at, cw * 0.6);
            lamp.setColorAt(0, QColor(255, 255, 255));
            lamp.setColorAt(0.6, QColor(230, 240, 255));
            lamp.setColorAt(1, QColor(160, 190, 255));
            p.setBrush(lamp);
            p.drawRoundedRect(QRectF(at - QPointF(cw * 0.4, ch * 0.4), QSizeF(cw * 0.8, ch * 0.8)),
                              1.5, 1.5);
        }
    }

    // A four-point star of light across the lamp bank.
    for (int i = 0; i < 2; ++i) {
        const double length = (i == 0 ? 150 : 60) * light.size;
        QLinearGradient ray(
            i == 0 ? QPointF(light.centre.x() - length, 0) : QPointF(0, light.centre.y() - length),
            i == 0 ? QPointF(light.centre.x() + length, 0) : QPointF(0, light.centre.y() + length));
        ray.setColorAt(0, QColor(210, 230, 255, 0));
        ray.setColorAt(0.5, QColor(235, 245, 255, 170));
        ray.setColorAt(1, QColor(210, 230, 255, 0));
        const QRectF bar =
            i == 0 ? QRectF(light.centre.x() - length, light.centre.y() - 1.2, 2 * length, 2.4)
                   : QRectF(light.centre.x() - 1.2, light.centre.y() - length, 2.4, 2 * length);
        p.fillRect(bar, ray);
    }
}

// Beams from each lamp bank down to the pitch, faint.
void paintBeams(QPainter &p)
{
    for (const Floodlight &light : kFloodlights) {
        QPainterPath beam;
        beam.moveTo(light.centre + QPointF(-18 * light.size, 6));
        beam.lineTo(light.centre + QPointF(18 * light.size, 6));
        beam.lineTo(QPointF(light.centre.x() + 320 * light.size, kPitchTop + 40));
        beam.lineTo(QPointF(light.centre.x() + 40 * light.size, kPitchTop + 40));
        beam.closeSubpath();
        QLinearGradient fade(light.centre, QPointF(light.centre.x(), kPitchTop + 40));
        fade.setColorAt(0, QColor(190, 215, 255, int(46 * light.size)));
        fade.setColorAt(1, QColor(190, 215, 255, 0));
        p.fillPath(beam, fade);
    }
}

// Out-of-focus lights of the far stands, kept out of the corner with the
// version label.
void paintBokeh(QPainter &p, double scale, FixedRandom &random)
{
    Layer bokeh(QSizeF(kWidth, kHeight), scale);
    QPainter b;
    bokeh.begin(b);
    b.setPen(Qt::NoPen);
    const QRectF corner = QRectF(PageLayout::kCorner).adjusted(-40, 0, 0, 40);
    for (int placed = 0; placed < 60;) {
        const QPointF at(random.uniform(0, kWidth), random.uniform(150, kPitchTop));
        const double r = random.uniform(4, 16);
        const bool warm = random.uniform(0, 1) < 0.45;
        const int alpha = int(random.uniform(30, 90));
        if (corner.contains(at))
            continue;
        ++placed;
        QRadialGradient disc(at, r);
        const QColor tone = warm ? QColor(255, 200, 120) : QColor(140, 190, 255);
        QColor edge = tone, centre = tone;
        centre.setAlpha(alpha / 2);
        edge.setAlpha(alpha);
        disc.setColorAt(0, centre);
        disc.setColorAt(0.85, edge);
        disc.setColorAt(1, QColor(tone.red(), tone.green(), tone.blue(), 0));
        b.setBrush(disc);
        b.drawEllipse(at, r, r);
    }
    b.end();
    bokeh.blur(1.5);
    bokeh.drawOnto(p);
}

void paintVignette(QPainter &p)
{
    QRadialGradient vignette(QPointF(kWidth / 2, kHeight * 0.45), kWidth * 0.75);
    vignette.setColorAt(0.55, QColor(0, 0, 0, 0));
    vignette.setColorAt(1, QColor(0, 0, 0, 150));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), vignette);
}

} // namespace

void paintStadium(QPainter &painter, double scale)
{
    FixedRandom random(20240501);
    paintSky(painter);
    paintStands(painter, random);
    paintPitch(painter);
    paintBeams(painter);
    for (const Floodlight &light : kFloodlights)
        paintFloodlight(painter, light, scale);
    paintBokeh(painter, scale, random);
    paintVignette(painter);
}
