#pragma once

#include "skin/desktop_colors.h"
#include "table/forecast_grid_model.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <optional>

namespace orvane {

// The table's font: Arial with a 14-pixel cell.
QFont forecastCellFont(bool bold);

// The fixed look of one column.
struct ForecastColumnLook {
    const char16_t *caption; // empty for the flag column, whose header is a picture
    int width;
    Qt::Alignment alignment;
    bool bold;
    std::optional<SystemColor> systemInk; // the text colour, when it follows the desktop
    QRgb ink;                             // otherwise
    bool shown;
    bool fullTextOnHover;
};
// Columns outside the table take the nearest one's look.
const ForecastColumnLook &columnLook(int column);
QColor columnInk(int column, const QPalette &palette);

inline constexpr int kHeaderHeight = 18;
inline constexpr int kRowHeight = 16;
inline constexpr int kCellTextMargin = 2;
// A text fits its cell when the column is at least this much wider than the
// text: both margins and the grid line.
inline constexpr int kTextFitSlack = 5;

inline constexpr QRgb kHeaderBackground = qRgb(128, 128, 255);
inline constexpr QRgb kHeaderInk = qRgb(255, 255, 0);
inline constexpr QRgb kSelectedBackground = qRgb(128, 128, 192);
// The lines between cells, and those between header sections.
inline constexpr SystemColor kCellLineColor = SystemColor::ActiveCaption;
inline constexpr SystemColor kHeaderLineColor = SystemColor::GrayText;

} // namespace orvane
