#include "controls/password_box.h"

#include "controls/password_box_accessible.h"
#include "service/text_codec.h"
#include "skin/desktop_colors.h"
#include "skin/skin_style.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <QtMath>
#include <algorithm>

namespace orvane {
namespace {

constexpr int kPlainInset = 2; // the text area inside the plain frame
constexpr int kMarkerSideGap = 2;
constexpr int kMarkerTopGap = 2; // beyond the centring of the marker in its cell

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

PasswordBox::PasswordBox(QWidget *parent) : QWidget(parent)
{
    installPasswordBoxAccessibility();

    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
}

PasswordBox::~PasswordBox() = default;

void PasswordBox::setText(const QByteArray &text)
{
    m_text = text;
    m_caret = m_anchor = m_text.size();
    m_first = 0;
    scrollToCaret();
    restartBlink();
}

void PasswordBox::setCursorPosition(qsizetype position)
{
    moveCaret(position, false);
}

void PasswordBox::setSelection(qsizetype start, qsizetype length)
{
    m_anchor = std::clamp<qsizetype>(start, 0, m_text.size());
    moveCaret(start + length, true);
}

QSize PasswordBox::sizeHint() const
{
    return {150, 21};
}

QSize PasswordBox::minimumSizeHint() const
{
    return {2 * kPlainInset + cellWidth(), 21};
}

QVariant PasswordBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled:
        return false;
    case Qt::ImHints:
        return int(inputMethodHints());
    default:
        return {};
    }
}

const SkinElement *PasswordBox::element() const
{
    const auto *skinStyle = qobject_cast<const SkinStyle *>(style());
    return skinStyle ? skinStyle->elementOf(this) : nullptr;
}

QRect PasswordBox::textArea() const
{
    const SkinElement *skinned = element();
    if (skinned && skinned->piece())
        return rect().marginsRemoved(skinned->content);
    return rect().adjusted(kPlainInset, kPlainInset, -kPlainInset, -kPlainInset);
}

int PasswordBox::cellWidth() const
{
    return std::max(0, textArea().height()) / 2 + 3;
}

QColor PasswordBox::markerColor() const
{
    const QPalette &colours = palette();
    const SkinElement *skinned = element();
    if (!isEnabled()) {
        const QColor gray = systemColor(SystemColor::GrayText, colours);
        return skinned ? skinned->color("disabledcolor").value_or(gray) : gray;
    }
    const QColor text = systemColor(SystemColor::WindowText, colours);
    if (!skinned)
        return text;
    const QColor normal = skinned->color("color").value_or(text);
    if (hasFocus() || m_hovered)
        return skinned->color("activecolor").value_or(normal);
    return normal;
}

qsizetype PasswordBox::boundaryAt(qreal x) const
{
    const qreal cells = (x - textArea().left()) / cellWidth();
    return std::clamp<qsizetype>(m_first + qFloor(cells + 0.5), 0, m_text.size());
}

qsizetype PasswordBox::characterAt(qreal x) const
{
    const qreal cells = (x - textArea().left()) / cellWidth();
    return std::clamp<qsizetype>(m_first + qFloor(cells), 0, m_text.size() - 1);
}

qsizetype PasswordBox::wordStart(qsizetype position) const
{
    while (position > 0 && m_text[position - 1] == ' ')
        --position;
    while (position > 0 && m_text[position - 1] != ' ')
        --position;
    return position;
}

qsizetype PasswordBox::wordEnd(qsizetype position) const
{
    while (position < m_text.size() && m_text[position] != ' ')
        ++position;
    while (position < m_text.size() && m_text[position] == ' ')
        ++position;
    return position;
}

void PasswordBox::moveCaret(qsizetype position, bool extend)
{
    m_caret = std::clamp<qsizetype>(position, 0, m_text.size());
    if (!extend)
        m_anchor = m_caret;
    scrollToCaret();
    restartBlink();
}

void PasswordBox::replaceSelection(const QByteArray &bytes)
{
    const qsizetype start = selectionStart();
    const qsizetype length = selectionLength();
    const bool changed = length > 0 || !bytes.isEmpty();
    m_text.replace(start, length, bytes);
    m_caret = m_anchor = start + bytes.size();
    scrollToCaret();
    restartBlink();
    if (changed)
        emit textEdited();
}

