#include "tools/make_art/businessman.h"

#include "tools/make_art/page_layout.h"
#include "tools/make_art/raster.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString kMan = u"modern/man-office-worker-medium-light.svg"_s;
const QString kFist = u"modern/raised-fist-medium-light.svg"_s;
const QString kPalm = u"modern/palm-up-hand-medium-light.svg"_s;
const QString kNotes = u"modern/dollar-banknote.svg"_s;
const QString kBall = u"modern/soccer-ball.svg"_s;
const QString kSparkles = u"modern/sparkles.svg"_s;

constexpr QSizeF kCanvas = PageLayout::kPicture;
// The bust's 32-unit view box, placed so that the shoulders leave the
// picture at its bottom edge.
constexpr QRectF kBust(-34, 228, 408, 408);
constexpr QRectF kFistBox(-4, 372, 112, 112);
constexpr QRectF kPalmBox(248, 398, 124, 124);
constexpr QPointF kBallCentre(309, 413);
constexpr double kBallRadius = 44;

// A forearm in the suit's cloth from an elbow below the picture to the wrist,
// with a white shirt cuff at the wrist.
void paintSleeve(QPainter &p, QPointF elbow, QPointF wrist, double width)
{
    const QPointF along = wrist - elbow;
    const double length = std::hypot(along.x(), along.y());
    const QPointF across(-along.y() / length * width / 2, along.x() / length * width / 2);
    QLinearGradient cloth(elbow - across, elbow + across);
    cloth.setColorAt(0, QColor(0x3f, 0x35, 0x60));
    cloth.setColorAt(0.45, QColor(0x6c, 0x62, 0x98));
    cloth.setColorAt(1, QColor(0x46, 0x3b, 0x6c));
    p.setPen(QPen(QBrush(cloth), width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(elbow, wrist);

    const QPointF cuffStart = wrist - along / length * (width * 0.55);
    QLinearGradient shirt(cuffStart - across, cuffStart + across);
    shirt.setColorAt(0, QColor(0xb8, 0xb0, 0xc8));
    shirt.setColorAt(0.5, QColor(0xf4, 0xf2, 0xf8));
    shirt.setColorAt(1, QColor(0xc0, 0xb8, 0xd0));
    p.setPen(QPen(QBrush(shirt), width * 0.86, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(cuffStart, wrist);
}

void paintNotesFan(QPainter &p, const EmojiLibrary &emoji)
{
    // Three bundles fanned out above the fist, their lower ends in its grip.
    const QPointF grip(kFistBox.center().x() + 4, kFistBox.top() + 34);
    const double angles[] = {-32, 4, 38};
    for (const double angle : angles) {
        p.save();
        p.translate(grip);
        p.rotate(angle - 90);
        emoji.draw(p, kNotes, QRectF(-10, -40, 104, 80));
        p.restore();
    }
}

void paintFigure(QPainter &p, const EmojiLibrary &emoji)
{
    paintSleeve(p, QPointF(30, 640), QPointF(52, 466), 62);
    emoji.draw(p, kMan, kBust);
    // The other forearm comes across his front to hold the ball out.
    paintSleeve(p, QPointF(176, 600), QPointF(262, 480), 56);
    paintNotesFan(p, emoji);
    emoji.draw(p, kFist, kFistBox);
    emoji.draw(p, kPalm, kPalmBox);
    emoji.draw(p, kBall,
               QRectF(kBallCentre - QPointF(kBallRadius, kBallRadius),
                      QSizeF(2 * kBallRadius, 2 * kBallRadius)));
}

} // namespace

QStringList businessmanEmoji()
{
    return {kMan, kFist, kPalm, kNotes, kBall, kSparkles};
}

void paintBusinessman(QPainter &painter, const EmojiLibrary &emoji, double scale)
{
    // A soft light behind him lifts him off the dark stands.
    QRadialGradient backLight(QPointF(170, 360), 240);
    backLight.setColorAt(0, QColor(120, 170, 255, 110));
    backLight.setColorAt(0.6, QColor(60, 110, 220, 40));
    backLight.setColorAt(1, QColor(40, 80, 200, 0));
    painter.fillRect(QRectF(QPointF(0, 0), kCanvas), backLight);

    Layer figure(kCanvas, scale);
    {
        QPainter f;
        figure.begin(f);
        paintFigure(f, emoji);
        // The floodlight is up on the left: the right and the bottom fall into shade.
        f.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        QLinearGradient shade(QPointF(60, 260), QPointF(360, 600));
        shade.setColorAt(0, QColor(255, 250, 235, 0));
        shade.setColorAt(0.55, QColor(10, 12, 40, 0));
        shade.setColorAt(1, QColor(10, 12, 40, 120));
        f.fillRect(QRectF(QPointF(0, 0), kCanvas), shade);
    }

    Layer shadow = figure;
    shadow.tint(QColor(0, 0, 10));
    shadow.blur(16);
    shadow.drawOnto(painter, QPointF(16, 8), 0.6);

    figure.drawOnto(painter);

    // Rim light along the edges that face the floodlight.
    Layer rim = figure;
    rim.tint(QColor(190, 220, 255));
    {
        QPainter r(&rim.image());
        r.setCompositionMode(QPainter::CompositionMode_DestinationOut);
        r.drawImage(QPointF(4 * scale, 3 * scale), figure.image());
    }
    {
        QPainter r(&rim.image());
        r.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        r.drawImage(QPointF(0, 0), figure.image());
    }
    rim.blur(1.2);
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Screen);
    rim.drawOnto(painter, {}, 0.7);
    painter.restore();

    // A glint of success by the ball and by the cash, outside the lighting.
    emoji.draw(painter, kSparkles, QRectF(334, 346, 36, 36));
    emoji.draw(painter, kSparkles, QRectF(4, 272, 30, 30), true);
}
