#pragma once

#include <QRect>
#include <array>

// Where the forecast table's cells are by its rules alone: a one-pixel frame,
// an 18-pixel header, 16-pixel rows and the columns' fixed widths, with the id
// and Sport columns hidden. Tests compare the grid with this, never with the
// grid's own geometry.
namespace orvane::test {

inline constexpr int kGridFrame = 1;
inline constexpr int kGridHeaderHeight = 18;
inline constexpr int kGridRowHeight = 16;
inline constexpr std::array<int, 12> kColumnWidths = {65,  70, 31,  38, 118, 131,
                                                      130, 45, 120, 59, 33,  68};

inline constexpr bool columnShown(int column)
{
    return column >= 2;
}

// In the grid's own coordinates, grid lines included.
inline QRect expectedCellRect(int column, int row)
{
    int left = kGridFrame;
    for (int c = 0; c < column; ++c)
        left += columnShown(c) ? kColumnWidths[size_t(c)] : 0;
    return {left, kGridFrame + kGridHeaderHeight + kGridRowHeight * row,
            kColumnWidths[size_t(column)], kGridRowHeight};
}

// The header section of a shown column, lines included.
inline QRect expectedHeaderRect(int column)
{
    const QRect cell = expectedCellRect(column, 0);
    return {cell.left(), kGridFrame, cell.width(), kGridHeaderHeight};
}

} // namespace orvane::test
