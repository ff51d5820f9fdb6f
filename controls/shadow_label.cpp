#include "shadow_label.h"

#include "soft_shadow.h"

#include <QEvent>
#include <QPainter>

namespace orvane {
namespace {
constexpr int kShadowRoom = 3; // beyond the text, right and below
} // namespace

ShadowLabel::ShadowLabel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void ShadowLabel::setText(const QString &text)
{
    m_text = text;
    resize(sizeHint());
    update();
}

QSize ShadowLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(m_text) + kShadowRoom, metrics.height() + kShadowRoom};
}

void ShadowLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        resize(sizeHint());
    QWidget::changeEvent(event);
}

void ShadowLabel::paintEvent(QPaintEvent *)
{
    if (m_capturing || !parentWidget())
        return;
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();

    // 1. What lies beneath, drawn without this label.
    QImage beneath(pixels, QImage::Format_RGB32);
    beneath.setDevicePixelRatio(ratio);
    beneath.fill(palette().color(QPalette::Window));
    m_capturing = true;
    parentWidget()->render(&beneath, QPoint(), QRegion(geometry()),
                           QWidget::DrawWindowBackground | QWidget::DrawChildren);
    m_capturing = false;

    // 2. The text in black, offset by 1 and by 2, into a white mask.
    const QRect textRect(0, 0, width() - kShadowRoom, height() - kShadowRoom);
    QImage mask(pixels, QImage::Format_RGB32);
    mask.setDevicePixelRatio(ratio);
    mask.fill(Qt::white);
    {
        QPainter painter(&mask);
        painter.setFont(font());
        painter.setPen(Qt::black);
        for (const int offset : {1, 2})
            painter.drawText(textRect.translated(offset, offset), Qt::AlignLeft | Qt::AlignTop,
                             m_text);
    }

    // 3. Darken and soften; 4. the text on top in its own colour.
    QImage picture = softShadow(beneath, mask);
    {
        QPainter painter(&picture);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, m_text);
    }
    QPainter(this).drawImage(QPoint(0, 0), picture);
}

} // namespace orvane
