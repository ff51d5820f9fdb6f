#pragma once

#include "tools/make_art/emoji_library.h"

#include <QImage>
#include <QStringList>

// The promotional picture of the login page, 800 x 600 logical pixels drawn
// at scale (1 or 2) output pixels per logical pixel.
QStringList firstPageEmoji();
QImage paintFirstPage(const EmojiLibrary &emoji, double scale);