void PasswordBox::insertTyped(const QString &typed)
{
    // Nothing left to insert leaves the selection as it was.
    const QString kept = withoutControls(typed);
    if (!kept.isEmpty())
        replaceSelection(toCp1251(kept));
}

void PasswordBox::scrollToCaret()
{
    const int width = textArea().width();
    // How many cells from the first one the caret may stand and still be inside.
    const qsizetype reach = width > 0 ? (width - 1) / cellWidth() : 0;
    m_first = std::min(m_first, std::max<qsizetype>(0, m_text.size() - reach));
    if (m_caret < m_first)
        m_first = m_caret;
    else if (m_caret - m_first > reach)
        m_first = m_caret - reach;
}

void PasswordBox::restartBlink()
{
    m_caretShown = hasFocus();
    const int flashTime = QGuiApplication::styleHints()->cursorFlashTime();
    if (m_caretShown && flashTime > 0)
        m_blink.start(std::max(1, flashTime / 2), this);
    else
        m_blink.stop();
    update();
}

PasswordBox::KeyAction PasswordBox::actionFor(const QKeyEvent &event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const bool control = modifiers & Qt::ControlModifier;
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool alt = modifiers & (Qt::AltModifier | Qt::MetaModifier);
    switch (event.key()) {
    case Qt::Key_Left:
        return control ? KeyAction::WordLeft : KeyAction::Left;
    case Qt::Key_Right:
        return control ? KeyAction::WordRight : KeyAction::Right;
    case Qt::Key_Home:
        return KeyAction::Home;
    case Qt::Key_End:
        return KeyAction::End;
    case Qt::Key_Backspace:
        return KeyAction::Backspace;
    case Qt::Key_Delete:
        // Shift+Delete cuts elsewhere; a cut that kept nothing would lose the
        // selection, so it does nothing at all.
        return shift ? KeyAction::Swallow : KeyAction::Delete;
    case Qt::Key_Insert:
        if (shift && !control)
            return KeyAction::Paste;
        return control ? KeyAction::Swallow : KeyAction::None; // Ctrl+Insert copies elsewhere
    case Qt::Key_V:
        if (control && !shift && !alt)
            return KeyAction::Paste;
        break;
    case Qt::Key_C:
    case Qt::Key_X:
        if (control && !alt)
            return KeyAction::Swallow;
        break;
    default:
        break;
    }
    // Ctrl with a letter is the window's shortcut; Ctrl+Alt is AltGr and types.
    // Return, Enter and Escape type control characters, so they are the window's too.
    if (control && !(modifiers & Qt::AltModifier))
        return KeyAction::None;
    const QString typed = event.text();
    const bool printable =
        std::any_of(typed.cbegin(), typed.cend(), [](QChar c) { return c.unicode() >= 32; });
    return printable ? KeyAction::Type : KeyAction::None;
}

