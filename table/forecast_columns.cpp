#include "table/forecast_columns.h"

#include "skin/desktop_font.h"

#include <algorithm>
#include <array>

namespace orvane {

namespace {

constexpr Qt::Alignment kCentre = Qt::AlignHCenter;
constexpr Qt::Alignment kLeft = Qt::AlignLeft;

// clang-format off
const std::array<ForecastColumnLook, ForecastGridModel::ColumnCount> kColumns = {{
    // caption     width  alignment bold   text colour                        ink                 shown  full text
    {u"id",        65,    kCentre,  false, SystemColor::BtnText,              0,                  false, true},
    {u"Sport",     70,    kCentre,  false, SystemColor::BtnText,              0,                  false, false},
    {u"",          31,    kCentre,  false, SystemColor::BtnText,              0,                  true,  false},
    {u"Time",      38,    kCentre,  false, SystemColor::BtnText,              0,                  true,  true},
    {u"Home",      118,   kLeft,    false, SystemColor::BtnText,              0,                  true,  true},
    {u"Away",      131,   kLeft,    false, SystemColor::BtnText,              0,                  true,  true},
    {u"Bet",       130,   kCentre,  true,  SystemColor::BtnText,              0,                  true,  true},
    {u"Odd",       45,    kCentre,  false, std::nullopt,                      qRgb(0, 0, 255),    true,  true},
    {u"orvane",    120,   kCentre,  false, std::nullopt,                      qRgb(128, 0, 128),  true,  true},
    {u"Score",     59,    kCentre,  false, SystemColor::BtnText,              0,                  true,  true},
    {u"Rez",       33,    kCentre,  true,  SystemColor::BtnText,              0,                  true,  true},
    {u"Profit",    68,    kCentre,  true,  SystemColor::BtnHighlight,         0,                  true,  false},
}};
// clang-format on

} // namespace

QFont forecastCellFont(bool bold)
{
    return desktopFont(u"Arial", 14, bold);
}

const ForecastColumnLook &columnLook(int column)
{
    return kColumns[size_t(std::clamp(column, 0, ForecastGridModel::ColumnCount - 1))];
}

QColor columnInk(int column, const QPalette &palette)
{
    const ForecastColumnLook &look = columnLook(column);
    return look.systemInk ? systemColor(*look.systemInk, palette) : QColor::fromRgb(look.ink);
}

} // namespace orvane
