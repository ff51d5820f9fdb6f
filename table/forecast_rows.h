#pragma once

#include "service/match_record.h"
#include "table/forecast_grid.h"

namespace orvane {

// Appends one row to the table and fills it from the forecast: texts, flag,
// odds with a decimal comma, outcome colours and hint, profit.
void AddForecastRow(ForecastGrid &NG, const MatchRecord &record);

} // namespace orvane
