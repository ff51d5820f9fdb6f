#pragma once

#include <QFont>
#include <QStringView>

namespace orvane {

// A font as the window definition gives it: a family name and a height in the
// desktop's convention. A negative height is the em in pixels; a positive one
// is the height of the character cell (ascent plus descent of the font's
// Windows metrics), so the em is the largest whole size whose cell does not
// exceed it. "Arial" and "MS Sans Serif" resolve to the bundled family by name,
// even where the machine has fonts of those names.
QFont desktopFont(QStringView family, int height, bool bold = false);

// The em in pixels that `height` gives for `font`'s face.
int emPixelsForHeight(const QFont &font, int height);

} // namespace orvane