bool PasswordBox::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (actionFor(*key) != KeyAction::None) {
            key->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void PasswordBox::keyPressEvent(QKeyEvent *event)
{
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    switch (actionFor(*event)) {
    case KeyAction::None:
        event->ignore();
        return;
    case KeyAction::Swallow:
        break;
    case KeyAction::Left:
        moveCaret(m_caret - 1, extend);
        break;
    case KeyAction::Right:
        moveCaret(m_caret + 1, extend);
        break;
    case KeyAction::WordLeft:
        moveCaret(wordStart(m_caret), extend);
        break;
    case KeyAction::WordRight:
        moveCaret(wordEnd(m_caret), extend);
        break;
    case KeyAction::Home:
        moveCaret(0, extend);
        break;
    case KeyAction::End:
        moveCaret(m_text.size(), extend);
        break;
    case KeyAction::Backspace:
        if (selectionLength() == 0 && m_caret > 0)
            m_anchor = m_caret - 1;
        replaceSelection({});
        break;
    case KeyAction::Delete:
        if (selectionLength() == 0 && m_caret < m_text.size())
            m_anchor = m_caret + 1;
        replaceSelection({});
        break;
    case KeyAction::Paste:
        if (const QClipboard *clipboard = QGuiApplication::clipboard())
            insertTyped(clipboard->text());
        break;
    case KeyAction::Type:
        insertTyped(event->text());
        break;
    }
    event->accept();
}

void PasswordBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    frame.state.setFlag(QStyle::State_MouseOver, m_hovered && isEnabled());
    // With a skin element this is its face picture in the box's state.
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);

    const QRect area = textArea();
    const int h = area.height();
    const int w = cellWidth();
    const int inset = (h - w) / 2 + kMarkerTopGap;
    const QRect marker(area.left() + kMarkerSideGap, area.top() + inset, w - 2 * kMarkerSideGap,
                       h - 2 * inset);
    const QColor ink = markerColor();
    const QColor highlight = systemColor(SystemColor::Highlight, palette());
    const QColor highlightText = systemColor(SystemColor::HighlightText, palette());
    const bool showSelection = hasFocus() && selectionLength() > 0;
    const qsizetype selectedFrom = selectionStart();
    const qsizetype selectedTo = selectedFrom + selectionLength();
    const qreal radius = marker.width() / 4.0; // corners half the marker's width across

    painter.setClipRect(area);
    painter.setRenderHint(QPainter::Antialiasing);
    for (qsizetype cell = 0; m_first + cell < m_text.size() && (cell + 1) * w <= area.width();
         ++cell) {
        const qsizetype index = m_first + cell;
        const int x = int(cell * w);
        const bool selected = showSelection && index >= selectedFrom && index < selectedTo;
        if (selected)
            painter.fillRect(QRect(area.left() + x, area.top(), w, h), highlight);
        if (marker.isEmpty())
            continue;
        // Filled and outlined in one colour: the rounded rectangle itself, exactly.
        QPainterPath path;
        path.addRoundedRect(QRectF(marker.translated(x, 0)), radius, radius);
        painter.fillPath(path, selected ? highlightText : ink);
    }
    if (m_caretShown && hasFocus()) {
        const int x = area.left() + int((m_caret - m_first) * w);
        painter.fillRect(QRect(x, area.top(), 1, h), ink);
    }
}

void PasswordBox::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    if (!hasFocus())
        setFocus(Qt::MouseFocusReason);
    m_selecting = true;
    moveCaret(boundaryAt(event->position().x()), false);
}

void PasswordBox::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (m_selecting && (event->buttons() & Qt::LeftButton))
        moveCaret(boundaryAt(event->position().x()), true);
}

void PasswordBox::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_selecting = false;
}

void PasswordBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton || m_text.isEmpty())
        return;
    // The run of characters around the one under the pointer: spaces, or no spaces.
    const qsizetype at = characterAt(event->position().x());
    const bool space = m_text[at] == ' ';
    qsizetype start = at;
    while (start > 0 && (m_text[start - 1] == ' ') == space)
        --start;
    qsizetype end = at + 1;
    while (end < m_text.size() && (m_text[end] == ' ') == space)
        ++end;
    m_anchor = start;
    moveCaret(end, true);
}

void PasswordBox::focusInEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason) {
        // The next typed character replaces the whole password.
        m_anchor = 0;
        m_caret = m_text.size();
        scrollToCaret();
    }
    restartBlink();
    QWidget::focusInEvent(event);
}

void PasswordBox::focusOutEvent(QFocusEvent *event)
{
    m_selecting = false;
    restartBlink();
    QWidget::focusOutEvent(event);
}

void PasswordBox::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QWidget::enterEvent(event);
}

void PasswordBox::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QWidget::leaveEvent(event);
}

void PasswordBox::resizeEvent(QResizeEvent *event)
{
    scrollToCaret();
    QWidget::resizeEvent(event);
}

void PasswordBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::StyleChange)
        scrollToCaret();
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::StyleChange)
        update();
    QWidget::changeEvent(event);
}

void PasswordBox::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_blink.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_caretShown = !m_caretShown;
    update();
}

} // namespace orvane
