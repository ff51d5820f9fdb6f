// The window frame, its mask and the caption buttons.
#include "tools/make_skin/art_canvas.h"
#include "tools/make_skin/art_shapes.h"
#include "tools/make_skin/skin_art.h"

#include <QPainter>

namespace orvane::skinart {
namespace {

constexpr QSize kFrameSize(391, 166);
constexpr int kCaption = 30;
constexpr int kBorder = 6;
constexpr double kTopRadius = 10;
constexpr double kBottomRadius = 8;

const QColor kOutline(6, 7, 9);
const QColor kBorderLight(74, 78, 88);
const QColor kBorderBody(40, 42, 48);
const QColor kBorderInner(14, 15, 18);
const Gloss kCaptionGloss{{82, 86, 96}, {50, 53, 60}, {24, 25, 29}, {36, 38, 43}};

enum class Glyph { Menu, Minimize, Maximize, Close };
enum class Press { Normal, Hover, Pressed };

} // namespace

QImage framePicture(int scale)
{
    ArtCanvas canvas(kFrameSize, scale);
    QPainter &p = canvas.painter();
    const QRectF all(QPointF(0, 0), QSizeF(kFrameSize));
    const QPainterPath outer = roundedBox(all, kTopRadius, kBottomRadius);
    const QPainterPath inner =
        roundedBox(all.adjusted(1, 1, -1, -1), kTopRadius - 1, kBottomRadius - 1);
    p.fillPath(outer, kOutline);
    p.setClipPath(inner);

    // Sides and bottom: a lit outer line, the body, a dark line against the face.
    const double w = all.width(), h = all.height();
    p.fillRect(all, kBorderBody);
    p.fillRect(QRectF(1, kCaption, 1, h - kCaption), kBorderLight);
    p.fillRect(QRectF(w - 2, kCaption, 1, h - kCaption), kBorderLight.darker(130));
    p.fillRect(QRectF(0, h - kBorder + 1, w, kBorder - 1),
               verticalGradient(h - kBorder + 1, h - 1, kBorderBody, kBorderBody.darker(140)));

    // Caption bar: glossy glass, a soft highlight along its top edge.
    const QRectF caption(0, 0, w, kCaption);
    p.fillRect(caption, glossGradient(1, kCaption - 1, 15, kCaptionGloss));
    QPainterPath captionShape;
    captionShape.addRect(caption);
    p.fillPath(topRim(inner.intersected(captionShape)), QColor(255, 255, 255, 60));
    QLinearGradient sheen(0, 1, 0, 15);
    sheen.setColorAt(0, QColor(255, 255, 255, 28));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 1, w, 14), sheen);
    p.fillRect(QRectF(kBorder - 1, kCaption - 1, w - 2 * kBorder + 2, 1), QColor(150, 160, 178));

    // The face, framed by a dark line.
    const QRectF face(kBorder, kCaption, w - 2 * kBorder, h - kCaption - kBorder);
    p.fillRect(face.adjusted(-1, 0, 1, 1), kBorderInner);
    p.fillRect(face, kFace);
    return canvas.finishTwoLevel();
}

QImage frameMaskPicture(const QImage &frame)
{
    QImage mask(frame.size(), QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(1); // also the padding bits at the end of each line, which the PNG keeps
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            mask.setPixel(x, y, qAlpha(frame.pixel(x, y)) == 255 ? 0 : 1);
    return mask;
}

namespace {

Gloss buttonGloss(Glyph glyph, Press press)
{
    if (glyph == Glyph::Close && press == Press::Hover)
        return {{246, 128, 116}, {214, 64, 52}, {172, 26, 20}, {204, 52, 42}};
    if (glyph == Glyph::Close && press == Press::Pressed)
        return {{112, 14, 10}, {140, 24, 18}, {158, 34, 26}, {188, 56, 46}};
    switch (press) {
    case Press::Normal:
        return {{96, 100, 110}, {66, 69, 77}, {42, 44, 50}, {58, 61, 68}};
    case Press::Hover:
        return {{124, 138, 162}, {84, 98, 122}, {50, 62, 84}, {74, 90, 118}};
    case Press::Pressed:
        return {{18, 19, 22}, {30, 32, 36}, {38, 40, 46}, {54, 57, 64}};
    }
    return {};
}

QPainterPath glyphPath(Glyph glyph)
{
    QPainterPath path;
    switch (glyph) {
    case Glyph::Menu:
        for (int row = 0; row < 3; ++row)
            path.addRect(QRectF(6, 5 + row * 4, 10, 2));
        break;
    case Glyph::Minimize:
        path.addRect(QRectF(6, 12, 10, 3));
        break;
    case Glyph::Maximize:
        path.addRect(QRectF(6, 5, 10, 10));
        path.addRect(QRectF(7, 7, 8, 7));
        break;
    case Glyph::Close: {
        QPainterPathStroker stroker;
        stroker.setWidth(2.4);
        stroker.setCapStyle(Qt::FlatCap);
        QPainterPath cross;
        cross.moveTo(7, 6);
        cross.lineTo(15, 14);
        cross.moveTo(15, 6);
        cross.lineTo(7, 14);
        path = stroker.createStroke(cross).simplified();
        break;
    }
    }
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

void paintCaptionButton(QPainter &p, Glyph glyph, Press press)
{
    const QRectF body(1, 1, 20, 18);
    const QPainterPath outer = roundedBox(body, 4);
    const QPainterPath inner = roundedBox(body.adjusted(1, 1, -1, -1), 3);
    p.fillPath(outer, kOutline);
    p.fillPath(inner, glossGradient(2, 18, 10, buttonGloss(glyph, press)));
    if (press == Press::Pressed)
        p.fillPath(topRim(inner, 1.5), QColor(0, 0, 0, 110));
    else
        p.fillPath(topRim(inner), QColor(255, 255, 255, press == Press::Hover ? 110 : 80));

    const QPainterPath mark = glyphPath(glyph);
    const QColor ink = press == Press::Hover     ? QColor(255, 255, 255)
                       : press == Press::Pressed ? QColor(196, 200, 208)
                                                 : QColor(226, 229, 234);
    p.fillPath(mark.translated(0, 1), QColor(0, 0, 0, 150));
    p.fillPath(mark, ink);
}

} // namespace

QImage captionButtonsPicture(int scale)
{
    ArtCanvas canvas(QSize(66, 80), scale);
    QPainter &p = canvas.painter();
    const Glyph rows[] = {Glyph::Menu, Glyph::Minimize, Glyph::Maximize, Glyph::Close};
    const Press columns[] = {Press::Normal, Press::Hover, Press::Pressed};
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 3; ++column) {
            p.save();
            p.translate(column * 22, row * 20);
            p.setClipRect(QRectF(0, 0, 22, 20));
            paintCaptionButton(p, rows[row], columns[column]);
            p.restore();
        }
    }
    return canvas.finish();
}

} // namespace orvane::skinart
