#include "skin/caption_button.h"

#include "skin/skin_painter.h"

#include <QEvent>
#include <QPainter>
#include <QPen>
#include <QStyleOptionToolButton>

namespace orvane {
namespace {
constexpr QSize kPlainSize(18, 16);
}

CaptionButton::CaptionButton(QStyle::StandardPixmap plainIcon, QWidget *parent)
    : QAbstractButton(parent), m_plainIcon(plainIcon)
{
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    resize(sizeHint());
}

void CaptionButton::setSkinPiece(std::shared_ptr<const Skin> skin, const SkinPiece *piece)
{
    m_skin = piece ? std::move(skin) : nullptr;
    m_piece = piece;
    resize(sizeHint());
    update();
}

void CaptionButton::resetState()
{
    setDown(false);
    setAttribute(Qt::WA_UnderMouse, false);
    update();
}

QSize CaptionButton::sizeHint() const
{
    return m_piece ? m_piece->size() : kPlainSize;
}

SkinState CaptionButton::state() const
{
    if (!isEnabled())
        return SkinState::Disabled;
    if (isDown())
        return SkinState::Pressed;
    if (underMouse())
        return SkinState::Hovered;
    return SkinState::Normal;
}

void CaptionButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_piece && m_skin) {
        drawSkinPiece(painter, *m_skin, *m_piece, state(), rect());
        return;
    }
    QStyleOptionToolButton option;
    option.initFrom(this);
    option.state |= QStyle::State_AutoRaise;
    if (isDown())
        option.state |= QStyle::State_Sunken;
    if (underMouse())
        option.state |= QStyle::State_MouseOver | QStyle::State_Raised;
    if (option.state & (QStyle::State_Sunken | QStyle::State_MouseOver))
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter, this);
    if (m_plainIcon == QStyle::SP_TitleBarMenuButton) {
        // Three short lines: the style's own menu icon would be its maker's logo.
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1));
        const int left = (width() - 8) / 2;
        const int top = (height() - 7) / 2;
        for (int line = 0; line < 3; ++line)
            painter.drawLine(left, top + 3 * line, left + 7, top + 3 * line);
        return;
    }
    const QIcon icon = style()->standardIcon(m_plainIcon, &option, this);
    const QSize iconSize(12, 12);
    icon.paint(&painter,
               QRect(QPoint((width() - iconSize.width()) / 2, (height() - iconSize.height()) / 2),
                     iconSize));
}

bool CaptionButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
    case QEvent::WhatsThis:
        return true; // caption buttons show no tips
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
        update();
        break;
    default:
        break;
    }
    return QAbstractButton::event(event);
}

} // namespace orvane
