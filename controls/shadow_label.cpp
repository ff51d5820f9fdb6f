#include "controls/shadow_label.h"

#include "controls/drawn_label_accessible.h"
#include "controls/soft_shadow.h"

#include <QEvent>
#include <QPainter>

namespace orvane {
namespace {
constexpr int kShadowRoom = 3; // beyond the text, right and below
} // namespace

ShadowLabel::ShadowLabel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent); // it paints every pixel itself
    installDrawnLabelAccessibility();
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

void ShadowLabel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    backdropChanged();
}

void ShadowLabel::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (isVisible())
        backdropChanged();
}

void ShadowLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (isVisible())
        backdropChanged();
}

void ShadowLabel::backdropChanged()
{
    m_beneath = copyBeneath();
    update();
}

// The parent's own drawing and the siblings below this label, never this
// label itself, so no drawing recurses into it.
QImage ShadowLabel::copyBeneath() const
{
    QWidget *parent = parentWidget();
    const qreal ratio = devicePixelRatioF();
    QImage beneath((QSizeF(size()) * ratio).toSize(), QImage::Format_RGB32);
    beneath.setDevicePixelRatio(ratio);
    beneath.fill(parent ? parent->palette().color(QPalette::Window) : QColor(Qt::white));
    if (!parent)
        return beneath;
    const QRect place = geometry();
    parent->render(&beneath, QPoint(), QRegion(place), QWidget::DrawWindowBackground);
    for (QObject *child : parent->children()) {
        if (child == this)
            break;
        auto *sibling = qobject_cast<QWidget *>(child);
        if (!sibling || sibling->isWindow() || !sibling->isVisibleTo(parent))
            continue;
        const QRect overlap = place.intersected(sibling->geometry());
        if (overlap.isEmpty())
            continue;
        sibling->render(&beneath, overlap.topLeft() - place.topLeft(),
                        QRegion(overlap.translated(-sibling->pos())),
                        QWidget::DrawWindowBackground | QWidget::DrawChildren);
    }
    return beneath;
}

void ShadowLabel::paintEvent(QPaintEvent *)
{
    if (m_beneath.isNull() || m_beneath.devicePixelRatio() != devicePixelRatioF())
        m_beneath = copyBeneath();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();

    // The text in black, offset by 1 and by 2, into a white mask.
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

    // Darken and soften what lies beneath; then the text on top in its own colour.
    QImage picture = softShadow(m_beneath, mask);
    {
        QPainter painter(&picture);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, m_text);
    }
    QPainter(this).drawImage(QPoint(0, 0), picture);
}

} // namespace orvane
