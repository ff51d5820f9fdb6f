#include "controls/link_label.h"

#include "controls/drawn_label_accessible.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace orvane {
namespace {
const QColor kPlainHover(0, 0, 255);
} // namespace

LinkLabel::LinkLabel(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    installDrawnLabelAccessibility();
    // The hover colour without a skin; a skinned style hands its own as the link colour.
    QPalette colours = palette();
    colours.setColor(QPalette::Link, kPlainHover);
    setPalette(colours);
}

void LinkLabel::setText(const QString &text)
{
    m_text = text;
    resize(sizeHint());
    update();
}

QFont LinkLabel::underlined() const
{
    QFont result = font();
    result.setUnderline(true);
    return result;
}

QSize LinkLabel::sizeHint() const
{
    const QFontMetrics metrics(underlined());
    return {metrics.horizontalAdvance(m_text), metrics.height()};
}

QColor LinkLabel::normalColor() const
{
    return palette().color(QPalette::WindowText);
}

QColor LinkLabel::hoverColor() const
{
    return palette().color(QPalette::Link);
}

void LinkLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setFont(underlined());
    painter.setPen(m_hovered ? hoverColor() : normalColor());
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QWidget::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QWidget::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    if (click)
        open();
    QWidget::mouseReleaseEvent(event);
}

void LinkLabel::open()
{
    if (!m_target.isEmpty() && m_opener)
        m_opener(QUrl::fromUserInput(m_target));
}

void LinkLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        resize(sizeHint());
    QWidget::changeEvent(event);
}

} // namespace orvane
