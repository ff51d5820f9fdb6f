#pragma once

#include <QHeaderView>
#include <QRect>
#include <optional>

namespace orvane {

inline constexpr int kSortMarkWidth = 8;
inline constexpr int kSortMarkHeight = 4;
inline constexpr int kSortMarkGap = 4;

// Where the sort triangle goes in a header section whose content (caption or
// picture) ends at `contentRight` (exclusive); nothing when it does not fit.
std::optional<QRect> sortMarkRect(const QRect &section, int contentRight);

// The forecast table's column header: each section painted from the model's
// header roles (background, caption in its font and ink, or the picture),
// and the sort column marked with a triangle that points up for ascending
// order.
class ForecastHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit ForecastHeader(QWidget *parent = nullptr);

    void setSortMark(int column, Qt::SortOrder order);

    QSize sizeHint() const override;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    // What paintSection draws, so that a double click on an edge fits it.
    QSize sectionSizeFromContents(int logicalIndex) const override;

private:
    int m_sortColumn = -1;
    Qt::SortOrder m_order = Qt::AscendingOrder;
};

} // namespace orvane
