#include "table/cell_popup.h"

#include "table/forecast_columns.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace orvane {

namespace {
constexpr int kPopupPadding = 3;
}

CellPopupPlan planCellPopup(bool windowActive, const QRect &cell, const QRect &table,
                            bool fullTextColumn, int textWidth, bool hasHint)
{
    CellPopupPlan plan;
    if (!windowActive || !cell.isValid())
        return plan;
    if (fullTextColumn && cell.width() < textWidth + kTextFitSlack) {
        plan.kind = CellPopupPlan::FullText;
        const int width = std::min(textWidth + kTextFitSlack, table.width());
        // Over the cell from its left edge; pulled left only as far as keeps
        // it inside the table, which still covers the cell.
        const int left = std::max(table.left(), std::min(cell.left(), table.right() + 1 - width));
        plan.rect = QRect(left, cell.top(), width, cell.height());
    } else if (hasHint) {
        plan.kind = CellPopupPlan::Hint;
        plan.topLeft = QPoint(cell.right() + 1, cell.top() - kHintRise);
        plan.maxWidth = kHintMaxWidth;
    }
    return plan;
}

CellPopup::CellPopup(QWidget *owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
}

void CellPopup::showFullText(const QRect &cell, const QRect &rect, const QString &text,
                             const QFont &font)
{
    m_kind = CellPopupPlan::FullText;
    m_text = text;
    m_cell = cell;
    setFont(font);
    setGeometry(rect);
    update();
    show();
}

void CellPopup::showHint(const QRect &cell, const QPoint &topLeft, int maxWidth,
                         const QString &hint, const QFont &font)
{
    m_kind = CellPopupPlan::Hint;
    m_text = hint;
    m_cell = cell;
    setFont(font);
    const int frame = 1 + kPopupPadding;
    const QRect room(0, 0, maxWidth - 2 * frame, 1 << 20);
    const QFontMetrics metrics(font);
    m_wrap = Qt::TextWordWrap;
    QRect text = metrics.boundingRect(room, m_wrap, hint);
    if (text.width() > room.width()) { // a word longer than a line
        m_wrap = Qt::TextWrapAnywhere;
        text = metrics.boundingRect(room, m_wrap, hint);
    }
    setGeometry(QRect(topLeft, QSize(text.width() + 2 * frame, text.height() + 2 * frame)));
    update();
    show();
}

void CellPopup::dismiss()
{
    if (!isVisible())
        return;
    hide();
    emit dismissed();
}

bool CellPopup::event(QEvent *event)
{
    switch (event->type()) {
    // Where the platform lets the pointer reach the pop-up, the table below
    // no longer sees it move, so the pop-up watches the cell itself.
    case QEvent::Enter:
    case QEvent::Leave:
        if (!m_cell.contains(QCursor::pos()))
            dismiss();
        break;
    case QEvent::MouseMove:
        if (!m_cell.contains(static_cast<QMouseEvent *>(event)->globalPosition().toPoint()))
            dismiss();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        dismiss();
        return true;
    default:
        break;
    }
    return QWidget::event(event);
}

void CellPopup::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPalette &colors = palette();
    painter.fillRect(rect(), colors.color(QPalette::ToolTipBase));
    painter.setPen(colors.color(QPalette::ToolTipText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_kind == CellPopupPlan::FullText) {
        // The text stays where the cell drew it.
        const QRect area = rect().adjusted(kCellTextMargin, 0, -kCellTextMargin, 0);
        painter.drawText(
            area, int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine,
            fontMetrics().elidedText(m_text, Qt::ElideRight, area.width(), Qt::TextSingleLine));
    } else {
        const int frame = 1 + kPopupPadding;
        painter.drawText(rect().adjusted(frame, frame, -frame, -frame),
                         int(Qt::AlignLeft | Qt::AlignTop) | m_wrap, m_text);
    }
}

} // namespace orvane
