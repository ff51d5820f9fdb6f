#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace orvane {

// Every occurrence of `pattern` replaced, searching again from the start after
// each replacement, so that replaced text that forms a new occurrence with its
// neighbours is replaced in turn. An empty text or pattern gives the text
// unchanged.
//
// Searching again would never end when the replacement holds the pattern, and
// can grow without end in other cases too (such as "ab" -> "bbaa"). Then, and
// whenever more than 16 * (text size + 64) replacements would be needed, the
// result is instead every occurrence in the original text replaced from left
// to right, without searching the inserted text again.
QByteArray ReplaceAll(QByteArrayView text, QByteArrayView pattern, QByteArrayView replacement);

} // namespace orvane
