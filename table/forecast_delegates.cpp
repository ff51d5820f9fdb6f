#include "table/forecast_delegates.h"

#include "table/forecast_columns.h"

#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QWidget>

namespace orvane {

namespace {

// The selection shows only while the table has the keyboard focus.
bool drawnSelected(const QStyleOptionViewItem &option)
{
    return (option.state & QStyle::State_Selected) && option.widget && option.widget->hasFocus();
}

// Background and grid lines of one cell; returns the area inside the lines.
QRect paintCellFrame(QPainter *painter, const QStyleOptionViewItem &option,
                     const QModelIndex &index, bool selected)
{
    const QRect cell = option.rect;
    const QRect inner = cell.adjusted(0, 0, -1, -1);
    const QBrush background = selected ? QBrush(QColor::fromRgb(kSelectedBackground))
                                       : index.data(Qt::BackgroundRole).value<QBrush>();
    painter->fillRect(inner, background);
    painter->setPen(systemColor(kCellLineColor, option.palette));
    painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    return inner;
}

} // namespace

void ForecastTextDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    painter->save();
    const bool selected = drawnSelected(option);
    const QRect inner = paintCellFrame(painter, option, index, selected);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        const QFont font = index.data(Qt::FontRole).value<QFont>();
        const QFontMetrics metrics(font);
        const auto alignment = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
        const QRect area = inner.adjusted(kCellTextMargin, 0, -kCellTextMargin, 0);
        painter->setClipRect(inner);
        painter->setFont(font);
        painter->setPen(selected ? systemColor(SystemColor::HighlightText, option.palette)
                                 : index.data(Qt::ForegroundRole).value<QBrush>().color());
        // No mnemonic flag: "&" stays an ampersand.
        painter->drawText(
            area, int(alignment) | Qt::TextSingleLine,
            metrics.elidedText(text, Qt::ElideRight, area.width(), Qt::TextSingleLine));
    }
    painter->restore();
}

QSize ForecastTextDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const
{
    const QFontMetrics metrics(index.data(Qt::FontRole).value<QFont>());
    return {metrics.horizontalAdvance(index.data(Qt::DisplayRole).toString()) + kTextFitSlack,
            kRowHeight};
}

void ForecastFlagDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    painter->save();
    const QRect inner = option.rect.adjusted(0, 0, -1, -1);
    paintCellFrame(painter, option, index, drawnSelected(option));
    const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
    if (!icon.isNull()) {
        const QPixmap flag =
            icon.pixmap(QSize(kFlagSize, kFlagSize), painter->device()->devicePixelRatio());
        const QSize size = flag.deviceIndependentSize().toSize();
        painter->setClipRect(inner); // the lines stay unbroken
        painter->drawPixmap(inner.left() + (inner.width() - size.width()) / 2,
                            inner.top() + (inner.height() - size.height()) / 2, flag);
    }
    painter->restore();
}

QSize ForecastFlagDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return {kFlagSize + kTextFitSlack, kRowHeight};
}

} // namespace orvane
