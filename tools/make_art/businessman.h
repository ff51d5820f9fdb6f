#pragma once

#include "tools/make_art/emoji_library.h"

#include <QPainter>
#include <QStringList>

// The smiling man in a suit on the left of the first page, with banknotes in
// one hand and a football on the other, lit to sit in the stadium scene.
QStringList businessmanEmoji();
void paintBusinessman(QPainter &painter, const EmojiLibrary &emoji, double scale);
