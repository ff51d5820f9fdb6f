#include "controls/password_box.h"

#include "controls/password_box_accessible.h"
#include "skin/desktop_colors.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyleHints>
#include <QStyleOptionFrame>
#include <algorithm>

namespace orvane {
namespace {

constexpr int kPlainInset = 2; // the text area inside the plain frame
constexpr int kMarkerSideGap = 2;
constexpr int kMarkerTopGap = 2; // beyond the centring of the marker in its cell

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
    fit();
    m_line.setText(text);
    restartBlink();
}

void PasswordBox::setCursorPosition(qsizetype position)
{
    fit();
    m_line.moveTo(position, false);
    restartBlink();
}

void PasswordBox::setSelection(qsizetype start, qsizetype length)
{
    fit();
    m_line.select(start, length);
    restartBlink();
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

// The style hands a skinned box its inner area as a line edit's contents and
// its colours in the palette.
QRect PasswordBox::textArea() const
{
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = kPlainInset;
    return style()->subElementRect(QStyle::SE_LineEditContents, &frame, this);
}

int PasswordBox::cellWidth() const
{
    return std::max(0, textArea().height()) / 2 + 3;
}

QColor PasswordBox::markerColor() const
{
    if (!isEnabled())
        return systemColor(SystemColor::GrayText, palette());
    const bool active = hasFocus() || m_hovered;
    return palette().color(active ? QPalette::Active : QPalette::Inactive, QPalette::WindowText);
}

void PasswordBox::fit()
{
    const int width = textArea().width();
    m_line.setReach(width > 0 ? (width - 1) / cellWidth() : 0);
}

qreal PasswordBox::cellsAt(qreal x) const
{
    return (x - textArea().left()) / cellWidth();
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

bool PasswordBox::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (PasswordLine::keyOf(*key) != PasswordLine::Key::None) {
            key->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void PasswordBox::keyPressEvent(QKeyEvent *event)
{
    fit();
    const auto clipboard = [] {
        const QClipboard *board = QGuiApplication::clipboard();
        return board ? board->text() : QString();
    };
    const PasswordLine::KeyOutcome outcome = m_line.key(*event, clipboard);
    if (!outcome.taken) {
        event->ignore();
        return;
    }
    restartBlink();
    event->accept();
    if (outcome.edited)
        emit textEdited();
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
    const qsizetype first = m_line.first();
    for (qsizetype cell = 0; first + cell < m_line.text().size() && (cell + 1) * w <= area.width();
         ++cell) {
        const qsizetype index = first + cell;
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
        const int x = area.left() + int((m_line.caret() - first) * w);
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
    fit();
    m_line.press(cellsAt(event->position().x()));
    restartBlink();
}

void PasswordBox::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_selecting || !(event->buttons() & Qt::LeftButton))
        return;
    m_line.drag(cellsAt(event->position().x()));
    restartBlink();
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
    if (event->button() != Qt::LeftButton || m_line.text().isEmpty())
        return;
    m_line.selectWordAt(cellsAt(event->position().x()));
    restartBlink();
}

void PasswordBox::focusInEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
        reason == Qt::ShortcutFocusReason) {
        // The next typed character replaces the whole password.
        fit();
        m_line.selectAll();
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
    fit();
    QWidget::resizeEvent(event);
}

void PasswordBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::StyleChange)
        fit();
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
