#include "controls/password_line.h"

#include "service/text_codec.h"

#include <QKeyEvent>

namespace orvane {
namespace {

// Characters below code 32 neither type nor paste: a pasted line break would
// split the saved-login file.
QString withoutControls(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() >= 32)
            kept.append(c);
    }
    return kept;
}

} // namespace

PasswordLine::Key PasswordLine::keyOf(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool control = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool alt = modifiers & (Qt::AltModifier | Qt::MetaModifier);
    switch (event.key()) {
    case Qt::Key_Left:
        return control ? Key::WordLeft : Key::Left;
    case Qt::Key_Right:
        return control ? Key::WordRight : Key::Right;
    case Qt::Key_Home:
        return Key::Home;
    case Qt::Key_End:
        return Key::End;
    case Qt::Key_Backspace:
        return Key::Backspace;
    case Qt::Key_Delete:
        // Shift+Delete cuts elsewhere; a cut that kept nothing would lose the
        // selection, so it does nothing at all.
        return shift ? Key::Swallow : Key::Delete;
    case Qt::Key_Insert:
        if (shift && !control)
            return Key::Paste;
        return control ? Key::Swallow : Key::None; // Ctrl+Insert copies elsewhere
    case Qt::Key_V:
        if (control && !shift && !alt)
            return Key::Paste;
        break;
    case Qt::Key_C:
    case Qt::Key_X:
        if (control && !alt)
            return Key::Swallow;
        break;
    default:
        break;
    }
    // Ctrl with a letter is the window's shortcut; Ctrl+Alt is AltGr and types.
    // Return, Enter and Escape type control characters, so they are the window's too.
    if (control && !(modifiers & Qt::AltModifier))
        return Key::None;
    const QString typed = event.text();
    const bool printable =
        std::any_of(typed.cbegin(), typed.cend(), [](QChar c) { return c.unicode() >= 32; });
    return printable ? Key::Type : Key::None;
}

void PasswordLine::setText(const QByteArray &text)
{
    m_text = text;
    m_caret = m_anchor = m_text.size();
    m_first = 0;
    scrollToCaret();
}

void PasswordLine::setReach(qsizetype reach)
{
    m_reach = std::max<qsizetype>(0, reach);
    scrollToCaret();
}

void PasswordLine::moveTo(qsizetype position, bool extend)
{
    m_caret = std::clamp<qsizetype>(position, 0, m_text.size());
    if (!extend)
        m_anchor = m_caret;
    scrollToCaret();
}

void PasswordLine::select(qsizetype start, qsizetype length)
{
    m_anchor = std::clamp<qsizetype>(start, 0, m_text.size());
    moveTo(start + length, true);
}

PasswordLine::KeyOutcome PasswordLine::key(const QKeyEvent &event,
                                           const std::function<QString()> &clipboard)
{
    const bool extend = event.modifiers() & Qt::ShiftModifier;
    bool edited = false;
    switch (keyOf(event)) {
    case Key::None:
        return {};
    case Key::Swallow:
        break;
    case Key::Left:
        moveTo(m_caret - 1, extend);
        break;
    case Key::Right:
        moveTo(m_caret + 1, extend);
        break;
    case Key::WordLeft:
        moveTo(wordStart(m_caret), extend);
        break;
    case Key::WordRight:
        moveTo(wordEnd(m_caret), extend);
        break;
    case Key::Home:
        moveTo(0, extend);
        break;
    case Key::End:
        moveTo(m_text.size(), extend);
        break;
    case Key::Backspace:
        if (selectionLength() == 0 && m_caret > 0)
            m_anchor = m_caret - 1;
        edited = replaceSelection({});
        break;
    case Key::Delete:
        if (selectionLength() == 0 && m_caret < m_text.size())
            m_anchor = m_caret + 1;
        edited = replaceSelection({});
        break;
    case Key::Paste:
        edited = insert(clipboard ? clipboard() : QString());
        break;
    case Key::Type:
        edited = insert(event.text());
        break;
    }
    return {true, edited};
}

bool PasswordLine::insert(const QString &typed)
{
    const QString kept = withoutControls(typed);
    return !kept.isEmpty() && replaceSelection(toCp1251(kept));
}

void PasswordLine::selectWordAt(qreal cells)
{
    if (m_text.isEmpty())
        return;
    const qsizetype at =
        std::clamp<qsizetype>(m_first + qsizetype(std::floor(cells)), 0, m_text.size() - 1);
    const bool space = m_text[at] == ' ';
    qsizetype start = at;
    while (start > 0 && (m_text[start - 1] == ' ') == space)
        --start;
    qsizetype end = at + 1;
    while (end < m_text.size() && (m_text[end] == ' ') == space)
        ++end;
    select(start, end - start);
}

qsizetype PasswordLine::wordStart(qsizetype position) const
{
    while (position > 0 && m_text[position - 1] == ' ')
        --position;
    while (position > 0 && m_text[position - 1] != ' ')
        --position;
    return position;
}

qsizetype PasswordLine::wordEnd(qsizetype position) const
{
    while (position < m_text.size() && m_text[position] != ' ')
        ++position;
    while (position < m_text.size() && m_text[position] == ' ')
        ++position;
    return position;
}

bool PasswordLine::replaceSelection(const QByteArray &bytes)
{
    const qsizetype start = selectionStart();
    const qsizetype length = selectionLength();
    m_text.replace(start, length, bytes);
    m_caret = m_anchor = start + bytes.size();
    scrollToCaret();
    return length > 0 || !bytes.isEmpty();
}

void PasswordLine::scrollToCaret()
{
    m_first = std::min(m_first, std::max<qsizetype>(0, m_text.size() - m_reach));
    if (m_caret < m_first)
        m_first = m_caret;
    else if (m_caret - m_first > m_reach)
        m_first = m_caret - m_reach;
}

} // namespace orvane
