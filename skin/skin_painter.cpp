#include "skin/skin_painter.h"

#include <QPainter>

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
    const bool dense = painter.device() && painter.device()->devicePixelRatio() > 1.0 &&
                       !picture->image2x.isNull();
    const QImage &image = dense ? picture->image2x : picture->image;
    const int scale = dense ? 2 : 1;
    const QRect source = piece.rect(state);
    const NineSlices s = nineSlices(source.size(), piece.slices, target.size());

    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRect from(source.left() + s.sourceX[column], source.top() + s.sourceY[row],
                             s.sourceX[column + 1] - s.sourceX[column],
                             s.sourceY[row + 1] - s.sourceY[row]);
            const QRect to(target.left() + s.targetX[column], target.top() + s.targetY[row],
                           s.targetX[column + 1] - s.targetX[column],
                           s.targetY[row + 1] - s.targetY[row]);
            if (from.isEmpty() || to.isEmpty())
                continue;
            // A copy of the slice alone: smooth scaling must not sample its neighbours.
            const QRect pixels(from.topLeft() * scale, from.size() * scale);
            painter.drawImage(QRectF(to), image.copy(pixels));
        }
    }
    painter.restore();
}

QBitmap frameMask(const Skin &skin, QSize size)
{
    const SkinPicture *mask = skin.picture(skin.frame.mask);
    if (!mask || size.isEmpty())
        return {};
    const QImage source = mask->image.convertToFormat(QImage::Format_Grayscale8);
    const NineSlices s = nineSlices(source.size(), skin.frame.face.slices, size);
    QImage outline(size, QImage::Format_Grayscale8);
    outline.fill(255);
    {
        QPainter painter(&outline);
        // Nearest pixels: a mask has no half-transparent edge to blend.
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                const QRect from(s.sourceX[column], s.sourceY[row],
                                 s.sourceX[column + 1] - s.sourceX[column],
                                 s.sourceY[row + 1] - s.sourceY[row]);
                const QRect to(s.targetX[column], s.targetY[row],
                               s.targetX[column + 1] - s.targetX[column],
                               s.targetY[row + 1] - s.targetY[row]);
                if (!from.isEmpty() && !to.isEmpty())
                    painter.drawImage(QRectF(to), source.copy(from));
            }
        }
    }
    // Black (dark) is inside; QBitmap takes dark pixels as set bits.
    return QBitmap::fromImage(outline.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither));
}

} // namespace orvane
