#pragma once

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <cmath>
#include <functional>

class QKeyEvent;

namespace orvane {

// The password box's editing state without a widget: the 8-bit text, the caret
// and the anchor of the selection, and the first character shown in the box.
// Positions on screen come in cells from the left edge of the text area; the
// box tells the line how many cells it shows, and the line keeps the caret
// inside them.
class PasswordLine {
public:
    // What a key does to the line. None leaves the key to the window.
    enum class Key {
        None,
        Swallow,
        Left,
        Right,
        WordLeft,
        WordRight,
        Home,
        End,
        Backspace,
        Delete,
        Paste,
        Type,
    };
    struct KeyOutcome {
        bool taken = false;  // the line's key: the window must not see it
        bool edited = false; // the user changed the text (or deleted a selection)
    };

    static Key keyOf(const QKeyEvent &event);

    const QByteArray &text() const { return m_text; }
    qsizetype caret() const { return m_caret; }
    qsizetype anchor() const { return m_anchor; }
    qsizetype first() const { return m_first; }
    qsizetype selectionStart() const { return std::min(m_anchor, m_caret); }
    qsizetype selectionLength() const { return std::max(m_anchor, m_caret) - selectionStart(); }

    // Replaces the text whole: the caret goes to its end, nothing is selected.
    void setText(const QByteArray &text);
    // How many cells past the first one the caret may stand and still be seen.
    void setReach(qsizetype reach);
    void moveTo(qsizetype position, bool extend);
    // Selects `length` characters from `start`, with the caret at their end.
    void select(qsizetype start, qsizetype length);
    // The whole text, the caret at its end: the next typed character replaces it.
    void selectAll() { select(0, m_text.size()); }

    // `clipboard` is read only when the key pastes.
    KeyOutcome key(const QKeyEvent &event, const std::function<QString()> &clipboard);
    // Typed or pasted text: characters below code 32 are dropped, and nothing
    // left to insert leaves the selection as it was. Returns whether it edited.
    bool insert(const QString &typed);

    // The pointer, `cells` from the text area's left edge: a press puts the
    // caret before the cell under it, a drag moves it to the nearest boundary.
    void press(qreal cells) { moveTo(m_first + qsizetype(std::floor(cells)), false); }
    void drag(qreal cells) { moveTo(m_first + qsizetype(std::floor(cells + 0.5)), true); }
    // The run of spaces, or of other characters, around the one under the pointer.
    void selectWordAt(qreal cells);

private:
    qsizetype wordStart(qsizetype position) const;
    qsizetype wordEnd(qsizetype position) const;
    bool replaceSelection(const QByteArray &bytes);
    void scrollToCaret();

    QByteArray m_text;
    qsizetype m_caret = 0;
    qsizetype m_anchor = 0;
    qsizetype m_first = 0;
    qsizetype m_reach = 0;
};

} // namespace orvane
