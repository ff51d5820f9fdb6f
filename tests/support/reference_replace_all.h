#pragma once

#include <QByteArray>

// ReplaceAll the slow, obvious way: after every replacement, search the whole
// text again from its start. Where the real one gives up searching again (the
// replacement holds the pattern, or more than 16 * (text size + 64)
// replacements), every occurrence of the original text is replaced from left
// to right instead.
namespace orvane::test {

inline QByteArray referenceReplaceAll(const QByteArray &text, const QByteArray &pattern,
                                      const QByteArray &replacement)
{
    if (text.isEmpty() || pattern.isEmpty())
        return text;
    if (!replacement.contains(pattern)) {
        const qsizetype budget = 16 * (text.size() + 64);
        QByteArray result = text;
        qsizetype steps = 0;
        for (qsizetype at = result.indexOf(pattern); at >= 0; at = result.indexOf(pattern)) {
            if (++steps > budget)
                break;
            QByteArray next = result.left(at);
            result = next.append(replacement).append(result.mid(at + pattern.size()));
        }
        if (steps <= budget)
            return result;
    }
    return QByteArray(text).replace(pattern, replacement);
}

} // namespace orvane::test
