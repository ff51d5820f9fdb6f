#pragma once

#include "table/forecast_grid.h"

#include <QStringList>

// Filling and reading the forecast grid by the texts of one column.
namespace orvane::test {

// One row per text, in `column`; the id column numbers the rows in adding order.
inline void addRows(ForecastGrid &grid, int column, const QStringList &texts)
{
    for (const QString &text : texts) {
        grid.AddRow();
        const int row = grid.RowCount() - 1;
        grid.SetCellText(ForecastGridModel::Id, row, QString::number(row));
        grid.SetCellText(column, row, text);
    }
}

inline QStringList columnTexts(const ForecastGrid &grid, int column)
{
    QStringList texts;
    for (int row = 0; row < grid.RowCount(); ++row)
        texts << grid.gridModel()->text(column, row);
    return texts;
}

} // namespace orvane::test
