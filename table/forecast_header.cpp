#include "table/forecast_header.h"

#include "table/forecast_columns.h"

#include <QFontMetrics>
#include <QIcon>
#include <QPainter>

namespace orvane {

std::optional<QRect> sortMarkRect(const QRect &section, int contentRight)
{
    // Inside the section's lines, with a margin before the right one.
    const int left = contentRight + kSortMarkGap;
    if (left + kSortMarkWidth > section.right() - kCellTextMargin)
        return std::nullopt;
    const int top = section.top() + (section.height() - 1 - kSortMarkHeight) / 2;
    return QRect(left, top, kSortMarkWidth, kSortMarkHeight);
}

ForecastHeader::ForecastHeader(QWidget *parent) : QHeaderView(Qt::Horizontal, parent) {}

void ForecastHeader::setSortMark(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_order = order;
    viewport()->update();
}

QSize ForecastHeader::sizeHint() const
{
    return {length(), kHeaderHeight};
}

QSize ForecastHeader::sectionSizeFromContents(int logicalIndex) const
{
    const QAbstractItemModel *source = model();
    if (!source)
        return {0, kHeaderHeight};
    const auto role = [&](int r) {
        return source->headerData(logicalIndex, orientation(), r);
    };
    if (!role(Qt::DecorationRole).value<QIcon>().isNull())
        return {kFlagSize + kTextFitSlack, kHeaderHeight};
    const QFontMetrics metrics(role(Qt::FontRole).value<QFont>());
    return {metrics.horizontalAdvance(role(Qt::DisplayRole).toString()) + kTextFitSlack,
            kHeaderHeight};
}

void ForecastHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    const QAbstractItemModel *source = model();
    if (!source)
        return;
    const auto role = [&](int r) {
        return source->headerData(logicalIndex, orientation(), r);
    };

    painter->save();
    painter->fillRect(rect, role(Qt::BackgroundRole).value<QBrush>());
    painter->setPen(systemColor(kHeaderLineColor, palette()));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());

    const QRect inner = rect.adjusted(0, 0, -1, -1);
    const QColor ink = role(Qt::ForegroundRole).value<QBrush>().color();
    int contentRight;
    if (const QIcon picture = role(Qt::DecorationRole).value<QIcon>(); !picture.isNull()) {
        const QPixmap pixmap =
            picture.pixmap(QSize(kFlagSize, kFlagSize), painter->device()->devicePixelRatio());
        const QSize size = pixmap.deviceIndependentSize().toSize();
        const QPoint at(inner.left() + (inner.width() - size.width()) / 2,
                        inner.top() + (inner.height() - size.height()) / 2);
        painter->drawPixmap(at, pixmap);
        contentRight = at.x() + size.width();
    } else {
        const QString caption = role(Qt::DisplayRole).toString();
        const QFont font = role(Qt::FontRole).value<QFont>();
        const int width = QFontMetrics(font).horizontalAdvance(caption);
        const int left = inner.left() + (inner.width() - width) / 2;
        painter->setFont(font);
        painter->setPen(ink);
        painter->drawText(QRect(left, inner.top(), width, inner.height()),
                          int(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine, caption);
        contentRight = left + width;
    }

    if (logicalIndex == m_sortColumn) {
        if (const std::optional<QRect> mark = sortMarkRect(rect, contentRight)) {
            const QRectF box(*mark);
            const bool up = m_order == Qt::AscendingOrder;
            const QPointF tip(box.center().x(), up ? box.top() : box.bottom());
            const qreal base = up ? box.bottom() : box.top();
            const QPointF points[3] = {tip, {box.left(), base}, {box.right(), base}};
            painter->setRenderHint(QPainter::Antialiasing);
            painter->setPen(Qt::NoPen);
            painter->setBrush(ink);
            painter->drawPolygon(points, 3);
        }
    }
    painter->restore();
}

} // namespace orvane
