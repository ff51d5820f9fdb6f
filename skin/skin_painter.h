#pragma once

#include "skin/skin.h"

#include <QBitmap>
#include <QRect>

class QPainter;

namespace orvane {

// Draws `piece` of `skin` in `state` over `target`: the corners at their own
// size, the edges and the middle stretched. On a high-density device the 2x
// picture is used where the skin has one.
void drawSkinPiece(QPainter &painter, const Skin &skin, const SkinPiece &piece, SkinState state,
                   const QRect &target);

// Where the nine slices of a piece of `source` size with `slices` fall in a
// target of `target` size; the slices shrink in proportion when the target is
// smaller than they are. Columns then rows, each as [start, end) pairs.
struct NineSlices {
    std::array<int, 4> sourceX, sourceY, targetX, targetY;
};
NineSlices nineSlices(QSize source, const QMargins &slices, QSize target);

// The window's outline for an outer size of `size`: the frame's one-bit mask
// sliced as the frame picture is, black pixels inside.
QBitmap frameMask(const Skin &skin, QSize size);

} // namespace orvane
