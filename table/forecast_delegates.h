#pragma once

#include <QAbstractItemDelegate>

namespace orvane {

// A cell of the forecast table as its model's roles describe it: background,
// text in the column's font, ink and alignment, cut with an ellipsis where it
// does not fit, and the grid lines. While its row is selected and the table
// has the keyboard focus, the cell takes the selection colours instead.
class ForecastTextDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

// A cell of the flag column: its decoration centred over the background; an
// empty cell where the model has no picture.
class ForecastFlagDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

} // namespace orvane
