#include "skin/skin_painter.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

using namespace Qt::StringLiterals;

namespace orvane {
namespace {

// Slice boundaries along one axis: 0, first, end - last, end.
std::array<int, 4> cuts(int length, int first, int last)
{
    if (first + last > length && first + last > 0) {
        const int shrunk = length * first / (first + last);
        first = shrunk;
        last = length - shrunk;
    }
    return {0, first, length - last, length};
}

// Draws `from` of `image` (whose pixels are `scale` times the logical ones) over
// `to` in nine slices, each copied alone: smooth scaling must not sample its
// neighbours.
void drawSlices(QPainter &painter, const QImage &image, int scale, const QRect &from,
                const QMargins &slices, const QRect &to)
{
    const NineSlices s = nineSlices(from.size(), slices, to.size());
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRect part(from.left() + s.sourceX[column], from.top() + s.sourceY[row],
                             s.sourceX[column + 1] - s.sourceX[column],
                             s.sourceY[row + 1] - s.sourceY[row]);
            const QRect onto(to.left() + s.targetX[column], to.top() + s.targetY[row],
                             s.targetX[column + 1] - s.targetX[column],
                             s.targetY[row + 1] - s.targetY[row]);
            if (part.isEmpty() || onto.isEmpty())
                continue;
            painter.drawImage(QRectF(onto),
                              image.copy(QRect(part.topLeft() * scale, part.size() * scale)));
        }
    }
}

} // namespace

NineSlices nineSlices(QSize source, const QMargins &slices, QSize target)
{
    return {cuts(source.width(), slices.left(), slices.right()),
            cuts(source.height(), slices.top(), slices.bottom()),
            cuts(target.width(), slices.left(), slices.right()),
            cuts(target.height(), slices.top(), slices.bottom())};
}

void drawSkinPiece(QPainter &painter, const Skin &skin, const SkinPiece &piece, SkinState state,
                   const QRect &target)
{
    const SkinPicture *picture = skin.picture(piece.picture);
    if (!picture || target.isEmpty())
        return;
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    const bool dense =
        ratio > 1.0 && !picture->image2x.isNull() && !picture->image2x.image().isNull();
    const QImage &image = dense ? picture->image2x.image() : picture->image;
    const QRect source = piece.rect(state);
    const QMargins &s = piece.slices;

    // The image's key names the skin's picture; the source rectangle, its state.
    const QString key =
        u"orvane-skin/%1/%2,%3,%4,%5/%6,%7,%8,%9/%10x%11@%12"_s
            .arg(QString::number(image.cacheKey()), QString::number(source.x()),
                 QString::number(source.y()), QString::number(source.width()),
                 QString::number(source.height()), QString::number(s.left()),
                 QString::number(s.top()), QString::number(s.right()), QString::number(s.bottom()))
            .arg(target.width())
            .arg(target.height())
            .arg(ratio);
    QPixmap sliced;
    if (!QPixmapCache::find(key, &sliced)) {
        sliced = QPixmap((QSizeF(target.size()) * ratio).toSize());
        sliced.setDevicePixelRatio(ratio);
        sliced.fill(Qt::transparent);
        QPainter onto(&sliced);
        onto.setRenderHint(QPainter::SmoothPixmapTransform);
        drawSlices(onto, image, dense ? 2 : 1, source, s, QRect(QPoint(0, 0), target.size()));
        onto.end();
        QPixmapCache::insert(key, sliced);
    }
    painter.drawPixmap(target.topLeft(), sliced);
}

QBitmap frameMask(const Skin &skin, QSize size)
{
    const SkinPicture *mask = skin.picture(skin.frame.mask);
    if (!mask || size.isEmpty())
        return {};
    const QImage source = mask->image.convertToFormat(QImage::Format_Grayscale8);
    QImage outline(size, QImage::Format_Grayscale8);
    outline.fill(255);
    {
        QPainter painter(&outline);
        // Nearest pixels: a mask has no half-transparent edge to blend.
        drawSlices(painter, source, 1, source.rect(), skin.frame.face.slices,
                   QRect(QPoint(0, 0), size));
    }
    // Black (dark) is inside; QBitmap takes dark pixels as set bits.
    return QBitmap::fromImage(outline.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither));
}

} // namespace orvane
